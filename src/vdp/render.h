// The scanline renderer: planes A and B, the window and sprites into pixel bytes.
#pragma once
#include <cstdint>

void render_line(int line);
void make_table();

// Below: the renderer's working state, shared with tests and benchmarks.

// Decoded tiles in four orientations: index by the low 13 bits of a name
// entry (flip bits and tile number), then row x 8 + pixel.
extern uint8_t tile_cache[4 * 2048 * 64];
extern const uint32_t name_attr_mask[8];

// Layer-combining tables: index (high byte << 8) | low byte.
extern uint8_t lut_bg[65536];
extern uint8_t lut_obj[65536];
extern uint8_t lut_bgobj[65536];
extern uint8_t lut_bgobj_ste[65536];
uint8_t make_lut_bg(uint8_t b, uint8_t a);
uint8_t make_lut_obj(uint8_t d, uint8_t n);
uint8_t make_lut_bgobj(uint8_t s, uint8_t p);
uint8_t make_lut_bgobj_ste(uint8_t s, uint8_t p);

// Line buffers laid out like a frame-buffer line: screen pixel v at byte 32 + v.
extern uint8_t plane_b_line[512];
extern uint8_t sprite_line[512];

// Window split of the current line, in 8-pixel columns.
extern int plane_a_enable, plane_a_start, plane_a_end;
extern int plane_w_enable, plane_w_start, plane_w_end;

int get_hscroll(int plane, int line);
void window_clip(int line);
void cache_tiles();
void merge_layer(uint8_t* dest, const uint8_t* src, int n, const uint8_t* table);
void render_sprites(int line, uint8_t* line_buffer, const uint8_t* table);
// Told of every tile drained from the dirty queue, so the sprite chain the
// renderer keeps between lines is read again when its table changes.
void note_vram_tile_changed(unsigned tile);
