// The board seen from the 68000: buffers, memory map, I/O controller ports,
// palette bank register, and machine start, reset and shutdown.
#include "machine/board.h"

#include <cstring>

#include "common/debug_log.h"
#include "cpu68k/m68k.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/rom_loader.h"
#include "machine/scheduler.h"
#include "sound/mixer.h"
#include "sound/upd7759.h"
#include "sound/ym2612.h"
#include "sound/ym3438_stream.h"
#include "vdp/render.h"
#include "vdp/vdp.h"

uint8_t program_rom[program_rom_size];
uint8_t work_ram[work_ram_size];
uint8_t palette_ram[palette_ram_size];
uint8_t palette_bank_store[4][palette_bank_size];
uint8_t sample_rom[sample_rom_size];

uint8_t pal_bank;
int pal_select;
uint8_t ym_status_toggle;
int program_rom_host_order;

uint32_t input_p1;
uint32_t input_p2;
uint32_t input_system;

namespace {

// Player ports are active low: left, right, up, down, (1), A, B, C from bit 7 down.
uint8_t player_port(uint32_t input) {
    uint8_t port = 0xFF;
    if (input & input_left) port &= ~0x80;
    if (input & input_right) port &= ~0x40;
    if (input & input_up) port &= ~0x20;
    if (input & input_down) port &= ~0x10;
    if (input & input_a) port &= ~0x04;
    if (input & input_b) port &= ~0x02;
    if (input & input_c) port &= ~0x01;
    return port;
}

uint8_t system_port(uint32_t input) {
    uint8_t port = 0xFF;
    if (input & input_key2) port &= ~0x20;
    if (input & input_key1) port &= ~0x10;
    if (input & input_service) port &= ~0x08;
    if (input & input_test) port &= ~0x04;
    if (input & input_key4) port &= ~0x02;
    if (input & input_key3) port &= ~0x01;
    return port;
}

// The first 1 KB of palette RAM is the live bank; the rest is never swapped.
void select_palette_bank(uint8_t bank) {
    if (!pal_bank_enable) return;
    std::memcpy(palette_bank_store[pal_bank & 3], palette_ram, palette_bank_size);
    pal_bank = bank & 3;
    std::memcpy(palette_ram, palette_bank_store[pal_bank], palette_bank_size);
}

// How much of the frame has run, for the sound chip's timing.
uint32_t frame_fraction() {
    constexpr uint32_t visible_line = cycles_per_line + hblank_cycles;
    constexpr uint32_t frame_cycles = visible_lines * visible_line + (lines_per_frame - visible_lines) * cycles_per_line;
    const uint32_t line = vdp.line < lines_per_frame ? vdp.line : lines_per_frame - 1;
    const uint32_t start = line < visible_lines ? line * visible_line
                                                : visible_lines * visible_line + (line - visible_lines) * cycles_per_line;
    const int32_t elapsed = m68k_get_elapsed_cycles();
    const uint64_t at = start + static_cast<uint64_t>(elapsed > 0 ? elapsed : 0);
    return at >= frame_cycles ? whole_frame : static_cast<uint32_t>(at * whole_frame / frame_cycles);
}

}  // namespace

palette_source board_palette() {
    int first_colour = 0;
    if (pal_select_enable) {
        switch (pal_select) {
        case 5:
            first_colour = 64;
            break;
        case 10:
            first_colour = 128;
            break;
        case 15:
            first_colour = 192;
            break;
        default:
            break;
        }
    }
    return {palette_ram, first_colour};
}

uint32_t m68k_read_memory_8(uint32_t address, memory_handler*) {
    switch (address) {
        case 0x840001: return player_port(input_p1);
        case 0x840003: return player_port(input_p2);
        case 0x840009: return system_port(input_system);
        case 0x84000B: return dip_switch[0];
        case 0x84000D: return dip_switch[1];
        case 0x840011: return 'S';
        case 0x840013: return 'E';
        case 0x840015: return 'G';
        case 0x840017: return 'A';
        case 0x840101: {
            uint8_t status = 0;
            if (sound_initialised() && fm_status(frame_fraction(), status)) return status;
            // The classic model has no status: a toggle stands in, as games only poll it.
            ym_status_toggle = static_cast<uint8_t>(~ym_status_toggle);
            return ym_status_toggle;
        }
        case 0x800201: return 0xFF;
        default: break;
    }
    debug_log("read byte from %08X (%08X)\n", address, m68k_readpc());
    return 0xFF;
}

