// The seventeen games of the board, their ROM lists and board flags, and
// loading, unloading and switching games.
#include "machine/drivers.h"

#include <cstring>

#include "common/debug_log.h"
#include "machine/board.h"
#include "machine/dip.h"
#include "machine/rom_loader.h"
#include "machine/rom_lists.h"
#include "machine/rom_search.h"
#include "vdp/palette.h"

const char* game_set_name;
int pal_select_enable = 1;
int pal_bank_enable = 1;
const driver_record* game_driver;

namespace {

using namespace rom_lists;

const rom_entry bloxeedc_roms[] = {
    even("12908.bin", k128, 0x000000, {0xfc77cb91, "epr-12908.ic32"}),
    odd("12907.bin", k128, 0x000000, {0xe5fcbac6, "epr-12907.ic31"}),
    even("12993.bin", k128, 0x040000, {0x487bc8fc, "epr-12993.ic34"}),
    odd("12992.bin", k128, 0x040000, {0x19b0084c, "epr-12992.ic33"}), end_of_list};
const rom_entry borench_roms[] = {
    even("ic32.bin", k256, 0x000000, {0x2c54457d, nullptr}), odd("ic31.bin", k256, 0x000000, {0xb46445fc, nullptr}),
    sample("ic4.bin", k128, 0x000000, {0x62b85e56, "epr-13587.ic4"}), end_of_list};
const rom_entry columns_roms[] = {
    even("epr13112.32", k128, 0x000000, {0xbae6e53e, "epr-13112.ic32"}),
    odd("epr13111.31", k128, 0x000000, {0xaa5ccd6d, "epr-13111.ic31"}), end_of_list};
const rom_entry columns2_roms[] = {
    even("epr13361.rom", k128, 0x000000, {0xb54b5f12, "epr-13361.ic32"}),
    odd("epr13360.rom", k128, 0x000000, {0xa59b1d4f, "epr-13360.ic31"}), end_of_list};
const rom_entry ichident_roms[] = {
    even("epr16886", k512, 0x000000, {0x38208e28, "epr-16886.ic32"}),
    odd("epr16885", k512, 0x000000, {0x1ce4e837, "epr-16885.ic31"}),
    even("epr16888", k512, 0x100000, {0x85d73722, "epr-16888.ic34", "epr-16888.ic34"}),
    odd("epr16887", k512, 0x100000, {0xbc3bbf25, "epr-16887.ic33", "epr-16887.ic33"}),
    sample("epr16884", k512, 0x000000, {0xfd9dcdd6, "epr-16884.ic4"}), end_of_list};
const rom_entry potopoto_roms[] = {
    even("epr16662", k256, 0x000000), odd("epr16661", k256, 0x000000),
    sample("epr16660", k256, 0x000000), end_of_list};
const rom_entry puyopuyo_roms[] = {
    even("epr15036", k128, 0x000000), odd("epr15035", k128, 0x000000),
    even("epr15038", k128, 0x100000), odd("epr15037", k128, 0x100000),
    sample("epr15034", k128, 0x000000), end_of_list};
const rom_entry puyopuya_roms[] = {
    even("ep15036a.32", k128, 0x000000, {0x61b35257, "epr-15036a.ic32"}),
    odd("ep15035a.31", k128, 0x000000, {0xdfebb6d9, "epr-15035a.ic31"}),
    even("epr15038", k128, 0x100000, {0x3b9eea0c, "epr-15038.ic34"}),
    odd("epr15037", k128, 0x100000, {0xbe2f7974, "epr-15037.ic33"}),
    sample("epr15034", k128, 0x000000, {0x5688213b, "epr-15034.ic4"}), end_of_list};
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
    even("epr15614.32", k512, 0x000000, {0x557782bc, "epr-15614.ic32"}),
    odd("epr15613.31", k512, 0x000000, {0x14bbb235, "epr-15613.ic31"}),
    even("mpr15616.34", k512, 0x100000, {0x17b80202, "mpr-15616.ic34"}),
    odd("mpr15615.33", k512, 0x100000, {0x36a88bd4, "mpr-15615.ic33"}),
    sample("epr15617.4", k256, 0x000000, {0x338324a1, "epr-15617.ic4"}), end_of_list};
