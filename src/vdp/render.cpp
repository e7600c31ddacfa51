// Draws one scanline: plane A or the window, plane B, then sprites, combined
// into the frame buffer line and, as it is finished, into host pixels.
#include "vdp/render.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "vdp/palette.h"
#include "vdp/vdp.h"

uint8_t tile_cache[4 * 2048 * 64];

uint8_t plane_b_line[512];
uint8_t sprite_line[512];
uint64_t sprite_groups;

int plane_a_enable, plane_a_start, plane_a_end;
int plane_w_enable, plane_w_start, plane_w_end;

namespace {

// Narrowest frame-buffer line drawn into. The margin, 40 columns and a
// finely scrolled plane's extra column reach byte 360; the display's own
// lines are 1024 bytes.
constexpr int min_line_bytes = 512;

inline uint16_t vram_word(unsigned address) {
    uint16_t w;
    std::memcpy(&w, vdp.vram + (address & 0xFFFE), 2);
    if constexpr (std::endian::native == std::endian::little) w = static_cast<uint16_t>(w >> 8 | w << 8);
    return w;
}

inline uint16_t vsram_word(unsigned index) {
    uint16_t w;
    std::memcpy(&w, vdp.vsram + ((index * 2) & 0x7E), 2);
    if constexpr (std::endian::native == std::endian::little) w = static_cast<uint16_t>(w >> 8 | w << 8);
    return w;
}

inline int screen_columns() { return wide_mode() ? 40 : 32; }

// Eight cache bytes of one tile row (cache_row: that row of tile 0) with the
// entry's palette and priority OR-ed in; whether any of them is opaque.
inline bool put_tile_row(uint8_t* dst, uint16_t entry, const uint8_t* cache_row) {
    const uint8_t* src = cache_row + (entry & 0x1FFF) * 64;
    uint64_t colours;
    std::memcpy(&colours, src, 8);
    const uint64_t px = colours | (entry >> 13) * uint64_t{0x1010101010101010};  // in every byte
    std::memcpy(dst, &px, 8);
    return colours != 0;
}

// The 8-byte groups of a line buffer (group g: bytes 8g to 8g + 7) that
// bytes [at, at + 8) fall in.
inline uint64_t groups_of(int at) { return (uint64_t{1} << (at >> 3)) | (uint64_t{1} << ((at + 7) >> 3)); }

// Groups of the frame-buffer line where plane A or the window has an opaque
// pixel; in every other group the line's plane A bytes are transparent.
uint64_t plane_a_groups;

// One scrolled plane over screen columns [first, last), plus the column that
// a fine scroll pulls in from the right. Plane A marks plane_a_groups.
template <bool plane_a>
__attribute__((noinline)) void render_plane(uint8_t* out, int line, int s, uint16_t base, int first, int last) {
    if (first >= last) return;
    const int fine = s & 7;
    const int coarse = s >> 3;
    if (fine) last++;
    constexpr int plane = plane_a ? 0 : 1;
    uint8_t* dst = out + 32 - fine;
    uint64_t opaque = 0;
    unsigned row = 0;
    const uint8_t* cache_row = tile_cache;  // row y & 7 of tile 0
    const auto name_row = [&](int v) {
        const int y = (line + v) & pf_row_mask;
        row = base + ((y >> 3) << pf_shift);
        cache_row = tile_cache + (y & 7) * 8;
    };
    const auto column = [&](int c) {
        const bool shows = put_tile_row(dst + c * 8, vram_word(row + (((c + coarse) & pf_column_mask) << 1)), cache_row);
        if (plane_a && shows) opaque |= groups_of(32 - fine + c * 8);
    };
    if (vdp.reg[11] & 4) {
        // One vertical scroll per two-cell column: a pair at a time, after a
        // first column that is the second of its pair.
        int c = first;
        if (c & 1) {
            name_row(vsram_word((c & ~1) + plane));
            column(c++);
        }
        for (; c + 1 < last; c += 2) {
            name_row(vsram_word(c + plane));
            column(c);
            column(c + 1);
        }
        if (c < last) {
            name_row(vsram_word(c + plane));
            column(c);
        }
    } else {
        // The name row's entries in runs that neither wrap around the plane
        // nor past the end of video RAM, read through one moving pointer.
        name_row(vsram_word(plane));
        for (int c = first; c < last;) {
            const int cell = (c + coarse) & pf_column_mask;
            const unsigned at = (row + cell * 2) & 0xFFFF;
            const int run = std::min({last - c, pf_column_mask + 1 - cell, static_cast<int>((0x10000 - at) / 2)});
            const uint8_t* entry = vdp.vram + at;
            for (const int end = c + run; c < end; c++, entry += 2) {
                const bool shows = put_tile_row(dst + c * 8, static_cast<uint16_t>(entry[0] << 8 | entry[1]), cache_row);
                if (plane_a && shows) opaque |= groups_of(32 - fine + c * 8);
            }
        }
    }
    if (plane_a) plane_a_groups |= opaque;
}

void render_a(int line, uint8_t* out, int s) {
    render_plane<true>(out, line, s, plane_a_base, plane_a_start, plane_a_end);
}

void render_b(int line, uint8_t* out, int s) {
    render_plane<false>(out, line, s, plane_b_base, 0, screen_columns());
}

void render_w(int line, uint8_t* out) {
    const unsigned row = window_base + (line >> 3) * (wide_mode() ? 128 : 64);
    for (int c = plane_w_start; c < plane_w_end; c++)
        if (put_tile_row(out + 32 + c * 8, vram_word(row + c * 2), tile_cache + (line & 7) * 8))
            plane_a_groups |= groups_of(32 + c * 8);
}

}  // namespace

