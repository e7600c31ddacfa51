#include <gtest/gtest.h>

#include "vdp_test_util.h"

using namespace vt;

namespace {

class Render : public testing::Test {
protected:
    frame f;
    void SetUp() override {
        fresh_vdp();
        for (int t = 1; t <= 15; t++) solid_tile(t, t);  // tile t: colour t everywhere
    }
    void hscroll(int word, uint16_t value) { vram_word(static_cast<uint16_t>(hscroll_base + word * 2), value); }
    void vscroll(int word, uint16_t value) { poke_words(vsram_write, static_cast<uint16_t>(word * 2), {value}); }
    uint8_t draw(int line, int x) {
        render_line(line);
        return f.at(line, x);
    }
};

constexpr int ramp_tile = 16;     // colour x + 1 at pixel x
constexpr int corner_tile = 17;   // 1, 2, 3, 4 in the corners, 5 elsewhere

}  // namespace

TEST_F(Render, ScrollOfZeroAndOne) {
    write_tile(ramp_tile, [](int x, int) { return x + 1; });
    write_tile(ramp_tile + 1, [](int x, int) { return x + 8; });
    plane_cell(plane_a_base, 0, 0, name_entry(ramp_tile));
    plane_cell(plane_a_base, 63, 0, name_entry(ramp_tile + 1));

    render_line(0);
    for (int x = 0; x < 8; x++) EXPECT_EQ(f.at(0, x), x + 1) << x;
    EXPECT_EQ(f.at(0, 8), 0);
    EXPECT_EQ(f.at(0, 255), 0);

    // A scroll of 1 brings the last pixel of the rightmost column to pixel 0.
    hscroll(0, 1);
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 15);
    for (int x = 1; x < 9; x++) EXPECT_EQ(f.at(0, x), x) << x;
    EXPECT_EQ(f.at(0, 9), 0);

    // A scroll of -1 (0x3FF) pulls column 0 one pixel left.
    hscroll(0, 0x3FF);
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 2);
    EXPECT_EQ(f.at(0, 6), 8);
    EXPECT_EQ(f.at(0, 7), 0);
}

TEST_F(Render, HorizontalScrollModes) {
    // Column c of plane A shows colour c % 15 + 1; a scroll of 8k shows column
    // 64 - k at screen pixel 0.
    for (int c = 0; c < 64; c++)
        for (int row = 0; row < 4; row++) plane_cell(plane_a_base, c, row, name_entry(c % 15 + 1));
    auto colour_for = [](int k) { return ((64 - k) & 63) % 15 + 1; };
    for (int j = 0; j < 32; j++) hscroll(j * 2, static_cast<uint16_t>(8 * (j + 1)));

    set_reg(11, 0);
    EXPECT_EQ(draw(9, 0), colour_for(1));
    EXPECT_EQ(draw(20, 0), colour_for(1));
    set_reg(11, 1);  // the first eight lines' entries, repeating
    EXPECT_EQ(draw(1, 0), colour_for(2));
    EXPECT_EQ(draw(9, 0), colour_for(2));
    EXPECT_EQ(draw(23, 0), colour_for(8));
    set_reg(11, 2);  // one entry per 8-line row
    EXPECT_EQ(draw(9, 0), colour_for(9));
    EXPECT_EQ(draw(15, 0), colour_for(9));
    set_reg(11, 3);  // one entry per line
    EXPECT_EQ(draw(9, 0), colour_for(10));
    EXPECT_EQ(draw(10, 0), colour_for(11));
}

TEST_F(Render, VerticalScrollFullAndPerColumnPair) {
    for (int c = 0; c < 64; c++) {
        plane_cell(plane_a_base, c, 0, name_entry(1));
        plane_cell(plane_a_base, c, 1, name_entry(2));
        plane_cell(plane_b_base, c, 0, name_entry(3));
        plane_cell(plane_b_base, c, 1, name_entry(4));
    }
    EXPECT_EQ(draw(0, 0), 1);
    vscroll(0, 8);
    EXPECT_EQ(draw(0, 100), 2);
    vscroll(0, 255);  // wraps at the plane height: line 1 shows row 0
    EXPECT_EQ(draw(1, 0), 1);
    vscroll(0, 0);

    set_reg(11, 4);
    vscroll(2, 8);  // column pair 1 of plane A
    render_line(0);
    EXPECT_EQ(f.at(0, 15), 1);
    EXPECT_EQ(f.at(0, 16), 2);
    EXPECT_EQ(f.at(0, 31), 2);
    EXPECT_EQ(f.at(0, 32), 1);

    // Plane B follows the odd words: hide plane A and scroll pair 0 of B.
    for (int c = 0; c < 64; c++) plane_cell(plane_a_base, c, 0, name_entry(0));
    vscroll(2, 0);
    vscroll(1, 8);
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 4);
    EXPECT_EQ(f.at(0, 16), 3);
}

