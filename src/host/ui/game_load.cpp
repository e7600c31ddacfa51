// Games loaded from the command line and the menu, and freed.
#include "host/ui/game_load.h"
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include "host/ui/dialogs.h"
#include "host/video/display.h"
#include "host/ui/gui.h"
#include "host/game/main_loop.h"
#include "host/settings/options.h"
#include "host/game/rom_check.h"
#include "host/audio/sound_stream.h"
#include "host/game/state_slots.h"
#include "host/ui/window.h"

std::string last_load_problem;

std::vector<std::string> recent_game_names() {
    std::vector<std::string> names;
    std::string list = recent_games;
    for (size_t at = 0; at <= list.size() && int(names.size()) < recent_games_kept;) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const std::string name = list.substr(at, comma - at);
        // A name the program does not know (an edited file) is left out.
        if (core_find_game(name.c_str()) && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
        at = comma + 1;
    }
    return names;
}

void remember_recent_game(const char* short_name) {
    std::vector<std::string> names = recent_game_names();
    names.erase(std::remove(names.begin(), names.end(), short_name), names.end());
    names.insert(names.begin(), short_name);
    std::string list;
    for (size_t i = 0; i < names.size() && int(i) < recent_games_kept; ++i) list += (i ? "," : "") + names[i];
    std::snprintf(recent_games, sizeof recent_games, "%s", list.c_str());
}

namespace {

loader_lines* collecting;

void keep_line(loader_severity severity, const char* line) {
    std::fputs(line, stdout);
    std::fflush(stdout);  // seen at once by whoever follows the output
    if (!collecting) return;
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (severity != loader_severity::info) collecting->problems.push_back(text);
    collecting->lines.push_back(std::move(text));
}

const core_hooks collecting_hooks = {keep_line};

std::string known_games() {
    std::string names;
    for (int i = 0; const game_info* g = core_version(i); ++i) names += std::string(i ? ", " : "") + g->version;
    names += ", demo";
    return names;
}

// Letters to add, drop or change to turn one name into the other, in any case.
size_t edit_distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower((unsigned char)a[i - 1]) == std::tolower((unsigned char)b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The loader's lines that are more than progress: a game that loaded with
// them still deserves a word to the user.
// A file that is not the known dump is told on the picture's message line
// instead: the game runs as the player has it.
// The checksum notes are told on their own.
std::vector<std::string> warnings(const std::vector<std::string>& problems) {
    std::vector<std::string> out;
    const std::vector<std::string>& notes = core_checksum_notes();
    for (const std::string& l : problems)
        if (std::find(notes.begin(), notes.end(), l) == notes.end()) out.push_back(l);
    return out;
}

void tell_checksums() {
    const std::vector<std::string>& notes = core_checksum_notes();
    if (notes.empty()) return;
    if (notes.size() == 1)
        message_printf("%s", notes[0].c_str());
    else
        message_printf("%s (and %zu more %s)", notes[0].c_str(), notes.size() - 1,
                       notes.size() == 2 ? "file not the known dump" : "files not the known dumps");
}

std::string indented(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += "  " + l + "\n";
    return text;
}

}  // namespace

loader_lines::loader_lines() {
    collecting = this;
    core_set_hooks(&collecting_hooks);
}

loader_lines::~loader_lines() {
    collecting = nullptr;
    core_set_hooks(nullptr);
}

void use_folder_options() { core_set_folders({rom_dir, zip_dir, dip_dir}); }

std::vector<std::string> nearest_games(const char* name) {
    std::vector<std::string> nearest;
    size_t best = 3;  // further than that is a different word
    for (int i = 0; const game_info* g = core_game(i); ++i) {
        const size_t d = edit_distance(name, g->short_name);
        if (d < best) nearest.clear();
        if (d <= best) nearest.push_back(g->short_name);
        best = std::min(best, d);
    }
    return nearest;
}

std::string load_failure_report(const game_info& game, const std::vector<std::string>& lines, const char* called) {
    use_folder_options();
    const rom_check check = core_check_roms(game, called);
    std::string text = std::string(game.title) + " (" + game.short_name + ") could not be loaded.\n\n";
    if (!check.failure.empty()) text += check.failure + "\n";
    if (!check.problems.empty()) {
        text += "Files:\n";
        for (const rom_problem& p : check.problems) text += "  " + rom_problem_text(p) + "\n";
    }
    text += "Looked in:\n";
    if (check.archive_used) {
        text += "  " + check.archive + "\n  (the folder " + check.folder +
                " is not read while that archive exists)\n";
    } else {
        text += "  " + check.archive + " (no such archive)\n  " + check.folder + "\n";
    }
    text += "Put the files in " + check.folder + " or in the zip archive " + check.archive + ".\n";
    if (!lines.empty()) text += "\nThe loader said:\n" + indented(lines);
    return text;
}

int start_game(const char* name, std::string* report, const game_info* version) {
    const game_info* game = version ? version : core_find_game(name);
    if (!game) {
        if (report) {
            *report = std::string("There is no game called \"") + name + "\".\n";
            const std::vector<std::string> nearest = nearest_games(name);
            for (size_t i = 0; i < nearest.size(); ++i)
                *report += (i ? " or " : "Did you mean ") + nearest[i] + (i + 1 == nearest.size() ? "?\n" : "");
            *report += "The games: " + known_games() + ".\n";
        }
        last_load_problem = std::string("no game called \"") + name + "\"";
        return 0;
    }
    loader_lines loader;
    core_set_fm_model(fm_model_option);
    use_folder_options();
    const int loaded = core_load(name, sound_enabled ? sound_rate : 0, version);
    // A failed load gives back the game that ran before it, if any.
    game_loaded = core_running() != nullptr;
    update_window_title();
    if (!loaded) {
        if (report) *report = load_failure_report(*game, loader.lines, name);
        last_load_problem = std::string(game->title) + ": " +
                            rom_check_summary(core_check_roms(*game, name));
        return 0;
    }
    last_load_problem.clear();
    remember_recent_game(game->short_name);
    user_paused = frame_advance = 0;
    // However the game was started, it rewinds as the options say.
    apply_rewind_option();
    if (sound_enabled && !headless) init_sound(sound_rate);
    tell_checksums();
    const std::vector<std::string> said = warnings(loader.problems);
    if (!said.empty())
        show_report("Loaded with problems", std::string(game->title) + " was loaded, but the loader said:\n" +
                                                 indented(said));
    return 1;
}

void load_game(const char* name, const game_info* version) {
    std::string report;
    if (start_game(name, &report, version)) {
        if (sound_enabled) silence_sound();
        gui_manage_palette(core_palette_mode());
    } else {
        if (!game_loaded && sound_enabled) silence_sound();
        show_report("Could not load", report);
    }
}

namespace {
const game_info* chosen_version;
}

void choose_version(const game_info* version) { chosen_version = version; }

void load_chosen_version() {
    if (chosen_version) load_game(chosen_version->version, chosen_version);
}

void gui_load_game(int number) {
    const game_info* game = core_game(number - 1);
    if (game) load_game(game->short_name);
}

void free_game() {
    const game_info* game = core_running();
    if (!game_loaded || !game) return;
    const std::string name = core_folders().dip_dir + "/" + game->short_name + ".dip";
    if (!core_unload()) message_printf("DIP switches not saved to %s", name.c_str());
    game_loaded = 0;
    user_paused = 0;
    if (sound_enabled) silence_sound();
    update_window_title();
    fillscreen(0);
}
