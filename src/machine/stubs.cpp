// Minimal bodies until the board's modules are written; remove each as it lands.
#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/rom_loader.h"
#include "machine/scheduler.h"

uint8_t program_rom[program_rom_size];
uint8_t work_ram[work_ram_size];
uint8_t palette_ram[palette_ram_size];
uint8_t palette_bank_store[4][palette_bank_size];
uint8_t sample_rom[sample_rom_size];
uint8_t pal_bank;
int pal_select;
uint8_t ym_status_toggle;
uint32_t input_p1, input_p2, input_system;
void genesis_init() {}
void genesis_reset() {}
void genesis_trash() {}
uint32_t m68k_read_memory_8(uint32_t, memory_handler*) { return 0xFF; }
uint32_t m68k_read_memory_16(uint32_t, memory_handler*) { return 0xFFFF; }
void m68k_write_memory_8(uint32_t, uint32_t, memory_handler*) {}
void m68k_write_memory_16(uint32_t, uint32_t, memory_handler*) {}
int system_init(int) { return 1; }
void system_reset() {}
void system_shutdown() {}

const driver_record* const driver_list[] = {nullptr};
const driver_record* game_driver;
int palette_mode = 0;
int pal_select_enable = 1;
int pal_bank_enable = 1;
int load_driver(const char*) { return 0; }
void free_driver() {}
void load_game(const char*) {}
void gui_load_game(int) {}
const char* game_name_by_number(int) { return nullptr; }

int load_rom(const rom_entry*) { return 0; }
int file_exist(const char*) { return 0; }
int load_file(const char*, void*, uint32_t) { return 0; }
int save_file(const char*, const void*, uint32_t) { return 0; }
int load_zip(const char*, const char*, void*, uint32_t) { return 0; }
void byteswap(void*, uint32_t) {}

uint8_t dip_switch[2] = {0xFF, 0xFF};
uint8_t dip_bank;
uint8_t dip_used;
void dip_reset() {}
void dip_read(const char*) {}
void dip_write(const char*, const char*) {}
void dip_toggle_bank() {}
void dip_invert_bit(int) {}

void genesis_frame(int) {}

