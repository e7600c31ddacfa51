#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "host/settings/options.h"
#include "host/game/main_loop.h"

namespace {

// A host whose clock, events and calls are scripted by the test; every
// call is logged in order.
struct fake {
    uint32_t now = 1000;
    int events = 0;       // events waiting
    int quit = 0;
    int quit_after_events = 0;  // the last waiting event asks to quit
    int paused = 0;
    uint32_t audio_cost = 0;  // ms the stream write takes
    std::vector<std::string> log;
    std::vector<int> frames;  // skip flag of every frame run
    std::vector<uint32_t> waits;
};
fake* f;

uint32_t ticks() { return f->now; }
int handle_event() {
    if (!f->events) return 0;
    --f->events;
    f->log.push_back("event");
    if (!f->events && f->quit_after_events) f->quit = 1;
    return 1;
}
int quit_requested() { return f->quit; }
int paused() { return f->paused; }
void update_audio() {
    f->log.push_back("audio");
    f->now += f->audio_cost;
}
void read_input_fake() { f->log.push_back("input"); }
void run_frame(int skip_frame) {
    f->log.push_back(skip_frame ? "frame skipped" : "frame drawn");
    f->frames.push_back(skip_frame);
}
void update_video() { f->log.push_back("video"); }
void repaint() { f->log.push_back("repaint"); }
void idle_repaint() { f->log.push_back("idle"); }
void refresh_areas() { f->log.push_back("areas"); }
void wait(uint32_t ms) {
    f->waits.push_back(ms);
    f->now += ms;
}

const loop_host fake_host = {ticks, handle_event, quit_requested, paused, update_audio,
                             read_input_fake, run_frame, update_video, repaint, idle_repaint,
                             refresh_areas, wait, 0};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        f = &state;
        set_option_defaults();
        sound_enabled = 0;
        throttle = 1;
        skip = 1;
        game_loaded = 1;
        window_active = 1;
        frame_count = 0;
        old_tick_count = state.now;
    }
    void TearDown() override {
        set_option_defaults();
        game_loaded = 0;
        window_active = 1;
        frame_count = 0;
        f = nullptr;
    }
    std::vector<std::string> pass() {
        state.log.clear();
        main_loop_pass(fake_host);
        return state.log;
    }
    // Runs one frame per pass with the clock stepped past the interval.
    void run_frames(int n) {
        for (int i = 0; i < n; ++i) {
            state.now += 16;
            ASSERT_EQ(main_loop_pass(fake_host), pass_frame);
        }
    }
    fake state;
};

using log_t = std::vector<std::string>;

TEST_F(MainLoopTest, FrameRunsOnlyAfterMoreThanFifteenMilliseconds) {
    state.now += 15;
    EXPECT_EQ(pass(), (log_t{"areas"}));
    EXPECT_EQ(main_loop_pass(fake_host), pass_waiting);
    state.now += 1;
    EXPECT_EQ(pass(), (log_t{"input", "frame drawn", "video", "areas"}));
    EXPECT_EQ(old_tick_count, state.now);
    // At most one frame a pass, however late.
    state.now += 500;
    EXPECT_EQ(main_loop_pass(fake_host), pass_frame);
    EXPECT_EQ(main_loop_pass(fake_host), pass_waiting);
}

TEST_F(MainLoopTest, ClockWrapDoesNotStall) {
    state.now = 0xFFFFFFF8u;
    old_tick_count = state.now;
    state.now += 20;  // wraps past zero
    EXPECT_EQ(main_loop_pass(fake_host), pass_frame);
}

TEST_F(MainLoopTest, EachFrameFeedsItsSoundOnce) {
    // The frame's samples go out after it; the stream's wait counts towards
    // the next frame's time.
    sound_enabled = 1;
    state.audio_cost = 5;
    state.now += 16;
    const uint32_t start = state.now;
    EXPECT_EQ(pass(), (log_t{"input", "frame drawn", "video", "audio", "areas"}));
    EXPECT_EQ(old_tick_count, start);
    // No frame, no sound.
    EXPECT_EQ(pass(), (log_t{"areas"}));
}

TEST_F(MainLoopTest, UnthrottledAndHeadlessRunBackToBack) {
    throttle = 0;
    EXPECT_EQ(main_loop_pass(fake_host), pass_frame);
    EXPECT_EQ(main_loop_pass(fake_host), pass_frame);
    throttle = 1;
    loop_host headless = fake_host;
    headless.ignore_throttle = 1;
    EXPECT_EQ(main_loop_pass(headless), pass_frame);
    EXPECT_EQ(main_loop_pass(headless), pass_frame);
    EXPECT_EQ(state.waits.size(), 0u);
}

TEST_F(MainLoopTest, CounterTakesSixtyOneValues) {
    std::vector<int> counts;
    for (int i = 0; i < 125; ++i) {
        run_frames(1);
        counts.push_back(frame_count);
    }
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[59], 60);
    EXPECT_EQ(counts[60], 61);
    EXPECT_EQ(counts[61], 1);
    EXPECT_EQ(counts[122], 1);
}

