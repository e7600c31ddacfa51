#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "vdp/palette.h"
#include "machine/board.h"
#include "machine/drivers.h"
#include "vdp_test_util.h"

using namespace vt;

namespace {

void palette_word(int index, uint16_t w) { std::memcpy(palette_ram + index * 2, &w, 2); }

// 5-6-5 and 5-5-5 fields of a host pixel.
struct fields {
    int r, g, b;
    bool operator==(const fields&) const = default;
};
fields split(uint16_t px) {
    if (pixel_format_555) return {px >> 10 & 31, px >> 5 & 31, px & 31};
    return {px >> 11, px >> 5 & 63, px & 31};
}

// Saves and restores the board globals a test changes.
class Colours : public testing::Test {
protected:
    int saved_555 = pixel_format_555, saved_enable = pal_select_enable, saved_select = pal_select,
        saved_mode = palette_mode;
    void SetUp() override {
        fresh_vdp();
        std::memset(palette_ram, 0, palette_ram_size);
        std::memset(conv_pal, 0, sizeof conv_pal);
    }
    void TearDown() override {
        pixel_format_555 = saved_555;
        pal_select_enable = saved_enable;
        pal_select = saved_select;
        palette_mode = saved_mode;
    }
};

}  // namespace

TEST_F(Colours, WorkedPaletteWords) {
    pixel_format_555 = 0;
    EXPECT_EQ(pack_normal(0x7FFF), 0xFFDF);
    EXPECT_EQ(split(pack_shadow(0x7FFF)), (fields{15, 31, 15}));
    EXPECT_EQ(split(pack_highlight(0x7FFF)), (fields{31, 63, 31}));
    EXPECT_EQ(pack_normal(0x1000), 0x0800);
    EXPECT_EQ(split(pack_normal(0x2000)), (fields{0, 2, 0}));  // green low bit
    EXPECT_EQ(split(pack_normal(0x4000)), (fields{0, 0, 1}));  // blue low bit
    EXPECT_EQ(split(pack_normal(0x0A53)), (fields{6, 20, 20}));
    EXPECT_EQ(split(pack_highlight(0x0000)), (fields{16, 32, 16}));

    pixel_format_555 = 1;
    EXPECT_EQ(pack_normal(0x7FFF), 0x7FFF);
    EXPECT_EQ(pack_normal(0x1000), 0x0400);
    EXPECT_EQ(split(pack_normal(0x0A53)), (fields{6, 10, 20}));
    EXPECT_EQ(split(pack_shadow(0x7FFF)), (fields{15, 15, 15}));
    EXPECT_EQ(split(pack_highlight(0x7FFF)), (fields{31, 31, 31}));
    EXPECT_EQ(split(pack_highlight(0x0000)), (fields{16, 16, 16}));
}

TEST_F(Colours, DynamicTableFollowsPaletteRamAndBank) {
    pixel_format_555 = 0;
    pal_select_enable = 1;
    for (int i = 0; i < 512; i++) palette_word(i, static_cast<uint16_t>(i & 0x0FFF));
    pal_select = 10;
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[0], pack_normal(128));
    EXPECT_EQ(conv_pal[63], pack_normal(191));
    EXPECT_EQ(conv_pal[64], pack_normal(384));
    EXPECT_EQ(conv_pal[127], pack_normal(447));

    pal_select = 5;
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[1], pack_normal(65));
    pal_select = 15;
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[64], pack_normal(448));
    pal_select = 7;  // not a bank value: bank 0
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[2], pack_normal(2));
    EXPECT_EQ(conv_pal[66], pack_normal(258));

    pal_select_enable = 0;  // the game ignores the register
    pal_select = 10;
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[3], pack_normal(3));
}

