// The frame's geometry, shared by the scheduler that runs it and the video
// chip that times its transfers by it: 262 lines of 68000 cycles, the first
// 224 shown, each shown line followed by a horizontal-blank slice.
#pragma once
#include <cstdint>

inline constexpr int lines_per_frame = 262;
inline constexpr int visible_lines = 224;
inline constexpr int cycles_per_line = 512;
inline constexpr int hblank_cycles = 64;

// Cycles the 68000 runs in a line of the frame.
constexpr uint32_t line_cycles(uint32_t line) {
    return line < visible_lines ? cycles_per_line + hblank_cycles : cycles_per_line;
}
