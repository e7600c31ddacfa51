// Whether a version's ROM files are where the loader finds them, by name or
// by CRC-32 and size, without loading them: for the game list, the report
// of a load that failed and the audit of every set.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "machine/core.h"

struct rom_problem {
    std::string file;
    uint32_t size;  // what the game's table says
    int64_t found;  // the size found; -1 when the file is missing
    int wrong_crc = 0;  // found, of the right size, but not the known dump
    uint32_t crc = 0, expected = 0;
    std::string where;  // the archive or folder it was found in
};

struct rom_check {
    int built_in = 0;      // the game needs no files
    std::string set;       // the name its own archive and folder go by
    std::string archive;   // <zipdir>/<set>.zip
    std::string folder;    // <romdir>/<set>/
    int archive_used = 0;  // the archive exists, so the loader reads it alone
    std::string failure;   // the archive itself cannot be read
    std::vector<rom_problem> problems;
    int own_files_found = 0;  // files found that no other version has
    int missing() const;
    int wrong_checksums() const;
    // It loads: every file there (some may differ from the known dumps).
    int ready() const { return failure.empty() && missing() == 0; }
};

// called: the name the version goes by (null: today's name, else its short name).
rom_check check_game_roms(const driver_record& game, const core_paths& paths, const char* called = nullptr);
// "epr13112.32 is missing (131072 bytes)", "epr13111.31 is 100 bytes, not 131072",
// "epr-15617.ic4: CRC 1234abcd, the known dump is 338324a1".
std::string rom_problem_text(const rom_problem& problem);
// One line saying why the game cannot start, or "" when it can.
std::string rom_check_summary(const rom_check& check);

// vortan -verifyroms [name ...]: one line per set, then the counts. Returns
// the exit status: 0 when every set found is good, 1 otherwise, 2 when a
// name is no set.
int verify_roms(const std::vector<std::string>& names, const core_paths& paths, std::FILE* out);
// vortan --listgames: short name, parent and title of every version.
void list_games(std::FILE* out);
