// The window's handle and shape, and the message boxes shown over it.
#include "host/platform/host_system.h"
#include <cstdio>
#include <cstring>

SDL_Window* main_window;
int menu_bar_height = 19;
int fullscreen;
int headless;
int joypad_count;

char last_box_text[256];
char last_box_title[64];
int box_count;

void msg_box(const char* text, const char* title) {
    if (!text) text = "";
    if (!title) title = "";
    std::snprintf(last_box_text, sizeof last_box_text, "%s", text);
    std::snprintf(last_box_title, sizeof last_box_title, "%s", title);
    box_count++;
    const char* driver = SDL_GetCurrentVideoDriver();
    bool can_show = !headless && driver && std::strcmp(driver, "dummy") != 0;
    if (!can_show ||
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title, text, main_window) != 0)
        std::fprintf(stderr, "%s: %s\n", title, text);
}
