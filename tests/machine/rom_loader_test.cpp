#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/rom_loader.h"
#include "fifo_guard.h"
#include "machine_fixture.h"

namespace {

#ifndef _WIN32
using machine_test::returns_unaided;
#endif
using machine_test::temp_folder_test;
namespace fs = std::filesystem;
constexpr size_t k128 = 0x20000, k256 = 0x40000;

class RomLoading : public temp_folder_test {
protected:
    void SetUp() override {
        temp_folder_test::SetUp();
        std::memset(program_rom, 0xAA, sizeof program_rom);
        std::memset(sample_rom, 0xAA, sizeof sample_rom);
    }
    void TearDown() override {
        game_driver = nullptr;
        temp_folder_test::TearDown();
    }

    int load(const char* name) {
        testing::internal::CaptureStdout();
        const int result = load_driver(name);
        out = testing::internal::GetCapturedStdout();
        return result;
    }
    std::string zip_path(const char* name) const { return utf8(root / "ziproms" / name) + ".zip"; }
    std::string loose_path(const char* game, const char* file) const {
        return utf8(root / "roms" / game / file);
    }

    std::string out;
};

// Both halves of a 68000 word come from different files: even file high byte.
void expect_interleaved(const std::vector<uint8_t>& even, const std::vector<uint8_t>& odd, size_t at) {
    for (size_t k = 0; k < even.size(); k++) {
        ASSERT_EQ(program_rom[at + 2 * k], even[k]) << "even byte " << k;
        ASSERT_EQ(program_rom[at + 2 * k + 1], odd[k]) << "odd byte " << k;
    }
}

TEST_F(RomLoading, ArchivePlacesEvenAndOddFilesAndFindsMembersWhateverTheirCase) {
    const auto even = pattern(k128, 1), odd = pattern(k128, 7, 3);
    write_zip(root / "ziproms" / "columns.zip", {{"EPR13112.32", even}, {"Epr13111.31", odd}});
    ASSERT_EQ(load("columns"), 1);
    expect_interleaved(even, odd, 0);
    EXPECT_EQ(program_rom[2 * k128], 0xAA);  // nothing past the pair
    const std::string zip = zip_path("columns");
    EXPECT_EQ(out, "Loading file `epr13112.32' from `" + zip + "'\nLoading file `epr13111.31' from `" + zip + "'\n");
}

TEST_F(RomLoading, LooseFilesLoadWhenNoArchiveExists) {
    const auto even = pattern(k128, 3), odd = pattern(k128, 200, 5);
    write_bytes(loose_path("columns", "epr13112.32"), even);
    write_bytes(loose_path("columns", "epr13111.31"), odd);
    ASSERT_EQ(load("COLUMNS"), 1);  // the name compare ignores case
    expect_interleaved(even, odd, 0);
    EXPECT_EQ(out, "Loading file `" + loose_path("columns", "epr13112.32") + "'\nLoading file `" +
                       loose_path("columns", "epr13111.31") + "'\n");

    // The folder as the system writes it ('\\' on Windows) finds them as well.
    std::memset(program_rom, 0xAA, 2 * k128);
    set_folder(&game_folders::rom_dir, (root / "roms").make_preferred().string());
    ASSERT_EQ(load("columns"), 1) << out;
    expect_interleaved(even, odd, 0);
}

TEST_F(RomLoading, ArchiveMemberOfWrongSizeFailsAndKeepsEarlierEntries) {
    const auto even = pattern(k128, 9);
    write_zip(root / "ziproms" / "columns.zip", {{"epr13112.32", even}, {"epr13111.31", pattern(k128 - 1, 4)}});
    EXPECT_EQ(load("columns"), 0);
    EXPECT_EQ(program_rom[0], even[0]);
    EXPECT_EQ(program_rom[1], 0xAA);
    const std::string zip = zip_path("columns");
    EXPECT_NE(out.find("Wrong size for file `epr13111.31' in archive `" + zip +
                       "': expected 131072 bytes, found 131071\n"
                       "Error loading file `epr13111.31' from archive `" + zip + "'\n"),
              std::string::npos);

    // One byte too long is just as wrong.
    write_zip(root / "ziproms" / "columns.zip", {{"epr13112.32", even}, {"epr13111.31", pattern(k128 + 1, 4)}});
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("expected 131072 bytes, found 131073\n"), std::string::npos);
}