uint32_t m68k_read_memory_16(uint32_t address, memory_handler*) {
    debug_log("read word from %08X (%08X)\n", address, m68k_readpc());
    return 0xFFFF;
}

void m68k_write_memory_8(uint32_t address, uint32_t data, memory_handler*) {
    const uint8_t byte = static_cast<uint8_t>(data);
    switch (address) {
        case 0x800001: pal_select = byte; return;
        case 0x800201: return;
        case 0x84000F: select_palette_bank(byte); return;
        case 0x840101:
        case 0x840103:
        case 0x840105:
        case 0x840107:
            if (sound_initialised()) fm_write(static_cast<int>((address - 0x840101) >> 1), byte, frame_fraction());
            return;
        case 0x880001:
            if (sound_initialised()) {
                // Stop what plays, latch the sample number, start it.
                UPD7759_reset_w(0, 0);
                UPD7759_message_w(0, byte);
                UPD7759_start_w(0, 0);
            }
            return;
        default: break;
    }
    debug_log("write byte %02X to %08X (%08X)\n", byte, address, m68k_readpc());
}

void m68k_write_memory_16(uint32_t address, uint32_t data, memory_handler*) {
    debug_log("write word %04X to %08X (%08X)\n", data & 0xFFFF, address, m68k_readpc());
}

void genesis_init() {
    if (game_driver) apply_board_flags(game_driver->flags);
    std::memset(work_ram, 0, sizeof work_ram);
    if (!program_rom_host_order) byteswap(program_rom, program_rom_size);
    program_rom_host_order = 1;
    m68k_init();
    m68k_switch(0);

    // Order matters: each list is searched first to last, the catch-alls go last.
    m68k_add_fetch(0x000000, 0x1FFFFF, program_rom);
    m68k_add_read(0x000000, 0x1FFFFF, nullptr, program_rom);
    m68k_add_fetch(0xFF0000, 0xFFFFFF, work_ram);
    m68k_add_readwrite(0xFF0000, 0xFFFFFF, nullptr, work_ram);
    m68k_add_readbyte(0xC00000, 0xC0001F, vdp_r_8, nullptr);
    m68k_add_writebyte(0xC00000, 0xC0001F, vdp_w_8, nullptr);
    m68k_add_readword(0xC00000, 0xC0001F, vdp_r_16, nullptr);
    m68k_add_writeword(0xC00000, 0xC0001F, vdp_w_16, nullptr);
    m68k_add_readwrite(0x8C0000, 0x8C0FFF, nullptr, palette_ram);
    m68k_add_fetch(0xFE0000, 0xFEFFFF, work_ram);
    m68k_add_readwrite(0xFE0000, 0xFEFFFF, nullptr, work_ram);
    m68k_add_readbyte(0x000000, 0xFFFFFF, m68k_read_memory_8, nullptr);
    m68k_add_readword(0x000000, 0xFFFFFF, m68k_read_memory_16, nullptr);
    m68k_add_writebyte(0x000000, 0xFFFFFF, m68k_write_memory_8, nullptr);
    m68k_add_writeword(0x000000, 0xFFFFFF, m68k_write_memory_16, nullptr);

    m68k_reset();
    genesis_trash();
}

void genesis_reset() {
    std::memset(work_ram, 0, sizeof work_ram);
    ym_status_toggle = 0;
    m68k_reset();
    std::memset(palette_bank_store, 0, sizeof palette_bank_store);
    std::memset(palette_ram, 0, sizeof palette_ram);
    pal_bank = 0;
    pal_select = 0;
}

void genesis_trash() {
    // The live state sits in the core; the context blocks are only saved copies.
    s68000context live{};
    if (s68000GetContextSize() <= sizeof live) s68000GetContext(&live);
    debug_log("PC:%08X\tSP:%08X\n", m68k_readpc(), live.areg[7]);
}

int system_init(int sample_rate) {
    audio_init(sample_rate, sample_rom);
    genesis_init();
    vdp_reset();
    genesis_reset();
    return 1;
}

void system_reset() {
    genesis_reset();
    vdp_reset();
    if (sound_initialised()) fm_reset();
}

void system_shutdown() {
    genesis_trash();
    if (sound_initialised()) audio_shutdown();
}
