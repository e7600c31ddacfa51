// One video frame of the board: 262 lines of 68000 slices and interrupts.
#pragma once
#include <cstdint>

#include "common/frame_timing.h"

inline constexpr int hint_level = 4;
inline constexpr int vint_level = 6;

// What a frame calls on the processor and the renderer. Defaults to the real
// ones; a test may install recorders and put the defaults back afterwards.
struct frame_calls {
    int32_t (*clear_cycles)();
    uint32_t (*execute)(int32_t cycles);
    int32_t (*cause_interrupt)(int32_t level);
    void (*render)(int line);
};
extern frame_calls frame_hooks;
extern const frame_calls default_frame_hooks;

void genesis_frame(int skip);

// Frames the running game has run since it started (part of its state).
extern uint64_t frames_run;
