// Running the window's commands, and the settings that take more than a
// value to apply (the sound device, the display, the palette).
#pragma once
#include "host/settings/command_table.h"

inline constexpr const char* vortan_version = "1.0";

// Game number N (1..17) of the game list is command cmd_game_first + N - 1.
#include "machine/core.h"

void gui_manage_palette(int mode);

// P pauses the running game; N then runs one frame (frame_advance) and the
// game stays paused.
extern int user_paused;
extern int frame_advance;

// Commands that act on the running game do nothing without one (frame
// advance also needs it paused); the menu shows them disabled.
int command_enabled(int command);

// The command's check mark as the options stand now.
int menu_checked(int command);

// Runs one command of the menu or of an accelerator.
void menu_command(int command);
// Commands chosen in the menu wait until the frame that drew the menu is
// presented, since some of them re-create the display.
void post_command(int command);
void run_posted_commands();

void gui_manage_sound(int on);
void gui_manage_rate(int rate);
void gui_manage_stretch(int mode);
void gui_manage_videomem();
void gui_manage_run_ahead(int frames);
void adjust_window();
void switch_video();

// Writes the program ROM in 68000 byte order to "<short name>.rom".
// Returns 1 when the whole file was written.
int dump_rom(const char* file_name);

// The menu bar, the dialogs and the page shown without a game, drawn
// inside an ImGui frame; 1 when the bar was drawn (on the full screen it
// shows only when called up, with the pointer at the top or F1).
int draw_menu_bar();