int get_hscroll(int plane, int line) {
    int index;
    switch (vdp.reg[11] & 3) {
    case 0:
        index = plane;
        break;
    case 1:
        index = (line & 7) * 2 + plane;
        break;
    case 2:
        index = (line & ~7) * 2 + plane;
        break;
    default:
        index = line * 2 + plane;
        break;
    }
    return 1024 - (vram_word(hscroll_base + index * 2) & 0x3FF);
}

void window_clip(int line) {
    const int r = line >> 3;
    // The split holds for a row of cells until the registers it reads change.
    static bool known = false;
    static uint64_t known_for;
    const uint64_t key = uint64_t{static_cast<uint32_t>(r)} << 32 | vdp.reg[17] << 16 | vdp.reg[18] << 8 |
                         (vdp.reg[1] & 0x08) | (vdp.reg[12] & 1);
    if (known && key == known_for) return;
    known = true;
    known_for = key;
    const int n = screen_columns();
    const int h = (vdp.reg[1] & 0x08) ? 30 : 28;
    const bool right = (vdp.reg[17] & 0x80) != 0;
    const int wx = (vdp.reg[17] & 0x1F) * 2;
    const bool down = (vdp.reg[18] & 0x80) != 0;
    const int wy = vdp.reg[18] & 0x1F;

    plane_a_enable = 1, plane_a_start = 0, plane_a_end = n;
    plane_w_enable = 0, plane_w_start = 0, plane_w_end = n;
    if ((vdp.reg[17] & 0x9F) == 0 && (vdp.reg[18] & 0x9F) == 0) return;

    const int top = down ? wy : 0;
    const int bottom = down ? h : wy;
    if (top <= r && r < bottom) {
        plane_a_enable = 0;
        plane_w_enable = 1;
        return;
    }
    if (right && wx >= n) return;
    if (wx == 0 && !right) return;

    plane_w_enable = 1;
    // A window wider than the screen stops at its right edge.
    const int split = wx < n ? wx : n;
    if (right) {
        plane_w_start = split, plane_w_end = n;
        plane_a_start = 0, plane_a_end = split;
    } else {
        plane_w_start = 0, plane_w_end = split;
        plane_a_start = split, plane_a_end = n;
    }
}

namespace {

uint64_t reverse_bytes(uint64_t v) {
    v = v >> 32 | v << 32;
    v = (v & 0xFFFF0000FFFF0000) >> 16 | (v & 0x0000FFFF0000FFFF) << 16;
    return (v & 0xFF00FF00FF00FF00) >> 8 | (v & 0x00FF00FF00FF00FF) << 8;
}

}  // namespace

