// Drives the video chip through its ports the way a game does.
#pragma once
#include <cstdint>
#include <vector>

#include "vdp/palette.h"
#include "vdp/render.h"
#include "vdp/vdp.h"

namespace vt {

enum access : int { vram_write = 1, cram_write = 3, vsram_write = 5, vram_read = 0, vsram_read = 4, cram_read = 8 };

inline void set_reg(int r, int v) { vdp_ctrl_w(static_cast<uint16_t>(0x8000 | (r << 8) | (v & 0xFF))); }

// Two command words: code bits 1-0 and address bits 13-0, then code bits 5-2
// and address bits 15-14.
inline void command(int code, uint16_t address) {
    vdp_ctrl_w(static_cast<uint16_t>(((code & 3) << 14) | (address & 0x3FFF)));
    vdp_ctrl_w(static_cast<uint16_t>(((code >> 2) << 4) | (address >> 14)));
}

inline void poke_words(int code, uint16_t address, const std::vector<uint16_t>& words) {
    command(code, address);
    for (uint16_t w : words) vdp_data_w(w);
}

inline void vram_word(uint16_t address, uint16_t w) { poke_words(vram_write, address, {w}); }

inline uint16_t peek_vram(uint16_t address) {
    return static_cast<uint16_t>((vdp.vram[address] << 8) | vdp.vram[address + 1]);
}

// A tile from a colour-per-pixel function, written through the data port.
template <class F>
void write_tile(int tile, F colour) {
    std::vector<uint16_t> words;
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x += 4) {
            uint16_t w = 0;
            for (int i = 0; i < 4; i++) w = static_cast<uint16_t>((w << 4) | (colour(x + i, y) & 0xF));
            words.push_back(w);
        }
    }
    poke_words(vram_write, static_cast<uint16_t>(tile * 32), words);
}

inline void solid_tile(int tile, int colour) {
    write_tile(tile, [=](int, int) { return colour; });
}

inline uint16_t name_entry(int tile, int palette = 0, bool priority = false, bool hflip = false, bool vflip = false) {
    return static_cast<uint16_t>((priority ? 0x8000 : 0) | (palette << 13) | (vflip ? 0x1000 : 0) |
                                 (hflip ? 0x0800 : 0) | (tile & 0x7FF));
}

// Name-table cell (column, row) of a plane whose rows are 1 << pf_shift bytes.
inline void plane_cell(uint16_t base, int column, int row, uint16_t entry) {
    vram_word(static_cast<uint16_t>(base + (row << pf_shift) + column * 2), entry);
}

inline void window_cell(int column, int row, uint16_t entry) {
    const int row_bytes = (vdp.reg[12] & 1) ? 128 : 64;
    vram_word(static_cast<uint16_t>(window_base + row * row_bytes + column * 2), entry);
}

struct sprite {
    int y = 0, x = 0;      // 128 is the top / left screen edge
    int wcells = 1, hcells = 1;
    int link = 0;
    uint16_t attr = 0;  // priority, palette, flips, tile
};

inline void write_sprite(int index, const sprite& s) {
    const uint16_t e = static_cast<uint16_t>(sprite_table_base + index * 8);
    poke_words(vram_write, e,
               {static_cast<uint16_t>(s.y), static_cast<uint16_t>((((s.wcells - 1) << 2 | (s.hcells - 1)) << 8) | s.link),
                s.attr, static_cast<uint16_t>(s.x)});
}

// A frame buffer of our own, as the display would allocate it.
struct frame {
    std::vector<uint8_t> bytes;
    explicit frame(int pitch = 1024) : bytes(static_cast<size_t>(pitch) * 512, 0xEE) {
        frame_buffer = bytes.data();
        frame_pitch = pitch;
    }
    ~frame() { frame_buffer = nullptr; }
    uint8_t at(int line, int x) const { return bytes[static_cast<size_t>(line) * frame_pitch + 32 + x]; }
};

// A clean chip with the display on; tile 0 stays blank.
inline void fresh_vdp() {
    vdp_reset();
    cache_tiles();
}

}  // namespace vt
