// ROM images from one zip archive or one directory per game, placed into the
// board's regions in 68000 byte order.
#include "machine/rom_loader.h"

#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/input_limits.h"
#include "common/regular_file.h"
#include "common/safe_file.h"
#include "machine/board.h"
#include "machine/core.h"
#include "machine/rom_search.h"

std::vector<std::string> rom_checksum_notes;

namespace {

game_folders folders;

// ROM, archive and DIP files are taken only when they are plain files of a
// sane size: a FIFO would hang the load, and a directory is no ROM.
std::FILE* open_rom_file(const char* path, const input_limit& limit, int64_t* size = nullptr) {
    const char* why = "";
    std::FILE* f = open_regular_file(path, &why);
    if (!f) {
        if (errno == EISDIR || errno == EINVAL) core_loader_printf(loader_severity::error, "Not a regular file: `%s'\n", path);
        return nullptr;
    }
    const int64_t length = std::max<int64_t>(regular_file_size(f), 0);
    if (!within_limit(length, limit)) {
        core_loader_printf(loader_severity::error, "%s\n", input_too_large(path, limit).c_str());
        std::fclose(f);
        return nullptr;
    }
    if (size) *size = length;
    return f;
}

// The zip reader opens its archive through the same check.
voidpf open_archive(voidpf, const void* path, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    return open_rom_file(static_cast<const char*>(path), zip_archive_limit);
}

// The reader would hand over the bytes of any other method as they are,
// unchecked by the CRC, so only stored and deflated members are taken.
bool member_readable(const unz_file_info& info, const char* archive, const char* member, uint32_t size) {
    // Bit 0 of the flags: the member is encrypted, and would fail as a bad CRC.
    if (info.flag & 1) {
        core_loader_printf(loader_severity::error, "File `%s' in archive `%s' is encrypted; it cannot be read\n", member, archive);
        return false;
    }
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
        core_loader_printf(loader_severity::error, "File `%s' in archive `%s' uses compression method %lu, not stored or deflated\n",
                    member, archive, info.compression_method);
        return false;
    }
    if (info.uncompressed_size != size) {
        core_loader_printf(loader_severity::error, "Wrong size for file `%s' in archive `%s': expected %u bytes, found %lu\n", member,
                    archive, size, info.uncompressed_size);
        return false;
    }
    return true;
}

// Room in a region, or 0 for a buffer that is not one of the board's ROMs.
uint32_t region_size(const uint8_t* region) {
    if (region == program_rom) return program_rom_size;
    if (region == sample_rom) return sample_rom_size;
    return 0;
}

// An entry whose bytes would land outside its region is refused, so a bad
// list can never write past the board's buffers.
bool entry_fits(const rom_entry& e) {
    const uint64_t room = region_size(e.region);
    uint64_t end = 0;
    switch (e.interleave) {
        case rom_interleave::whole: end = uint64_t{e.offset} + e.size; break;
        case rom_interleave::even:
        case rom_interleave::odd: end = uint64_t{e.offset} + 2ull * e.size; break;
        default: return e.region != nullptr;  // placed nowhere
    }
    return room != 0 && end <= room;
}

void place_bytes(const rom_entry& e, const uint8_t* bytes) {
    uint8_t* r = e.region + e.offset;
    switch (e.interleave) {
        case rom_interleave::whole: std::memcpy(r, bytes, e.size); break;
        case rom_interleave::even:
            for (uint32_t k = 0; k < e.size; k++) r[2 * k] = bytes[k];
            break;
        case rom_interleave::odd:
            for (uint32_t k = 0; k < e.size; k++) r[2 * k + 1] = bytes[k];
            break;
        default: break;
    }
}

// Buffers start cleared so a short loose file leaves zeros, not stale memory.
uint8_t* file_buffer(uint32_t size) {
    uint8_t* buffer = static_cast<uint8_t*>(std::calloc(size ? size : 1, 1));
    if (!buffer) core_loader_printf(loader_severity::error, "Couldn't allocate %d bytes for file buffer\n", static_cast<int>(size));
    return buffer;
}

int load_built_in(const rom_entry& e) {
    core_loader_printf(loader_severity::info, "Loading file `%s' (built in)\n", e.file_name);
    if (!entry_fits(e)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s'\n", e.file_name);
        return 0;
    }
    place_bytes(e, e.data);
    return 1;
}

