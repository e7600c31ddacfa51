// The table of games, their ROM lists and per-game board flags.
#pragma once
#include <cstdint>

struct rom_entry {
    const char* file_name;  // null ends a list
    uint8_t* region;        // program_rom or sample_rom
    uint32_t size;
    uint32_t offset;
    int interleave;  // 0 whole, 1 even bytes, 2 odd bytes
    const uint8_t* data;  // built-in image (the demo cartridge); null: read from disk
};

struct driver_record {
    const char* short_name;
    const char* description;
    const rom_entry* roms;
    void (*init)();
    int menu_number;  // place in the "Load roms..." menu, 1..17; the demo comes after
};

extern const driver_record* const driver_list[];  // null-terminated: the 17 games, then the demo
extern const driver_record demo_driver;  // our own cartridge, built into the program
extern const driver_record* game_driver;
inline constexpr int game_count = 17;  // the board's games, numbered 1..17 in the menu

extern int palette_mode;
extern int pal_select_enable;
extern int pal_bank_enable;

const driver_record* find_driver(const char* name);  // any letter case; null: none
int load_driver(const char* name);
// Keeps the DIP switches (0 when that write failed) and clears the ROMs.
int free_driver();
// The game at a menu number; null outside 1..17.
const driver_record* game_by_menu_number(int number);

// Per-game board flags (palette_mode, pal_select_enable, pal_bank_enable).
void bloxeedc_init();
void borench_init();
void columns_init();
void columns2_init();
void ichident_init();
void potopoto_init();
void puyopuyo_init();
void puyopuya_init();
void puyopuy2_init();
void stkclmns_init();
void tantr_init();
void tantrbl_init();
void tforceac_init();
void tfacjp_init();
void tfacbl_init();
void zunkyou_init();
