// The window's commands, from the menu or an accelerator, and applying the
// settings that need more than their value set.
#include "host/ui/gui.h"
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>
#include "common/safe_file.h"
#include "host/ui/dialogs.h"
#include "host/ui/dip_switches.h"
#include "host/video/display.h"
#include "host/ui/game_load.h"
#include "host/settings/options.h"
#include "host/game/run_ahead.h"
#include "host/video/screenshot.h"
#include "host/ui/window.h"
#include "host/game/main_loop.h"
#include "host/audio/sound_stream.h"
#include "host/game/state_slots.h"
#include "machine/core.h"

static std::vector<int> posted;
int user_paused;
int frame_advance;

void post_command(int command) { posted.push_back(command); }

void run_posted_commands() {
    // A command may post again (none does today); take the list first.
    std::vector<int> now;
    now.swap(posted);
    for (int c : now) menu_command(c);
}

static const char* on_off(int v) { return v ? "on" : "off"; }
static const char* enabled(int v) { return v ? "enabled" : "disabled"; }

void gui_manage_stretch(int mode) {
    set_stretch(mode);
}

// No audio device is opened without a window.
void gui_manage_sound(int on) {
    sound_enabled = on;
    if (on) {
        if (!headless) init_sound(sound_rate);
    } else {
        release_sound();
    }
}

void gui_manage_rate(int rate) {
    sound_rate = rate;
    if (game_loaded) {
        core_set_sound_rate(sound_enabled ? rate : 0);
        if (sound_enabled && !headless) init_sound(rate);
    }
}

void gui_manage_palette(int mode) {
    core_set_palette_mode(mode);
    if (staged_picture) std::memset(staged_picture, 0, static_cast<size_t>(surface_pitch) * staging_height);
}

void gui_manage_run_ahead(int frames) {
    run_ahead = frames < 0 ? 0 : frames > max_run_ahead ? max_run_ahead : frames;
}

static void change_volume(int step) {
    volume = std::clamp(volume + step, 0, 100);
    message_printf("Volume %d%%", volume);
}

void gui_manage_videomem() {
    init_video(fullscreen);
}

void adjust_window() {
    // 0 is the size that suits the screen.
    const int factor = winsize < 1 ? fitting_window_scale() : winsize;
    client_area = {0, 0, picture_width * factor, picture_height * factor};
    if (!main_window) return;
    SDL_SetWindowSize(main_window, picture_width * factor, picture_height * factor + menu_bar_height);
    place_window(winx, winy);
    update_window_rects();
}

void switch_video() {
    winx = window_area.left;
    winy = window_area.top;
    if (sound_enabled && game_loaded) silence_sound();
    int was_fullscreen = fullscreen;
    if (init_video(was_fullscreen ? 0 : 1) != 1) {
        // The error was shown; get the picture back in the mode it was in
        // rather than leave the program with no display at all.
        init_video(was_fullscreen);
        return;
    }
    // The full screen has no bar until called up: say how.
    bar_called_up = 0;
    paint_msg_video(fullscreen ? "Full screen: Escape leaves, F1 menu" : "Switch to windowed mode");
    if (!fullscreen) adjust_window();
}

int dump_rom(const char* file_name) {
    const std::vector<uint8_t> image = core_program_rom();
    std::string why;
    return write_whole_file(file_name, image.data(), image.size(), why) ? 1 : 0;
}

static void show_dip() {
    const int bank = core_dip_bank();
    paint_msg_video(dip_bank_text(bank, core_dip(bank)).c_str());
    save_dip_switches();
}

static void toggle_chip(uint32_t bit, const char* name) {
    core_set_channels(core_channels() ^ bit);
    message_printf("%s sound %s", name, enabled((core_channels() & bit) != 0));
}

static void toggle_pause() {
    user_paused = !user_paused;
    frame_advance = 0;
    if (user_paused && sound_enabled) silence_sound();
    paint_msg_video(user_paused ? "Paused" : "Running");
}

int command_enabled(int command) {
    const command_entry* c = find_command(command);
    if (!c || c->needs == command_needs::nothing) return 1;
    if (c->needs == command_needs::paused_game) return game_loaded && user_paused;
    return game_loaded;
}

static void dump_rom_command() {
    const game_info* game = core_running();
    if (!game) return;
    char name[300];
    std::snprintf(name, sizeof name, "%s.rom", game->short_name);
    // A dump that could not be written says so instead of claiming success.
    if (dump_rom(name))
        message_printf("Dumped ROM to %s", name);
    else
        message_printf("Could not dump ROM to %s", name);
}

static void set_window_size(int factor) {
    winsize = factor;
    adjust_window();
}