// Sets a byte of a member's local and central headers: the low byte of its
// flags (field 0) or of its compression method (field 1).
void set_header_byte(std::vector<uint8_t>& zip, const std::string& name, int field, uint8_t value) {
    const struct { uint8_t kind; size_t name_length, name, field[2]; } headers[] = {{3, 26, 30, {6, 8}},
                                                                                 {1, 28, 46, {8, 10}}};
    for (const auto& h : headers) {
        for (size_t at = 0; at + h.name < zip.size(); at++) {
            if (zip[at] != 'P' || zip[at + 1] != 'K' || zip[at + 2] != h.kind || zip[at + 3] != h.kind + 1) continue;
            const size_t length = zip[at + h.name_length] | zip[at + h.name_length + 1] << 8;
            if (std::string(zip.begin() + at + h.name, zip.begin() + at + h.name + length) == name)
                zip[at + h.field[field]] = value;
        }
    }
}
void set_method(std::vector<uint8_t>& zip, const std::string& name, uint8_t method) {
    set_header_byte(zip, name, 1, method);
}

// A member packed some other way (bzip2 here) would reach the ROM as its
// packed bytes, unchecked.
TEST_F(RomLoading, ArchiveMemberNeitherStoredNorDeflatedIsRefusedByName) {
    const auto zip = root / "ziproms" / "columns.zip";
    write_zip(zip, {{"epr13112.32", pattern(k128, 1)}, {"epr13111.31", pattern(k128, 50, 3)}}, 0);
    auto bytes = read_bytes(zip);
    set_method(bytes, "epr13111.31", 12);
    write_bytes(zip, bytes);

    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("File `epr13111.31' in archive `" + utf8(zip) +
                       "' uses compression method 12, not stored or deflated\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(program_rom[1], 0xAA);
}

TEST_F(RomLoading, EncryptedArchiveMemberIsNamedAsSuch) {
    const auto zip = root / "ziproms" / "columns.zip";
    write_zip(zip, {{"epr13112.32", pattern(k128, 1)}, {"epr13111.31", pattern(k128, 50, 3)}}, 0);
    auto bytes = read_bytes(zip);
    set_header_byte(bytes, "epr13111.31", 0, 1);
    write_bytes(zip, bytes);
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("File `epr13111.31' in archive `" + utf8(zip) + "' is encrypted; it cannot be read\n"),
              std::string::npos)
        << out;
}

TEST_F(RomLoading, AnArchiveBeyondItsBoundIsRefusedByName) {
    const auto zip = root / "ziproms" / "columns.zip";
    write_bytes(zip, {});
    std::filesystem::resize_file(zip, zip_archive_limit.bytes + 1);  // sparse: nothing is written
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find(utf8(zip) + " is larger than 64 MB, the most a zip archive may be\n"), std::string::npos)
        << out;
}

TEST_F(RomLoading, ArchiveMemberFailingItsCrcIsRefused) {
    auto odd = pattern(k128, 0);
    const char marker[] = "CORRUPT-ME-HERE";
    std::memcpy(odd.data() + 1000, marker, sizeof marker - 1);
    const auto zip = root / "ziproms" / "columns.zip";
    write_zip(zip, {{"epr13112.32", pattern(k128, 1)}, {"epr13111.31", odd}}, 0);
    auto bytes = read_bytes(zip);
    const auto at = std::search(bytes.begin(), bytes.end(), marker, marker + sizeof marker - 1);
    ASSERT_NE(at, bytes.end());
    *at ^= 0x01;
    write_bytes(zip, bytes);
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Error loading file `epr13111.31' from archive"), std::string::npos);
}

TEST_F(RomLoading, MissingMemberFailsEvenWithTheLooseFilePresent) {
    write_zip(root / "ziproms" / "columns.zip", {{"epr13112.32", pattern(k128, 1)}});
    write_bytes(loose_path("columns", "epr13111.31"), pattern(k128, 2));
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Error loading file `epr13111.31' from archive"), std::string::npos);
    EXPECT_EQ(out.find("Loading file `" + loose_path("columns", "epr13111.31")), std::string::npos);
}

