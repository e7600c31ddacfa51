// What the core's check of a version's ROM files says, in words: for the
// game list, the report of a load that failed and the audit of every set.
#pragma once
#include <cstdio>
#include <string>
#include "machine/core.h"

// "epr13112.32 is missing (131072 bytes)", "epr13111.31 is 100 bytes, not 131072",
// "epr-15617.ic4: CRC 1234abcd, the known dump is 338324a1".
std::string rom_problem_text(const rom_problem& problem);
// One line saying why the game cannot start, or "" when it can.
std::string rom_check_summary(const rom_check& check);

// vortan -verifyroms [name ...]: one line per set, looked for in the core's
// folders, then the counts. Returns the exit status: 0 when every set found
// is good, 1 otherwise, 2 when a name is no set.
int verify_roms(const std::vector<std::string>& names, std::FILE* out);
// vortan --listgames: short name, parent and title of every version.
void list_games(std::FILE* out);