const rom_entry tantrbl_roms[] = {
    even("pa_e10.bin", k512, 0x000000, {0x6c3f711f, nullptr}),
    odd("pa_f11.bin", k512, 0x000000, {0x75526786, "pa_f10.bin"}),
    even("mpr15616.34", k512, 0x100000, {0x17b80202, "mpr-15616.ic34", "mpr-15616.ic34"}),
    odd("mpr15615.33", k512, 0x100000, {0x36a88bd4, "mpr-15615.ic33", "mpr-15615.ic33"}),
    sample("pa_e02.bin", k128, 0x000000, {0x4e85b2a3, nullptr}),
    sample("pa_e03.bin", k128, 0x020000, {0x72918c58, nullptr}), end_of_list};
const rom_entry tforceac_roms[] = {
    even("ic32.bin", k256, 0x000000), odd("ic31.bin", k256, 0x000000),
    even("ic34.bin", k256, 0x100000), odd("ic33.bin", k256, 0x100000),
    sample("ic4.bin", k256, 0x000000), end_of_list};
const rom_entry tfacjp_roms[] = {
    even("Epr13657.32", k256, 0x000000, {0xa0f38ffd, "epr-13657.ic32"}),
    odd("Epr13656.31", k256, 0x000000, {0xb9438d1e, "epr-13656.ic31"}),
    even("ic34.bin", k256, 0x100000, {0x29f23461, "epr-13659.ic34", "epr-13659.ic34"}),
    odd("ic33.bin", k256, 0x100000, {0x9e23734f, "epr-13658.ic33", "epr-13658.ic33"}),
    sample("ic4.bin", k256, 0x000000, {0xe09961f6, "epr-13655.ic4", "epr-13655.ic4"}), end_of_list};
const rom_entry tfacbl_roms[] = {
    even("4.bin", k256, 0x000000, {0xeba059d3, nullptr}), odd("3.bin", k256, 0x000000, {0x3e5dc542, nullptr}),
    even("ic34.bin", k256, 0x100000, {0x29f23461, "epr-13659.ic34", "epr-13659.ic34"}),
    odd("ic33.bin", k256, 0x100000, {0x9e23734f, "epr-13658.ic33", "epr-13658.ic33"}),
    sample("1.bin", k128, 0x000000), sample("2.bin", k128, 0x020000), end_of_list};
const rom_entry zunkyou_roms[] = {
    even("epr16812.32", k512, 0x000000, {0xeb088fb0, "epr-16812.ic32"}),
    odd("epr16811.31", k512, 0x000000, {0x9ac7035b, "epr-16811.ic31"}),
    even("epr16814.34", k512, 0x100000, {0x821b3b77, "epr-16814.ic34"}),
    odd("epr16813.33", k512, 0x100000, {0x3cba9e8f, "epr-16813.ic33"}),
    sample("epr16810.4", k512, 0x000000, {0xd542f0fe, "epr-16810.ic4"}), end_of_list};

}  // namespace

void apply_board_flags(const board_flags& f) {
    if (f.keep_previous) return;
    palette_mode = f.palette_mode;
    pal_select_enable = f.pal_select_enable;
    pal_bank_enable = f.pal_bank_enable;
}