TEST_F(MainLoopTest, SkipLevels) {
    for (int level = 1; level <= 4; ++level) {
        skip = level;
        frame_count = 0;
        state.frames.clear();
        run_frames(61);
        for (int count = 1; count <= 61; ++count)
            EXPECT_EQ(state.frames[count - 1], count % level != 0) << "level " << level << " count " << count;
    }
    // Level 2 across the wrap: counts 61 and 1 are both skipped.
    skip = 2;
    frame_count = 60;
    state.frames.clear();
    run_frames(3);
    EXPECT_EQ(state.frames, (std::vector<int>{1, 1, 0}));
}

TEST_F(MainLoopTest, SkippedFrameIsNotPresented) {
    skip = 2;
    state.now += 16;
    EXPECT_EQ(pass(), (log_t{"input", "frame skipped", "areas"}));
}

TEST_F(MainLoopTest, EventsComeFirst) {
    state.events = 2;
    state.now += 100;
    EXPECT_EQ(pass(), (log_t{"event", "areas"}));
    EXPECT_EQ(pass(), (log_t{"event", "areas"}));
    EXPECT_EQ(main_loop_pass(fake_host), pass_frame);
}

TEST_F(MainLoopTest, MinimisedRunsNothing) {
    sound_enabled = 1;
    window_active = 0;
    state.now += 100;
    EXPECT_EQ(pass(), (log_t{"areas"}));
    EXPECT_EQ(frame_count, 0);
}

TEST_F(MainLoopTest, NoGameRepaintsTheIdlePictureEveryPass) {
    game_loaded = 0;
    frame_count = 37;
    EXPECT_EQ(pass(), (log_t{"idle", "areas"}));
    EXPECT_EQ(pass(), (log_t{"idle", "areas"}));
    EXPECT_EQ(frame_count, 37);  // kept after Free
}

TEST_F(MainLoopTest, OpenMenuHoldsTheGame) {
    sound_enabled = 1;
    state.paused = 1;
    state.now += 100;
    EXPECT_EQ(pass(), (log_t{"repaint", "areas"}));
    state.paused = 0;
    EXPECT_EQ(main_loop_pass(fake_host), pass_frame);
}

TEST_F(MainLoopTest, RunSleepsUntilTheNextFrameAndStopsOnQuit) {
    // Three frames, then the window asks to quit.
    struct counter {
        static void frame(int s) {
            run_frame(s);
            if (f->frames.size() == 3) f->quit = 1;
        }
    };
    loop_host host = fake_host;
    host.run_frame = counter::frame;
    main_loop_run(host);
    EXPECT_EQ(state.frames.size(), 3u);
    ASSERT_FALSE(state.waits.empty());
    for (uint32_t w : state.waits) EXPECT_LE(w, 16u);
    // The clock moved only by the sleeps: 16 ms a frame.
    EXPECT_EQ(state.now - 1000, 48u);
}

TEST_F(MainLoopTest, FastForwardRunsFramesBackToBackUnheardDrawingOneInFour) {
    struct held {
        static int yes() { return 1; }
    };
    loop_host host = fake_host;
    host.fast_forward = held::yes;
    throttle = 1;
    sound_enabled = 1;
    // The clock stands still: only fast-forward lets a frame follow at once.
    for (int i = 0; i < 8; ++i) ASSERT_EQ(main_loop_pass(host), pass_frame) << i;
    EXPECT_EQ(state.frames.size(), 8u);
    int drawn = 0;
    for (int s : state.frames) drawn += s == 0;
    EXPECT_EQ(drawn, 2);
    EXPECT_EQ(std::count(state.log.begin(), state.log.end(), "audio"), 0) << "fast-forwarded frames are not heard";
    EXPECT_EQ(main_loop_pass(fake_host), pass_waiting) << "let go: the throttle holds again";
}

TEST_F(MainLoopTest, QuitEventEndsThePass) {
    state.events = 1;
    state.quit_after_events = 1;
    EXPECT_EQ(main_loop_pass(fake_host), pass_quit);
    EXPECT_TRUE(state.frames.empty());
}

std::vector<std::string>* shutdown_log;
void s_system() { shutdown_log->push_back("system_shutdown"); }
void s_video() { shutdown_log->push_back("release_video"); }
void s_keyboard() { shutdown_log->push_back("release_keyboard"); }
void s_joypad() { shutdown_log->push_back("release_joypad"); }
void s_input() { shutdown_log->push_back("release_input"); }
void s_sound() { shutdown_log->push_back("release_sound"); }

TEST_F(MainLoopTest, ShutdownOrder) {
    std::vector<std::string> log;
    shutdown_log = &log;
    const shutdown_steps steps = {s_system, s_video, s_keyboard, s_joypad, s_input, s_sound};
    set_shutdown_steps(&steps);
    trash_machine();
    EXPECT_EQ(log, (log_t{"system_shutdown", "release_video", "release_keyboard", "release_joypad",
                          "release_input", "release_sound"}));
    log.clear();
    game_loaded = 0;
    trash_machine();
    EXPECT_EQ(log, (log_t{"release_video", "release_keyboard", "release_joypad", "release_input",
                          "release_sound"}));
    set_shutdown_steps(nullptr);
}

}  // namespace
