// The game table as the front ends see it: a game_info per version, and the
// check of a version's files where the loader would look for them.
#include "machine/core.h"
#include "machine/core_games.h"
#include "machine/drivers.h"
#include "machine/rom_search.h"

static_assert(core_game_count == game_count);

namespace {

// Every version, the demo last, each beside the entry it describes; built
// once, so a front end may keep the pointers.
struct version_table {
    std::vector<const driver_record*> drivers;
    std::vector<game_info> infos;
};

const version_table& versions() {
    static const version_table table = [] {
        version_table t;
        for (int i = 0; const driver_record* d = game_version(i); ++i) t.drivers.push_back(d);
        t.drivers.push_back(&demo_driver);
        for (const driver_record* d : t.drivers) {
            int built_in = 1;
            for (const rom_entry* e = d->roms; e->file_name; ++e) built_in &= e->data != nullptr;
            t.infos.push_back({d->short_name, d->description, d->parent, version_name(*d), built_in});
        }
        return t;
    }();
    return table;
}

// Files are named as the set asked for names them: today's names for today's set names.
const char* file_label(const rom_entry& e, bool today) { return today && e.today_name ? e.today_name : e.file_name; }

// A file missing by every other way may still be in the set's own place
// under the table's name with another size, as the loader would then read it.
int64_t size_by_table_name(const rom_search& search, const rom_entry& e) {
    if (search.places().empty()) return -1;
    for (const rom_place::file& f : search.places()[0].files)
        if (same_rom_name(f.name.c_str(), e.file_name)) return int64_t(f.size);
    return -1;
}

// A file another version also has (the same dump, or the same name and
// size in the table): finding it says nothing of whether this version is there.
bool shared_file(const driver_record& game, const rom_entry& e) {
    if (e.parent_name) return true;
    for (int i = 0; const driver_record* g = game_version(i); ++i) {
        if (g == &game) continue;
        for (const rom_entry* o = g->roms; o->file_name; ++o) {
            if (o->size != e.size) continue;
            if ((e.crc_known && o->crc_known) ? o->crc == e.crc : same_rom_name(o->file_name, e.file_name)) return true;
        }
    }
    return false;
}

}  // namespace

const game_info* info_of(const driver_record* game) {
    const version_table& t = versions();
    for (size_t i = 0; i < t.drivers.size(); ++i)
        if (t.drivers[i] == game) return &t.infos[i];
    return nullptr;
}

const driver_record* driver_of(const game_info* game) {
    const version_table& t = versions();
    if (!game || game < t.infos.data() || game >= t.infos.data() + t.infos.size()) return nullptr;
    return t.drivers[size_t(game - t.infos.data())];
}

const game_info* core_game(int index) {
    if (index >= 0 && index < game_count) return info_of(game_by_menu_number(index + 1));
    if (index == game_count) return info_of(&demo_driver);
    return nullptr;
}

const game_info* core_find_game(const char* short_name) { return info_of(find_driver(short_name)); }
const game_info* core_version(int index) { return info_of(game_version(index)); }
bool core_same_name(const char* a, const char* b) { return same_rom_name(a, b); }

int rom_check::missing() const {
    int n = 0;
    for (const rom_problem& p : problems) n += !p.wrong_crc;
    return n;
}

int rom_check::wrong_checksums() const { return int(problems.size()) - missing(); }

rom_check core_check_roms(const game_info& info, const char* called) {
    const game_folders& paths = core_folders();
    rom_check check;
    const driver_record* game = driver_of(&info);
    if (!game) return check;
    check.set = called ? set_name_for(*game, called) : version_name(*game);
    const bool today = !called || (game->today_name && check.set == game->today_name);
    check.archive = paths.zip_dir + "/" + check.set + ".zip";
    check.folder = paths.rom_dir + "/" + check.set + "/";
    check.built_in = info.built_in;
    if (check.built_in) return check;
    rom_search search(*game, check.set.c_str(), paths.rom_dir, paths.zip_dir);
    const rom_place& own = search.places()[0];
    check.archive_used = own.archive;
    if (own.archive && !own.present) check.failure = check.archive + " is not a zip archive that can be read";
    for (const rom_entry* e = game->roms; e->file_name; ++e) {
        if (e->data) continue;
        const rom_found found = search.find(*e);
        if (found.place < 0) {
            check.problems.push_back({file_label(*e, today), e->size, size_by_table_name(search, *e), 0, 0, 0, {}});
            continue;
        }
        check.own_files_found += !shared_file(*game, *e);
        const uint32_t crc = search.crc_of(found);
        if (e->crc_known && crc != e->crc)
            check.problems.push_back({found.name, e->size, e->size, 1, crc, e->crc, search.places()[size_t(found.place)].path});
    }
    return check;
}
