// State of the emulator's main loop (frame counter, pacing, window state).
#pragma once
#include <cstdint>

struct rect {
    int left, top, right, bottom;
};

extern int game_loaded;
extern int window_active;
extern int frame_count;
extern int skip_this_frame;
extern uint32_t old_tick_count;
extern rect client_area;
extern rect window_area;

void trash_machine();
