// The rules that combine layers one pixel byte at a time; the renderer's
// eight-pixel word functions must give what these give.
#include "vdp/render.h"


namespace {
inline bool opaque(uint8_t x) { return (x & 0x0F) != 0; }
inline bool has_priority(uint8_t x) { return (x & 0x40) != 0; }
}  // namespace

// b: plane B pixel arriving; a: plane A or window pixel in place. The rule
// that merge_planes follows for eight pixels at once.
uint8_t make_lut_bg(uint8_t b, uint8_t a) {
    uint8_t chosen;
    if (has_priority(a)) chosen = opaque(a) ? a : b;
    else if (has_priority(b)) chosen = opaque(b) ? b : a;
    else chosen = opaque(a) ? a : b;
    chosen &= 0x7F;
    return opaque(chosen) ? chosen : 0;
}

// d: byte in the sprite line; n: new sprite pixel. The first sprite wins.
// The rule that place_sprite_pixels follows for eight pixels at once.
uint8_t make_lut_obj(uint8_t d, uint8_t n) {
    return static_cast<uint8_t>(((d & 0x80) ? (d & 0x7F) : (n & 0x7F)) | 0x80);
}

// s: sprite-line byte arriving; p: line pixel in place.
uint8_t make_lut_bgobj(uint8_t s, uint8_t p) {
    const uint8_t sprite = static_cast<uint8_t>((s & 0x3F) | 0x40);
    const uint8_t plane = p & 0x3F;
    if (has_priority(s)) return opaque(s) ? sprite : plane;
    if (has_priority(p)) return opaque(p) ? plane : sprite;
    return opaque(s) ? sprite : plane;
}

// Palette line 3, colours 14 and 15 are operators: they highlight or shadow
// the plane under them and never show their own colour.
uint8_t make_lut_bgobj_ste(uint8_t s, uint8_t p) {
    if ((s & 0x3E) == 0x3E) {
        const uint8_t mark = (s & 0x01) ? 0x80 : 0xC0;
        const uint8_t plane = p & 0x3F;
        if (!has_priority(s) && has_priority(p)) return plane;
        return static_cast<uint8_t>(plane | mark);
    }
    return make_lut_bgobj(s, p);
}
