// A busy 320-pixel screen built through the ports as a game would: two
// planes scrolled line by line, a window band and panel, and 80 sprites of
// 32x32 in one chain. Shared by the picture test and the renderer benchmark.
#pragma once
#include <cstdint>
#include <cstring>

#include "machine/board.h"
#include "vdp_test_util.h"

namespace scene {

constexpr int brick_tile = 16;    // plane B
constexpr int checker_tile = 17;  // plane A, with priority
constexpr int stripe_tile = 18;   // plane A, half transparent
constexpr int panel_tile = 20;    // window: border 9, inside 10
constexpr int ball_tile = 64;     // 4 x 4 cells, column by column
constexpr int sprite_count = 80;

inline int brick(int x, int y) {
    if (y == 0 || y == 4) return 1;
    if (x == (y < 4 ? 0 : 4)) return 1;
    return 2 + ((x + y) & 1);
}
inline int checker(int x, int y) { return (((x >> 2) ^ (y >> 2)) & 1) ? 6 : 5; }
inline int stripe(int x, int y) { return ((x + y) & 4) ? 7 + ((x + y) & 1) : 0; }
inline int panel(int x, int y) { return (x == 0 || x == 7 || y == 0 || y == 7) ? 9 : 10; }

// Ball of radius 15 centred in 32x32: colour 15 at the middle fading to 1.
inline int ball(int px, int py, int shade = 0) {
    const int dx = 2 * px - 31, dy = 2 * py - 31;
    const int d2 = dx * dx + dy * dy;
    if (d2 >= 900) return 0;
    const int c = 15 - d2 * 14 / 900 - shade;
    return c < 1 ? 1 : c;
}

// Cell (c, r) of plane A: checkers with priority every 8th column, stripes
// on every third diagonal, transparent elsewhere.
inline uint16_t plane_a_cell(int c, int r) {
    if (c % 8 == 0) return vt::name_entry(checker_tile, 2, true);
    if ((c + r) % 3 == 0) return vt::name_entry(stripe_tile, 1);
    return 0;
}

inline int plane_a_hscroll(int line, int frame) { return (line * 3 / 4 + frame) & 0x3FF; }
inline int plane_b_hscroll(int line, int frame) {
    const int t = (line + frame) % 64;
    return ((t < 32 ? t : 64 - t) - 16) & 0x3FF;
}
constexpr int plane_a_vscroll = 5;

inline int sprite_x(int i) { return 112 + (i % 10) * 34; }
inline int sprite_y(int i) { return 120 + (i / 10) * 30; }
inline uint16_t sprite_attr(int i) {
    return vt::name_entry(ball_tile, i % 4, i % 3 == 0);
}

inline void palette_word(int index, uint16_t w) { std::memcpy(palette_ram + index * 2, &w, 2); }
inline uint16_t rgb(int r, int g, int b) {  // four bits each
    return static_cast<uint16_t>((b << 8) | (g << 4) | r);
}

inline void write_ball(int shade) {
    for (int cc = 0; cc < 4; cc++)
        for (int cr = 0; cr < 4; cr++)
            vt::write_tile(ball_tile + cc * 4 + cr,
                           [&](int x, int y) { return ball(cc * 8 + x, cr * 8 + y, shade); });
}

inline void write_scroll(int frame) {
    vt::command(vt::vram_write, hscroll_base);
    for (int line = 0; line < 224; line++) {
        vdp_data_w(static_cast<uint16_t>(plane_a_hscroll(line, frame)));
        vdp_data_w(static_cast<uint16_t>(plane_b_hscroll(line, frame)));
    }
}

inline void build() {
    vt::fresh_vdp();
    vt::set_reg(12, 0x81);  // 320 pixels
    vt::set_reg(11, 0x03);  // scroll by line
    vt::set_reg(16, 0x01);  // 64 x 32 cells
    vt::set_reg(17, 0x8F);  // window panel right of column 30
    vt::set_reg(18, 0x02);  // window band over the top two rows

    for (int t = 1; t <= 15; t++) vt::solid_tile(t, t);
    vt::write_tile(brick_tile, brick);
    vt::write_tile(checker_tile, checker);
    vt::write_tile(stripe_tile, stripe);
    vt::write_tile(panel_tile, panel);
    write_ball(0);

    for (int r = 0; r < 32; r++)
        for (int c = 0; c < 64; c++) {
            vt::plane_cell(plane_a_base, c, r, plane_a_cell(c, r));
            vt::plane_cell(plane_b_base, c, r, vt::name_entry(brick_tile, 0));
        }
    for (int r = 0; r < 28; r++)
        for (int c = 0; c < 40; c++)
            vt::window_cell(c, r, (r < 2 && c % 8 == 4) ? vt::name_entry(1 + c / 8, 3) : vt::name_entry(panel_tile, 3));
    write_scroll(0);
    vt::poke_words(vt::vsram_write, 0, {plane_a_vscroll, 0});

    for (int i = 0; i < sprite_count; i++)
        vt::write_sprite(i, {.y = sprite_y(i), .x = sprite_x(i), .wcells = 4, .hcells = 4,
                             .link = (i + 1) % sprite_count, .attr = sprite_attr(i)});

    // Plane lines 0-3 and sprite lines 0-3, sixteen shades each.
    for (int i = 0; i < 16; i++) {
        palette_word(i, rgb(i / 2, i / 2, 4 + i * 11 / 16));         // bricks: blues
        palette_word(16 + i, rgb(2 + i * 13 / 16, 4 + i / 2, 2));     // stripes: ambers
        palette_word(32 + i, rgb(i, i, i));                           // checkers: greys
        palette_word(48 + i, rgb(i * 3 / 4, 2 + i * 3 / 4, i));        // window: greens
        palette_word(256 + i, rgb(i, i / 4, i / 4));                  // balls: red
        palette_word(272 + i, rgb(i / 4, i, i / 4));                  //        green
        palette_word(288 + i, rgb(i / 4, i / 4, i));                  //        blue
        palette_word(304 + i, rgb(i, i, i / 3));                      //        yellow
    }
    palette_word(0, rgb(0, 0, 2));
}

// What a game changes between frames: the scroll tables and the ball tiles.
inline void animate(int frame) {
    write_scroll(frame);
    write_ball(frame % 3);
}

}  // namespace scene
