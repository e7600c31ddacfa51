// Where a version's ROM files are looked for and how one is found there: by
// any of its names, letter case ignored, else by its CRC-32 and size. An
// archive's directory gives each member's CRC without inflating it; a
// folder's files of the right size are read to learn theirs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "machine/drivers.h"

// One archive or folder: the set's archive when it is a file, else its folder.
struct rom_place {
    struct file {
        std::string name;
        uint64_t size;
        uint32_t crc;
        int crc_known;  // archives store it; a folder's file is read once asked
    };
    std::string set;   // the set it is named after
    std::string path;  // <zip_dir>/<set>.zip or <rom_dir>/<set>
    int archive = 0;
    int parent = 0;    // the parent set's place
    int present = 0;   // the archive could be read, the folder exists
    std::vector<file> files;
};

struct rom_found {
    int place = -1;    // index into places(); -1: not found
    std::string name;  // the member's or file's name there
    int by_crc = 0;    // found by its contents, not by a name
};

class rom_search {
public:
    // called: the name the version was asked for; its places come first,
    // then those of the version's other names, then the parent's.
    rom_search(const driver_record& game, const char* called, const std::string& rom_dir,
               const std::string& zip_dir);
    rom_found find(const rom_entry& e);
    // The CRC-32 of a found file: the archive's stored one, or the file's
    // own (0 when it cannot be read).
    uint32_t crc_of(const rom_found& f);
    const std::vector<rom_place>& places() const { return places_; }
    // Where a found file is: its path in a folder, its member name in an archive.
    std::string path_of(const rom_found& f) const;
    // The parent set, when the version has one and neither its archive nor its folder is there.
    const char* missing_parent() const;

private:
    bool crc_matches(rom_place& p, rom_place::file& f, uint32_t crc);
    std::vector<rom_place> places_;
    const char* parent_ = nullptr;
};

// The names a file is known by: the table's, today's, the parent's, and for
// a file with no known dump the label's ("epr16662" at ic32 as "epr-16662.ic32").
std::vector<std::string> rom_names(const rom_entry& e);
// The board location of an entry: ic32 and ic31 for the first even and odd
// files, ic34 and ic33 for the second pair, ic4 for the samples.
const char* board_location(const rom_entry& e);
// Compares names as the loader does: letter case ignored.
bool same_rom_name(const char* a, const char* b);
