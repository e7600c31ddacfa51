// The board as the 68000 sees it: its buffers, the I/O controller, the
// palette registers, and machine start, reset and shutdown.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "cpu68k/s68000.h"
#include "machine/core.h"
#include "vdp/palette.h"

inline constexpr uint32_t program_rom_size = 0x200000;
inline constexpr uint32_t work_ram_size = 0x10000;
inline constexpr uint32_t palette_ram_size = 0x1000;
inline constexpr uint32_t palette_bank_size = 0x400;
inline constexpr uint32_t sample_rom_size = 0x80000;

// Regions handed to the core hold 16-bit words in host order (byte A at A ^ 1).
extern uint8_t program_rom[program_rom_size];
extern uint8_t work_ram[work_ram_size];
extern uint8_t palette_ram[palette_ram_size];
extern uint8_t palette_bank_store[4][palette_bank_size];
extern uint8_t sample_rom[sample_rom_size];  // 68000 byte order

extern uint8_t pal_bank;
extern int pal_select;
extern uint8_t ym_status_toggle;
// Set once genesis_init has turned the loaded image into host-order words,
// so that a second start does not turn it back.
extern int program_rom_host_order;

// Input words (bits in machine/core.h): a set bit means the control is held.
extern uint32_t input_p1;
extern uint32_t input_p2;
extern uint32_t input_system;

// The palette RAM and the colour bank the game's palette register selects
// (the register is ignored by games that do not use it).
palette_source board_palette();

void genesis_init();
void genesis_reset();
// Only logs the processor's PC and stack pointer, as the machine shuts down.
void genesis_trash();

// Catch-all handlers behind every other entry of the map.
// Bytes: the I/O ports, DIP switches, the "SEGA" bytes and the FM status; 0xFF elsewhere.
uint32_t m68k_read_memory_8(uint32_t address, memory_handler* entry);
uint32_t m68k_read_memory_16(uint32_t address, memory_handler* entry);
void m68k_write_memory_8(uint32_t address, uint32_t data, memory_handler* entry);
void m68k_write_memory_16(uint32_t address, uint32_t data, memory_handler* entry);

// The board's RAMs, registers, input words, DIP switches and flags, and the
// frame number; 0 when the bytes are not a whole board (nothing changed).
void board_save_state(std::vector<uint8_t>& out);
int board_load_state(const uint8_t* data, size_t size);

int system_init(int sample_rate);
void system_reset();
void system_shutdown();
