// The ROM files of a version checked where the loader looks for them: its
// own archive (or folder when there is none), then its parent's.
#include "host/rom_check.h"

#include "machine/rom_search.h"

namespace {

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
    for (int i = 0; const driver_record* g = core_version(i); ++i) {
        if (g == &game) continue;
        for (const rom_entry* o = g->roms; o->file_name; ++o) {
            if (o->size != e.size) continue;
            if ((e.crc_known && o->crc_known) ? o->crc == e.crc : same_rom_name(o->file_name, e.file_name)) return true;
        }
    }
    return false;
}

// The version a name stands for in the audit: the one whose files are all
// there, else the one with the most found; today's on a tie.
const driver_record* audited_version(const std::string& name, const core_paths& paths, rom_check& check) {
    const driver_record* best = nullptr;
    for (int i = 0; const driver_record* g = core_version(i); ++i) {
        if (!same_rom_name(version_name(*g), name.c_str())) continue;
        rom_check c = check_game_roms(*g, paths);
        if (!best || c.missing() <= check.missing()) {
            best = g;
            check = std::move(c);
        }
    }
    return best;
}

std::string missing_line(const driver_record& game, const rom_check& check) {
    std::string text = std::string(version_name(game)) + ": missing ";
    bool first = true;
    for (const rom_problem& p : check.problems) {
        if (p.found >= 0) continue;
        text += (first ? "" : ", ") + p.file;
        first = false;
    }
    text += " (in ";
    if (game.parent) text += std::string(game.parent) + ".zip or ";
    return text + check.set + ".zip)";
}

}  // namespace

int rom_check::missing() const {
    int n = 0;
    for (const rom_problem& p : problems) n += !p.wrong_crc;
    return n;
}

int rom_check::wrong_checksums() const { return int(problems.size()) - missing(); }

rom_check check_game_roms(const driver_record& game, const core_paths& paths, const char* called) {
    rom_check check;
    check.set = called ? set_name_for(game, called) : version_name(game);
    const bool today = !called || (game.today_name && check.set == game.today_name);
    check.archive = paths.zip_dir + "/" + check.set + ".zip";
    check.folder = paths.rom_dir + "/" + check.set + "/";
    check.built_in = 1;
    for (const rom_entry* e = game.roms; e->file_name; ++e) check.built_in &= e->data != nullptr;
    if (check.built_in) return check;
    rom_search search(game, check.set.c_str(), paths.rom_dir, paths.zip_dir);
    const rom_place& own = search.places()[0];
    check.archive_used = own.archive;
    if (own.archive && !own.present) check.failure = check.archive + " is not a zip archive that can be read";
    for (const rom_entry* e = game.roms; e->file_name; ++e) {
        if (e->data) continue;
        const rom_found found = search.find(*e);
        if (found.place < 0) {
            check.problems.push_back({file_label(*e, today), e->size, size_by_table_name(search, *e)});
            continue;
        }
        check.own_files_found += !shared_file(game, *e);
        const uint32_t crc = search.crc_of(found);
        if (e->crc_known && crc != e->crc)
            check.problems.push_back({found.name, e->size, e->size, 1, crc, e->crc, search.places()[size_t(found.place)].path});
    }
    return check;
}

std::string rom_problem_text(const rom_problem& p) {
    char crcs[64];
    std::snprintf(crcs, sizeof crcs, "CRC %08x, the known dump is %08x", p.crc, p.expected);
    if (p.wrong_crc) return p.file + ": " + crcs;
    if (p.found < 0) return p.file + " is missing (" + std::to_string(p.size) + " bytes)";
    return p.file + " is " + std::to_string(p.found) + " bytes, not " + std::to_string(p.size);
}

std::string rom_check_summary(const rom_check& check) {
    if (!check.failure.empty()) return check.failure;
    if (check.problems.empty()) return "";
    size_t missing = 0, wrong = 0, checksums = 0;
    for (const rom_problem& p : check.problems) (p.wrong_crc ? checksums : p.found < 0 ? missing : wrong)++;
    std::string text;
    auto add = [&](size_t n, const char* one, const char* many) {
        if (!n) return;
        if (!text.empty()) text += ", ";
        text += std::to_string(n) + (n == 1 ? one : many);
    };
    add(missing, " file missing", " files missing");
    add(wrong, " file of the wrong size", " files of the wrong size");
    add(checksums, " file not the known dump", " files not the known dumps");
    // Files that are all there may have been found in another set's place.
    const std::string where = missing + wrong ? (check.archive_used ? check.archive : check.folder)
                                              : check.problems[0].where;
    return text + " in " + where;
}

int verify_roms(const std::vector<std::string>& names, const core_paths& paths, std::FILE* out) {
    std::vector<std::string> sets;
    for (const std::string& n : names) {
        const driver_record* g = nullptr;
        for (int i = 0; core_version(i) && !g; ++i)
            if (same_rom_name(version_name(*core_version(i)), n.c_str())) g = core_version(i);
        if (!g) g = core_find_game(n.c_str());
        if (!g || !g->roms[0].file_name || g->roms[0].data) {
            std::fprintf(stderr, "vortan: there is no set called \"%s\"\n", n.c_str());
            return 2;
        }
        sets.push_back(version_name(*g));
    }
    if (names.empty())
        for (int i = 0; const driver_record* g = core_version(i); ++i) {
            bool seen = false;
            for (const std::string& s : sets) seen |= same_rom_name(s.c_str(), version_name(*g));
            if (!seen) sets.push_back(version_name(*g));
        }
    int good = 0, incorrect = 0, incomplete = 0, absent = 0;
    for (const std::string& name : sets) {
        rom_check check;
        const driver_record* game = audited_version(name, paths, check);
        std::string line;
        if (!check.failure.empty()) {
            line = name + ": " + check.failure;
            ++incomplete;
        } else if (check.ready() && check.problems.empty()) {
            line = name + ": good";
            ++good;
        } else if (check.ready()) {
            line = name + ": incorrect ";
            bool first = true;
            for (const rom_problem& p : check.problems) {
                char crcs[48];
                std::snprintf(crcs, sizeof crcs, " (CRC %08x, expected %08x)", p.crc, p.expected);
                line += (first ? "" : ", ") + p.file + crcs;
                first = false;
            }
            ++incorrect;
        } else if (check.own_files_found == 0) {
            line = name + ": not found";
            ++absent;
        } else {
            line = missing_line(*game, check);
            ++incomplete;
        }
        std::fprintf(out, "%s\n", line.c_str());
    }
    std::fprintf(out, "%zu sets: %d good, %d incorrect, %d incomplete, %d not found\n", sets.size(), good, incorrect,
                 incomplete, absent);
    return incorrect + incomplete ? 1 : 0;
}

void list_games(std::FILE* out) {
    std::fprintf(out, "%-10s %-10s %s\n", "name", "parent", "title");
    for (int i = 0; const driver_record* g = core_version(i); ++i)
        std::fprintf(out, "%-10s %-10s %s\n", version_name(*g), g->parent ? g->parent : "-", g->description);
}
