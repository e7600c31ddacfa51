// One video frame of the board: 262 lines of 68000 slices and interrupts.
#pragma once

inline constexpr int lines_per_frame = 262;
inline constexpr int visible_lines = 224;
inline constexpr int cycles_per_line = 512;
inline constexpr int hblank_cycles = 64;

void genesis_frame(int skip);