int load_from_archive(const rom_entry& e, const char* archive) {
    core_loader_printf(loader_severity::info, "Loading file `%s' from `%s'\n", e.file_name, archive);
    if (!entry_fits(e)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s' from archive `%s'\n", e.file_name, archive);
        return 0;
    }
    uint8_t* buffer = file_buffer(e.size);
    if (!buffer) return 0;
    if (!load_zip(archive, e.file_name, buffer, e.size)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s' from archive `%s'\n", e.file_name, archive);
        std::free(buffer);
        return 0;
    }
    place_bytes(e, buffer);
    std::free(buffer);
    return 1;
}

int load_loose(const rom_entry& e, const char* short_name) {
    char path[path_buffer_size];
    const int n = std::snprintf(path, sizeof path, "%s/%s/%s", folders.rom_dir.c_str(), short_name, e.file_name);
    const bool path_fits = n >= 0 && static_cast<size_t>(n) < sizeof path;
    if (path_fits) {
        core_loader_printf(loader_severity::info, "Loading file `%s'\n", path);
    } else {
        core_loader_printf(loader_severity::info, "Loading file `%s/%s/%s'\n", folders.rom_dir.c_str(), short_name, e.file_name);
    }
    if (!path_fits || !entry_fits(e)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s/%s/%s'\n", folders.rom_dir.c_str(), short_name, e.file_name);
        return 0;
    }
    uint8_t* buffer = file_buffer(e.size);
    if (!buffer) return 0;
    int64_t found = 0;
    if (!load_file(path, buffer, e.size, rom_file_limit, &found)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s'\n", path);
        std::free(buffer);
        return 0;
    }
    // A loose file of another size still loads (its first bytes, or zeros
    // past its end), but the user hears of it.
    if (found != e.size) {
        core_loader_printf(loader_severity::error, "Wrong size for file `%s': expected %u bytes, found %lld\n", path, e.size,
                    static_cast<long long>(found));
    }
    place_bytes(e, buffer);
    std::free(buffer);
    return 1;
}

// A file found by one of its names or by its contents, in whichever place
// holds it; its data is checked against the known dump.
int load_found(const rom_entry& e, rom_search& search, const rom_found& found) {
    const rom_place& place = search.places()[size_t(found.place)];
    // Found under the table's own name, it is shown by that name.
    const std::string name = same_rom_name(found.name.c_str(), e.file_name) && !place.parent
                                 ? std::string(e.file_name) : found.name;
    if (!entry_fits(e)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s'\n", name.c_str());
        return 0;
    }
    uint8_t* buffer = file_buffer(e.size);
    if (!buffer) return 0;
    int ok;
    if (place.archive) {
        core_loader_printf(loader_severity::info, "Loading file `%s' from `%s'\n", name.c_str(), place.path.c_str());
        ok = load_zip(place.path.c_str(), found.name.c_str(), buffer, e.size);
        if (!ok) core_loader_printf(loader_severity::error, "Error loading file `%s' from archive `%s'\n", name.c_str(), place.path.c_str());
    } else {
        const std::string path = place.path + "/" + found.name;
        core_loader_printf(loader_severity::info, "Loading file `%s'\n", path.c_str());
        ok = load_file(path.c_str(), buffer, e.size, rom_file_limit);
        if (!ok) core_loader_printf(loader_severity::error, "Error loading file `%s'\n", path.c_str());
    }
    if (ok) {
        const uint32_t crc = uint32_t(crc32(crc32(0, nullptr, 0), buffer, e.size));
        // A file that differs from the known dump still runs; the player hears of it.
        if (e.crc_known && crc != e.crc) {
            char note[160];
            std::snprintf(note, sizeof note, "%s: CRC %08x, the known dump is %08x", found.name.c_str(), crc, e.crc);
            rom_checksum_notes.emplace_back(note);
        }
        place_bytes(e, buffer);
    }
    std::free(buffer);
    return ok;
}

// A clone's file missing while its parent's set is nowhere: say where it belongs.
void tell_missing_parent(const rom_entry& e, const rom_search& search) {
    const char* parent = search.missing_parent();
    if (!parent) return;
    core_loader_printf(loader_severity::warning, "`%s' may be in the parent set `%s', which was not found: put %s/%s.zip or %s/%s/ beside it\n",
                       e.today_name ? e.today_name : e.file_name, parent, folders.zip_dir.c_str(), parent, folders.rom_dir.c_str(), parent);
}

}  // namespace