TEST_F(Render, TileFlips) {
    write_tile(corner_tile, [](int x, int y) {
        if (y == 0) return x == 0 ? 1 : x == 7 ? 2 : 5;
        if (y == 7) return x == 0 ? 3 : x == 7 ? 4 : 5;
        return 5;
    });
    plane_cell(plane_a_base, 0, 0, name_entry(corner_tile));
    plane_cell(plane_a_base, 1, 0, name_entry(corner_tile, 0, false, true, false));
    plane_cell(plane_a_base, 2, 0, name_entry(corner_tile, 0, false, false, true));
    plane_cell(plane_a_base, 3, 0, name_entry(corner_tile, 0, false, true, true));
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 1);
    EXPECT_EQ(f.at(0, 7), 2);
    EXPECT_EQ(f.at(0, 8), 2);
    EXPECT_EQ(f.at(0, 15), 1);
    EXPECT_EQ(f.at(0, 16), 3);
    EXPECT_EQ(f.at(0, 23), 4);
    EXPECT_EQ(f.at(0, 24), 4);
    EXPECT_EQ(f.at(0, 31), 3);
    render_line(7);
    EXPECT_EQ(f.at(7, 0), 3);
    EXPECT_EQ(f.at(7, 8), 4);
    EXPECT_EQ(f.at(7, 16), 1);
    EXPECT_EQ(f.at(7, 24), 2);
}

TEST_F(Render, PlanePriorityAgainstPlaneB) {
    // Plane A in palette 1, plane B in palette 2.
    plane_cell(plane_a_base, 0, 0, name_entry(0, 1, true));   // priority, transparent
    plane_cell(plane_b_base, 0, 0, name_entry(2, 2, false));
    plane_cell(plane_a_base, 1, 0, name_entry(1, 1, false));
    plane_cell(plane_b_base, 1, 0, name_entry(2, 2, true));
    plane_cell(plane_a_base, 2, 0, name_entry(1, 1, false));
    plane_cell(plane_b_base, 2, 0, name_entry(2, 2, false));
    plane_cell(plane_a_base, 3, 0, name_entry(1, 1, true));
    plane_cell(plane_b_base, 3, 0, name_entry(2, 2, true));
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 0x22);  // B shows through a transparent pixel with priority
    EXPECT_EQ(f.at(0, 8), 0x22);  // B with priority over A without
    EXPECT_EQ(f.at(0, 16), 0x11);
    EXPECT_EQ(f.at(0, 24), 0x11);
    EXPECT_EQ(f.at(0, 32), 0x00);  // nothing anywhere: the backdrop
}

