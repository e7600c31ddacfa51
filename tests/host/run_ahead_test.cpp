// Run-ahead on the demo cartridge: the picture answers a control a frame
// sooner per frame ahead, while the game itself, its sound and its state are
// those of a run without it.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>
#include "host/settings/options.h"
#include "host/game/run_ahead.h"

namespace {

struct run_record {
    std::vector<std::vector<uint16_t>> pictures;
    std::vector<int16_t> sound;
    std::vector<uint8_t> state;  // after the last frame
};

// frames frames with button A held from press_at on (never with -1).
run_record play(int frames_ahead, int press_at, int frames = 90) {
    run_record r;
    EXPECT_EQ(core_load("demo", 22050), 1);
    core_set_rewind(0);
    std::vector<int16_t> heard;
    for (int f = 0; f < frames; ++f) {
        core_set_input(press_at >= 0 && f >= press_at ? uint32_t(input_a) : 0u, 0, 0);
        EXPECT_EQ(run_frame_ahead(frames_ahead, 1, heard), 1);
        const core_frame& shown = core_last_frame();
        std::vector<uint16_t> picture;
        for (int y = 0; y < shown.height; ++y)
            picture.insert(picture.end(), shown.pixels + size_t(y) * shown.pitch,
                           shown.pixels + size_t(y) * shown.pitch + shown.width);
        r.pictures.push_back(picture);
        r.sound.insert(r.sound.end(), heard.begin(), heard.end());
    }
    core_save_state(r.state);
    core_unload();
    return r;
}

int first_difference(const run_record& a, const run_record& b) {
    for (size_t f = 0; f < a.pictures.size() && f < b.pictures.size(); ++f)
        if (a.pictures[f] != b.pictures[f]) return int(f);
    return -1;
}

TEST(RunAhead, EachFrameAheadShowsTheControlsAFrameSoonerAndChangesNothingElse) {
    const int press = 40;
    const run_record still = play(0, -1), pressed = play(0, press);
    const int seen = first_difference(still, pressed);
    ASSERT_GT(seen, press - 1) << "the demo shows the button being held";
    for (int ahead = 1; ahead <= max_run_ahead; ++ahead) {
        const run_record still_ahead = play(ahead, -1), pressed_ahead = play(ahead, press);
        // No sooner than the frame the button went down in: that is all
        // the lag there is to take away.
        EXPECT_EQ(first_difference(still_ahead, pressed_ahead), std::max(press, seen - ahead)) << ahead << " ahead";
        // The shown pictures are the game's own, that many frames on.
        for (size_t f = 0; f + ahead < still.pictures.size(); ++f)
            ASSERT_EQ(still_ahead.pictures[f], still.pictures[f + ahead]) << "frame " << f << ", " << ahead << " ahead";
        // What is heard and where the machine ends are those of the plain run.
        EXPECT_EQ(pressed_ahead.sound, pressed.sound) << ahead << " ahead";
        EXPECT_GT(pressed.sound.size(), 22050u);
        EXPECT_EQ(pressed_ahead.state, pressed.state) << ahead << " ahead";
    }
}

TEST(RunAhead, FramesRunAheadAreNotKeptForRewind) {
    ASSERT_EQ(core_load("demo", 0), 1);
    core_set_rewind(10);
    std::vector<int16_t> heard;
    for (int f = 0; f < 30; ++f) run_frame_ahead(2, 1, heard);
    EXPECT_EQ(core_rewind_frames(), 30u);
    EXPECT_EQ(core_frame_number(), 30u);
    core_set_rewind(0);
    core_unload();
}

}  // namespace
