// The video chip's ports: the two-word command protocol, the data port into
// the three RAMs, registers and the values derived from them, status and HV
// counter, and reset.
#include "vdp/vdp.h"

#include <cstring>

#include "common/debug_log.h"
#include "cpu68k/m68k.h"
#include "sound/mixer.h"
#include "sound/sn76496.h"

vdp_state vdp;

int vp_width = 256;
int vp_height = 224;
uint16_t plane_a_base;
uint16_t window_base;
uint16_t plane_b_base;
uint16_t sprite_table_base;
uint16_t hscroll_base;
int pf_shift = 6;
int pf_column_mask = 31;
int pf_row_mask = 255;

uint8_t vram_dirty_list[vram_tiles];
uint16_t vram_dirty_queue[vram_tiles];
uint16_t vram_dirty_index;
uint8_t vram_changed_blocks[65536 / 256];

void (*vdp_psg_write)(int chip, int data) = SN76496Write;

const uint8_t vdp_register_defaults[24] = {
    0x04, 0x44, 0x30, 0x3C, 0x07, 0x6C, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00,
    0x00, 0x37, 0x00, 0x02, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x80,
};

// The chip's line counter jumps back from 0xEA to 0xE5 during blanking.
uint16_t vcounter_table[512];

namespace {

struct vcounter_init {
    vcounter_init() {
        for (int n = 0; n < 512; n++) {
            if (n <= 234) vcounter_table[n] = static_cast<uint16_t>(n);
            else if (n <= 261) vcounter_table[n] = static_cast<uint16_t>(n - 6);
            else vcounter_table[n] = 0;
        }
    }
} vcounter_init_once;

const int shift_by_width[4] = {6, 7, 8, 8};
const int columns_by_width[4] = {31, 63, 127, 127};
const int rows_by_height[4] = {255, 511, 1023, 1023};

inline uint16_t word_at(const uint8_t* ram, unsigned offset) {
    return static_cast<uint16_t>((ram[offset] << 8) | ram[offset | 1]);
}

void advance_address() {
    vdp.addr = static_cast<uint16_t>(vdp.addr + vdp.reg[15]);
}

}  // namespace

void mark_vram_dirty(uint32_t address) {
    vram_changed_blocks[(address & 0xFFFF) >> 8] = 1;
    const unsigned t = (address >> 5) & 0x7FF;
    if (vram_dirty_list[t] == 0) {
        vram_dirty_list[t] = 1;
        // The flag keeps each tile queued once, so the index stays below 2048.
        vram_dirty_queue[vram_dirty_index++] = static_cast<uint16_t>(t);
    }
}

void table_sync() {
    const bool wide = wide_mode();
    plane_a_base = static_cast<uint16_t>((vdp.reg[2] & 0x38) << 10);
    window_base = static_cast<uint16_t>((vdp.reg[3] & (wide ? 0x3E : 0x3F)) << 10);
    plane_b_base = static_cast<uint16_t>((vdp.reg[4] & 0x07) << 13);
    sprite_table_base = static_cast<uint16_t>((vdp.reg[5] & (wide ? 0x7E : 0x7F)) << 9);
    hscroll_base = static_cast<uint16_t>((vdp.reg[13] & 0x3F) << 10);
}

void vdp_reg_w(uint16_t value) {
    const int r = (value >> 8) & 0x1F;
    const uint8_t v = value & 0xFF;
    if (r == 1) vp_height = (v & 0x08) ? 240 : 224;
    if (r == 12) vp_width = (v & 0x01) ? 320 : 256;
    if (r == 16) {
        pf_shift = shift_by_width[v & 3];
        pf_column_mask = columns_by_width[v & 3];
        pf_row_mask = rows_by_height[(v >> 4) & 3];
    }
    vdp.reg[r] = v;
    table_sync();
}

void vdp_ctrl_w(uint16_t value) {
    if (vdp.pending == 0) {
        if ((value & 0xC000) == 0x8000) {
            vdp_reg_w(value);
            vdp.code = 0;
            return;
        }
        vdp.pending = 1;
        vdp.addr = static_cast<uint16_t>((vdp.addr & 0xC000) | (value & 0x3FFF));
        vdp.code = static_cast<uint8_t>((vdp.code & 0x3C) | (value >> 14));
        return;
    }
    vdp.pending = 0;
    vdp.addr = static_cast<uint16_t>((vdp.addr & 0x3FFF) | ((value & 3) << 14));
    vdp.code = static_cast<uint8_t>((vdp.code & 0x03) | ((value >> 2) & 0x3C));
    if ((vdp.code & 0x20) == 0 || (vdp.reg[1] & 0x10) == 0) return;
    switch (vdp.reg[23] >> 6) {
    case 0:
    case 1:
        vdp_dma_68k();
        break;
    case 2:
        vdp.dma_fill_pending = 1;
        break;
    default:
        vdp_dma_copy();
        break;
    }
}

