// The seventeen games of the board, their ROM lists and board flags, and
// loading, unloading and switching games.
#include "machine/drivers.h"

#include <cstring>

#include "machine/board.h"
#include "machine/debug_log.h"
#include "machine/dip.h"
#include "machine/rom_loader.h"

int palette_mode = 0;
int pal_select_enable = 1;
int pal_bank_enable = 1;
const driver_record* game_driver;

namespace {

constexpr uint32_t k128 = 0x20000, k256 = 0x40000, k512 = 0x80000;

// Even files hold the high bytes of the 68000's words, odd files the low bytes.
constexpr rom_entry even(const char* name, uint32_t size, uint32_t offset) {
    return {name, program_rom, size, offset, 1, nullptr};
}
constexpr rom_entry odd(const char* name, uint32_t size, uint32_t offset) {
    return {name, program_rom, size, offset, 2, nullptr};
}
constexpr rom_entry sample(const char* name, uint32_t size, uint32_t offset) {
    return {name, sample_rom, size, offset, 0, nullptr};
}
constexpr rom_entry end_of_list = {nullptr, nullptr, 0, 0, 0, nullptr};

const rom_entry bloxeedc_roms[] = {
    even("12908.bin", k128, 0x000000), odd("12907.bin", k128, 0x000000),
    even("12993.bin", k128, 0x040000), odd("12992.bin", k128, 0x040000), end_of_list};
const rom_entry borench_roms[] = {
    even("ic32.bin", k256, 0x000000), odd("ic31.bin", k256, 0x000000),
    sample("ic4.bin", k128, 0x000000), end_of_list};
const rom_entry columns_roms[] = {
    even("epr13112.32", k128, 0x000000), odd("epr13111.31", k128, 0x000000), end_of_list};
const rom_entry columns2_roms[] = {
    even("epr13361.rom", k128, 0x000000), odd("epr13360.rom", k128, 0x000000), end_of_list};
const rom_entry ichident_roms[] = {
    even("epr16886", k512, 0x000000), odd("epr16885", k512, 0x000000),
    even("epr16888", k512, 0x100000), odd("epr16887", k512, 0x100000),
    sample("epr16884", k512, 0x000000), end_of_list};
const rom_entry potopoto_roms[] = {
    even("epr16662", k256, 0x000000), odd("epr16661", k256, 0x000000),
    sample("epr16660", k256, 0x000000), end_of_list};
const rom_entry puyopuyo_roms[] = {
    even("epr15036", k128, 0x000000), odd("epr15035", k128, 0x000000),
    even("epr15038", k128, 0x100000), odd("epr15037", k128, 0x100000),
    sample("epr15034", k128, 0x000000), end_of_list};
const rom_entry puyopuya_roms[] = {
    even("ep15036a.32", k128, 0x000000), odd("ep15035a.31", k128, 0x000000),
    even("epr15038", k128, 0x100000), odd("epr15037", k128, 0x100000),
    sample("epr15034", k128, 0x000000), end_of_list};
const rom_entry puyopuy2_roms[] = {
    even("pp2.32", k512, 0x000000), odd("pp2.31", k512, 0x000000),
    sample("pp2.4", k512, 0x000000), end_of_list};
const rom_entry holmpa_roms[] = {
    even("pa_2.bin", k256, 0x000000), odd("pa_1.bin", k256, 0x000000),
    even("pa_4.bin", k256, 0x100000), odd("pa_3.bin", k256, 0x100000), end_of_list};
const rom_entry stkclmns_roms[] = {
    even("epr16795.32", k512, 0x000000), odd("epr16794.31", k512, 0x000000),
    even("mpr16797.34", k512, 0x100000), odd("mpr16796.33", k512, 0x100000),
    sample("epr16793.4", k128, 0x000000), end_of_list};
const rom_entry tantr_roms[] = {
    even("epr15614.32", k512, 0x000000), odd("epr15613.31", k512, 0x000000),
    even("mpr15616.34", k512, 0x100000), odd("mpr15615.33", k512, 0x100000),
    sample("epr15617.4", k256, 0x000000), end_of_list};
const rom_entry tantrbl_roms[] = {
    even("pa_e10.bin", k512, 0x000000), odd("pa_f11.bin", k512, 0x000000),
    even("mpr15616.34", k512, 0x100000), odd("mpr15615.33", k512, 0x100000),
    sample("pa_e02.bin", k128, 0x000000), sample("pa_e03.bin", k128, 0x020000), end_of_list};
const rom_entry tforceac_roms[] = {
    even("ic32.bin", k256, 0x000000), odd("ic31.bin", k256, 0x000000),
    even("ic34.bin", k256, 0x100000), odd("ic33.bin", k256, 0x100000),
    sample("ic4.bin", k256, 0x000000), end_of_list};
const rom_entry tfacjp_roms[] = {
    even("Epr13657.32", k256, 0x000000), odd("Epr13656.31", k256, 0x000000),
    even("ic34.bin", k256, 0x100000), odd("ic33.bin", k256, 0x100000),
    sample("ic4.bin", k256, 0x000000), end_of_list};
const rom_entry tfacbl_roms[] = {
    even("4.bin", k256, 0x000000), odd("3.bin", k256, 0x000000),
    even("ic34.bin", k256, 0x100000), odd("ic33.bin", k256, 0x100000),
    sample("1.bin", k128, 0x000000), sample("2.bin", k128, 0x020000), end_of_list};
const rom_entry zunkyou_roms[] = {
    even("epr16812.32", k512, 0x000000), odd("epr16811.31", k512, 0x000000),
    even("epr16814.34", k512, 0x100000), odd("epr16813.33", k512, 0x100000),
    sample("epr16810.4", k512, 0x000000), end_of_list};

void set_flags(int mode, int select, int bank) {
    palette_mode = mode;
    pal_select_enable = select;
    pal_bank_enable = bank;
}

bool same_name(const char* a, const char* b) {
    for (; *a && *b; a++, b++) {
        const char ca = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
        const char cb = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (ca != cb) return false;
    }
    return *a == *b;
}

}  // namespace

