// The main window: SDL window and renderer, the menu bar drawn with Dear
// ImGui, and the handling of window and keyboard events (the accelerators).
#pragma once
#include <SDL.h>
#include "host/platform/host_system.h"

// Creates the window (320 x winsize by 224 x winsize client area below the
// menu bar, at winx/winy). Returns 1, or 0 when SDL cannot create it.
int create_main_window();
void destroy_main_window();
// The largest size factor whose window fits 80% of the screen, up to
// max_window_scale: the first start's window.
inline constexpr int max_window_scale = 6;
int fitting_window_scale();

// One event taken from the queue: menu input, accelerators, minimise and
// restore (window_active), moves (silence_sound), close (the quit path).
// While the menu is open each event also repaints the window, since no
// frame is presented then.
void window_handle_event(const SDL_Event& event);

// Set once the window was closed or Quit chosen; the main loop then shuts down.
extern int quit_requested;

// While a menu or dialog is open the emulation pauses and the sound is
// silenced, on the full screen too.
int menu_is_open();
// F1 on the full screen shows the menu bar until pressed again.
extern int bar_called_up;

// The command an accelerator key gives (Alt+R, F1, keypad 1, ...), 0 for none.
int accelerator_command(const SDL_Keysym& key);

// Moves the window so that its frame (or itself, without a window manager)
// starts at (x, y).
void place_window(int x, int y);
// "Vortan - <game title>", or "Vortan" with no game.
void update_window_title();

// window_area (the window with its frame) and client_area (picture area
// below the menu bar) from the window's current position and size, in
// screen coordinates.
void update_window_rects();

// Runs one ImGui frame of the menu bar and About dialog (up to Render).
// Returns 1 when a menu opened during it.
int window_menu_frame();