namespace {
const driver_record bloxeedc = {"bloxeedc", "Bloxeed (C2 version)", bloxeedc_roms, wiring::full, 1, "bloxeed"};
const driver_record borench = {"borench", "Borench", borench_roms, wiring::full, 2};
const driver_record columns = {"columns", "Columns (Japan)", columns_roms, wiring::full, 3, "columns", "columnsj"};
const driver_record columns2 = {"columns2", "Columns II - The Voyage Through Time (Japan)",
                                columns2_roms, wiring::full, 4, "columns2", "column2j"};
const driver_record ichident = {"ichident", "Ichident-R (Puzzle & Action 2) (Japan)",
                                ichident_roms, wiring::fixed, 5, "ichir", "ichirj"};
const driver_record potopoto = {"potopoto", "PotoPoto (Japan)", potopoto_roms, wiring::no_bank, 9};
const driver_record puyopuyo = {"puyopuyo", "Puyo Puyo (Program Revision ?, Japan)",
                                puyopuyo_roms, wiring::full, 6, "puyo"};
const driver_record puyopuya = {"puyopuya", "Puyo Puyo (Program Revsion A, Japan)",
                                puyopuya_roms, wiring::full, 7, "puyo", "puyoja"};
const driver_record puyopuy2 = {"puyopuy2", "Puyo Puyo 2 (Expert?) (Japan)", puyopuy2_roms,
                                wiring::no_select, 8};
// Holmgard's set wires nothing of its own: it runs with the flags the last
// game loaded left, as it always has.
const driver_record holmpa = {"holmpa", "Holmgard version of Puzzle & Action (Bad Dump?)",
                              holmpa_roms, wiring::previous, 11};
const driver_record stkclmns = {"stkclmns", "Stack Columns (Japan)", stkclmns_roms, wiring::no_bank, 10};
const driver_record tantr = {"tantr", "Tant-R (Puzzle & Action) (Japan)", tantr_roms, wiring::no_select, 12};
const driver_record tantrbl = {"tantrbl", "Tant-R (Puzzle & Action) (Japan, Bootleg?)",
                               tantrbl_roms, wiring::no_select, 13, "tantr"};
const driver_record tforceac = {"tforceac", "Thunder Force AC (US/Europe)", tforceac_roms,
                                wiring::full, 15, "tfrceac"};
const driver_record tfacjp = {"tfacjp", "Thunder Force AC (Japan)", tfacjp_roms, wiring::full, 16, "tfrceac", "tfrceacj"};
const driver_record tfacbl = {"tfacbl", "Thunder Force AC (US/Europe, Bootleg)", tfacbl_roms,
                              wiring::no_select, 14, "tfrceac"};
const driver_record zunkyou = {"zunkyou", "Zunzunkyou No Yabou (Japan)", zunkyou_roms,
                               wiring::no_bank, 17};

}  // namespace

const driver_record* const driver_list[] = {
    &bloxeedc, &borench, &columns, &columns2, &ichident, &potopoto, &puyopuyo,
    &puyopuya, &puyopuy2, &holmpa, &stkclmns, &tantr, &tantrbl, &tforceac,
    &tfacjp, &tfacbl, &zunkyou, &demo_driver, nullptr};

namespace {

bool answers_to(const driver_record& d, const char* name) {
    return same_rom_name(d.short_name, name) || (d.today_name && same_rom_name(d.today_name, name));
}

// Whether every file of a version is where the loader would find it.
bool files_all_there(const driver_record& d, const char* called) {
    rom_search search(d, set_name_for(d, called), core_folders().rom_dir, core_folders().zip_dir);
    for (const rom_entry* e = d.roms; e->file_name; e++)
        if (!e->data && search.find(*e).place < 0) return false;
    return true;
}

}  // namespace

const driver_record* find_driver(const char* name) {
    const driver_record* found[2];
    return find_versions(name, found) ? found[0] : nullptr;
}

int find_versions(const char* name, const driver_record* (&found)[2]) {
    int n = 0;
    if (!name) return 0;
    for (const driver_record* const* list : {driver_list, romset_list})
        for (const driver_record* const* d = list; *d && n < 2; d++)
            if (answers_to(**d, name)) found[n++] = *d;
    return n;
}

const driver_record* game_version(int index) {
    if (index < 0) return nullptr;
    if (index < game_count) return game_by_menu_number(index + 1);
    for (const driver_record* const* d = romset_list; *d; d++)
        if (index-- == game_count) return *d;
    return nullptr;
}

const char* version_name(const driver_record& game) { return game.today_name ? game.today_name : game.short_name; }

const char* set_name_for(const driver_record& game, const char* called) {
    return game.today_name && called && same_rom_name(called, game.today_name) ? game.today_name : game.short_name;
}


int load_driver(const char* name) {
    const driver_record* found[2];
    const int n = find_versions(name, found);
    if (n == 0) {
        dip_reset();
        game_driver = nullptr;
        return 0;
    }
    // Two versions under one name (the table's and today's): the one whose
    // files are all there, today's when both are; with neither, the
    // table's, whose messages tell an old set's owner what is missing.
    const driver_record* chosen = found[0];
    if (n == 2 && files_all_there(*found[1], name)) chosen = found[1];
    return load_driver_version(chosen, name);
}

int load_driver_version(const driver_record* game, const char* called) {
    dip_reset();
    game_driver = nullptr;
    if (!game) return 0;
    debug_log("Loading game `%s'\n", game->description);
    game_driver = game;
    game_set_name = set_name_for(*game, called);
    const int loaded = load_rom(game->roms) && dip_read(game->short_name);
    game_set_name = nullptr;
    if (!loaded) return 0;
    // The image is in the 68000's byte order until genesis_init swaps it.
    program_rom_host_order = 0;
    return 1;
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