void bloxeedc_init() { set_flags(1, 1, 1); }
void borench_init() { set_flags(1, 1, 1); }
void columns_init() { set_flags(1, 1, 1); }
void columns2_init() { set_flags(1, 1, 1); }
void ichident_init() { set_flags(0, 0, 0); }
void potopoto_init() { set_flags(1, 1, 0); }
void puyopuyo_init() { set_flags(1, 1, 1); }
void puyopuya_init() { set_flags(1, 1, 1); }
void puyopuy2_init() { set_flags(1, 0, 0); }
void stkclmns_init() { set_flags(1, 1, 0); }
void tantr_init() { set_flags(1, 0, 0); }
void tantrbl_init() { set_flags(1, 0, 0); }
void tforceac_init() { set_flags(1, 1, 1); }
void tfacjp_init() { set_flags(1, 1, 1); }
void tfacbl_init() { set_flags(1, 0, 0); }
void zunkyou_init() { set_flags(1, 1, 0); }

namespace {
const driver_record bloxeedc = {"bloxeedc", "Bloxeed (C2 version)", bloxeedc_roms, bloxeedc_init, 1};
const driver_record borench = {"borench", "Borench", borench_roms, borench_init, 2};
const driver_record columns = {"columns", "Columns (Japan)", columns_roms, columns_init, 3};
const driver_record columns2 = {"columns2", "Columns II - The Voyage Through Time (Japan)",
                                columns2_roms, columns2_init, 4};
const driver_record ichident = {"ichident", "Ichident-R (Puzzle & Action 2) (Japan)",
                                ichident_roms, ichident_init, 5};
const driver_record potopoto = {"potopoto", "PotoPoto (Japan)", potopoto_roms, potopoto_init, 9};
const driver_record puyopuyo = {"puyopuyo", "Puyo Puyo (Program Revision ?, Japan)",
                                puyopuyo_roms, puyopuyo_init, 6};
const driver_record puyopuya = {"puyopuya", "Puyo Puyo (Program Revsion A, Japan)",
                                puyopuya_roms, puyopuya_init, 7};
const driver_record puyopuy2 = {"puyopuy2", "Puyo Puyo 2 (Expert?) (Japan)", puyopuy2_roms,
                                puyopuy2_init, 8};
const driver_record holmpa = {"holmpa", "Holmgard version of Puzzle & Action (Bad Dump?)",
                              holmpa_roms, nullptr, 11};
const driver_record stkclmns = {"stkclmns", "Stack Columns (Japan)", stkclmns_roms, stkclmns_init, 10};
const driver_record tantr = {"tantr", "Tant-R (Puzzle & Action) (Japan)", tantr_roms, tantr_init, 12};
const driver_record tantrbl = {"tantrbl", "Tant-R (Puzzle & Action) (Japan, Bootleg?)",
                               tantrbl_roms, tantrbl_init, 13};
const driver_record tforceac = {"tforceac", "Thunder Force AC (US/Europe)", tforceac_roms,
                                tforceac_init, 15};
const driver_record tfacjp = {"tfacjp", "Thunder Force AC (Japan)", tfacjp_roms, tfacjp_init, 16};
const driver_record tfacbl = {"tfacbl", "Thunder Force AC (US/Europe, Bootleg)", tfacbl_roms,
                              tfacbl_init, 14};
const driver_record zunkyou = {"zunkyou", "Zunzunkyou No Yabou (Japan)", zunkyou_roms,
                               zunkyou_init, 17};

}  // namespace

const driver_record* const driver_list[] = {
    &bloxeedc, &borench, &columns, &columns2, &ichident, &potopoto, &puyopuyo,
    &puyopuya, &puyopuy2, &holmpa, &stkclmns, &tantr, &tantrbl, &tforceac,
    &tfacjp, &tfacbl, &zunkyou, &demo_driver, nullptr};

const driver_record* find_driver(const char* name) {
    if (!name) return nullptr;
    for (const driver_record* const* d = driver_list; *d; d++)
        if (same_name((*d)->short_name, name)) return *d;
    return nullptr;
}

int load_driver(const char* name) {
    dip_reset();
    game_driver = nullptr;
    if (!name) return 0;
    for (const driver_record* const* d = driver_list; *d; d++) {
        if (!same_name((*d)->short_name, name)) continue;
        debug_log("Loading game `%s'\n", (*d)->description);
        game_driver = *d;
        if (!load_rom((*d)->roms)) return 0;
        if (!dip_read((*d)->short_name)) return 0;
    }
    // The image is in the 68000's byte order until genesis_init swaps it.
    program_rom_host_order = 0;
    return game_driver ? 1 : 0;
}

int free_driver() {
    const int kept = game_driver ? dip_write(game_driver->short_name, game_driver->description) : 1;
    game_driver = nullptr;
    program_rom_host_order = 0;
    std::memset(program_rom, 0, sizeof program_rom);
    std::memset(sample_rom, 0, sizeof sample_rom);
    return kept;
}


const driver_record* game_by_menu_number(int number) {
    if (number < 1 || number > game_count) return nullptr;
    for (const driver_record* const* d = driver_list; *d; d++)
        if ((*d)->menu_number == number) return *d;
    return nullptr;
}
