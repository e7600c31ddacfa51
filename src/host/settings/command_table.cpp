// The command table and the check marks it computes when the menu is drawn.
#include "host/settings/command_table.h"
#include <iterator>
#include "host/platform/host_system.h"
#include "host/settings/options.h"
#include "machine/core.h"

namespace {

constexpr SDL_Scancode no_key = SDL_SCANCODE_UNKNOWN;
constexpr command_needs none = command_needs::nothing, game = command_needs::game;

template <int* option, int value>
int option_is() { return *option == value; }
template <int* option>
int option_on() { return *option != 0; }
template <int index>
int rate_is() { return sound_rate == sound_rates[index]; }
template <int mode>
int palette_is() { return core_palette_mode() == mode; }
template <uint32_t channel>
int channel_on() { return (core_channels() & channel) != 0; }
int sound_on() { return sound_enabled == 1; }

constexpr command_entry commands[] = {
    {cmd_game_list, {no_key, no_key}, 0, nullptr, "Load game...", none, nullptr, nullptr, nullptr},
    {cmd_free, {no_key, no_key}, 0, nullptr, "Unload game", game, nullptr, nullptr, nullptr},
    {cmd_quit, {SDL_SCANCODE_END, no_key}, 0, "END", "Quit", none, nullptr, "End", "quit"},
    {cmd_load_demo, {no_key, no_key}, 0, nullptr, nullptr, none, nullptr, nullptr, nullptr},
    {cmd_load_version, {no_key, no_key}, 0, nullptr, nullptr, none, nullptr, nullptr, nullptr},

    {cmd_reset, {SDL_SCANCODE_TAB, no_key}, 0, "TAB", "Reset", game, nullptr, "Tab", "reset"},
    {cmd_pause, {SDL_SCANCODE_P, SDL_SCANCODE_PAUSE}, 0, "P", "Pause", game, nullptr, "P, Pause", "pause; N runs one frame while paused"},
    {cmd_frame_advance, {SDL_SCANCODE_N, no_key}, 0, "N", "Next frame", command_needs::paused_game, nullptr, nullptr, nullptr},
    {cmd_run_ahead_first, {no_key, no_key}, 0, nullptr, "Off", none, option_is<&run_ahead, 0>, nullptr, nullptr},
    {cmd_run_ahead_first + 1, {no_key, no_key}, 0, nullptr, "1 frame", none, option_is<&run_ahead, 1>, nullptr, nullptr},
    {cmd_run_ahead_first + 2, {no_key, no_key}, 0, nullptr, "2 frames", none, option_is<&run_ahead, 2>, nullptr, nullptr},
    {cmd_palette_fixed, {no_key, no_key}, 0, "F12", "Colours: fixed", none, palette_is<0>, nullptr, nullptr},
    {cmd_palette_dynamic, {no_key, no_key}, 0, "F12", "Colours: from palette RAM", none, palette_is<1>, nullptr, nullptr},
    {cmd_palette_toggle, {SDL_SCANCODE_F12, no_key}, 0, nullptr, nullptr, none, nullptr, "F12", "colours: fixed or from palette RAM"},
    {cmd_dip_dialog, {no_key, no_key}, 0, nullptr, "DIP switches...", game, nullptr, nullptr, nullptr},
    {cmd_controls, {no_key, no_key}, 0, nullptr, "Controls...", none, nullptr, nullptr, nullptr},
    {cmd_screenshot, {SDL_SCANCODE_F9, no_key}, 0, "F9", "Screenshot", game, nullptr, "F9", "screenshot into the snapshot folder"},
    {cmd_dump_rom, {SDL_SCANCODE_R, no_key}, 1, "ALT+R", "Save program ROM...", game, nullptr, "Alt+R", "save the program ROM to <game>.rom"},
    {cmd_save_state, {SDL_SCANCODE_F5, no_key}, 0, "F5", "Save state", game, nullptr, "F5 / F7 / F8", "save state, load state, next slot"},
    {cmd_load_state, {SDL_SCANCODE_F7, no_key}, 0, "F7", "Load state", game, nullptr, nullptr, nullptr},
    {cmd_next_slot, {SDL_SCANCODE_F8, no_key}, 0, "F8", "Next slot", game, nullptr, nullptr, nullptr},
    {cmd_dip_bank, {SDL_SCANCODE_F6, no_key}, 0, nullptr, nullptr, game, nullptr, "F6, keypad 1-8", "DIP switches: F6 picks bank 1 or 2, keypad n flips switch n"},
    {cmd_dip_bit_first, {SDL_SCANCODE_KP_1, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},
    {cmd_dip_bit_first + 1, {SDL_SCANCODE_KP_2, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},
    {cmd_dip_bit_first + 2, {SDL_SCANCODE_KP_3, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},
    {cmd_dip_bit_first + 3, {SDL_SCANCODE_KP_4, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},
    {cmd_dip_bit_first + 4, {SDL_SCANCODE_KP_5, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},
    {cmd_dip_bit_first + 5, {SDL_SCANCODE_KP_6, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},
    {cmd_dip_bit_first + 6, {SDL_SCANCODE_KP_7, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},
    {cmd_dip_bit_first + 7, {SDL_SCANCODE_KP_8, no_key}, 0, nullptr, nullptr, game, nullptr, nullptr, nullptr},

    {cmd_fullscreen, {no_key, no_key}, 0, "ALT+ENTER", "Full screen", none, option_on<&fullscreen>, "Alt+Enter", "full screen; there F1 or the pointer at the top shows the menu, Escape leaves"},
    {cmd_size_1, {no_key, no_key}, 0, nullptr, "Window size x 1", none, option_is<&winsize, 1>, nullptr, nullptr},
    {cmd_size_2, {no_key, no_key}, 0, nullptr, "Window size x 2", none, option_is<&winsize, 2>, nullptr, nullptr},
    {cmd_size_3, {no_key, no_key}, 0, nullptr, "Window size x 3", none, option_is<&winsize, 3>, nullptr, nullptr},
    {cmd_stretch_integer, {no_key, no_key}, 0, nullptr, "Integer scale", none, option_is<&stretch, stretch_integer>, nullptr, nullptr},
    {cmd_stretch_aspect, {no_key, no_key}, 0, nullptr, "4:3 (keeps the shape)", none, option_is<&stretch, stretch_aspect>, nullptr, nullptr},
    {cmd_stretch_fill, {no_key, no_key}, 0, nullptr, "Fill (drops the shape)", none, option_is<&stretch, stretch_fill>, nullptr, nullptr},
    {cmd_skip_none, {SDL_SCANCODE_F1, no_key}, 0, "F1", "Draw every frame", none, option_is<&skip, 1>, "F1 F2 F3 F4", "frame skip: none, 1, 2, 3"},
    {cmd_skip_1, {SDL_SCANCODE_F2, no_key}, 0, "F2", "Skip 1 of 2", none, option_is<&skip, 2>, nullptr, nullptr},
    {cmd_skip_2, {SDL_SCANCODE_F3, no_key}, 0, "F3", "Skip 2 of 3", none, option_is<&skip, 3>, nullptr, nullptr},
    {cmd_skip_3, {SDL_SCANCODE_F4, no_key}, 0, "F4", "Skip 3 of 4", none, option_is<&skip, 4>, nullptr, nullptr},
    {cmd_throttle, {SDL_SCANCODE_F10, no_key}, 0, "F10", "Normal speed (throttle)", none, option_on<&throttle>, "F10 / F11", "speed throttle / vsync"},
    {cmd_vsync, {SDL_SCANCODE_F11, no_key}, 0, "F11", "Wait for vertical sync", none, option_on<&vsync>, nullptr, nullptr},
    {cmd_show_speed, {SDL_SCANCODE_INSERT, no_key}, 0, "INSERT", "Show speed (FPS)", none, option_on<&show_speed>, "Insert", "show the speed: frames a second and the share of full speed"},
    {cmd_blur, {no_key, no_key}, 0, nullptr, "Soften (blur)", none, option_on<&blur>, nullptr, nullptr},
    {cmd_scanlines, {no_key, no_key}, 0, nullptr, "Scanlines", none, option_on<&scanlines>, nullptr, nullptr},
    {cmd_videomem, {no_key, no_key}, 0, nullptr, "Graphics card drawing", none, option_on<&videomem>, nullptr, nullptr},

    {cmd_sound, {no_key, no_key}, 0, nullptr, "Sound on", none, sound_on, nullptr, nullptr},
    {cmd_rate_11025, {no_key, no_key}, 0, nullptr, "11025", none, rate_is<0>, nullptr, nullptr},
    {cmd_rate_22050, {no_key, no_key}, 0, nullptr, "22050", none, rate_is<1>, nullptr, nullptr},
    {cmd_rate_44100, {no_key, no_key}, 0, nullptr, "44100", none, rate_is<2>, nullptr, nullptr},
    {cmd_rate_48000, {no_key, no_key}, 0, nullptr, "48000", none, rate_is<3>, nullptr, nullptr},
    {cmd_volume_down, {SDL_SCANCODE_MINUS, no_key}, 0, nullptr, nullptr, none, nullptr, "- / =", "volume down / up"},
    {cmd_volume_up, {SDL_SCANCODE_EQUALS, no_key}, 0, nullptr, nullptr, none, nullptr, nullptr, nullptr},
    // The labels follow the keys: 8 gives the uPD7759 and 9 the SN76489.
    {cmd_chip_ym, {SDL_SCANCODE_7, no_key}, 0, "7", "Music, FM (YM3438)", none, channel_on<channel_fm>, "7 8 9", "YM3438, uPD7759, SN76489 on or off"},
    {cmd_chip_upd, {SDL_SCANCODE_8, no_key}, 0, "8", "Speech (uPD7759)", none, channel_on<channel_adpcm>, nullptr, nullptr},
    {cmd_chip_sn, {SDL_SCANCODE_9, no_key}, 0, "9", "Tones (SN76489)", none, channel_on<channel_psg>, nullptr, nullptr},
    {cmd_chips_all, {SDL_SCANCODE_0, no_key}, 0, "0", "All sound chips on", none, nullptr, "0", "all sound chips on"},
    {cmd_fm_chip, {no_key, no_key}, 0, nullptr, "Chip", none, option_is<&fm_model_option, fm_model_chip>, nullptr, nullptr},
    {cmd_fm_classic, {no_key, no_key}, 0, nullptr, "Classic", none, option_is<&fm_model_option, fm_model_classic>, nullptr, nullptr},

    {cmd_help_keys, {no_key, no_key}, 0, nullptr, "Keys...", none, nullptr, nullptr, nullptr},
    {cmd_help_files, {no_key, no_key}, 0, nullptr, "Files and folders...", none, nullptr, nullptr, nullptr},
    {cmd_about, {no_key, no_key}, 0, nullptr, "About", none, nullptr, nullptr, nullptr},
};

}  // namespace

const command_entry* command_rows(size_t& count) {
    count = sizeof commands / sizeof commands[0];
    return commands;
}

const command_entry* find_command(int id) {
    for (const command_entry& c : commands)
        if (c.id == id) return &c;
    return nullptr;
}

int command_for_key(SDL_Scancode key, int alt_held) {
    if (key == no_key) return 0;
    for (const command_entry& c : commands) {
        if (alt_held != c.with_alt) continue;
        for (SDL_Scancode k : c.keys)
            if (k == key) return c.id;
    }
    return 0;
}

int menu_checked(int command) {
    const command_entry* c = find_command(command);
    return c && c->checked ? c->checked() : 0;
}

int program_key(int scancode) {
    if (scancode == SDL_SCANCODE_ESCAPE || scancode == SDL_SCANCODE_BACKSPACE) return 1;
    return command_for_key(static_cast<SDL_Scancode>(scancode), 0) != 0;
}
