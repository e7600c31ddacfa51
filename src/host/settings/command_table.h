// The window's commands: one table giving each its keys, its menu label,
// whether it needs a game, how its check mark follows the options, and
// its line in Help > Keys.
#pragma once
#include <SDL_scancode.h>
#include <cstddef>

// Ranges (games, slots, DIP switches, run-ahead, recent games) are numbered
// in a row so that a command's place in its range is its argument.
enum menu_command : int {
    cmd_none,
    cmd_size_1, cmd_size_2, cmd_size_3,
    cmd_quit,
    cmd_skip_none, cmd_skip_1, cmd_skip_2, cmd_skip_3,
    cmd_reset, cmd_throttle, cmd_vsync,
    cmd_palette_fixed, cmd_palette_dynamic, cmd_palette_toggle,
    cmd_sound,
    cmd_rate_11025, cmd_rate_22050, cmd_rate_44100, cmd_rate_48000,  // in the order of sound_rates
    cmd_free, cmd_fullscreen,
    cmd_game_first,  // the game list's titles 1..17
    cmd_game_last = cmd_game_first + 16,
    cmd_videomem, cmd_about,
    cmd_chip_ym, cmd_chip_sn, cmd_chip_upd, cmd_chips_all,
    cmd_dip_bank,
    cmd_dip_bit_first,  // keypad 1 (switch 1, bit 0) .. keypad 8 (switch 8, bit 7)
    cmd_dip_bit_last = cmd_dip_bit_first + 7,
    cmd_dump_rom, cmd_blur, cmd_load_demo, cmd_game_list, cmd_pause, cmd_frame_advance,
    cmd_screenshot, cmd_scanlines, cmd_dip_dialog, cmd_controls, cmd_help_keys, cmd_help_files,
    cmd_save_state, cmd_load_state, cmd_next_slot,
    cmd_load_version,  // the version chosen in the game list
    cmd_slot_first,    // the ten state slots
    cmd_slot_last = cmd_slot_first + 9,
    cmd_fm_chip, cmd_fm_classic,
    cmd_stretch_integer, cmd_stretch_aspect, cmd_stretch_fill,  // in the order of stretch_mode
    cmd_show_speed, cmd_volume_down, cmd_volume_up,
    cmd_run_ahead_first,  // run-ahead 0, 1 and 2 frames
    cmd_run_ahead_last = cmd_run_ahead_first + 2,
    cmd_recent_first,  // Main > Recent games
    cmd_recent_last = cmd_recent_first + 9,
};

// What a command needs before it may run; the menu shows it disabled till then.
enum class command_needs { nothing, game, paused_game };

struct command_entry {
    int id;
    SDL_Scancode keys[2];   // unmodified keys that give it; SDL_SCANCODE_UNKNOWN: none
    int with_alt;           // the first key is taken with Alt held, and only then
    const char* key_label;  // the key the menu shows beside its label
    const char* label;      // its menu item; null: a key only
    command_needs needs;
    int (*checked)();       // its check mark, from the options; null: never checked
    const char* help_keys;  // its row of Help > Keys: the keys, then what they do;
    const char* help;       // null for a command another's row speaks for
};

// Every row, in the order the menus and Help > Keys list them.
const command_entry* command_rows(size_t& count);

// The row of a command; null for the games, slots and recent games, which
// the menu lists from their own data.
const command_entry* find_command(int id);
// The command a key gives, 0 for none.
int command_for_key(SDL_Scancode key, int alt_held);
// 1 for a key the program keeps for itself (a command's key, Escape, which
// closes menus and dialogs, Backspace, held to run the game backwards),
// which no control of the board can take.
int program_key(int scancode);
