// The ROM check's words: one line per problem, a summary, and the audit
// of every set.
#include "host/game/rom_check.h"

#include <string>
#include <vector>

namespace {

// The version a name stands for in the audit: the one whose files are all
// there, else the one with the most found; today's on a tie.
const game_info* audited_version(const std::string& name, rom_check& check) {
    const game_info* best = nullptr;
    for (int i = 0; const game_info* g = core_version(i); ++i) {
        if (!core_same_name(g->version, name.c_str())) continue;
        rom_check c = core_check_roms(*g);
        if (!best || c.missing() <= check.missing()) {
            best = g;
            check = std::move(c);
        }
    }
    return best;
}

std::string missing_line(const game_info& game, const rom_check& check) {
    std::string text = std::string(game.version) + ": missing ";
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

int verify_roms(const std::vector<std::string>& names, std::FILE* out) {
    std::vector<std::string> sets;
    for (const std::string& n : names) {
        const game_info* g = nullptr;
        for (int i = 0; core_version(i) && !g; ++i)
            if (core_same_name(core_version(i)->version, n.c_str())) g = core_version(i);
        if (!g) g = core_find_game(n.c_str());
        if (!g || g->built_in) {
            std::fprintf(stderr, "vortan: there is no set called \"%s\"\n", n.c_str());
            return 2;
        }
        sets.push_back(g->version);
    }
    if (names.empty())
        for (int i = 0; const game_info* g = core_version(i); ++i) {
            bool seen = false;
            for (const std::string& s : sets) seen |= core_same_name(s.c_str(), g->version);
            if (!seen) sets.push_back(g->version);
        }
    int good = 0, incorrect = 0, incomplete = 0, absent = 0;
    for (const std::string& name : sets) {
        rom_check check;
        const game_info* game = audited_version(name, check);
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
    for (int i = 0; const game_info* g = core_version(i); ++i)
        std::fprintf(out, "%-10s %-10s %s\n", g->version, g->parent ? g->parent : "-", g->title);
}