TEST_F(Render, WindowSplits) {
    for (int c = 0; c < 64; c++)
        for (int row = 0; row < 28; row++) {
            plane_cell(plane_a_base, c, row, name_entry(1));
            window_cell(c % 32, row, name_entry(3));
        }

    set_reg(17, 0x85);  // right of column 10
    window_clip(0);
    EXPECT_EQ(plane_a_enable, 1);
    EXPECT_EQ(plane_a_start, 0);
    EXPECT_EQ(plane_a_end, 10);
    EXPECT_EQ(plane_w_enable, 1);
    EXPECT_EQ(plane_w_start, 10);
    EXPECT_EQ(plane_w_end, 32);
    render_line(0);
    EXPECT_EQ(f.at(0, 79), 1);
    EXPECT_EQ(f.at(0, 80), 3);
    EXPECT_EQ(f.at(0, 255), 3);

    set_reg(17, 0x05);  // left of column 10, with plane A finely scrolled
    hscroll(0, 3);
    render_line(5);
    EXPECT_EQ(f.at(5, 0), 3);
    EXPECT_EQ(f.at(5, 79), 3);
    EXPECT_EQ(f.at(5, 80), 1);
    hscroll(0, 0);

    set_reg(17, 0x94);  // wx 40: beyond the 32 columns, no window
    window_clip(0);
    EXPECT_EQ(plane_w_enable, 0);
    EXPECT_EQ(plane_a_end, 32);
    EXPECT_EQ(draw(0, 200), 1);

    set_reg(17, 0x14);  // left of column 40: the whole line, and no further
    window_clip(0);
    EXPECT_EQ(plane_w_end, 32);
    EXPECT_EQ(draw(0, 255), 3);

    set_reg(17, 0x00);
    set_reg(18, 0x05);  // the top five rows
    EXPECT_EQ(draw(39, 0), 3);
    window_clip(39);
    EXPECT_EQ(plane_a_enable, 0);
    EXPECT_EQ(draw(39, 255), 3);
    EXPECT_EQ(draw(40, 0), 1);

    set_reg(18, 0x85);  // from row 5 down
    EXPECT_EQ(draw(39, 0), 1);
    EXPECT_EQ(draw(40, 0), 3);
    EXPECT_EQ(draw(223, 0), 3);
}

TEST_F(Render, WindowRowsAre64CellsWideIn320PixelMode) {
    set_reg(12, 0x81);
    set_reg(18, 0x05);
    window_cell(0, 1, name_entry(4));
    window_cell(39, 1, name_entry(5));
    EXPECT_EQ(draw(8, 0), 4);
    EXPECT_EQ(f.at(8, 319), 5);
    EXPECT_EQ(f.at(8, 8), 0);
}

TEST_F(Render, DisplayOffBlanksTheLineAndKeepsDirtyTiles) {
    plane_cell(plane_a_base, 0, 0, name_entry(1));
    set_reg(1, 0x04);
    solid_tile(1, 9);
    const int queued = vram_dirty_index;
    ASSERT_GT(queued, 0);
    render_line(3);
    for (int x = 0; x < 256; x++) ASSERT_EQ(f.at(3, x), 0);
    EXPECT_EQ(f.at(3, 256), 0xEE);
    EXPECT_EQ(vram_dirty_index, queued);
    set_reg(1, 0x44);
    EXPECT_EQ(draw(0, 0), 9);
    EXPECT_EQ(vram_dirty_index, 0);
}

TEST_F(Render, LinesOutsideTheFrameBufferAreNotDrawn) {
    set_reg(1, 0x4C);  // 240-line mode
    plane_cell(plane_a_base, 0, 28, name_entry(1));
    const size_t end = static_cast<size_t>(224) * frame_pitch;
    render_line(224);
    render_line(239);
    render_line(-1);
    for (size_t i = end; i < f.bytes.size(); i++) ASSERT_EQ(f.bytes[i], 0xEE);
    for (size_t i = 0; i < end; i++) ASSERT_EQ(f.bytes[i], 0xEE);

    uint8_t* saved = frame_buffer;
    frame_buffer = nullptr;  // no buffer: nothing is drawn, nothing crashes
    render_line(0);
    frame_buffer = saved;
    EXPECT_EQ(f.at(0, 0), 0xEE);
}

namespace {

class Sprites : public Render {};

}  // namespace

TEST_F(Sprites, FirstInTheChainShowsWhateverThePriority) {
    // Chain 0 -> 2 -> 1; sprites overlap by half a cell.
    write_sprite(0, {.y = 128, .x = 128, .link = 2, .attr = name_entry(6)});
    write_sprite(2, {.y = 128, .x = 132, .link = 1, .attr = name_entry(7, 0, true)});
    write_sprite(1, {.y = 128, .x = 136, .link = 0, .attr = name_entry(6, 1)});
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 0x46);
    EXPECT_EQ(f.at(0, 7), 0x46);
    EXPECT_EQ(f.at(0, 8), 0x47);
    EXPECT_EQ(f.at(0, 11), 0x47);
    EXPECT_EQ(f.at(0, 12), 0x56);
    EXPECT_EQ(f.at(0, 15), 0x56);
    EXPECT_EQ(f.at(0, 16), 0x00);
    EXPECT_EQ(f.at(8, 0), 0xEE);  // line 8 not drawn yet
    EXPECT_EQ(draw(8, 0), 0x00);   // the sprites are 8 lines tall

    // A plane with priority covers sprite 0 (no priority) even where the
    // later sprite 2 with priority lies under it.
    plane_cell(plane_a_base, 0, 0, name_entry(1, 0, true));
    plane_cell(plane_a_base, 1, 0, name_entry(1, 0, true));
    render_line(0);
    EXPECT_EQ(f.at(0, 4), 0x01);
    EXPECT_EQ(f.at(0, 8), 0x47);
    EXPECT_EQ(f.at(0, 12), 0x01);
}

