// What the host system gives every part of the program: its one window
// (none when headless) and the menu bar's share of it, the message boxes
// shown over it, and the joysticks found.
#pragma once
#include <SDL.h>

struct rect {
    int left, top, right, bottom;
};

// Made by create_main_window; null before and after.
extern SDL_Window* main_window;
// Height in pixels of the menu bar above the picture.
extern int menu_bar_height;
extern int fullscreen;

// No window, renderer or message boxes: frames are still converted into
// staged_picture, message boxes become "caption: text" lines on stderr.
// Set before init_video.
extern int headless;

// Over the window when there is one, else "caption: text" on stderr.
void msg_box(const char* text, const char* title);
// Last message box, kept for the caller that needs to know what was shown.
extern char last_box_text[256];
extern char last_box_title[64];
extern int box_count;

// Joysticks opened by init_joypad (at most two).
extern int joypad_count;
