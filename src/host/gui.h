// The main window's menu commands and the managers that apply each setting.
#pragma once

enum menu_command : int {
    cmd_size_1 = 40004,
    cmd_size_2 = 40005,
    cmd_size_3 = 40006,
    cmd_quit = 40009,
    cmd_skip_none = 40013,
    cmd_skip_1 = 40014,
    cmd_skip_2 = 40015,
    cmd_skip_3 = 40016,
    cmd_reset = 40017,
    cmd_throttle = 40020,
    cmd_vsync = 40021,
    cmd_palette_fixed = 40022,
    cmd_palette_dynamic = 40023,
    cmd_sound = 40024,
    cmd_rate_11025 = 40025,
    cmd_rate_22050 = 40026,
    cmd_rate_44100 = 40027,
    cmd_rate_48000 = 40028,
    cmd_strech = 40029,
    cmd_free = 40034,
    cmd_fullscreen = 40036,
    cmd_game_first = 40038,  // the game titles take 40038..40054
    cmd_game_last = 40054,
    cmd_videomem = 40055,
    cmd_about = 40056,
    cmd_chip_ym = 40058,
    cmd_chip_sn = 40059,
    cmd_chip_upd = 40060,
    cmd_chips_all = 40061,
    cmd_dip_bank = 40062,
    cmd_dip_bit_first = 40063,  // keypad 1 (bit 7) .. keypad 8 (bit 0)
    cmd_dip_bit_last = 40070,
    cmd_dump_rom = 40072,
    cmd_blur = 40078,
    cmd_load_demo = 40080,
    cmd_game_list = 40101,
    cmd_pause = 40102,
    cmd_frame_advance = 40103,
    cmd_screenshot = 40104,
    cmd_scanlines = 40105,
    cmd_fill_window = 40106,
    cmd_dip_dialog = 40107,
    cmd_controls = 40108,
    cmd_help_keys = 40109,
    cmd_help_files = 40110,
    cmd_save_state = 40111,
    cmd_load_state = 40112,
    cmd_next_slot = 40113,
    cmd_load_version = 40114,  // the version chosen in the game list
    cmd_slot_first = 40120,  // the ten state slots take 40120..40129
    cmd_slot_last = 40129,
    cmd_palette_toggle = 40500,
};

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

void check_menu_item(int command, int checked);
int menu_checked(int command);

// Runs one command of the menu or of an accelerator.
void menu_command(int command);
// Commands chosen in the menu wait until the frame that drew the menu is
// presented, since some of them re-create the display.
void post_command(int command);
void run_posted_commands();

void gui_manage_sound(int on);
void gui_manage_skip(int level);
void gui_manage_vsync(int on);
void gui_manage_rate(int rate);
void gui_manage_limiter(int on);
void gui_manage_strech(int on);
void gui_manage_blur(int on);
void gui_manage_soundchip();
void gui_manage_videomem();
void gui_manage_scanlines(int on);
void gui_manage_fill(int on);
void adjust_window();
void switch_video();

// Writes the program ROM in 68000 byte order to "<short name>.rom".
// Returns 1 when the whole file was written.
int dump_rom(const char* file_name);

// The menu bar, the dialogs and the page shown without a game, drawn
// inside an ImGui frame.
void draw_menu_bar();