TEST_F(Sprites, CellsFlipsAndLeftEdge) {
    // 2x2 cells: tiles run down each column first.
    for (int t = 8; t <= 11; t++) solid_tile(t, t);
    write_sprite(0, {.y = 128, .x = 128, .wcells = 2, .hcells = 2, .link = 1, .attr = name_entry(8)});
    write_sprite(1, {.y = 128, .x = 160, .wcells = 2, .hcells = 2, .link = 2, .attr = name_entry(8, 0, false, true)});
    write_sprite(2, {.y = 128, .x = 192, .wcells = 2, .hcells = 2, .link = 3, .attr = name_entry(8, 0, false, false, true)});
    write_tile(ramp_tile, [](int x, int) { return x + 1; });
    write_sprite(3, {.y = 144, .x = 124, .link = 0, .attr = name_entry(ramp_tile)});
    render_line(16);  // sprite 3 hangs 4 pixels left of the screen
    EXPECT_EQ(f.at(16, 0), 0x45);
    EXPECT_EQ(f.at(16, 3), 0x48);
    EXPECT_EQ(f.at(16, 4), 0x00);
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 0x48);
    EXPECT_EQ(f.at(0, 8), 0x4A);
    EXPECT_EQ(f.at(0, 32), 0x4A);  // horizontal flip swaps the columns
    EXPECT_EQ(f.at(0, 40), 0x48);
    EXPECT_EQ(f.at(0, 64), 0x49);  // vertical flip swaps the rows
    EXPECT_EQ(f.at(0, 72), 0x4B);
    render_line(8);
    EXPECT_EQ(f.at(8, 0), 0x49);
    EXPECT_EQ(f.at(8, 8), 0x4B);
    EXPECT_EQ(f.at(8, 64), 0x48);
}

TEST_F(Sprites, OnlyTheRowsInsideTheScreenShowAtTheTopAndBottom) {
    for (int t = 8; t <= 11; t++) solid_tile(t, t);
    write_sprite(0, {.y = 112, .x = 128, .hcells = 2, .link = 1, .attr = name_entry(1)});  // wholly above
    write_sprite(1, {.y = 120, .x = 136, .hcells = 2, .link = 2, .attr = name_entry(8)});
    write_sprite(2, {.y = 128 + 220, .x = 144, .hcells = 2, .link = 0, .attr = name_entry(10)});
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 0);
    EXPECT_EQ(f.at(0, 8), 0x49);  // the second row of cells
    EXPECT_EQ(f.at(0, 16), 0);
    EXPECT_EQ(draw(7, 8), 0x49);
    EXPECT_EQ(draw(8, 8), 0);
    EXPECT_EQ(draw(219, 16), 0);
    EXPECT_EQ(draw(220, 16), 0x4A);
    EXPECT_EQ(draw(223, 16), 0x4A);
}

TEST_F(Sprites, ChainLimitAndLoops) {
    // Sprites 0..81 in a chain, 32 to a row of cells, each its own colour.
    for (int i = 0; i < 82; i++)
        write_sprite(i, {.y = 128 + (i / 32) * 8, .x = 128 + (i % 32) * 8, .link = (i + 1) % 82,
                         .attr = name_entry(i % 15 + 1)});
    render_line(16);  // sprites 64..69 start row 2: past the 64-sprite limit
    EXPECT_EQ(f.at(16, 0), 0);
    EXPECT_EQ(draw(8, 8 * 31), 0x40 | (63 % 15 + 1));

    set_reg(12, 0x81);  // 80 sprites in 320-pixel mode; the table base moves
    set_reg(5, 0x6C);
    ASSERT_EQ(sprite_table_base, 0xD800);
    render_line(16);
    EXPECT_EQ(f.at(16, 0), 0x40 | (64 % 15 + 1));
    EXPECT_EQ(f.at(16, 15 * 8), 0x40 | (79 % 15 + 1));
    EXPECT_EQ(f.at(16, 16 * 8), 0);  // sprite 80

    // A chain that loops back onto itself ends at the limit.
    write_sprite(1, {.y = 128, .x = 136, .link = 1, .attr = name_entry(3)});
    render_line(0);
    EXPECT_EQ(f.at(0, 8), 0x43);
    EXPECT_EQ(f.at(0, 16), 0);
}