void core_set_folders(const game_folders& f) { folders = f; }

const game_folders& core_folders() { return folders; }

int load_rom(const rom_entry* list) {
    rom_checksum_notes.clear();
    if (!list || !game_driver) return 0;
    const char* name = game_driver->short_name;
    if (game_set_name && (same_rom_name(game_set_name, name) ||
                          (game_driver->today_name && same_rom_name(game_set_name, game_driver->today_name))))
        name = game_set_name;

    // The set's own source for files found nowhere else: its archive if it
    // opens, else its folder, as sets of the old names were always read.
    bool from_disk = false;
    for (const rom_entry* e = list; e->file_name; e++) from_disk |= e->data == nullptr;
    char archive[path_buffer_size] = "";
    bool use_archive = false;
    std::unique_ptr<rom_search> search;
    if (from_disk) {
        const int n = std::snprintf(archive, sizeof archive, "%s/%s.zip", folders.zip_dir.c_str(), name);
        if (n < 0 || static_cast<size_t>(n) >= sizeof archive) {
            const char* first = list->file_name;
            for (const rom_entry* e = list; e->file_name; e++) {
                if (!e->data) {
                    first = e->file_name;
                    break;
                }
            }
            core_loader_printf(loader_severity::error, "Error loading file `%s' from archive `%s/%s.zip'\n", first, folders.zip_dir.c_str(), name);
            return 0;
        }
        use_archive = file_exist(archive, zip_archive_limit);
        search = std::make_unique<rom_search>(*game_driver, name, folders.rom_dir, folders.zip_dir);
    }

    for (const rom_entry* e = list; e->file_name; e++) {
        int ok;
        if (e->data) {
            ok = load_built_in(*e);
        } else if (const rom_found found = search->find(*e); found.place >= 0) {
            ok = load_found(*e, *search, found);
        } else {
            ok = use_archive ? load_from_archive(*e, archive) : load_loose(*e, name);
            if (!ok) tell_missing_parent(*e, *search);
        }
        if (!ok) return 0;
    }
    return 1;
}

int file_exist(const char* path, const input_limit& limit) {
    std::FILE* f = open_rom_file(path, limit);
    if (!f) return 0;
    std::fclose(f);
    return 1;
}

int load_file(const char* path, void* buffer, uint32_t count, const input_limit& limit, int64_t* file_size) {
    std::FILE* f = open_rom_file(path, limit, file_size);
    if (!f) return 0;
    std::fread(buffer, 1, count, f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    return failed ? 0 : 1;
}

int save_file(const char* path, const void* buffer, uint32_t count) {
    std::string why;
    if (write_whole_file(path, buffer, count, why)) return 1;
    if (errno == EISDIR || errno == EINVAL) core_loader_printf(loader_severity::error, "Not a regular file: `%s'\n", path);
    return 0;
}

int load_zip(const char* archive, const char* member, void* buffer, uint32_t size) {
    zlib_filefunc64_def io;
    fill_fopen64_filefunc(&io);
    io.zopen64_file = open_archive;
    unzFile zip = unzOpen2_64(archive, &io);
    if (!zip) return 0;
    int ok = 0;
    unz_file_info info;
    if (unzLocateFile(zip, member, 2) == UNZ_OK &&
        unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK &&
        member_readable(info, archive, member, size) && unzOpenCurrentFile(zip) == UNZ_OK) {
        const int read = unzReadCurrentFile(zip, buffer, size);
        // Closing checks the CRC once the whole member was read.
        const int closed = unzCloseCurrentFile(zip);
        ok = read >= 0 && static_cast<uint32_t>(read) == size && closed == UNZ_OK;
    }
    if (unzClose(zip) != UNZ_OK) ok = 0;
    return ok;
}

void byteswap(void* buffer, uint32_t length) {
    uint8_t* b = static_cast<uint8_t*>(buffer);
    for (uint32_t i = 0; i + 1 < length; i += 2) {
        const uint8_t t = b[i];
        b[i] = b[i + 1];
        b[i + 1] = t;
    }
}
