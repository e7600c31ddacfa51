// Renders the busy scene into a PNG under the build folder for a person to
// look at, and checks a handful of its pixels worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "busy_scene.h"
#include "machine/drivers.h"
#include "png_files.h"

TEST(Picture, BusySceneRendersAndConverts) {
    const int saved_555 = pixel_format_555, saved_enable = pal_select_enable;

    scene::build();
    vt::frame f;
    for (int line = 0; line < 224; line++) render_line(line);

    // Sprite 0's centre (ball colour 15, priority) over the window band.
    EXPECT_EQ(f.at(8, 0), 0x4F);
    // Sprite 1 (no priority) over a plain window cell of the band.
    EXPECT_EQ(f.at(4, 36), 0x5E);
    // Window band between two sprites: panel inside colour.
    EXPECT_EQ(f.at(4, 17), 0x3A);
    // Right panel border, between sprites 37 and 38.
    EXPECT_EQ(f.at(100, 255), 0x39);
    // Plane A checker with priority, scrolled 75 right and 5 down.
    EXPECT_EQ(f.at(100, 16), 0x26);
    // Plane B brick through a transparent plane A cell, scrolled 1 right.
    EXPECT_EQ(f.at(81, 16), 0x02);

    std::vector<uint16_t> staging(512 * 224, 0);
    pixel_format_555 = 0;
    pal_select_enable = 0;
    update_conv_pal(board_palette());
    convert_frame(staging.data(), 512);
    EXPECT_EQ(staging[8 * 512 + 0], 0xF186);  // red ball at full brightness: (30, 12, 6)
    EXPECT_EQ(staging[81 * 512 + 16], conv_pal[2]);

    const std::string path = std::string(VDP_PICTURE_DIR) + "/vdp_busy_scene.png";
    EXPECT_TRUE(png_files::write(path, png_files::from_rgb565(staging.data(), 512, vp_width, vp_height))) << path;

    pixel_format_555 = saved_555;
    pal_select_enable = saved_enable;
}
