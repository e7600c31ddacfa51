// The frame buffer of pixel bytes, the colour table from the board's
// palette RAM (or the fixed palette), and conversion into 16-bit host pixels.
#pragma once
#include <array>
#include <cstdint>

extern uint8_t* frame_buffer;
extern int frame_width;
extern int frame_height;
extern int frame_depth;
extern int frame_pitch;

extern uint16_t conv_pal[256];
extern int pixel_format_555;

void init_machine();
void update_conv_pal();
void convert_frame();
void gui_manage_palette(int mode);
void reset_video();
void set_palette_m13();

// Below: the colour packing and fixed palette, shared with tests.
struct rgb6 {
    uint8_t r, g, b;
};
extern const std::array<rgb6, 256> fixed_palette;
uint16_t pack_normal(uint16_t word);
uint16_t pack_shadow(uint16_t word);
uint16_t pack_highlight(uint16_t word);
