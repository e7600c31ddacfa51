// The libretro entry points: one game (or the demo cartridge) at a time,
// every frame drawn unless the front end has no use for the picture, the
// sound in stereo pairs, the core's own state for save states.
#include <cstdarg>
#include <cstring>
#include <string>
#include <vector>

#include "content.h"
#include "libretro.h"
#include "machine/core.h"
#include "memory_map.h"
#include "netplay.h"
#include "options.h"
#include "pads.h"
#include "common/printf_format.h"

namespace {

constexpr int sample_rate = 44100;

retro_environment_t env;
retro_video_refresh_t video;
retro_audio_sample_batch_t audio_batch;
retro_input_poll_t input_poll;
retro_input_state_t input_state;
retro_log_printf_t log_printf;

unsigned shown_width = picture_width;
service_buttons described_buttons;
size_t state_size;                 // fixed for the game from its load on
std::vector<uint8_t> state_buffer;  // kept: rewind saves at every frame
std::vector<int16_t> stereo;

// Every call to the front end goes through a check: a front end may call
// our entry points before it has given us its callbacks.
bool environment(unsigned command, void* data) { return env && env(command, data); }

void log_line(retro_log_level level, const char* format, ...) VORTAN_PRINTF(2, 3);
void log_line(retro_log_level level, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (log_printf)
        log_printf(level, "%s", text);
    else
        std::fputs(text, stderr);
}

// On screen for three seconds, beside the log line.
void show_message(const std::string& text) {
    retro_message m = {text.c_str(), 180};
    environment(RETRO_ENVIRONMENT_SET_MESSAGE, &m);
}

void loader_line(loader_severity severity, const char* line) {
    const retro_log_level level = severity == loader_severity::error     ? RETRO_LOG_ERROR
                                  : severity == loader_severity::warning ? RETRO_LOG_WARN
                                                                         : RETRO_LOG_INFO;
    log_line(level, "[Vortan] %s", line);
}
constexpr core_hooks log_hooks = {loader_line};

std::string game_names() {
    std::string names;
    for (int i = 0; core_game(i); i++) names += std::string(i ? " " : "") + core_game(i)->short_name;
    return names;
}

void describe_pads() {
    described_buttons = options_service_buttons();
    pads_describe(environment, described_buttons);
}

void take_option_changes() {
    bool changed = false;
    if (!environment(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &changed) || !changed) return;
    const std::string refused = options_update(environment, netplay_active());
    if (!refused.empty()) {
        log_line(RETRO_LOG_WARN, "[Vortan] %s can't change during netplay\n", refused.c_str());
        show_message(refused + " can't change during netplay: both sides keep the same machine");
    }
    const service_buttons now = options_service_buttons();
    if (now.service != described_buttons.service || now.test != described_buttons.test) describe_pads();
}

void show_picture(const core_frame& f) {
    const unsigned width = unsigned(f.width);
    if (width != shown_width) {
        shown_width = width;
        retro_game_geometry g = {width, picture_height, picture_width, picture_height, 4.0f / 3.0f};
        environment(RETRO_ENVIRONMENT_SET_GEOMETRY, &g);
    }
    if (video) video(f.pixels, width, unsigned(f.height), size_t(f.pitch) * sizeof(uint16_t));
}

void play_sound(const core_frame& f) {
    if (f.sample_count <= 0 || !audio_batch) return;
    stereo.resize(size_t(f.sample_count) * 2);
    for (int i = 0; i < f.sample_count; i++) stereo[2 * i] = stereo[2 * i + 1] = f.samples[i];
    audio_batch(stereo.data(), size_t(f.sample_count));
}

}  // namespace

