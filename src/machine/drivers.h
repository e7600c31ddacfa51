// The table of games, their ROM lists and per-game board flags.
#pragma once
#include <cstdint>

// Where a file's bytes go in its region: all in a row, or every other byte
// (even files hold the high bytes of the 68000's words, odd the low).
enum class rom_interleave { whole, even, odd };

struct rom_entry {
    const char* file_name;  // null ends a list
    uint8_t* region;        // program_rom or sample_rom
    uint32_t size;
    uint32_t offset;
    rom_interleave interleave;
    const uint8_t* data;  // built-in image (the demo cartridge); null: read from disk
    // The known dump: its CRC-32 (when crc_known), the name today's sets give
    // it, and the name it has in the parent's archive when a split set leaves
    // it there.
    uint32_t crc = 0;
    int crc_known = 0;
    const char* today_name = nullptr;
    const char* parent_name = nullptr;
};

// How a game's board wires the palette: palette_mode, pal_select_enable and
// pal_bank_enable as genesis_init sets them.
struct board_flags {
    int palette_mode;       // 0 fixed, 1 from palette RAM
    int pal_select_enable;  // the select lines choose among the palettes
    int pal_bank_enable;    // the bank register switches palette banks
    int keep_previous = 0;  // none of its own: the last game's stay
};
namespace wiring {
inline constexpr board_flags full = {1, 1, 1};
inline constexpr board_flags no_bank = {1, 1, 0};
inline constexpr board_flags no_select = {1, 0, 0};
inline constexpr board_flags fixed = {0, 0, 0};
inline constexpr board_flags previous = {0, 0, 0, 1};
}  // namespace wiring
void apply_board_flags(const board_flags& flags);

struct driver_record {
    const char* short_name;
    const char* description;
    const rom_entry* roms;
    board_flags flags;
    int menu_number;  // place in the "Load roms..." menu, 1..17; the demo comes after; 0: none
    // Today's sets: the set this one is a clone of (whose archive holds the
    // files they share), and this version's name there when it differs.
    const char* parent = nullptr;
    const char* today_name = nullptr;
};

extern const driver_record* const driver_list[];  // null-terminated: the 17 games, then the demo
extern const driver_record demo_driver;  // our own cartridge, built into the program
extern const driver_record* game_driver;
// The versions only today's sets know, null-terminated.
extern const driver_record* const romset_list[];
// The name the running game was asked for: its archive and folder are
// looked in first. Null: its short name.
extern const char* game_set_name;
inline constexpr int game_count = 17;  // the board's games, numbered 1..17 in the menu

extern int pal_select_enable;
extern int pal_bank_enable;

// By short name or today's name, any letter case; the table's record first
// where a name has two versions. Null: none.
const driver_record* find_driver(const char* name);
// Every version answering to a name (at most two); returns how many.
int find_versions(const char* name, const driver_record* (&found)[2]);
// The board's versions: the table's games in menu order, then today's; null past the end.
const driver_record* game_version(int index);
// Today's name of a version (its short name when it has no other).
const char* version_name(const driver_record& game);
// The name a version's own archive and folder go by when asked for as
// `called`: today's name when that was asked, else its short name.
const char* set_name_for(const driver_record& game, const char* called);
// Loads the version of that name whose files are all there; of two, today's.
int load_driver(const char* name);
// Loads this version, its files looked for under the name called.
int load_driver_version(const driver_record* game, const char* called);
// Keeps the DIP switches (0 when that write failed) and clears the ROMs.
int free_driver();
// The game at a menu number; null outside 1..17.
const driver_record* game_by_menu_number(int number);