TEST_F(RomLoading, ArchiveThatIsNotAZipOrIsEmptyFailsWithoutFallback) {
    write_bytes(loose_path("columns", "epr13112.32"), pattern(k128, 1));
    write_bytes(loose_path("columns", "epr13111.31"), pattern(k128, 2));
    write_bytes(root / "ziproms" / "columns.zip", std::vector<uint8_t>(4096, 0x5A));
    EXPECT_EQ(load("columns"), 0);
    EXPECT_EQ(out, "Loading file `epr13112.32' from `" + zip_path("columns") +
                       "'\nError loading file `epr13112.32' from archive `" + zip_path("columns") + "'\n");
    EXPECT_EQ(program_rom[0], 0xAA);

    write_bytes(root / "ziproms" / "columns.zip", {});
    EXPECT_EQ(load("columns"), 0);
    EXPECT_EQ(program_rom[0], 0xAA);
}

TEST_F(RomLoading, LooseFileOfWrongSizeLoadsAndIsReportedWithBothSizes) {
    const auto longer = pattern(k128 + 100, 5);
    const auto shorter = pattern(1000, 17);
    write_bytes(loose_path("columns", "epr13112.32"), longer);
    write_bytes(loose_path("columns", "epr13111.31"), shorter);
    ASSERT_EQ(load("columns"), 1);
    EXPECT_EQ(program_rom[2 * (k128 - 1)], longer[k128 - 1]);
    EXPECT_EQ(program_rom[2 * k128], 0xAA);  // the extra bytes go nowhere
    EXPECT_EQ(program_rom[2 * 999 + 1], shorter[999]);
    for (size_t k = 1000; k < k128; k++) ASSERT_EQ(program_rom[2 * k + 1], 0) << k;
    const std::string even = loose_path("columns", "epr13112.32"), odd = loose_path("columns", "epr13111.31");
    EXPECT_EQ(out, "Loading file `" + even + "'\nWrong size for file `" + even +
                       "': expected 131072 bytes, found 131172\nLoading file `" + odd +
                       "'\nWrong size for file `" + odd + "': expected 131072 bytes, found 1000\n");

    write_bytes(odd, {});
    ASSERT_EQ(load("columns"), 1);
    EXPECT_EQ(program_rom[1], 0);
    EXPECT_NE(out.find("Wrong size for file `" + odd + "': expected 131072 bytes, found 0\n"), std::string::npos);
}

TEST_F(RomLoading, LooseDirectoryOrUnreadableFileFailsTheLoad) {
    write_bytes(loose_path("columns", "epr13112.32"), pattern(k128, 1));
    const std::string odd = loose_path("columns", "epr13111.31");
    fs::create_directories(odd);
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Not a regular file: `" + odd + "'\nError loading file `" + odd + "'\n"), std::string::npos)
        << out;

#ifndef _WIN32
    // A plain file whose every read fails.
    fs::remove(odd);
    fs::create_symlink("/proc/self/mem", odd);
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Error loading file `" + odd + "'\n"), std::string::npos) << out;
#endif
}

#ifndef _WIN32  // Windows has no FIFOs in the file system
TEST_F(RomLoading, FifoInPlaceOfARomFileOrArchiveIsRefusedWithoutBlocking) {
    write_bytes(loose_path("columns", "epr13112.32"), pattern(k128, 1));
    const std::string odd = loose_path("columns", "epr13111.31");
    ASSERT_EQ(mkfifo(odd.c_str(), 0600), 0);
    int result = -1;
    EXPECT_TRUE(returns_unaided({odd}, [&] { result = load("columns"); }));
    EXPECT_EQ(result, 0);
    EXPECT_NE(out.find("Not a regular file: `" + odd + "'\n"), std::string::npos) << out;

    // An archive that is a FIFO is no archive: the loose files are read.
    fs::remove(odd);
    write_bytes(odd, pattern(k128, 2));
    const std::string zip = zip_path("columns");
    ASSERT_EQ(mkfifo(zip.c_str(), 0600), 0);
    EXPECT_TRUE(returns_unaided({zip}, [&] { result = load("columns"); }));
    EXPECT_EQ(result, 1);
    EXPECT_NE(out.find("Not a regular file: `" + zip + "'\n"), std::string::npos) << out;
    std::vector<uint8_t> buffer(k128);
    EXPECT_TRUE(returns_unaided({zip}, [&] {
        testing::internal::CaptureStdout();
        result = load_zip(zip.c_str(), "epr13112.32", buffer.data(), k128);
        testing::internal::GetCapturedStdout();
    }));
    EXPECT_EQ(result, 0);
}
#endif

