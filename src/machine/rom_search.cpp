// Finding a version's ROM files in its own archive or folder, then in its
// parent's, by name or by contents.
#include "machine/rom_search.h"

#include <unzip.h>
#include <zlib.h>

#include <cctype>
#include <cstring>

#include "common/input_limits.h"
#include "common/regular_file.h"
#include "common/utf8_file.h"
#include "machine/board.h"
#include "machine/core.h"
#include "machine/rom_loader.h"

namespace {

bool is_regular(const std::string& path, uint64_t* size = nullptr) {
    const path_status s = utf8_status(path.c_str());
    if (s.type != path_type::regular) return false;
    if (size) *size = uint64_t(s.size);
    return true;
}

bool is_folder(const std::string& path) { return utf8_status(path.c_str()).type == path_type::folder; }

// The archive is opened only as a plain file of a sane size: a FIFO in its
// place never blocks, and a huge directory of members is never listed.
voidpf open_plain(voidpf, const void* path, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    const char* name = static_cast<const char*>(path);
    const path_status s = utf8_status(name);
    if (s.type == path_type::regular && !within_limit(s.size, zip_archive_limit)) {
        core_loader_printf(loader_severity::error, "%s\n", input_too_large(name, zip_archive_limit).c_str());
        return nullptr;
    }
    const char* why = "";
    return open_regular_file(name, &why);
}

// The directory of an archive: every member's name, size and stored CRC.
void list_archive(rom_place& p) {
    zlib_filefunc64_def io;
    fill_fopen64_filefunc(&io);
    io.zopen64_file = open_plain;
    unzFile zip = unzOpen2_64(p.path.c_str(), &io);
    if (!zip) return;
    p.present = 1;
    for (int at = unzGoToFirstFile(zip); at == UNZ_OK; at = unzGoToNextFile(zip)) {
        unz_file_info64 info;
        char name[512];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        if (info.size_filename >= sizeof name) continue;  // a name that long is no ROM of ours
        p.files.push_back({name, info.uncompressed_size, uint32_t(info.crc), 1});
    }
    unzClose(zip);
}

void list_folder(rom_place& p) {
    if (!is_folder(p.path)) return;
    p.present = 1;
    std::vector<std::string> names;
    if (!utf8_folder_names(p.path.c_str(), names)) return;
    for (const std::string& name : names) {
        uint64_t size = 0;
        if (name[0] == '.' || !is_regular(p.path + "/" + name, &size)) continue;
        p.files.push_back({name, size, 0, 0});
    }
}

// A file's own CRC-32, read in pieces; false when it cannot be read.
bool file_crc(const std::string& path, uint32_t& crc) {
    const char* why = "";
    std::FILE* f = open_regular_file(path.c_str(), &why);
    if (!f) return false;
    uLong sum = crc32(0, nullptr, 0);
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) sum = crc32(sum, buffer, uInt(n));
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    crc = uint32_t(sum);
    return !failed;
}

void add_set(std::vector<std::string>& sets, const char* name) {
    if (!name || !*name) return;
    for (const std::string& s : sets)
        if (same_rom_name(s.c_str(), name)) return;
    sets.emplace_back(name);
}

}  // namespace

bool same_rom_name(const char* a, const char* b) {
    for (; *a && *b; a++, b++)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

const char* board_location(const rom_entry& e) {
    if (e.region == sample_rom) return "ic4";
    const bool first_pair = e.offset == 0;
    if (e.interleave == rom_interleave::even) return first_pair ? "ic32" : "ic34";
    if (e.interleave == rom_interleave::odd) return first_pair ? "ic31" : "ic33";
    return nullptr;
}

std::vector<std::string> rom_names(const rom_entry& e) {
    std::vector<std::string> names{e.file_name};
    if (e.today_name) names.emplace_back(e.today_name);
    if (e.parent_name) names.emplace_back(e.parent_name);
    // Today's label: the part number with a hyphen after its prefix, the
    // board location as extension.
    const char* location = board_location(e);
    if (!e.crc_known && location && (!std::strncmp(e.file_name, "epr", 3) || !std::strncmp(e.file_name, "mpr", 3))) {
        std::string number;
        for (const char* c = e.file_name + 3; *c && *c != '.'; c++) number += *c;
        bool digits = number.size() >= 4;
        for (char c : number) digits &= std::isdigit(static_cast<unsigned char>(c)) != 0;
        if (digits) names.push_back(std::string(e.file_name, 3) + "-" + number + "." + location);
    }
    return names;
}

rom_search::rom_search(const driver_record& game, const char* called, const std::string& rom_dir,
                       const std::string& zip_dir) {
    std::vector<std::string> sets;
    add_set(sets, called);
    add_set(sets, game.short_name);
    add_set(sets, game.today_name);
    const size_t own = sets.size();
    add_set(sets, game.parent);
    if (sets.size() > own) parent_ = game.parent;
    for (size_t i = 0; i < sets.size(); i++) {
        rom_place p;
        p.set = sets[i];
        p.parent = i >= own;
        // The archive when it is there, else the folder: never both.
        const std::string archive = zip_dir + "/" + sets[i] + ".zip";
        if (is_regular(archive)) {
            p.archive = 1;
            p.path = archive;
            list_archive(p);
        } else {
            p.path = rom_dir + "/" + sets[i];
            list_folder(p);
        }
        places_.push_back(std::move(p));
    }
}

bool rom_search::crc_matches(rom_place& p, rom_place::file& f, uint32_t crc) {
    if (!f.crc_known) f.crc_known = file_crc(p.path + "/" + f.name, f.crc) ? 1 : -1;
    return f.crc_known == 1 && f.crc == crc;
}

rom_found rom_search::find(const rom_entry& e) {
    const std::vector<std::string> names = rom_names(e);
    for (size_t i = 0; i < places_.size(); i++) {
        rom_place& p = places_[i];
        for (const std::string& name : names)
            for (const rom_place::file& f : p.files)
                if (f.size == e.size && same_rom_name(f.name.c_str(), name.c_str())) return {int(i), f.name, 0};
        if (!e.crc_known) continue;
        for (rom_place::file& f : p.files)
            if (f.size == e.size && crc_matches(p, f, e.crc)) return {int(i), f.name, 1};
    }
    return {};
}

uint32_t rom_search::crc_of(const rom_found& found) {
    if (found.place < 0) return 0;
    rom_place& p = places_[size_t(found.place)];
    for (rom_place::file& f : p.files) {
        if (f.name != found.name) continue;
        if (!f.crc_known) f.crc_known = file_crc(p.path + "/" + f.name, f.crc) ? 1 : -1;
        return f.crc_known == 1 ? f.crc : 0;
    }
    return 0;
}

std::string rom_search::path_of(const rom_found& f) const {
    if (f.place < 0) return "";
    const rom_place& p = places_[size_t(f.place)];
    return p.archive ? f.name : p.path + "/" + f.name;
}

const char* rom_search::missing_parent() const {
    for (const rom_place& p : places_)
        if (p.parent) return p.present ? nullptr : parent_;
    return nullptr;
}
