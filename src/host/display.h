// Display output: the window or full screen, the staging image, on-screen
// messages and message boxes.
#pragma once
#include <cstdint>
#include "machine/main_loop.h"

// The 16-bit staging image: surface_pitch bytes a line, 224 lines.
extern uint16_t* conv_bmp;
extern int surface_pitch;
extern int fullscreen;

int init_video(int fs);
void release_video();
void w32_update_video();
void update_front_video(const rect& dest);
void fillscreen(uint16_t colour);
void paint_msg_video(const char* text);
void message_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void msg_box(const char* text, const char* title);
void blur_filter(uint16_t* pixels, int width, int rows, int skip);