TEST_F(RomLoading, MissingLooseFileReportsItsPath) {
    write_bytes(loose_path("columns", "epr13112.32"), pattern(k128, 1));
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Error loading file `" + loose_path("columns", "epr13111.31") + "'\n"), std::string::npos);
}

TEST_F(RomLoading, SampleFilesOfTfacblGoInOrderToTheirOffsets) {
    const auto s1 = pattern(k128, 11), s2 = pattern(k128, 99, 7);
    write_zip(root / "ziproms" / "tfacbl.zip",
              {{"4.bin", pattern(k256, 1)}, {"3.bin", pattern(k256, 2)}, {"ic34.bin", pattern(k256, 3)},
               {"ic33.bin", pattern(k256, 4)}, {"2.bin", s2}, {"1.bin", s1}});
    ASSERT_EQ(load("tfacbl"), 1);
    EXPECT_EQ(std::memcmp(sample_rom, s1.data(), k128), 0);
    EXPECT_EQ(std::memcmp(sample_rom + k128, s2.data(), k128), 0);
    EXPECT_EQ(sample_rom[2 * k128], 0xAA);
    EXPECT_EQ(program_rom[0x100000], 3);  // ic34.bin even at 0x100000
    EXPECT_EQ(program_rom[0x100001], 4);
    EXPECT_LT(out.find("`1.bin'"), out.find("`2.bin'"));
}

// Paths that do not fit their 256-byte buffers are refused, never truncated.
TEST_F(RomLoading, OverlongPathsFailTheLoad) {
    // Fits the directory option itself, not the paths built from it.
    const std::string deep = utf8(root / std::string(244 - utf8(root).size(), 'r'));
    ASSERT_EQ(deep.size(), 245u);
    set_folder(&game_folders::rom_dir, deep);
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Error loading file `" + deep + "/columns/epr13112.32'\n"), std::string::npos);
    EXPECT_EQ(program_rom[0], 0xAA);

    set_folder(&game_folders::zip_dir, deep);
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Error loading file `epr13112.32' from archive `" + deep + "/columns.zip'\n"),
              std::string::npos);

    // ROMs found, but the DIP file's path cannot be built.
    set_folder(&game_folders::rom_dir, utf8(root / "roms"));
    set_folder(&game_folders::zip_dir, utf8(root / "ziproms"));
    write_bytes(loose_path("columns", "epr13112.32"), pattern(k128, 1));
    write_bytes(loose_path("columns", "epr13111.31"), pattern(k128, 2));
    set_folder(&game_folders::dip_dir, deep);
    EXPECT_EQ(load("columns"), 0);
    EXPECT_NE(out.find("Error loading file `" + deep + "/columns.dip'\n"), std::string::npos);

    // A folder that cannot fit a path buffer at all fails the load before any file is read.
    const std::string too_deep = deep + std::string(path_buffer_size - deep.size(), 'd');
    set_folder(&game_folders::dip_dir, utf8(root / "dip"));
    set_folder(&game_folders::zip_dir, too_deep);
    testing::internal::CaptureStdout();
    EXPECT_EQ(core_load("columns", 0), 0);
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Directory name too long: `" + too_deep + "'\n");
    EXPECT_EQ(core_running(), nullptr);
}

TEST_F(RomLoading, UnknownNameLeavesRegionsAlone) {
    EXPECT_EQ(load("nosuchgame"), 0);
    EXPECT_EQ(game_driver, nullptr);
    EXPECT_EQ(load("columns "), 0);  // a trailing blank is part of the name
    EXPECT_EQ(out, "");
    EXPECT_EQ(program_rom[0], 0xAA);
    EXPECT_EQ(sample_rom[0], 0xAA);
}

const uint8_t built_in_image[4] = {0x12, 0x34, 0x56, 0x78};
const rom_entry built_in_roms[] = {{"demo.bin", program_rom, 4, 0x10, rom_interleave::whole, built_in_image},
                                   {nullptr, nullptr, 0, 0, rom_interleave::whole, nullptr}};
const rom_entry overflowing_roms[] = {{"big.bin", sample_rom, 4, sample_rom_size - 2, rom_interleave::whole, built_in_image},
                                      {nullptr, nullptr, 0, 0, rom_interleave::whole, nullptr}};

TEST_F(RomLoading, BuiltInImagesArePlacedFromMemoryAndMustFitTheirRegion) {
    const driver_record record = {"columns", "test", built_in_roms, wiring::previous, 0};
    game_driver = &record;
    // An unreadable archive would fail a disk load; built-in lists never look.
    write_bytes(root / "ziproms" / "columns.zip", {1, 2, 3});
    testing::internal::CaptureStdout();
    EXPECT_EQ(load_rom(built_in_roms), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading file `demo.bin' (built in)\n");
    EXPECT_EQ(std::memcmp(program_rom + 0x10, built_in_image, 4), 0);

    testing::internal::CaptureStdout();
    EXPECT_EQ(load_rom(overflowing_roms), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(sample_rom[sample_rom_size - 1], 0xAA);
}

