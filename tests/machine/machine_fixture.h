// Shared helpers for the board's tests: a fresh folder per test, the core's
// folders put back afterwards, and small file and archive writers.
#pragma once
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "machine/rom_loader.h"

namespace machine_test {

namespace fs = std::filesystem;

class temp_folder_test : public testing::Test {
protected:
    void SetUp() override {
        root = fresh_folder("vortan_machine_");
        ASSERT_FALSE(root.empty());
        saved_folders = core_folders();
        core_set_folders({utf8(root / "roms"), utf8(root / "ziproms"), utf8(root / "dip")});
        fs::create_directories(root / "roms");
        fs::create_directories(root / "ziproms");
        fs::create_directories(root / "dip");
    }
    void TearDown() override {
        core_set_folders(saved_folders);
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    // A new folder of this test's own under the system's temporary folder;
    // empty when none could be made.
    static fs::path fresh_folder(const std::string& prefix) {
        std::error_code ec;
        const fs::path base = fs::temp_directory_path(ec);
        if (ec) return {};
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; attempt++) {
            const fs::path folder = base / (prefix + std::to_string(random()));
            if (fs::create_directory(folder, ec)) return folder;
        }
        return {};
    }

    // The name as the loader writes its own: UTF-8 with '/' between parts,
    // so messages that quote it compare equal on every system.
    static std::string utf8(const fs::path& path) {
        const std::u8string name = path.generic_u8string();
        return std::string(name.begin(), name.end());
    }

    // One of the core's folders changed, the others kept.
    static void set_folder(std::string game_folders::*folder, const std::string& dir) {
        game_folders folders = core_folders();
        folders.*folder = dir;
        core_set_folders(folders);
    }

    static void write_bytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<uint8_t> read_bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    struct member {
        std::string name;
        std::vector<uint8_t> bytes;
    };

    // method 0 stores the bytes as they are (so a test can corrupt them), 8 deflates.
    static void write_zip(const fs::path& path, const std::vector<member>& members, int method = 8) {
        zipFile zf = zipOpen(utf8(path).c_str(), APPEND_STATUS_CREATE);
        ASSERT_NE(zf, nullptr);
        for (const member& m : members) {
            zip_fileinfo info{};
            ASSERT_EQ(zipOpenNewFileInZip(zf, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                          method, method ? 6 : 0),
                      ZIP_OK);
            ASSERT_EQ(zipWriteInFileInZip(zf, m.bytes.data(), static_cast<unsigned>(m.bytes.size())),
                      ZIP_OK);
            ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
        }
        ASSERT_EQ(zipClose(zf, nullptr), ZIP_OK);
    }

    // Bytes k*step+seed: distinct per file so misplaced bytes show.
    static std::vector<uint8_t> pattern(size_t size, uint8_t seed, uint8_t step = 1) {
        std::vector<uint8_t> v(size);
        for (size_t k = 0; k < size; k++) v[k] = static_cast<uint8_t>(seed + k * step);
        return v;
    }

    fs::path root;
    game_folders saved_folders;
};

}  // namespace machine_test
