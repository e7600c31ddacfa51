// The core's one interface: a game's load and unload, its frames, inputs,
// settings and DIP switches, over the board's own functions.
#include "machine/core.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "machine/board.h"
#include "machine/core_games.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/rewind.h"
#include "machine/rom_loader.h"
#include "machine/scheduler.h"
#include "sound/mixer.h"
#include "vdp/palette.h"
#include "vdp/vdp.h"

namespace {

void default_loader_line(loader_severity, const char* line) { std::fputs(line, stdout); }
constexpr core_hooks default_hooks = {default_loader_line};
core_hooks hooks = default_hooks;

constexpr int picture_pitch = picture_width;
static_assert(picture_height == picture_lines);
uint16_t picture[picture_pitch * picture_lines];
// One frame at the highest rate the program offers, with its carried sample.
constexpr int max_frame_samples = 48000 / 60 + 1;
int16_t frame_samples[max_frame_samples];
core_frame last_frame = {picture, picture_pitch, picture_width, picture_height, frame_samples, 0};

int game_running;
int rewinding;  // the frames rewind runs are not kept again
// At most this much memory for the ring, whatever its length.
constexpr size_t rewind_budget = 64u * 1024 * 1024;
// Whether frames make sound (the front end asked for a rate); the rate
// itself is the mixer's.
int sound_wanted;
int fm_model_chosen = fm_model_chip;  // for the next game loaded

// The loader builds its paths in buffers of path_buffer_size: a folder that
// cannot fit one is refused whole rather than cut.
bool folder_fits(const std::string& dir) {
    if (dir.size() < path_buffer_size) return true;
    core_loader_printf(loader_severity::error, "Directory name too long: `%s'\n", dir.c_str());
    return false;
}

}  // namespace

void core_set_hooks(const core_hooks* h) {
    hooks = h ? *h : default_hooks;
    if (!hooks.loader_line) hooks.loader_line = default_loader_line;
}

void core_loader_printf(loader_severity severity, const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    hooks.loader_line(severity, line);
}

namespace {

// The running game as it was before another load was tried, so that a load
// that fails can give it back.
struct running_game {
    const driver_record* game;
    std::vector<uint8_t> program, samples, state;
    uint8_t dip_used;
};

void keep_running_game(running_game& kept) {
    kept.game = game_driver;
    kept.program.assign(program_rom, program_rom + sizeof program_rom);
    kept.samples.assign(sample_rom, sample_rom + sizeof sample_rom);
    core_save_state(kept.state);
    kept.dip_used = dip_used;
}

void restore_running_game(const running_game& kept) {
    game_driver = kept.game;
    std::memcpy(program_rom, kept.program.data(), sizeof program_rom);
    std::memcpy(sample_rom, kept.samples.data(), sizeof sample_rom);
    program_rom_host_order = 1;
    std::string ignored;
    core_load_state(kept.state.data(), kept.state.size(), ignored);
    dip_used = kept.dip_used;
    // Its switches were written before the other game was tried.
    dip_mark_stored();
}

void clear_roms() {
    std::memset(program_rom, 0, sizeof program_rom);
    std::memset(sample_rom, 0, sizeof sample_rom);
}

}  // namespace

int core_load(const char* short_name, int sample_rate, const game_info* version) {
    std::unique_ptr<running_game> kept;
    if (game_running) {
        kept = std::make_unique<running_game>();
        keep_running_game(*kept);
        // The running game's switches are kept, in the DIP folder set now,
        // before the new game's are read.
        dip_write(game_driver->short_name, game_driver->description);
    }
    const game_folders& folders = core_folders();
    const bool dirs_fit = folder_fits(folders.rom_dir) && folder_fits(folders.zip_dir) && folder_fits(folders.dip_dir);
    clear_roms();
    const int loaded = dirs_fit && (version ? load_driver_version(driver_of(version), short_name) : load_driver(short_name));
    if (!loaded) {
        if (kept) {
            restore_running_game(*kept);
        } else {
            // Nothing of a half-loaded set may stay behind for the next game.
            game_driver = nullptr;
            clear_roms();
        }
        return 0;
    }
    for (const std::string& note : rom_checksum_notes) core_loader_printf(loader_severity::warning, "%s\n", note.c_str());
    fm_model = fm_model_chosen;
    if (kept) system_reset();
    init_machine();
    sound_wanted = sample_rate > 0;
    system_init(sample_rate);
    // The game's own init chose its palette mode.
    set_palette_mode(palette_mode);
    frames_run = 0;
    rewind_clear();
    last_frame.sample_count = 0;
    last_frame.width = vp_width < picture_pitch ? vp_width : picture_pitch;
    std::memset(picture, 0, sizeof picture);
    game_running = 1;
    return 1;
}

int core_unload() {
    if (!game_running) return 1;
    const int kept = free_driver();
    system_shutdown();
    rewind_clear();
    game_running = 0;
    return kept;
}

const game_info* core_running() { return game_running ? info_of(game_driver) : nullptr; }
const std::vector<std::string>& core_checksum_notes() { return rom_checksum_notes; }

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
    if (draw) begin_picture(picture, picture_pitch);
    genesis_frame(draw ? 0 : 1);
    ++frames_run;
    if (draw) {
        finish_picture(board_palette());
        last_frame.width = vp_width < picture_pitch ? vp_width : picture_pitch;
    }
    last_frame.sample_count = sound_wanted && sound_initialised() ? render_sound(frame_samples) : 0;
    if (!rewinding) rewind_record();
    return last_frame;
}

const core_frame& core_run_frame_ahead(int draw) {
    const int was = rewinding;
    rewinding = 1;
    core_run_frame(draw);
    rewinding = was;
    return last_frame;
}

void core_set_rewind(int seconds) { rewind_configure(seconds, rewind_budget); }

const core_frame* core_rewind_frame() {
    if (!game_running) return nullptr;
    rewinding = 1;
    const int stepped = rewind_back([] {
        core_run_frame(1);
        return 1;
    });
    rewinding = 0;
    if (!stepped) return nullptr;
    last_frame.sample_count = 0;
    return &last_frame;
}

size_t core_rewind_frames() { return rewind_frames(); }
size_t core_rewind_memory() { return rewind_memory(); }

const core_frame& core_last_frame() { return last_frame; }
uint64_t core_frame_number() { return frames_run; }

void core_set_pixel_format(int format_555) {
    pixel_format_555 = format_555 ? 1 : 0;
    set_palette_mode(palette_mode);
}

void core_set_palette_mode(int mode) { set_palette_mode(mode ? 1 : 0); }
int core_palette_mode() { return palette_mode; }

void core_set_sound_rate(int sample_rate) {
    sound_wanted = sample_rate > 0;
    if (game_running && sound_wanted) audio_init(sample_rate, sample_rom);
}

void core_set_fm_model(int model) { fm_model_chosen = model == fm_model_classic ? fm_model_classic : fm_model_chip; }
int core_fm_model() { return fm_model; }

void core_set_channels(uint32_t mask) { channel_mask = mask; }
uint32_t core_channels() { return channel_mask; }

uint8_t core_dip(int bank) { return dip_switch[bank & 1]; }
void core_set_dip(int bank, uint8_t value) {
    dip_used = 1;
    dip_switch[bank & 1] = value;
}
int core_dip_bank() { return dip_bank & 1; }
void core_dip_toggle_bank() { dip_toggle_bank(); }
void core_dip_invert_bit(int bit) { dip_invert_bit(bit); }
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

uint8_t* core_palette_ram(size_t* size) {
    if (size) *size = sizeof palette_ram;
    return palette_ram;
}