TEST_F(Sprites, EntriesPastTheEndOfVideoRamWrapAround) {
    set_reg(5, 0x7F);  // table at 0xFE00; link 127 sits at 0x101F8
    ASSERT_EQ(sprite_table_base, 0xFE00);
    write_sprite(0, {.y = 0, .x = 0, .link = 127});
    poke_words(vram_write, 0x01F8, {128, 0x0000, name_entry(6), 136});
    EXPECT_EQ(draw(0, 8), 0x46);
}

TEST_F(Sprites, ShadowAndHighlightOperators) {
    set_reg(12, 0x08);
    for (int t = 20; t <= 22; t++) solid_tile(t, 14);  // a 3-cell highlight operator
    plane_cell(plane_a_base, 0, 0, name_entry(3, 1));
    plane_cell(plane_a_base, 1, 0, name_entry(3, 1, true));
    plane_cell(plane_a_base, 2, 0, name_entry(3, 1));
    write_sprite(0, {.y = 128, .x = 128, .wcells = 3, .link = 1, .attr = name_entry(20, 3)});
    write_sprite(1, {.y = 128, .x = 152, .link = 2, .attr = name_entry(15, 3)});
    write_sprite(2, {.y = 128, .x = 160, .link = 3, .attr = name_entry(5, 2)});
    write_sprite(3, {.y = 128, .x = 168, .link = 0, .attr = name_entry(14, 3, true)});
    plane_cell(plane_a_base, 3, 0, name_entry(3, 1));
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 0xD3);   // highlight
    EXPECT_EQ(f.at(0, 8), 0x13);   // operator without priority over a plane with it
    EXPECT_EQ(f.at(0, 16), 0xD3);
    EXPECT_EQ(f.at(0, 24), 0x93);  // shadow
    EXPECT_EQ(f.at(0, 32), 0x65);  // an ordinary sprite is drawn as usual
    EXPECT_EQ(f.at(0, 40), 0xC0);  // highlight of the backdrop
    // Without the mode, operators are ordinary colours.
    set_reg(12, 0x00);
    render_line(0);
    EXPECT_EQ(f.at(0, 0), 0x7E);
    EXPECT_EQ(f.at(0, 8), 0x13);
}

TEST_F(Sprites, TableChangesShowOnTheNextLine) {
    write_sprite(0, {.y = 128, .x = 128, .link = 0, .attr = name_entry(6)});
    EXPECT_EQ(draw(0, 0), 0x46);
    vram_word(static_cast<uint16_t>(sprite_table_base + 6), 200);  // move it by the data port
    render_line(1);
    EXPECT_EQ(f.at(1, 0), 0x00);
    EXPECT_EQ(f.at(1, 72), 0x46);

    // A copy into the table: sprite 0 takes the attribute word of entry 5.
    write_sprite(5, {.attr = name_entry(7)});
    set_reg(1, 0x54);
    set_reg(15, 1);
    set_reg(19, 2), set_reg(20, 0), set_reg(21, 0x2C), set_reg(22, 0xD8), set_reg(23, 0xC0);
    command(vram_read | 0x20, static_cast<uint16_t>(sprite_table_base + 4));
    set_reg(15, 2);
    EXPECT_EQ(draw(2, 72), 0x47);

    // A new table base is read at once.
    write_sprite(0, {.y = 128, .x = 136, .link = 0, .attr = name_entry(8)});
    set_reg(5, 0x6D);
    write_sprite(0, {.y = 128, .x = 144, .link = 0, .attr = name_entry(9)});
    render_line(3);
    EXPECT_EQ(f.at(3, 16), 0x49);
    EXPECT_EQ(f.at(3, 8), 0x00);
    set_reg(5, 0x6C);
    render_line(3);
    EXPECT_EQ(f.at(3, 8), 0x48);
}
