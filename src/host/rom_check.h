// Whether a game's ROM files are where the loader looks for them, by name
// and size, without loading them: for the game list and for the report of a
// load that failed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "machine/core.h"

struct rom_problem {
    std::string file;
    uint32_t size;  // what the game's table says
    int64_t found;  // the size found; -1 when the file is missing
};

struct rom_check {
    int built_in = 0;      // the game needs no files
    std::string archive;   // <zipdir>/<game>.zip
    std::string folder;    // <romdir>/<game>/
    int archive_used = 0;  // the archive exists, so the loader reads it alone
    std::string failure;   // the archive itself cannot be read
    std::vector<rom_problem> problems;
    int ready() const { return failure.empty() && problems.empty(); }
};

rom_check check_game_roms(const driver_record& game, const core_paths& paths);
// "epr13112.32 is missing (131072 bytes)", "epr13111.31 is 100 bytes, not 131072".
std::string rom_problem_text(const rom_problem& problem);
// One line saying why the game cannot start, or "" when it can.
std::string rom_check_summary(const rom_check& check);
