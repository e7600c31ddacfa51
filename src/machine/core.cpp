// The core's one interface: a game's load and unload, its frames, inputs,
// settings and DIP switches, over the board's own functions.
#include "machine/core.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "machine/board.h"
#include "machine/dip.h"
#include "machine/rom_loader.h"
#include "machine/scheduler.h"
#include "sound/mixer.h"
#include "vdp/palette.h"
#include "vdp/vdp.h"

namespace {

void default_loader_line(const char* line) { std::fputs(line, stdout); }
void default_error(const char* text) { std::fprintf(stderr, "%s\n", text); }
constexpr core_hooks default_hooks = {default_loader_line, default_error};
core_hooks hooks = default_hooks;

constexpr int picture_pitch = 320;
uint16_t picture[picture_pitch * picture_lines];
// One frame at the highest rate the program offers, with its carried sample.
constexpr int max_frame_samples = 48000 / 60 + 1;
int16_t frame_samples[max_frame_samples];
core_frame last_frame = {picture, picture_pitch, 320, picture_lines, frame_samples, 0};

int game_running;
int sound_rate_now;  // 0: frames make no sound

bool copy_dir(char (&to)[path_buffer_size], const std::string& from) {
    if (from.size() >= sizeof to) {
        core_loader_printf("Directory name too long: `%s'\n", from.c_str());
        return false;
    }
    std::memcpy(to, from.c_str(), from.size() + 1);
    return true;
}

}  // namespace

void core_set_hooks(const core_hooks* h) {
    hooks = h ? *h : default_hooks;
    if (!hooks.loader_line) hooks.loader_line = default_loader_line;
    if (!hooks.error) hooks.error = default_error;
}

void core_loader_printf(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    hooks.loader_line(line);
}

void core_error(const char* text) { hooks.error(text); }

const driver_record* core_game(int index) {
    if (index >= 0 && index < game_count) return game_by_menu_number(index + 1);
    if (index == game_count) return &demo_driver;
    return nullptr;
}

const driver_record* core_find_game(const char* short_name) { return find_driver(short_name); }

int core_load(const char* short_name, const core_paths& paths, int sample_rate) {
    if (game_running) core_unload();
    if (!copy_dir(game_rom_dir, paths.rom_dir) || !copy_dir(game_zip_dir, paths.zip_dir) ||
        !copy_dir(game_dip_dir, paths.dip_dir))
        return 0;
    if (!load_driver(short_name)) {
        // Nothing of a half-loaded set may stay behind for the next game.
        game_driver = nullptr;
        std::memset(program_rom, 0, sizeof program_rom);
        std::memset(sample_rom, 0, sizeof sample_rom);
        return 0;
    }
    init_machine();
    sound_rate_now = sample_rate;
    system_init(sample_rate);
    // The game's own init chose its palette mode.
    set_palette_mode(palette_mode);
    frames_run = 0;
    last_frame.sample_count = 0;
    std::memset(picture, 0, sizeof picture);
    game_running = 1;
    return 1;
}

int core_unload() {
    if (!game_running) return 1;
    const int kept = free_driver();
    system_shutdown();
    game_running = 0;
    return kept;
}

const driver_record* core_running() { return game_running ? game_driver : nullptr; }

void core_reset() {
    if (game_running) system_reset();
}

void core_set_input(uint32_t p1, uint32_t p2, uint32_t system) {
    input_p1 = p1;
    input_p2 = p2;
    input_system = system;
}

const core_frame& core_run_frame(int draw) {
    if (!game_running) return last_frame;
    genesis_frame(draw ? 0 : 1);
    ++frames_run;
    if (draw) {
        if (palette_mode == 1) update_conv_pal();
        convert_frame(picture, picture_pitch);
        last_frame.width = vp_width < picture_pitch ? vp_width : picture_pitch;
    }
    last_frame.sample_count = sound_rate_now > 0 && sound_initialised ? render_sound(frame_samples) : 0;
    return last_frame;
}

const core_frame& core_last_frame() { return last_frame; }
uint64_t core_frame_number() { return frames_run; }

void core_set_pixel_format(int format_555) {
    pixel_format_555 = format_555 ? 1 : 0;
    set_palette_mode(palette_mode);
}

void core_set_palette_mode(int mode) { set_palette_mode(mode ? 1 : 0); }
int core_palette_mode() { return palette_mode; }

void core_set_sound_rate(int sample_rate) {
    sound_rate_now = sample_rate > 0 ? sample_rate : 0;
    if (game_running && sound_rate_now) audio_init(sound_rate_now);
}
int core_sound_rate() { return sound_rate_now; }

void core_set_channels(uint32_t mask) { channel_mask = mask; }
uint32_t core_channels() { return channel_mask; }

uint8_t core_dip(int bank) { return dip_switch[bank & 1]; }
void core_set_dip(int bank, uint8_t value) {
    dip_used = 1;
    dip_switch[bank & 1] = value;
}
void core_dip_toggle_bank() { dip_toggle_bank(); }
void core_dip_invert_bit(int bit) { dip_invert_bit(bit); }
void core_dip_message(char* text, int size) { dip_message(text, size); }
int core_save_dip() { return game_running ? dip_write(game_driver->short_name, game_driver->description) : 1; }

std::vector<uint8_t> core_program_rom() {
    std::vector<uint8_t> image(program_rom, program_rom + program_rom_size);
    // The region holds host-order words; the file holds the 68000's byte order.
    byteswap(image.data(), program_rom_size);
    return image;
}

uint8_t* core_work_ram(size_t* size) {
    if (size) *size = sizeof work_ram;
    return work_ram;
}
