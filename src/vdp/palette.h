// The frame buffer of pixel bytes, the colour table from the board's
// palette RAM (or the fixed palette), and conversion into 16-bit host pixels.
#pragma once
#include <array>
#include <cstdint>

#include "common/frame_timing.h"

// Pixel bytes: the shown lines of 512, screen pixel x at byte 32 + x.
inline constexpr int frame_buffer_pitch = 512;
inline constexpr int frame_buffer_lines = visible_lines;
extern uint8_t* frame_buffer;
extern int frame_pitch;
inline constexpr int picture_lines = visible_lines;  // lines a converted picture holds

// Fixed (0) or palette-RAM (1) colours; owned here, changed through
// set_palette_mode or by a game's board flags before it starts.
extern int palette_mode;
extern uint16_t conv_pal[256];
extern int pixel_format_555;

// Where palette-RAM colours come from: the board's palette RAM (16-bit
// words in host order) and the first of the 512 colours the game's bank
// register selects.
struct palette_source {
    const uint8_t* ram;
    int first_colour;
};

// Only allocates the frame buffer, cleared, in place of the last one.
void init_machine();
// The colour table from palette RAM (palette mode 1).
void update_conv_pal(const palette_source& source);
// The drawn frame through the colour table into 16-bit pixels.
void convert_frame(uint16_t* picture, int pitch_pixels);
// A drawn frame's picture made as its lines are finished: begin_picture
// before the frame's lines, finish_picture after them, where the colour
// table is brought up to date. The lines are converted with the table as the
// frame began; where that differs from the table at the end, or a line was
// not converted at the frame's width, the whole frame is converted again,
// so the picture is always the one convert_frame makes.
void begin_picture(uint16_t* picture, int pitch_pixels);
void finish_picture(const palette_source& source);
// For the renderer: where line's host pixels go (null: not converted), and
// the colours they are converted with.
uint16_t* picture_line(int line, int width);
const uint16_t* picture_colours();
// Fixed (0) or palette-RAM (1) colours; the table starts again empty.
void set_palette_mode(int mode);
// The colour table from the fixed palette (palette mode 0).
void set_palette_m13();

// Below: the colour packing and fixed palette, shared with tests.
struct rgb6 {
    uint8_t r, g, b;
};
extern const std::array<rgb6, 256> fixed_palette;
uint16_t pack_normal(uint16_t word);
uint16_t pack_shadow(uint16_t word);
uint16_t pack_highlight(uint16_t word);
