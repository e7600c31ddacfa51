// The scanline renderer: planes A and B, the window and sprites into pixel bytes.
#pragma once
#include <cstdint>

void render_line(int line);
void make_table();

// Below: the renderer's working state, shared with tests and benchmarks.

// Decoded tiles in four orientations: index by the low 13 bits of a name
// entry (flip bits and tile number), then row x 8 + pixel.
extern uint8_t tile_cache[4 * 2048 * 64];

// Layer-combining tables: index (high byte << 8) | low byte. Plane B goes
// under plane A eight pixels at a time through merge_planes instead.
extern uint8_t lut_obj[65536];
extern uint8_t lut_bgobj[65536];
extern uint8_t lut_bgobj_ste[65536];
uint8_t make_lut_bg(uint8_t b, uint8_t a);
uint8_t make_lut_obj(uint8_t d, uint8_t n);
uint8_t make_lut_bgobj(uint8_t s, uint8_t p);
uint8_t make_lut_bgobj_ste(uint8_t s, uint8_t p);

// make_lut_bg for eight pixels at once, byte k of b under byte k of a: a
// shows where it is opaque, unless b is opaque with priority and a has
// none; else b where it is opaque; else 0.
inline uint64_t merge_planes(uint64_t b, uint64_t a) {
    constexpr uint64_t ones = 0x0101010101010101;
    // Bit 0 of every byte: its colour bits are not 0; its priority bit.
    const auto opaque = [](uint64_t x) { return (((x & ones * 0x0F) + ones * 0x0F) >> 4) & ones; };
    const auto priority = [](uint64_t x) { return (x >> 6) & ones; };
    const uint64_t b_shows = opaque(b);
    const uint64_t a_wins = opaque(a) & ~(b_shows & priority(b) & ~priority(a));
    // Widened to whole bytes: 1 becomes 0xFF.
    return ((a & a_wins * 0xFF) | (b & (b_shows & ~a_wins) * 0xFF)) & ones * 0x7F;
}

// Line buffers laid out like a frame-buffer line: screen pixel v at byte 32 + v.
extern uint8_t plane_b_line[512];
extern uint8_t sprite_line[512];
// Bit g set: bytes 8g to 8g + 7 of sprite_line may hold sprite pixels; the
// bytes of every clear group are 0.
extern uint64_t sprite_groups;

// Window split of the current line, in 8-pixel columns.
extern int plane_a_enable, plane_a_start, plane_a_end;
extern int plane_w_enable, plane_w_start, plane_w_end;

int get_hscroll(int plane, int line);
void window_clip(int line);
void cache_tiles();
// Sprites of the line into sprite_line through lut_obj, marking sprite_groups.
void render_sprites(int line);
// Told of every tile drained from the dirty queue, so the sprite chain the
// renderer keeps between lines is read again when its table changes.
void note_vram_tile_changed(unsigned tile);
