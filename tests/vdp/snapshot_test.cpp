// The renderer's pictures pinned byte for byte: the demo cartridge at
// several frames in both palette modes, the busy scene, the same scene in
// shadow/highlight mode and a window scene, each as host pixels and as the
// board's own pixel bytes, against PNG files kept beside this test. Any
// change of the picture fails here. With VORTAN_WRITE_SNAPSHOTS=1 in the
// environment the files are written anew instead (and the test is skipped).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "busy_scene.h"
#include "machine/core.h"
#include "machine/drivers.h"
#include "png_files.h"

namespace {

bool writing() {
    const char* w = std::getenv("VORTAN_WRITE_SNAPSHOTS");
    return w && *w == '1';
}

std::string snapshot_path(const std::string& name) { return std::string(SNAPSHOT_DIR) + "/" + name + ".png"; }

// Where the two images differ first, or "" when they are the same.
std::string difference(const png_files::image& want, const png_files::image& got) {
    if (want.width != got.width || want.height != got.height || want.channels != got.channels)
        return "size " + std::to_string(got.width) + "x" + std::to_string(got.height) + ", kept " +
               std::to_string(want.width) + "x" + std::to_string(want.height);
    for (size_t i = 0; i < want.bytes.size(); i++) {
        if (want.bytes[i] != got.bytes[i]) {
            const size_t pixel = i / static_cast<size_t>(want.channels);
            return "first at x " + std::to_string(pixel % want.width) + ", line " + std::to_string(pixel / want.width);
        }
    }
    return "";
}

void check(const std::string& name, const png_files::image& got) {
    const std::string path = snapshot_path(name);
    if (writing()) {
        ASSERT_TRUE(png_files::write(path, got)) << path;
        return;
    }
    png_files::image want;
    ASSERT_TRUE(png_files::read(path, want)) << "cannot read " << path;
    const std::string where = difference(want, got);
    EXPECT_EQ(where, "") << name << " differs from its snapshot, " << where;
}

void check_picture(const std::string& name, const uint16_t* pixels, int pitch_pixels, int width) {
    check(name, png_files::from_rgb565(pixels, pitch_pixels, width, 224));
    check(name + "_bytes", png_files::from_bytes(frame_buffer + 32, frame_pitch, width, 224));
}

// The demo's controls of frame n: walking right and left, the buttons in
// turn, then shadow/highlight on (key 2) and another palette bank (key 1).
void hold_controls(uint64_t n) {
    uint32_t p1 = 0, system = 0;
    if (n % 90 >= 10 && n % 90 < 14) p1 |= input_a;
    if (n % 70 >= 30 && n % 70 < 33) p1 |= input_b;
    if (n % 160 < 70) p1 |= input_right;
    if (n % 160 >= 90 && n % 160 < 130) p1 |= input_left | input_down;
    if (n >= 200 && n < 203) system |= input_key2;
    if (n >= 300 && n < 303) system |= input_key1;
    core_set_input(p1, 0, system);
}

class Snapshot : public testing::Test {
protected:
    void TearDown() override {
        if (writing()) GTEST_SKIP() << "snapshots written to " << SNAPSHOT_DIR;
    }
};

TEST_F(Snapshot, DemoInBothPaletteModes) {
    for (int mode : {1, 0}) {
        testing::internal::CaptureStdout();
        ASSERT_EQ(core_load("demo", 44100), 1);
        testing::internal::GetCapturedStdout();
        core_set_pixel_format(0);
        core_set_palette_mode(mode);
        for (int shot : {20, 150, 400}) {
            while (core_frame_number() + 1 < static_cast<uint64_t>(shot)) {
                hold_controls(core_frame_number());
                core_run_frame(core_frame_number() % 4 == 0);  // some frames skipped, as a slow host does
            }
            hold_controls(core_frame_number());
            const core_frame& f = core_run_frame(1);
            check_picture("demo_" + std::string(mode ? "dynamic_" : "fixed_") + std::to_string(shot), f.pixels, f.pitch,
                          f.width);
        }
        core_unload();
    }
}

// The scene's lines into host pixels as a frame of the machine draws them.
// The first frame begins with a colour table of other colours and is
// converted again at its end; the second keeps the lines' own conversion.
// Both must give the same picture.
std::vector<uint16_t> draw_scene() {
    const int saved_555 = pixel_format_555, saved_enable = pal_select_enable, saved_mode = palette_mode;
    pixel_format_555 = 0;
    pal_select_enable = 0;
    palette_mode = 1;
    std::vector<uint16_t> frames[2];
    for (std::vector<uint16_t>& picture : frames) {
        picture.assign(320 * 224, 0);
        begin_picture(picture.data(), 320);
        for (int line = 0; line < 224; line++) render_line(line);
        finish_picture(board_palette());
    }
    EXPECT_TRUE(frames[0] == frames[1]);
    pixel_format_555 = saved_555;
    pal_select_enable = saved_enable;
    palette_mode = saved_mode;
    return frames[1];
}

TEST_F(Snapshot, BusySceneAndShadowHighlight) {
    scene::build();
    scene::animate(7);
    vt::frame f;
    std::vector<uint16_t> picture = draw_scene();
    check_picture("busy_scene", picture.data(), 320, vp_width);

    // Balls of palette line 3 turn into operators: colour 15 shadows, 14
    // highlights; the checkers of plane A have priority.
    vt::set_reg(12, 0x89);
    picture = draw_scene();
    check_picture("busy_scene_shadow_highlight", picture.data(), 320, vp_width);
}

// 256 pixels: the window left of column 10 over a finely scrolled plane A,
// and from row 20 down across the line; plane B shows through both.
TEST_F(Snapshot, WindowPlane) {
    scene::build();
    vt::set_reg(12, 0x00);
    vt::set_reg(11, 0x00);
    vt::set_reg(17, 0x05);
    vt::set_reg(18, 0x94);
    vt::poke_words(vt::vram_write, hscroll_base, {5, 0x3FD});
    for (int r = 0; r < 28; r++)
        for (int c = 0; c < 32; c++)
            vt::window_cell(c, r, (c + r) % 5 == 0 ? vt::name_entry(scene::stripe_tile, 1, r % 2 == 0)
                                                   : vt::name_entry(scene::panel_tile, 3, c % 3 == 0));
    vt::frame f;
    const std::vector<uint16_t> picture = draw_scene();
    check_picture("window_plane", picture.data(), 320, vp_width);
}

}  // namespace