void cache_tiles() {
    for (unsigned i = 0; i < vram_dirty_index; i++) {
        const unsigned t = vram_dirty_queue[i];
        vram_dirty_list[t] = 0;
        note_vram_tile_changed(t);
        const uint8_t* src = vdp.vram + t * 32;
        uint8_t* o0 = tile_cache + (0 * 2048 + t) * 64;
        uint8_t* o1 = tile_cache + (1 * 2048 + t) * 64;
        uint8_t* o2 = tile_cache + (2 * 2048 + t) * 64;
        uint8_t* o3 = tile_cache + (3 * 2048 + t) * 64;
        for (int r = 0; r < 8; r++) {
            const uint8_t* row = src + r * 4;
            const uint64_t nibbles = uint64_t{row[0]} << 24 | uint64_t{row[1]} << 16 | uint64_t{row[2]} << 8 | row[3];
            // Byte j of the word: nibble j from the right, which is pixel 7 - j.
            uint64_t right_to_left = (nibbles | nibbles << 16) & 0x0000FFFF0000FFFF;
            right_to_left = (right_to_left | right_to_left << 8) & 0x00FF00FF00FF00FF;
            right_to_left = (right_to_left | right_to_left << 4) & 0x0F0F0F0F0F0F0F0F;
            const uint64_t left_to_right = reverse_bytes(right_to_left);
            // As stored, pixel x at byte x of the row.
            const bool little = std::endian::native == std::endian::little;
            const uint64_t plain = little ? left_to_right : right_to_left;
            const uint64_t flipped = little ? right_to_left : left_to_right;
            std::memcpy(o0 + r * 8, &plain, 8);
            std::memcpy(o1 + r * 8, &flipped, 8);
            std::memcpy(o2 + (7 - r) * 8, &plain, 8);
            std::memcpy(o3 + (7 - r) * 8, &flipped, 8);
        }
    }
    vram_dirty_index = 0;
}

namespace {

// The sprite chain as read from the attribute table, kept between lines
// until a write reaches the table (seen when its tiles leave the dirty
// queue) or its base or the screen width changes. Walking the links is a
// chain of dependent reads that would otherwise be repeated on every line;
// each line's sprites are listed once, in chain order, so a line visits
// only the sprites that cross it.
struct chain_entry {
    int y, x;
    int hcells, wcells;
    unsigned size, attr;
    // Worked out once for the lines it crosses: its first line byte (at most
    // 447 - 96, so its cells stay inside the line's 512 bytes and 64 groups),
    // its palette and priority in every byte, the groups one cell touches
    // there (one when on a group boundary, else two).
    int at;
    uint64_t attr_bytes;
    uint64_t cell_groups;
};
chain_entry chain[80];
bool chain_valid;
unsigned chain_base;
bool chain_wide;
uint8_t line_sprites[224][80];  // chain indices
int line_sprite_count[224];

constexpr unsigned chain_table_tiles = 128 * 8 / 32;  // links reach entries 0-127

void read_chain(bool wide) {
    const int limit = wide ? 80 : 64;
    const int right_edge = wide ? 448 : 384;
    const uint8_t* v = vdp.vram;
    unsigned k = 0;
    std::memset(line_sprite_count, 0, sizeof line_sprite_count);
    for (int i = 0; i < limit; i++) {
        if (i != 0 && k == 0) break;  // the chain has come back to sprite 0
        // Bytes wrap within video RAM: a high table base with a large link
        // number must not read past it.
        const unsigned e = sprite_table_base + k * 8;
        chain_entry& c = chain[i];
        c.size = v[(e + 2) & 0xFFFF];
        k = v[(e + 3) & 0xFFFF] & 0x7F;
        c.y = ((v[e & 0xFFFF] << 8) | v[(e + 1) & 0xFFFF]) & 0x1FF;
        c.hcells = (c.size & 3) + 1;
        c.wcells = ((c.size >> 2) & 3) + 1;
        c.attr = (v[(e + 4) & 0xFFFF] << 8) | v[(e + 5) & 0xFFFF];
        c.x = ((v[(e + 6) & 0xFFFF] << 8) | v[(e + 7) & 0xFFFF]) & 0x1FF;
        if (c.x + c.wcells * 8 < 128 || c.x >= right_edge) continue;
        c.at = c.x - 96;
        c.attr_bytes = ((c.attr >> 9) & 0x70) * byte_ones;
        c.cell_groups = groups_of(c.at & 7);
        const int first = std::max(c.y - 128, 0);
        const int last = std::min(c.y + c.hcells * 8 - 128, 224);
        for (int line = first; line < last; line++) line_sprites[line][line_sprite_count[line]++] = static_cast<uint8_t>(i);
    }
    chain_valid = true;
    chain_base = sprite_table_base;
    chain_wide = wide;
}

}  // namespace

void note_vram_tile_changed(unsigned t) {
    if (((t - (chain_base >> 5)) & 0x7FF) < chain_table_tiles) chain_valid = false;
}