TEST_F(Colours, ShadowAndHighlightOnlyInThatMode) {
    pixel_format_555 = 0;
    pal_select_enable = 0;
    for (int i = 0; i < 512; i++) palette_word(i, 0x7FFF);
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[128], 0);
    EXPECT_EQ(conv_pal[192], 0);

    set_reg(12, 0x08);
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[128], pack_shadow(0x7FFF));
    EXPECT_EQ(conv_pal[191], pack_shadow(0x7FFF));
    EXPECT_EQ(conv_pal[192], pack_highlight(0x7FFF));
    EXPECT_EQ(conv_pal[253], pack_highlight(0x7FFF));
    // 254 and 255 are never computed from palette RAM.
    EXPECT_EQ(conv_pal[254], 0);
    EXPECT_EQ(conv_pal[255], 0);

    // Leaving the mode keeps the old shadow entries.
    palette_word(0, 0x0000);
    set_reg(12, 0x00);
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[0], 0);
    EXPECT_EQ(conv_pal[128], pack_shadow(0x7FFF));
}

TEST_F(Colours, FixedPalette) {
    for (int n = 64; n < 254; n++) {
        const rgb6& a = fixed_palette[n];
        const rgb6& b = fixed_palette[n & 63];
        ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << n;
    }
    pixel_format_555 = 0;
    set_palette_m13();
    EXPECT_EQ(conv_pal[8], 0x52AA);
    EXPECT_EQ(conv_pal[8 + 64], 0x52AA);
    EXPECT_EQ(conv_pal[254], 0xFFFF);
    EXPECT_EQ(conv_pal[255], 0x0000);
    EXPECT_EQ(split(conv_pal[41]), (fields{31, 16, 0}));
    pixel_format_555 = 1;
    set_palette_m13();
    EXPECT_EQ(split(conv_pal[8]), (fields{10, 10, 10}));
    EXPECT_EQ(conv_pal[254], 0x7FFF);
}

TEST_F(Colours, PaletteModeSwitch) {
    pixel_format_555 = 0;
    set_palette_mode(0);
    EXPECT_EQ(palette_mode, 0);
    EXPECT_EQ(conv_pal[8], 0x52AA);

    // Dynamic mode starts from a cleared table; 254 and 255 stay black.
    set_palette_mode(1);
    EXPECT_EQ(palette_mode, 1);
    EXPECT_EQ(conv_pal[8], 0);
    set_reg(12, 0x08);
    for (int i = 0; i < 512; i++) palette_word(i, 0x7FFF);
    update_conv_pal(board_palette());
    EXPECT_EQ(conv_pal[254], 0);
    EXPECT_EQ(conv_pal[255], 0);
}

TEST_F(Colours, ConvertFrameWalksBothPitches) {
    frame f(1024);
    // A staging image with a narrower pitch than the frame buffer, and a guard line.
    const int pitch = 700;
    std::vector<uint16_t> staging(pitch / 2 * 225, 0xAAAA);
    for (int i = 0; i < 256; i++) conv_pal[i] = static_cast<uint16_t>(0x100 + i);
    set_reg(12, 0x81);
    set_reg(1, 0x4C);  // 240 lines: only 224 fit the staging image
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++) f.bytes[y * 1024 + 32 + x] = static_cast<uint8_t>(x + y);
    convert_frame(staging.data(), pitch / 2);
    EXPECT_EQ(staging[0], 0x100);
    EXPECT_EQ(staging[319], 0x100 + 63);
    EXPECT_EQ(staging[320], 0xAAAA);
    EXPECT_EQ(staging[223 * 350 + 5], 0x100 + ((223 + 5) & 0xFF));
    EXPECT_EQ(staging[224 * 350], 0xAAAA);

    frame_buffer = nullptr;  // no frame buffer: nothing converted
    staging[0] = 0xAAAA;
    convert_frame(staging.data(), pitch / 2);
    EXPECT_EQ(staging[0], 0xAAAA);
}

TEST(FrameBuffer, InitMachineAllocatesEveryLine) {
    init_machine();
    ASSERT_NE(frame_buffer, nullptr);
    EXPECT_EQ(frame_pitch, frame_buffer_pitch);
    frame_buffer[frame_buffer_pitch * frame_buffer_lines - 1] = 1;  // the whole block is ours
    init_machine();                                                // reallocation frees the old block
    ASSERT_NE(frame_buffer, nullptr);
    EXPECT_EQ(frame_buffer[frame_buffer_pitch * frame_buffer_lines - 1], 0);
}