TEST(FileHelpers, SaveLoadAndByteswap) {
    const std::string dir = testing::TempDir() + "vortan_file_helpers";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/f.bin";
    const uint8_t data[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(save_file(path.c_str(), data, 5), 1);
    EXPECT_EQ(file_exist(path.c_str(), rom_file_limit), 1);
    uint8_t back[8] = {};
    EXPECT_EQ(load_file(path.c_str(), back, 8, rom_file_limit), 1);  // asking for more is not an error
    EXPECT_EQ(std::memcmp(back, data, 5), 0);
    EXPECT_EQ(save_file((dir + "/missing/f.bin").c_str(), data, 5), 0);
    EXPECT_EQ(file_exist((dir + "/missing/f.bin").c_str(), rom_file_limit), 0);
    EXPECT_EQ(load_file((dir + "/missing/f.bin").c_str(), back, 8, rom_file_limit), 0);

    // One byte past a kind's bound is refused by name, and the bound is said.
    std::filesystem::resize_file(path, dip_file_limit.bytes + 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(load_file(path.c_str(), back, 2, dip_file_limit), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              path + " is larger than 4 KB, the most a DIP file may be\n");
    EXPECT_EQ(load_file(path.c_str(), back, 2, rom_file_limit), 1);
    std::filesystem::resize_file(path, rom_file_limit.bytes + 1);  // sparse: nothing is written
    testing::internal::CaptureStdout();
    EXPECT_EQ(file_exist(path.c_str(), rom_file_limit), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("16 MB, the most a ROM file may be"), std::string::npos);
    // Past 4 GB a size kept in 32 bits would wrap to one that looks small.
    std::filesystem::resize_file(path, (int64_t{1} << 32) + 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(load_file(path.c_str(), back, 2, rom_file_limit), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("16 MB, the most a ROM file may be"), std::string::npos);
    std::filesystem::remove_all(dir);

    uint8_t words[5] = {0x12, 0x34, 0x56, 0x78, 0x9A};
    byteswap(words, 5);
    const uint8_t swapped[5] = {0x34, 0x12, 0x78, 0x56, 0x9A};
    EXPECT_EQ(std::memcmp(words, swapped, 5), 0);
    byteswap(words, 5);
    EXPECT_EQ(words[0], 0x12);
    EXPECT_EQ(words[3], 0x78);
}

}  // namespace
