// The program: start-up in its order, the main loop on SDL, and the
// shutdown, with the unattended options of the command line.
#include <SDL.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <vector>
#include <strings.h>
#include "host/app/automation.h"
#include "host/ui/dialogs.h"
#include "host/video/display.h"
#include "host/settings/folders.h"
#include "host/ui/game_load.h"
#include "host/ui/gui.h"
#include "host/input/input.h"
#include "host/settings/option_rules.h"
#include "host/settings/options.h"
#include "host/game/rom_check.h"
#include "host/ui/window.h"
#include "host/game/main_loop.h"
#include "host/audio/sound_sink.h"
#include "host/audio/sound_stream.h"
#include "host/game/state_slots.h"
#include "host/game/run_ahead.h"
#include "machine/core.h"

namespace {

long frame_limit = -1;   // -frames: stop after this many frames
long frames_since_load;         // frames run since the game was loaded
int run_over;            // the frames asked for have run
int picture_shown;       // staged_picture holds a presented frame

uint32_t host_ticks() { return SDL_GetTicks(); }

int sdl_handle_event() {
    SDL_Event event;
    if (!SDL_PollEvent(&event)) return 0;
    window_handle_event(event);
    return 1;
}
int no_event() { return 0; }

// A termination asked for by the system ends the run as the close box does,
// settings saved, from the very start on (SDL's own handler comes later).
volatile std::sig_atomic_t terminate_asked;
void ask_terminate(int) { terminate_asked = 1; }

int host_quit_requested() { return quit_requested || run_over || terminate_asked; }
// The stream is stopped as fast-forward starts, so that it does not loop
// its last blocks while no frame is heard.
int host_fast_forward() {
    static int was_held;
    const int held = fast_forward_held();
    if (held && !was_held && sound_enabled) silence_sound();
    was_held = held;
    return held;
}
// A paused game runs only the frames asked for one at a time.
int host_paused() { return menu_is_open() || (user_paused && !frame_advance); }
int never_paused() { return 0; }

// The sound of the frame just run: run-ahead leaves the core holding the
// sound of a frame it undid.
std::vector<int16_t> frame_sound;

void host_run_frame(int skip_frame) {
    frame_advance = 0;
    // Backspace held runs the game backwards, a frame per frame shown; at the
    // oldest frame kept the picture stands still.
    rewind_shown = !headless && rewind_key_held();
    if (rewind_shown) {
        frame_sound.clear();
        if (!core_rewind_frame()) paint_msg_video("Nothing older to rewind to");
        return;
    }
    if (!run_frame_ahead(run_ahead, !skip_frame, frame_sound)) {
        paint_msg_video("Run-ahead failed: turned off");
        gui_manage_run_ahead(0);
    }
    note_emulated_frame();
    ++frames_since_load;
    if (frame_limit >= 0 && frames_since_load >= frame_limit) run_over = 1;
}

void host_update_audio() {
    const core_frame frame = {nullptr, 0, 0, 0, frame_sound.data(), int(frame_sound.size())};
    // A frame run backwards has no sound of its own: the device plays a
    // frame of silence instead of running dry.
    if (frame.sample_count == 0 && sound_rate > 0 && !user_paused) {
        static const int16_t silence[48000 / 60 + 1] = {};
        queue_frame_sound(silence, sound_rate / 60);
        return;
    }
    if (user_paused)
        feed_sound_sink(frame.samples, frame.sample_count);
    else
        queue_frame_sound(frame.samples, frame.sample_count);
}

void host_update_video() {
    show_last_frame();
    picture_shown = 1;
}

void host_idle_repaint() {
    if (take_redraw()) update_front_video(client_area);
}
void host_repaint() {
    if (take_redraw()) repaint_video();
}

void sdl_refresh_areas() {
    if (!fullscreen) update_window_rects();
    run_posted_commands();
}
void no_refresh() {}

// Sleeps wake late by up to a millisecond, which would stretch every 16 ms
// frame to 17; sleep one less and poll the last millisecond.
void sdl_wait(uint32_t ms) {
    const uint32_t until = SDL_GetTicks() + ms;
    if (ms > 1 && SDL_WaitEventTimeout(nullptr, static_cast<int>(ms - 1))) return;
    while (static_cast<int32_t>(until - SDL_GetTicks()) > 0) {
        if (SDL_PollEvent(nullptr)) return;
        SDL_Delay(0);
    }
}
void no_wait(uint32_t) {}

// Both kinds of run pass through here: an unattended run says why on
// stderr, a window shows it.
int load_named_game(const char* name, int quiet_failure) {
    std::string report;
    if (start_game(name, &report)) return 1;
    if (quiet_failure)
        std::fprintf(stderr, "vortan: Error loading driver \"%s\"\n%s", name, report.c_str());
    else
        show_report("Could not load", report);
    return 0;
}

// Options the file or the command line gave out of range, for the user who
// only sees the window.
void show_refused_options() {
    std::string text;
    for (const std::string& line : take_refused_options()) text += line + "\n";
    if (!text.empty() && !headless) show_report("Settings refused", text);
}

void apply_settings() {
    // The game keeps the palette mode its own init chose, as from the menu.
    gui_manage_palette(core_palette_mode());
    if (!headless) gui_manage_sound(sound_enabled);
    if (!headless) gui_manage_rate(sound_rate);
    gui_manage_stretch(stretch);
    gui_manage_run_ahead(run_ahead);
    if (!headless) {
        gui_manage_videomem();
        adjust_window();
    }
}

// Options given on the command line hold for this run only: vortan.cfg
// keeps what it had, unless the player changed the setting meanwhile.
struct run_only_option {
    std::string stored;  // before the command line
    std::string given;   // after it
};
struct word_less {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};
using run_only_options = std::map<std::string, run_only_option, word_less>;

run_only_options apply_command_line_options(const command_line& cli) {
    run_only_options kept;
    for (const auto& [word, value] : cli.options)
        if (!kept.count(word)) kept[word].stored = option_value_text(word.c_str());
    for (const auto& [word, value] : cli.options) apply_option(word.c_str(), value.c_str());
    finish_options();
    for (auto& [word, option] : kept) option.given = option_value_text(word.c_str());
    return kept;
}

void put_back_stored_options(const run_only_options& kept) {
    for (const auto& [word, option] : kept)
        if (option_value_text(word.c_str()) == option.given) apply_option(word.c_str(), option.stored.c_str());
    finish_options();
}

// A failure keeps the first status set.
void keep_first_failure(int& status) { status = status ? status : 1; }

// What one run holds open; close_run closes it whichever way the run ends.
struct run_state {
    command_line cli;
    run_only_options run_only;
    wav_writer wav;
    int status = 0;
    int unattended = 0;  // nothing but -frames or -headless can end the run
};

// The answers that need no run: the version, --help, the game list and the
// ROM check. -1 when the run goes on, else the exit status.
int answer_without_run(const command_line& cli, int argc, const char* const* argv) {
    if (cli.version) {
        std::printf("vortan %s\n", vortan_version);
        return 0;
    }
    home = find_program_home(cli.portable, program_folder(argc > 0 ? argv[0] : nullptr), read_home_environment());
    if (cli.help) {
        do_config(home.config_file.c_str());
        std::fputs(usage_text(), stdout);
        std::printf("\n%s", describe_program_home(home).c_str());
        return 0;
    }
    if (cli.list_games) {
        list_games(stdout);
        return 0;
    }
    if (cli.verify) {
        // The folders come from vortan.cfg and the command line; nothing is written.
        do_config(home.config_file.c_str());
        for (const auto& [word, value] : cli.options) apply_option(word.c_str(), value.c_str());
        finish_options();
        use_folder_options();
        return verify_roms(cli.sets, stdout);
    }
    return -1;
}

// The input devices, the settings, the scripts, the sound file and the
// window; 0 when all are ready, else the exit status.
int open_run(run_state& run) {
    const command_line& cli = run.cli;
    std::string error;
    if (!headless) {
        init_input();
        init_keyboard();
        init_joypad();
    }
    // Headless runs read the settings and write nothing of them.
    if (!headless && !make_program_home(home, error))
        std::fprintf(stderr, "vortan: %s: the settings cannot be kept\n", error.c_str());
    do_config(home.config_file.c_str());
    run.run_only = apply_command_line_options(cli);
    if (cli.bench >= 0) {
        // Every frame drawn and every block of sound mixed.
        skip = 1;
        sound_enabled = 1;
    }
    if (!check_run_options(cli, error)) {
        std::fprintf(stderr, "vortan: %s\n", error.c_str());
        return 2;
    }
    if ((!cli.playback.empty() && !start_playback(cli.playback.c_str(), error)) ||
        (!cli.record.empty() && !start_record(cli.record.c_str(), error))) {
        std::fprintf(stderr, "vortan: %s\n", error.c_str());
        return 2;
    }
    if (!cli.wavwrite.empty()) {
        if (!run.wav.open(cli.wavwrite.c_str(), sound_rate)) return 2;
        set_sound_sink(&run.wav);
    }
    game_loaded = 0;
    if (headless) return 0;
    // Without a display SDL would fall back to drawing nowhere; a window
    // is what was asked for. SDL_VIDEODRIVER still chooses any driver.
#ifndef _WIN32
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland,KMSDRM");
#endif
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    if (!create_main_window()) {
        std::fprintf(stderr, "vortan: cannot open a window: %s\n", SDL_GetError());
        return 1;
    }
    return 0;
}

// The game named, the settings applied to it and the state asked for.
void start_run(run_state& run) {
    const command_line& cli = run.cli;
    init_video(0);
    if (!cli.game.empty() && !load_named_game(cli.game.c_str(), run.unattended)) {
        if (run.unattended) {
            run.status = 1;
            run_over = 1;
        }
    } else if (cli.game.empty() && frame_limit >= 0) {
        // No frame would ever run to end the run.
        std::fprintf(stderr, "vortan: -frames needs a game to run\n");
        run.status = 1;
        run_over = 1;
    }
    apply_settings();
    if (game_loaded && !cli.loadstate.empty()) {
        std::string state_error;
        if (!core_load_state_file(cli.loadstate.c_str(), state_error)) {
            std::fprintf(stderr, "vortan: state not loaded: %s\n", state_error.c_str());
            run.status = 1;
            run_over = 1;
        } else {
            gui_manage_palette(core_palette_mode());
        }
    }
    show_refused_options();
}

// The frames, until the run is over; the seconds they took.
double run_frames() {
    const loop_host host = {
        host_ticks,
        headless ? no_event : sdl_handle_event,
        host_quit_requested,
        headless ? never_paused : host_paused,
        host_update_audio,
        send_frame_input,
        host_run_frame,
        host_update_video,
        host_repaint,
        host_idle_repaint,
        headless ? no_refresh : sdl_refresh_areas,
        headless ? no_wait : sdl_wait,
        headless,
        headless ? nullptr : host_fast_forward,
    };
    old_tick_count = host_ticks();
    auto started = std::chrono::steady_clock::now();
    main_loop_run(host);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// What the run leaves behind: the snapshot, the state and the settings as
// they stand now.
void keep_results(run_state& run) {
    const command_line& cli = run.cli;
    if (!headless) {
        winx = window_area.left;
        winy = window_area.top;
    }
    if (!cli.snapshot.empty()) {
        if (!picture_shown) {
            std::fprintf(stderr, "vortan: %s: no frame was shown, no snapshot written\n",
                         cli.snapshot.c_str());
            keep_first_failure(run.status);
        } else if (!write_snapshot(cli.snapshot.c_str(), staged_picture, surface_pitch,
                                   core_last_frame().width, core_last_frame().height,
                                   host_format_555)) {
            keep_first_failure(run.status);
        }
    }
    if (!cli.savestate.empty() && run.status == 0) {
        std::string state_error;
        if (!game_loaded) {
            std::fprintf(stderr, "vortan: %s: no game ran, no state saved\n", cli.savestate.c_str());
            run.status = 1;
        } else if (!core_save_state_file(cli.savestate.c_str(), state_error)) {
            std::fprintf(stderr, "vortan: state not saved: %s\n", state_error.c_str());
            run.status = 1;
        }
    }
    if (!headless) {
        put_back_stored_options(run.run_only);
        if (!save_config(home.config_file.c_str())) keep_first_failure(run.status);
    }
    if (const int dry = sound_stream_stats().underruns)
        std::fprintf(stderr, "vortan: the sound ran dry %d times: the emulation fell behind it\n", dry);
}

// Closes everything the run opened. A run that failed (kept 0) leaves the
// old sound and record files as they were.
void close_run(run_state& run, int kept) {
    // Unloading keeps the DIP switches the run changed; the video, sound
    // and input devices are released with the machine.
    trash_machine();
    if (!headless) {
        destroy_main_window();
        SDL_Quit();
    }
    set_sound_sink(nullptr);
    if (!kept) {
        run.wav.discard();
    } else if (!run.cli.wavwrite.empty() && !run.wav.close()) {
        std::fprintf(stderr, "vortan: %s: the sound could not be written completely; the old file is kept\n",
                     run.cli.wavwrite.c_str());
        keep_first_failure(run.status);
    }
    stop_playback();
    if (!stop_record(kept)) {
        std::fprintf(stderr, "vortan: %s: the record could not be written completely; the old file is kept\n",
                     run.cli.record.c_str());
        keep_first_failure(run.status);
    }
}

}  // namespace

int vortan_main(int argc, const char* const* argv) {
    run_state run;
    command_line& cli = run.cli;
    std::string error;
    if (!parse_command_line(argc, argv, cli, error)) {
        std::fprintf(stderr, "vortan: %s\nTry \"vortan --help\" for the options.\n", error.c_str());
        return 2;
    }
    std::signal(SIGTERM, ask_terminate);
    std::signal(SIGINT, ask_terminate);
    if (const int answered = answer_without_run(cli, argc, argv); answered >= 0) return answered;
    if (!cli.game.empty() && !resolve_game_path(cli, error)) {
        std::fprintf(stderr, "vortan: %s\n", error.c_str());
        return 2;
    }
    headless = cli.headless;
    frame_limit = cli.bench >= 0 ? cli.bench : cli.frames;
    run_over = frame_limit == 0;
    set_reports_in_window(frame_limit < 0);
    // Without a window nothing could end a run whose game did not load.
    run.unattended = frame_limit >= 0 || headless;

    if (const int failed = open_run(run)) {
        close_run(run, 0);
        return failed;
    }
    start_run(run);
    const double seconds = run_frames();
    // A run whose game or state did not load records nothing over the old files.
    const int run_failed = run.status != 0;
    keep_results(run);
    close_run(run, !run_failed);
    if (cli.bench >= 0 && run.status == 0) std::printf("%s\n", bench_line(frames_since_load, seconds).c_str());
    return run.status;
}
