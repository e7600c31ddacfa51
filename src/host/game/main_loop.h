// The emulator's main loop: one pass polls the host, runs a frame when it is
// due and feeds its sound, or repaints the idle picture.
#pragma once
#include <cstdint>
#include "host/platform/host_system.h"

extern int game_loaded;
extern int window_active;
extern int frame_count;
extern int skip_this_frame;
extern uint32_t old_tick_count;
extern rect client_area;
extern rect window_area;

// What the loop needs from the host. The real table uses SDL; tests drive
// the loop with a fake clock and fake calls.
struct loop_host {
    uint32_t (*ticks)();           // millisecond clock
    int (*handle_event)();         // handles one waiting event; 0 when none waits
    int (*quit_requested)();       // the window was closed or the run is over
    int (*paused)();               // a menu holds the emulation
    void (*update_audio)();        // the frame's samples to the sound stream
    void (*send_frame_input)();
    void (*run_frame)(int skip);   // the board's 262 lines
    void (*update_video)();        // present the frame just drawn
    void (*repaint)();             // present the last picture again (paused)
    void (*idle_repaint)();        // no game: the idle picture and any message
    void (*refresh_areas)();       // window and client rectangles
    void (*wait)(uint32_t ms);     // sleep, ending early when an event arrives
    int ignore_throttle;           // frames back to back whatever the option says
    int (*fast_forward)();         // held: frames back to back, unheard (may be null)
};

enum pass_result {
    pass_quit,      // leave the loop and shut down
    pass_event,     // an event was handled
    pass_frame,     // a frame ran
    pass_waiting,   // a game runs but its next frame is not due yet
    pass_paused,    // a menu is open: last picture repainted
    pass_idle,      // no game: idle picture repainted
    pass_inactive,  // minimised: nothing runs
};

// Frames start more than this many milliseconds apart while throttled.
inline constexpr uint32_t frame_interval_ms = 15;

pass_result main_loop_pass(const loop_host& host);
// Passes until the host asks to quit; sleeps instead of spinning when
// nothing is due.
void main_loop_run(const loop_host& host);

// The shutdown of the machine and the host services, in their order.
struct shutdown_steps {
    void (*system_shutdown)();
    void (*release_video)();
    void (*release_keyboard)();
    void (*release_joypad)();
    void (*release_input)();
    void (*release_sound)();
};
// The steps trash_machine takes; null restores the real ones.
void set_shutdown_steps(const shutdown_steps* steps);
void trash_machine();