void render_sprites(int line) {
    if (line < 0 || line >= 224) return;
    const bool wide = wide_mode();
    if (!chain_valid || chain_base != sprite_table_base || chain_wide != wide) read_chain(wide);
    const int y_line = line + 128;
    for (int n = 0; n < line_sprite_count[line]; n++) {
        const chain_entry& c = chain[line_sprites[line][n]];
        const unsigned a = c.attr;
        const int r = y_line - c.y;
        int cr = (r >> 3) & 3;
        if (a & 0x1000) cr = (c.size & 3) - cr;
        // Cells run down each column: the next cell across is hcells tiles
        // on, or back when flipped.
        const bool hflip = (a & 0x0800) != 0;
        unsigned tile = (a & 0x7FF) + cr + (hflip ? (c.wcells - 1) * c.hcells : 0);
        const unsigned step = hflip ? -c.hcells : c.hcells;
        const uint8_t* rows = tile_cache + (a & 0x1800) * 64 + (r & 7) * 8;
        uint8_t* dst = sprite_line + c.at;
        uint64_t groups = c.cell_groups << (c.at >> 3);
        for (int cc = 0; cc < c.wcells; cc++, tile += step, dst += 8, groups <<= 1) {
            uint64_t colours;
            std::memcpy(&colours, rows + (tile & 0x7FF) * 64, 8);
            if (colours == 0) continue;
            sprite_groups |= groups;
            uint64_t line_bytes;
            std::memcpy(&line_bytes, dst, 8);
            line_bytes = place_sprite_pixels(line_bytes, colours, c.attr_bytes);
            std::memcpy(dst, &line_bytes, 8);
        }
    }
}

namespace {

// Plane B under the plane A and window pixels already in the line, then the
// sprites over both, eight pixels at a time; plane A is read only in the
// groups where it shows, the sprite line only in the groups that hold
// sprite pixels. Each finished group goes on through the colour table into
// host pixels when to_host.
template <bool to_host>
void finish_line(uint8_t* line, int width, bool shadow_highlight, uint16_t* host, const uint16_t* colours) {
    // Kept here: the stores into the line could otherwise alias them.
    const uint64_t a_groups = plane_a_groups, sprites = sprite_groups;
    uint64_t group = uint64_t{1} << 4;  // screen pixels 0-7
    for (int v = 0; v < width; v += 8, group <<= 1) {
        uint64_t a, b;
        std::memcpy(&b, plane_b_line + 32 + v, 8);
        uint64_t planes;
        if (a_groups & group) {
            std::memcpy(&a, line + v, 8);
            planes = merge_planes(b, a);
        } else {
            planes = merge_planes(b, 0);  // plane A transparent: plane B where it is opaque
        }
        uint64_t px;
        if (sprites & group) {
            uint64_t s;
            std::memcpy(&s, sprite_line + 32 + v, 8);
            std::memset(sprite_line + 32 + v, 0, 8);  // ready for the next line
            px = merge_sprites(s, planes, shadow_highlight);
        } else {
            // No sprite pixel: what the sprite rules give for a sprite byte of 0.
            px = planes & 0x3F3F3F3F3F3F3F3F;
        }
        std::memcpy(line + v, &px, 8);
        if (to_host)
            for (int k = 0; k < 8; k++) host[v + k] = colours[line[v + k]];
    }
    // The groups outside the screen that sprites reached are cleared too.
    const int screen_groups = std::min((width + 7) / 8, 60);
    const uint64_t on_screen = ((uint64_t{1} << screen_groups) - 1) << 4;
    for (uint64_t g = sprites & ~on_screen; g != 0; g &= g - 1) std::memset(sprite_line + 8 * std::countr_zero(g), 0, 8);
    sprite_groups = 0;
    plane_a_groups = 0;
}

}  // namespace

void render_line(int line) {
    // Only the 224 lines of the frame buffer are drawn, and only into a buffer
    // wide enough for every layer.
    if (line < 0 || line >= 224 || frame_buffer == nullptr || frame_pitch < min_line_bytes) return;
    uint8_t* L = frame_buffer + static_cast<size_t>(line) * frame_pitch;
    uint16_t* host = picture_line(line, vp_width);
    const uint16_t* colours = picture_colours();
    if ((vdp.reg[1] & 0x40) == 0) {
        std::memset(L + 32, 0, vp_width);
        if (host)
            for (int x = 0; x < vp_width; x++) host[x] = colours[0];
        return;
    }
    const int sa = get_hscroll(0, line);
    const int sb = get_hscroll(1, line);
    if (vram_dirty_index != 0) cache_tiles();
    window_clip(line);
    if (plane_a_enable) render_a(line, L, sa);
    if (plane_w_enable) render_w(line, L);
    render_b(line, plane_b_line, sb);
    render_sprites(line);
    const bool shadow_highlight = (vdp.reg[12] & 0x08) != 0;
    if (host) finish_line<true>(L + 32, vp_width, shadow_highlight, host, colours);
    else finish_line<false>(L + 32, vp_width, shadow_highlight, nullptr, colours);
}