extern "C" {

unsigned retro_api_version() { return RETRO_API_VERSION; }

void retro_set_environment(retro_environment_t cb) {
    env = cb;
    bool no_game = true;  // no content: the demo cartridge
    environment(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &no_game);
    retro_log_callback logging = {nullptr};
    log_printf = environment(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &logging) ? logging.log : nullptr;
    if (env) options_declare(environment);
}
void retro_set_video_refresh(retro_video_refresh_t cb) { video = cb; }
void retro_set_audio_sample(retro_audio_sample_t) {}
void retro_set_audio_sample_batch(retro_audio_sample_batch_t cb) { audio_batch = cb; }
void retro_set_input_poll(retro_input_poll_t cb) { input_poll = cb; }
void retro_set_input_state(retro_input_state_t cb) { input_state = cb; }
void retro_set_controller_port_device(unsigned, unsigned) {}

void retro_init() { core_set_hooks(log_printf ? &log_hooks : nullptr); }
void retro_deinit() {
    // A front end that skipped retro_unload_game still gets the machine released.
    if (core_running()) retro_unload_game();
    core_set_hooks(nullptr);
}

void retro_get_system_info(retro_system_info* info) {
    std::memset(info, 0, sizeof *info);
    info->library_name = "Vortan";
    info->library_version = "1.0";
    info->valid_extensions = "zip";
    // The archive's own name is the game's name: it must reach us unopened.
    info->need_fullpath = true;
    info->block_extract = true;
}

void retro_get_system_av_info(retro_system_av_info* info) {
    std::memset(info, 0, sizeof *info);
    info->geometry = {shown_width, picture_height, picture_width, picture_height, 4.0f / 3.0f};
    info->timing.fps = 60.0;
    info->timing.sample_rate = sample_rate;
}

bool retro_load_game(const retro_game_info* game) {
    retro_pixel_format rgb565 = RETRO_PIXEL_FORMAT_RGB565;
    // Without 565 the front end's default, 0RGB1555, is what the core also makes.
    core_set_pixel_format(environment(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &rgb565) ? 0 : 1);

    const char* save_dir = nullptr;
    if (!environment(RETRO_ENVIRONMENT_GET_SAVE_DIRECTORY, &save_dir)) save_dir = nullptr;
    const content_request r = content_from_path(game ? game->path : nullptr, save_dir);
    if (!core_find_game(r.game.c_str())) {
        log_line(RETRO_LOG_ERROR, "[Vortan] `%s' is not a game of this board; name the zip or folder after one of: %s\n",
                 r.game.c_str(), game_names().c_str());
        show_message("`" + r.game + "' is not a game of this board: name the zip or folder by the game's short name");
        return false;
    }
    options_before_load(environment);
    core_set_folders(r.folders);
    if (!core_load(r.game.c_str(), sample_rate)) {
        log_line(RETRO_LOG_ERROR, "[Vortan] `%s' could not be loaded (see the lines above)\n", r.game.c_str());
        show_message("`" + r.game + "' could not be loaded: a file is missing or damaged (the log names it)");
        return false;
    }
    // The front end keeps its own rewind from our states.
    core_set_rewind(0);
    options_start(environment);
    netplay_forget();
    describe_pads();
    memory_map_start(environment);
    // The game sets its width in its first frames; most take 320.
    shown_width = picture_width;
    core_save_state(state_buffer);
    state_size = state_buffer.size();
    // States hold host-order words and plain records: only the same kind of machine reads them.
    uint64_t quirks = RETRO_SERIALIZATION_QUIRK_ENDIAN_DEPENDENT | RETRO_SERIALIZATION_QUIRK_PLATFORM_DEPENDENT;
    environment(RETRO_ENVIRONMENT_SET_SERIALIZATION_QUIRKS, &quirks);
    log_line(RETRO_LOG_INFO, "[Vortan] %s running\n", core_running()->title);
    return true;
}

bool retro_load_game_special(unsigned, const retro_game_info*, size_t) { return false; }

void retro_unload_game() {
    memory_map_stop();
    if (!core_unload()) log_line(RETRO_LOG_WARN, "[Vortan] the DIP switches could not be saved\n");
}

unsigned retro_get_region() { return RETRO_REGION_NTSC; }

void retro_reset() {
    core_reset();
    memory_publish();
}

void retro_run() {
    // Before a game there is no machine to run.
    if (!core_running()) return;
    const bool was_netplay = netplay_active();
    netplay_note_frame();
    // The session's states brought the other side's palette mode; the player's own again.
    if (was_netplay && !netplay_active()) options_after_state_load(environment, false);
    take_option_changes();
    if (input_poll) input_poll();
    // After the poll: RetroArch takes its memory commands within it.
    memory_take_writes();
    const input_words w = input_state ? pads_read(input_state, options_service_buttons()) : input_words{};
    core_set_input(w.p1, w.p2, w.system);
    // Run-ahead's hidden frames need no picture; skipping it changes nothing else.
    int wanted = 3;
    if (!environment(RETRO_ENVIRONMENT_GET_AUDIO_VIDEO_ENABLE, &wanted)) wanted = 3;
    const bool draw = wanted & 1;
    const core_frame& f = core_run_frame(draw);
    if (draw)
        show_picture(f);
    else if (video)
        video(nullptr, shown_width, picture_height, picture_width * sizeof(uint16_t));
    play_sound(f);
    memory_publish();
}

size_t retro_serialize_size() { return core_running() ? state_size : 0; }

// A game's state keeps one size, which the front end's rewind, run-ahead and
// netplay rely on; the core refuses trailing bytes, so there is no padding.
bool retro_serialize(void* data, size_t size) {
    if (!core_running()) return false;
    netplay_note_state(environment);
    memory_take_writes();
    if (!core_save_state(state_buffer)) return false;
    if (state_buffer.size() != state_size) {
        log_line(RETRO_LOG_ERROR, "[Vortan] state of %zu bytes, not the %zu announced\n", state_buffer.size(),
                 state_size);
        return false;
    }
    if (!data) return false;
    if (size < state_size) {
        log_line(RETRO_LOG_ERROR, "[Vortan] the front end's buffer of %zu bytes is too small for the state's %zu\n",
                 size, state_size);
        return false;
    }
    std::memcpy(data, state_buffer.data(), state_size);
    return true;
}

bool retro_unserialize(const void* data, size_t size) {
    if (!core_running() || !data) return false;
    netplay_note_state(environment);
    std::string error;
    if (!core_load_state(static_cast<const uint8_t*>(data), size, error)) {
        log_line(RETRO_LOG_ERROR, "[Vortan] state not loaded: %s\n", error.c_str());
        return false;
    }
    // The state brings the palette mode it was saved with; the option is the player's choice.
    options_after_state_load(environment, netplay_active());
    memory_publish();
    return true;
}

void retro_cheat_reset() {}
void retro_cheat_set(unsigned, bool, const char*) {}

void* retro_get_memory_data(unsigned id) {
    size_t size;
    return id == RETRO_MEMORY_SYSTEM_RAM ? memory_system_ram(&size) : nullptr;
}

size_t retro_get_memory_size(unsigned id) {
    size_t size = 0;
    return id == RETRO_MEMORY_SYSTEM_RAM && memory_system_ram(&size) ? size : 0;
}

}  // extern "C"