void vdp_data_w(uint16_t value) {
    vdp.pending = 0;
    if (vdp.dma_fill_pending) {
        vdp_dma_fill(value);
        vdp.dma_fill_pending = 0;
        return;
    }
    const uint8_t hi = value >> 8;
    const uint8_t lo = value & 0xFF;
    switch (vdp.code & 0x0F) {
    case 1:
        vdp.vram[vdp.addr] = hi;
        vdp.vram[vdp.addr ^ 1] = lo;
        mark_vram_dirty(vdp.addr);
        break;
    case 3:
        vdp.cram[vdp.addr & 0x7E] = hi;
        vdp.cram[(vdp.addr & 0x7E) | 1] = lo;
        break;
    case 5:
        vdp.vsram[vdp.addr & 0x7E] = hi;
        vdp.vsram[(vdp.addr & 0x7E) | 1] = lo;
        break;
    case 0:
        break;
    default:
        debug_log("Bad code for data write (A:%04X C:%02X D:%04X)\n", vdp.addr, vdp.code, value);
        break;
    }
    advance_address();
}

uint16_t vdp_data_r() {
    vdp.pending = 0;
    uint16_t result = 0xFFFF;
    switch (vdp.code & 0x0F) {
    case 0:
        result = word_at(vdp.vram, vdp.addr & 0xFFFE);
        break;
    case 4:
        result = word_at(vdp.vsram, vdp.addr & 0x7E);
        break;
    case 8:
        result = word_at(vdp.cram, vdp.addr & 0x7E);
        break;
    default:
        debug_log("Bad code for data read (A:%04X C:%02X)\n", vdp.addr, vdp.code);
        break;
    }
    advance_address();
    return result;
}

uint16_t vdp_ctrl_r() {
    vdp.pending = 0;
    return static_cast<uint16_t>(vdp.status | (dma_running() ? 0x0002 : 0));
}

uint16_t vdp_hv_counter() {
    const unsigned v = vcounter_table[vdp.line & 0x1FF] & 0xFF;
    const unsigned c = static_cast<uint32_t>(m68k_get_elapsed_cycles()) & 1023;
    const unsigned h = wide_mode() ? c >> 1 : c >> 2;
    return static_cast<uint16_t>((v << 8) | (h & 0xFF));
}

void vdp_rebuild() {
    for (int r = 0; r < 24; r++) vdp_reg_w(static_cast<uint16_t>(0x8000 | (r << 8) | vdp.reg[r]));
    // Decoded tiles left from before are not drawn in place of the new video RAM.
    std::memset(vram_dirty_list, 0, sizeof vram_dirty_list);
    vram_dirty_index = 0;
    for (unsigned t = 0; t < vram_tiles; t++) mark_vram_dirty(t << 5);
}

void vdp_reset() {
    std::memset(&vdp, 0, sizeof vdp);
    std::memcpy(vdp.reg, vdp_register_defaults, sizeof vdp_register_defaults);
    vdp_rebuild();
}

// Port handlers: the board hands over the full 68000 address.
namespace {
unsigned port_of(uint32_t address) {
    return ((address & 0xFFFFE0) == 0xC00000) ? (address & 0x1F) : 0xFF;
}
}  // namespace

void vdp_w_8(uint32_t address, uint32_t data, memory_handler*) {
    const unsigned port = port_of(address);
    const uint8_t v = data & 0xFF;
    const uint16_t doubled = static_cast<uint16_t>((v << 8) | v);
    if (port <= 0x03) {
        vdp_data_w(doubled);
    } else if (port <= 0x07) {
        vdp_ctrl_w(doubled);
    } else if (port == 0x11 || port == 0x13 || port == 0x15 || port == 0x17) {
        if (sound_initialised()) vdp_psg_write(0, v);
    }
}

void vdp_w_16(uint32_t address, uint32_t data, memory_handler*) {
    const unsigned port = port_of(address);
    const uint16_t w = data & 0xFFFF;
    if (port == 0x00 || port == 0x02) vdp_data_w(w);
    else if (port == 0x04 || port == 0x06) vdp_ctrl_w(w);
}

uint32_t vdp_r_8(uint32_t address, memory_handler*) {
    const unsigned port = port_of(address);
    uint16_t w;
    if (port <= 0x03) w = vdp_data_r();
    else if (port <= 0x07) w = vdp_ctrl_r();
    else if (port <= 0x0F) w = vdp_hv_counter();
    else return 0xFF;
    return (port & 1) ? (w & 0xFF) : (w >> 8);
}

uint32_t vdp_r_16(uint32_t address, memory_handler*) {
    const unsigned port = port_of(address);
    if (port == 0x00 || port == 0x02) return vdp_data_r();
    if (port == 0x04 || port == 0x06) return vdp_ctrl_r();
    if (port == 0x08 || port == 0x0A || port == 0x0C || port == 0x0E) return vdp_hv_counter();
    return 0xFFFF;
}
