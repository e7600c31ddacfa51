// Test sets of today's names: files of the listed sizes whose contents are
// forced to the listed CRC-32, written split, merged or non-merged as zip
// archives (stored, so nothing is deflated) or as folders.
#pragma once
#include <unzip.h>
#include <zip.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "machine/romset_rows.h"

namespace romset_test {

namespace fs = std::filesystem;

// Four bytes at `at` chosen so the whole buffer's CRC-32 is `crc`. Four bytes
// fed to the reflected CRC register act as one xor of it followed by four
// zero bytes, so the register needed before them is found by running the
// rest of the buffer backwards from the wanted end.
inline void force_crc(std::vector<uint8_t>& data, size_t at, uint32_t crc) {
    uint32_t table[256], top[256];
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
        top[c >> 24] = i;
    }
    auto back = [&](uint32_t r, uint8_t byte) {
        const uint32_t i = top[r >> 24];
        return ((r ^ table[i]) << 8) | ((i ^ byte) & 0xFF);
    };
    uint32_t need = crc ^ 0xFFFFFFFFu;
    for (size_t k = data.size(); k > at + 4; k--) need = back(need, data[k - 1]);
    for (int k = 0; k < 4; k++) need = back(need, 0);
    const uint32_t before = uint32_t(::crc32(0, data.data(), uInt(at))) ^ 0xFFFFFFFFu;
    const uint32_t patch = need ^ before;
    for (int k = 0; k < 4; k++) data[at + size_t(k)] = uint8_t(patch >> (8 * k));
}

inline uint32_t crc_of(const std::vector<uint8_t>& data) {
    return uint32_t(::crc32(::crc32(0, nullptr, 0), data.data(), uInt(data.size())));
}

struct set_file {
    std::string set, parent, title, file;
    uint32_t size, crc;
    std::string region;  // program or sample
    uint32_t offset;
    std::string interleave;  // even, odd or whole
    std::string in_parent, seed_game, seed_file;
};

inline std::vector<set_file> all_files() {
    std::vector<set_file> rows;
    std::istringstream in(set_rows);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::vector<std::string> f;
        std::stringstream cells(line);
        for (std::string c; std::getline(cells, c, '\t');) f.push_back(c);
        f.resize(12);
        rows.push_back({f[0], f[1], f[2], f[3], uint32_t(std::stoul(f[4])), uint32_t(std::stoul(f[5], nullptr, 16)), f[6],
                        uint32_t(std::stoul(f[7], nullptr, 16)), f[8], f[9], f[10], f[11]});
    }
    return rows;
}

inline std::vector<std::string> set_names(const std::vector<set_file>& rows) {
    std::vector<std::string> names;
    for (const set_file& r : rows)
        if (names.empty() || names.back() != r.set) names.push_back(r.set);
    return names;
}

// The same dump always gets the same bytes, whichever set holds it.
inline const std::vector<uint8_t>& contents(uint32_t crc, uint32_t size) {
    static std::map<std::pair<uint32_t, uint32_t>, std::vector<uint8_t>> made;
    std::vector<uint8_t>& bytes = made[{crc, size}];
    if (bytes.empty()) {
        bytes.resize(size);
        uint32_t x = crc | 1;
        for (uint8_t& b : bytes) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            b = uint8_t(x >> 24);
        }
        force_crc(bytes, size - 4, crc);
    }
    return bytes;
}

enum class set_form { split, merged, non_merged };
enum class medium { zip, folder };

struct member {
    std::string name;
    const std::vector<uint8_t>* bytes;
};

inline bool write_archive(const fs::path& path, const std::vector<member>& members) {
    fs::create_directories(path.parent_path());
    zipFile zf = zipOpen(path.string().c_str(), APPEND_STATUS_CREATE);
    if (!zf) return false;
    bool ok = true;
    for (const member& m : members) {
        zip_fileinfo info{};
        ok &= zipOpenNewFileInZip(zf, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0) == ZIP_OK;
        ok &= zipWriteInFileInZip(zf, m.bytes->data(), unsigned(m.bytes->size())) == ZIP_OK;
        ok &= zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

inline bool write_folder(const fs::path& folder, const std::vector<member>& members) {
    fs::create_directories(folder);
    for (const member& m : members) {
        std::ofstream out(folder / m.name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(m.bytes->data()), std::streamsize(m.bytes->size()));
        if (!out) return false;
    }
    return true;
}

// Writes every set of the rows in one form under root/ziproms or root/roms.
// Split: a clone's archive leaves its in-parent files out. Merged: the
// parent's archive holds its clones' files too (one copy of each name), and
// clones have none of their own. Non-merged: every set holds all its files.
inline bool write_sets(const fs::path& root, const std::vector<set_file>& rows, set_form form, medium where) {
    std::map<std::string, std::vector<member>> sets;
    for (const set_file& r : rows) {
        const std::vector<uint8_t>* bytes = &contents(r.crc, r.size);
        if (form == set_form::split && !r.in_parent.empty()) continue;
        const std::string owner = form == set_form::merged && !r.parent.empty() ? r.parent : r.set;
        std::vector<member>& members = sets[owner];
        bool have = false;
        for (const member& m : members) have |= m.name == r.file;
        if (!have) members.push_back({r.file, bytes});
    }
    bool ok = true;
    for (const auto& [name, members] : sets)
        ok &= where == medium::zip ? write_archive(root / "ziproms" / (name + ".zip"), members)
                                   : write_folder(root / "roms" / name, members);
    return ok;
}

}  // namespace romset_test
