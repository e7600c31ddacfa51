// The main loop's passes, frame pacing and frame skipping, and the machine's
// shutdown.
#include "host/game/main_loop.h"
#include "host/video/display.h"
#include "host/input/input.h"
#include "host/settings/options.h"
#include "host/audio/sound_stream.h"
#include "machine/core.h"

int game_loaded;
int window_active = 1;
int frame_count;
int skip_this_frame;
uint32_t old_tick_count;
rect client_area = {0, 0, picture_width, picture_height};
rect window_area;

namespace {

// While nothing is due the loop rests this long between passes, waking
// early for any event; it is short enough for a message to time out on time.
constexpr uint32_t idle_wait_ms = 50;

void unload_game() { core_unload(); }

const shutdown_steps real_steps = {
    unload_game, release_video, release_keyboard, release_joypad, release_input, release_sound,
};
const shutdown_steps* steps_override;

// While fast-forwarding one frame in this many is drawn.
constexpr int fast_forward_draw_every = 4;

pass_result run_game_pass(const loop_host& host) {
    const int fast = host.fast_forward && host.fast_forward();
    uint32_t elapsed = host.ticks() - old_tick_count;  // unsigned: survives the wrap
    if (elapsed <= frame_interval_ms && throttle && !host.ignore_throttle && !fast) return pass_waiting;
    old_tick_count = host.ticks();
    if (frame_count > 60) frame_count = 0;
    ++frame_count;
    // skip 0 never reaches here through the options; treat it as 1.
    skip_this_frame = (skip != 0 && frame_count % skip != 0) ? 1 : 0;
    if (fast) skip_this_frame = frame_count % fast_forward_draw_every != 0;
    host.send_frame_input();
    host.run_frame(skip_this_frame);
    if (!skip_this_frame) host.update_video();
    // Each frame's samples go to the stream; its wait for a free block
    // paces the loop while sound is on. Fast-forwarded frames are not heard.
    if (sound_enabled && !fast) host.update_audio();
    return pass_frame;
}

}  // namespace

pass_result main_loop_pass(const loop_host& host) {
    if (host.quit_requested()) return pass_quit;
    pass_result result;
    if (host.handle_event()) {
        if (host.quit_requested()) return pass_quit;
        result = pass_event;
    } else if (game_loaded && window_active && !host.paused()) {
        result = run_game_pass(host);
    } else if (window_active) {
        if (game_loaded) {
            host.repaint();
            result = pass_paused;
        } else {
            host.idle_repaint();
            result = pass_idle;
        }
    } else {
        result = pass_inactive;
    }
    host.refresh_areas();
    return result;
}

void main_loop_run(const loop_host& host) {
    for (;;) {
        pass_result r = main_loop_pass(host);
        if (r == pass_quit) return;
        if (r == pass_waiting) {
            uint32_t elapsed = host.ticks() - old_tick_count;
            if (elapsed <= frame_interval_ms) host.wait(frame_interval_ms + 1 - elapsed);
        } else if (r == pass_paused || r == pass_idle || r == pass_inactive) {
            host.wait(idle_wait_ms);
        }
    }
}

void set_shutdown_steps(const shutdown_steps* steps) { steps_override = steps; }

void trash_machine() {
    const shutdown_steps& s = steps_override ? *steps_override : real_steps;
    if (game_loaded) s.system_shutdown();
    s.release_video();
    s.release_keyboard();
    s.release_joypad();
    s.release_input();
    s.release_sound();
}
