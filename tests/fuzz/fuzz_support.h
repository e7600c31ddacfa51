// What the fuzz targets share: a scratch folder that the directory options
// point into for the whole process (the targets' game is "fuzzgame"), and
// whole-file writes and reads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "machine/rom_loader.h"

namespace fuzz {

class scratch {
public:
    // In memory where there is such a folder: every run writes files.
    scratch() {
        char in_memory[] = "/dev/shm/vortan_fuzz_XXXXXX";
        char on_disk[] = "/tmp/vortan_fuzz_XXXXXX";
        const char* made = mkdtemp(in_memory);
        if (!made) made = mkdtemp(on_disk);
        if (!made) std::abort();
        root = made;
        for (const char* sub : {"roms/fuzzgame", "ziproms", "dip"}) std::filesystem::create_directories(root / sub);
        core_set_folders({root.string() + "/roms", root.string() + "/ziproms", root.string() + "/dip"});
    }
    ~scratch() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string path(const std::string& name) const { return (root / name).string(); }

private:
    std::filesystem::path root;
};

// One scratch folder per process, removed at exit.
inline const scratch& folder() {
    static const scratch s;
    return s;
}

inline void write_file(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    if (std::fclose(f) != 0) std::abort();
}

inline std::string read_file(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// A broken promise of the code under test: stop here, as a crash would.
inline void require(bool holds) {
    if (!holds) std::abort();
}

}  // namespace fuzz