void menu_command(int command) {
    if (!command_enabled(command)) return;
    want_redraw();
    if (command >= cmd_slot_first && command <= cmd_slot_last) {
        select_state_slot(command - cmd_slot_first);
        return;
    }
    if (command >= cmd_game_first && command <= cmd_game_last) {
        gui_load_game(command - cmd_game_first + 1);
        return;
    }
    if (command >= cmd_recent_first && command <= cmd_recent_last) {
        const std::vector<std::string> recent = recent_game_names();
        const size_t n = size_t(command - cmd_recent_first);
        if (n < recent.size()) load_game(recent[n].c_str());
        return;
    }
    if (command >= cmd_run_ahead_first && command <= cmd_run_ahead_last) {
        gui_manage_run_ahead(command - cmd_run_ahead_first);
        message_printf(run_ahead ? "Run-ahead %d frame%s" : "Run-ahead off", run_ahead, run_ahead == 1 ? "" : "s");
        return;
    }
    if (command >= cmd_dip_bit_first && command <= cmd_dip_bit_last) {
        core_dip_invert_bit(command - cmd_dip_bit_first);
        show_dip();
        return;
    }
    switch (command) {
    case cmd_size_1: set_window_size(1); break;
    case cmd_size_2: set_window_size(2); break;
    case cmd_size_3: set_window_size(3); break;
    case cmd_quit: quit_requested = 1; break;
    case cmd_skip_none:
        skip = 1;
        message_printf("Frame skip disabled");
        break;
    case cmd_skip_1:
    case cmd_skip_2:
    case cmd_skip_3: {
        int level = command - cmd_skip_none + 1;
        skip = level;
        message_printf("Frame skip set to %d", level - 1);
        break;
    }
    case cmd_reset:
        core_reset();
        paint_msg_video("Reset");
        break;
    case cmd_throttle:
        throttle = !throttle;
        message_printf("Speed throttle %s", on_off(throttle));
        break;
    case cmd_vsync:
        vsync = !vsync;
        message_printf("VSync %s", on_off(vsync));
        break;
    case cmd_palette_fixed:
        gui_manage_palette(0);
        message_printf("Using fixed palette");
        break;
    case cmd_palette_dynamic:
        gui_manage_palette(1);
        message_printf("Using dynamic palette");
        break;
    case cmd_palette_toggle:
        gui_manage_palette(1 - core_palette_mode());
        message_printf("Using %s palette", core_palette_mode() ? "dynamic" : "fixed");
        break;
    case cmd_sound:
        gui_manage_sound(1 - sound_enabled);
        message_printf("Sound %s", enabled(sound_enabled));
        break;
    case cmd_rate_11025:
    case cmd_rate_22050:
    case cmd_rate_44100:
    case cmd_rate_48000: {
        gui_manage_rate(sound_rates[command - cmd_rate_11025]);
        message_printf("Sound rate set to %d", sound_rate);
        break;
    }
    case cmd_stretch_integer:
    case cmd_stretch_aspect:
    case cmd_stretch_fill: gui_manage_stretch(command - cmd_stretch_integer); break;
    case cmd_free: free_game(); break;
    case cmd_fullscreen: switch_video(); break;
    case cmd_load_demo: load_game("demo"); break;
    case cmd_load_version: load_chosen_version(); break;
    case cmd_videomem:
        videomem = 1 - videomem;
        gui_manage_videomem();
        message_printf("Using %s memory", videomem ? "video" : "system");
        break;
    case cmd_about: open_dialog(dialog_about); break;
    case cmd_game_list: open_dialog(dialog_games); break;
    case cmd_controls: open_dialog(dialog_controls); break;
    case cmd_help_keys: open_dialog(dialog_keys); break;
    case cmd_help_files: open_dialog(dialog_files); break;
    case cmd_dip_dialog:
        dip_window = 1;
        dip_save_status.clear();
        break;
    case cmd_pause: toggle_pause(); break;
    case cmd_frame_advance: frame_advance = 1; break;
    case cmd_screenshot: take_screenshot(); break;
    case cmd_save_state: save_state_slot(); break;
    case cmd_load_state:
        // The loaded machine may run in the other palette mode.
        if (load_state_slot()) gui_manage_palette(core_palette_mode());
        break;
    case cmd_next_slot: next_state_slot(); break;
    case cmd_scanlines: scanlines = !scanlines; break;
    case cmd_show_speed: show_speed = !show_speed; break;
    case cmd_volume_down: change_volume(-10); break;
    case cmd_volume_up: change_volume(10); break;
    case cmd_chip_ym: toggle_chip(channel_fm, "YM3438"); break;
    case cmd_fm_chip:
    case cmd_fm_classic:
        fm_model_option = command == cmd_fm_chip ? fm_model_chip : fm_model_classic;
        // A running game keeps the model it started with.
        message_printf("FM model: %s%s", command == cmd_fm_chip ? "chip" : "classic",
                       game_loaded && core_fm_model() != fm_model_option ? " (from the next game loaded)" : "");
        break;
    case cmd_chip_sn: toggle_chip(channel_psg, "SN76489"); break;
    case cmd_chip_upd: toggle_chip(channel_adpcm, "uPD7759"); break;
    case cmd_chips_all:
        core_set_channels(channel_fm | channel_psg | channel_adpcm);
        message_printf("All sound channels enabled");
        break;
    case cmd_dip_bank:
        core_dip_toggle_bank();
        show_dip();
        break;
    case cmd_dump_rom: dump_rom_command(); break;
    case cmd_blur: blur = !blur; break;
    default: break;
    }
}
