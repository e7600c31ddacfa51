// The emulation core as every front end sees it: the game table, loading a
// game, the inputs, one frame at a time, and the machine's saved state.
// Nothing here knows of a window, a sound device or a configuration file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "sound/channels.h"
#include "sound/fm_model.h"
#include "common/printf_format.h"

// What the core tells its front end: the ROM loader's progress and errors,
// a line at a time (what the user must see of a failed load), each with how
// much it matters. A null hook writes to the standard output. Everything
// else comes back as results.
enum class loader_severity {
    error,    // a file or setting could not be used
    warning,  // the game loads, but not quite as it should
    info,     // progress: which file is read from where
};
struct core_hooks {
    void (*loader_line)(loader_severity severity, const char* line);
};
void core_set_hooks(const core_hooks* hooks);  // null: the defaults

// Where games' files are looked for. The core holds the one copy that its
// loader, its ROM check and the DIP files read; a front end hands it over
// from its own settings before it checks or loads a game. A load neither
// changes nor restores it.
struct game_folders {
    std::string rom_dir = "./roms";  // loose files in <rom_dir>/<game>/
    std::string zip_dir = "./ziproms";  // archives <zip_dir>/<game>.zip
    std::string dip_dir = "./dip";   // DIP switches <dip_dir>/<game>.dip
};
void core_set_folders(const game_folders& folders);
const game_folders& core_folders();

// Input words: a set bit means the control is held.
enum : uint32_t {
    input_up = 1u << 0, input_down = 1u << 1, input_left = 1u << 2, input_right = 1u << 3,
    input_a = 1u << 4, input_b = 1u << 5, input_c = 1u << 6,
};
enum : uint32_t {
    input_key1 = 1u << 0, input_key2 = 1u << 1, input_key3 = 1u << 2, input_key4 = 1u << 3,
    input_service = 1u << 4, input_test = 1u << 5,
};


// A version of one of the board's games, as a front end names and shows it.
struct game_info {
    const char* short_name;  // the name it is loaded by
    const char* title;
    const char* parent;      // the set this version is a clone of; null: none
    const char* version;     // the name today's sets give it (its short name when none)
    int built_in;            // needs no files (the demo cartridge)
};
inline constexpr int core_game_count = 17;  // the board's games, 1..17 in its menu

// The board's games in menu order, then the demo; null past the end.
const game_info* core_game(int index);
const game_info* core_find_game(const char* short_name);  // any letter case
// Every version of the board's games: the table's in menu order, then those
// only today's sets know; null past the end.
const game_info* core_version(int index);
// Game and file names compare as the loader compares them: letter case ignored.
bool core_same_name(const char* a, const char* b);

// Whether a version's files are where the loader finds them, by name or by
// CRC-32 and size, without loading them.
struct rom_problem {
    std::string file;
    uint32_t size;  // what the game's table says
    int64_t found;  // the size found; -1 when the file is missing
    int wrong_crc = 0;  // found, of the right size, but not the known dump
    uint32_t crc = 0, expected = 0;
    std::string where;  // the archive or folder it was found in
};
struct rom_check {
    int built_in = 0;      // the game needs no files
    std::string set;       // the name its own archive and folder go by
    std::string archive;   // <zipdir>/<set>.zip
    std::string folder;    // <romdir>/<set>/
    int archive_used = 0;  // the archive exists, so the loader reads it alone
    std::string failure;   // the archive itself cannot be read
    std::vector<rom_problem> problems;
    int own_files_found = 0;  // files found that no other version has
    int missing() const;
    int wrong_checksums() const;
    // It loads: every file there (some may differ from the known dumps).
    int ready() const { return failure.empty() && missing() == 0; }
};
// Its own archive (or folder when there is none) first, then its parent's.
// called: the name the version goes by (null: today's name, else its short name).
rom_check core_check_roms(const game_info& game, const char* called = nullptr);

// Loads a game from the folders set and starts the machine with sound at
// sample_rate (0: no sound). On failure the loader's lines say why and the
// core holds no game. A file whose data differ from its known dump still
// loads, with a line naming it and both checksums. version: that one of the
// versions the name has (null: the one whose files are all there).
int core_load(const char* short_name, int sample_rate, const game_info* version = nullptr);
// Keeps the DIP switches if this run changed them; 0 when that write failed.
int core_unload();
const game_info* core_running();  // null when no game is loaded
// The loaded game's files whose data differ from their known dumps, one line
// each, as the loader said them.
const std::vector<std::string>& core_checksum_notes();
void core_reset();

void core_set_input(uint32_t p1, uint32_t p2, uint32_t system);

// The picture at its widest: 320 pixels by 224 lines.
inline constexpr int picture_width = 320;
inline constexpr int picture_height = 224;

// One frame of the machine: 262 lines. A drawn frame converts its picture.
struct core_frame {
    const uint16_t* pixels;  // RGB565 (or 555, see core_set_pixel_format)
    int pitch;               // in pixels
    int width;               // 256 or picture_width
    int height;              // picture_height
    const int16_t* samples;  // mono, this frame's share of the sample rate
    int sample_count;
};
const core_frame& core_run_frame(int draw);
const core_frame& core_last_frame();
// A frame a front end runs ahead of the game and then undoes with a state
// load (run-ahead): the same as core_run_frame, but the rewind ring does not
// keep it.
const core_frame& core_run_frame_ahead(int draw);
uint64_t core_frame_number();  // frames run since the game started

// Rewind: while seconds > 0 the state after every frame is kept, up to that
// many seconds within a memory budget. core_rewind_frame goes one frame back
// and returns its picture (the frame's sound is dropped); null when nothing
// older is kept. Loading or unloading a game starts the ring again.
void core_set_rewind(int seconds);
const core_frame* core_rewind_frame();
size_t core_rewind_frames();  // states kept
size_t core_rewind_memory();  // bytes they take

// Settings of the running machine.
void core_set_pixel_format(int format_555);
void core_set_palette_mode(int mode);  // 0 fixed, 1 from palette RAM
int core_palette_mode();
void core_set_sound_rate(int sample_rate);  // 0: no sound is made
// The FM model (fm_model_kind) of the games loaded from now on; the running
// game keeps the one it started with. core_fm_model: the running game's.
void core_set_fm_model(int model);
int core_fm_model();
void core_set_channels(uint32_t mask);
uint32_t core_channels();

// DIP switches of the running game.
uint8_t core_dip(int bank);
void core_set_dip(int bank, uint8_t value);
// The bank (0 or 1) that core_dip_invert_bit flips a switch of.
int core_dip_bank();
void core_dip_toggle_bank();
void core_dip_invert_bit(int bit);
// Writes the switches to the game's file now, when they differ from it; 0
// when that write failed (the folder must exist).
int core_save_dip();

// The program ROM in the 68000's byte order, as a dump file holds it.
std::vector<uint8_t> core_program_rom();
// Work RAM as the 68000 sees it (words in host order), for memory watchers.
uint8_t* core_work_ram(size_t* size);
// Palette RAM as the 68000 sees it at 0x8C0000 (words in host order).
uint8_t* core_palette_ram(size_t* size);

// The whole machine as bytes: save_state always succeeds while a game runs;
// load_state checks everything before it changes anything, and on failure
// leaves the machine as it was with the reason in error.
int core_save_state(std::vector<uint8_t>& out);
int core_load_state(const uint8_t* data, size_t size, std::string& error);
// The same as files: a save goes to a temporary file renamed over the old
// one, so a failed write keeps the old state; the error names the file.
int core_save_state_file(const char* path, std::string& error);
int core_load_state_file(const char* path, std::string& error);
