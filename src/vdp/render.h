// The scanline renderer: planes A and B, the window and sprites into pixel bytes.
#pragma once
#include <cstdint>

void render_line(int line);

// Below: the renderer's working state, shared with tests and benchmarks.

// Decoded tiles in four orientations: index by the low 13 bits of a name
// entry (flip bits and tile number), then row x 8 + pixel.
extern uint8_t tile_cache[4 * 2048 * 64];

// The rules that combine two pixel bytes (high, low): plane B under plane A
// or the window, a sprite pixel over the sprite line, a sprite-line byte
// over the line in normal and in shadow/highlight mode. The renderer applies
// them eight pixels at a time through the word functions below.
uint8_t make_lut_bg(uint8_t b, uint8_t a);
uint8_t make_lut_obj(uint8_t d, uint8_t n);
uint8_t make_lut_bgobj(uint8_t s, uint8_t p);
uint8_t make_lut_bgobj_ste(uint8_t s, uint8_t p);

// Eight pixels at a time: bytes of a 64-bit word are pixels, flags are bit 0
// of each byte.
inline constexpr uint64_t byte_ones = 0x0101010101010101;
inline uint64_t opaque_flags(uint64_t x) { return (((x & byte_ones * 0x0F) + byte_ones * 0x0F) >> 4) & byte_ones; }
inline uint64_t priority_flags(uint64_t x) { return (x >> 6) & byte_ones; }

// make_lut_bg for eight pixels at once, byte k of b under byte k of a: a
// shows where it is opaque, unless b is opaque with priority and a has
// none; else b where it is opaque; else 0.
inline uint64_t merge_planes(uint64_t b, uint64_t a) {
    const uint64_t b_shown = b & opaque_flags(b) * 0xFF;
    // b's priority bit where a has none.
    const uint64_t b_priority = priority_flags(b & ~a);
    const uint64_t a_wins = opaque_flags(a) & ~(opaque_flags(b) & b_priority);
    return (b_shown ^ ((b_shown ^ a) & a_wins * 0xFF)) & byte_ones * 0x7F;
}

// make_lut_obj for eight pixels of one sprite (colours 0-15, attr its
// priority and palette line in every byte) over eight bytes of the sprite
// line: an opaque pixel goes where no earlier sprite placed one (bit 7).
inline uint64_t place_sprite_pixels(uint64_t line, uint64_t colours, uint64_t attr) {
    // A colour of 1-15 carries into bit 7 of its own byte, and no further.
    const uint64_t opaque = (colours + byte_ones * 0x7F) >> 7;
    const uint64_t placed = opaque & ~(line >> 7) & byte_ones;
    const uint64_t m = placed * 0xFF;
    return (line & ~m) | ((colours | attr | byte_ones * 0x80) & m);
}

// make_lut_bgobj (or make_lut_bgobj_ste in shadow/highlight mode) for eight
// sprite-line bytes s over eight line bytes p, as the renderer makes them: a
// sprite-line byte is 0 or an opaque pixel with bit 7 set (place_sprite_pixels),
// a line byte is 0 or an opaque pixel with bit 7 clear (merge_planes). So a
// plane pixel with priority is opaque, and bit 7 tells an opaque sprite pixel.
inline uint64_t merge_sprites(uint64_t s, uint64_t p, bool shadow_highlight) {
    const uint64_t sprite = (s & byte_ones * 0x3F) | byte_ones * 0x40;
    const uint64_t plane = p & byte_ones * 0x3F;
    // The plane's priority rules where the sprite has none and the plane has it.
    const uint64_t plane_rules = priority_flags(p & ~s);
    const uint64_t sprite_wins = (s >> 7) & ~plane_rules & byte_ones;
    const uint64_t normal = (sprite & sprite_wins * 0xFF) | (plane & ~(sprite_wins * 0xFF));
    if (!shadow_highlight) return normal;
    // Operators: palette line 3, colour 14 (highlight, mark 0xC0) or 15 (shadow, 0x80).
    const uint64_t not_operator = ((((s & byte_ones * 0x3E) ^ byte_ones * 0x3E) + byte_ones * 0x7F) >> 7) & byte_ones;
    const uint64_t mark = byte_ones * 0x80 | ((~s & byte_ones) << 6);
    const uint64_t operated = plane | (mark & ~(plane_rules * 0xFF));
    const uint64_t keep = not_operator * 0xFF;
    return (normal & keep) | (operated & ~keep);
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
// Sprites of the line into sprite_line, marking sprite_groups.
void render_sprites(int line);
// Told of every tile drained from the dirty queue, so the sprite chain the
// renderer keeps between lines is read again when its table changes.
void note_vram_tile_changed(unsigned tile);
