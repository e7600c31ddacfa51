// Starting and freeing games. A load keeps the loader's lines; one that
// fails leaves the running game as it was and says which files were missing
// or of the wrong size, where they were looked for and where to put them.
#pragma once
#include <string>
#include <vector>
#include "machine/core.h"

// Hands the folder options to the core before a check or a load: the options
// stay the user's setting, the core's copy is the one its loader reads.
void use_folder_options();

// Loads a game and opens its sound. 0 when it could not be loaded, with the
// report in report (when given); what ran before runs on.
// version: that one of the versions the name has (null: the one whose files are there).
int start_game(const char* name, std::string* report = nullptr, const game_info* version = nullptr);
// The menu's load: a failure is shown in the window.
void load_game(const char* name, const game_info* version = nullptr);
// The game list's choice, loaded by cmd_load_version once the frame is shown.
void choose_version(const game_info* version);
void load_chosen_version();
void gui_load_game(int number);
// Unloads the running game; its DIP switches are kept.
void free_game();

// The short names nearest to a name that is none, closest first; none when
// every one is far from it.
std::vector<std::string> nearest_games(const char* name);

// Main > Recent games: the last ten games loaded, newest first, kept in
// vortan.cfg as "-recent columns,puyopuyo".
std::vector<std::string> recent_game_names();
void remember_recent_game(const char* short_name);

// Why the last load failed, one line ("" after a load that worked).
extern std::string last_load_problem;

// Collects the core loader's lines while it lives; they still go to the
// standard output too.
class loader_lines {
public:
    loader_lines();
    ~loader_lines();
    loader_lines(const loader_lines&) = delete;
    loader_lines& operator=(const loader_lines&) = delete;
    std::vector<std::string> lines;
    std::vector<std::string> problems;  // those of them that are errors or warnings
};

// The report of a failed load of a known game, from its files and the
// loader's lines.
// called: the name it was asked for (null: today's name).
std::string load_failure_report(const game_info& game, const std::vector<std::string>& lines,
                                const char* called = nullptr);
