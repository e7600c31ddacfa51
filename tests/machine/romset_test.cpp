#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include "machine/board.h"
#include "machine/core.h"
#include "machine/drivers.h"
#include "machine/rom_loader.h"
#include "machine_fixture.h"
#include "romset_support.h"

namespace {

using machine_test::temp_folder_test;
using namespace romset_test;

TEST(ForcedCrc, FourBytesAnywhereReachAnyChecksum) {
    std::vector<uint8_t> data(1000, 0x5A);
    for (uint32_t crc : {0x00000000u, 0xFFFFFFFFu, 0xbae6e53eu, 0x12345678u})
        for (size_t at : {size_t(0), size_t(500), data.size() - 4}) {
            force_crc(data, at, crc);
            EXPECT_EQ(crc_of(data), crc) << std::hex << crc << " at " << at;
        }
}

std::vector<set_file> rows_of(const std::vector<set_file>& rows, const std::string& set) {
    std::vector<set_file> out;
    for (const set_file& r : rows)
        if (r.set == set) out.push_back(r);
    return out;
}

// How many bytes of a set's files are not where the rows place them: every
// byte, or (stride > 1) a sample that still meets every file's ends.
size_t misplaced(const std::vector<set_file>& files, size_t stride = 1) {
    size_t wrong = 0;
    for (const set_file& f : files) {
        const std::vector<uint8_t>& bytes = contents(f.crc, f.size);
        const uint8_t* region = f.region == "program" ? program_rom : sample_rom;
        const size_t step = f.interleave == "whole" ? 1 : 2, first = f.offset + (f.interleave == "odd" ? 1 : 0);
        for (size_t k = 0; k < f.size; k += stride) wrong += region[first + step * k] != bytes[k];
        for (size_t k = f.size - 4; k < f.size; k++) wrong += region[first + step * k] != bytes[k];
    }
    return wrong;
}

class TodaysSets : public temp_folder_test {
protected:
    void TearDown() override {
        game_driver = nullptr;
        temp_folder_test::TearDown();
    }
    int load(const char* name) {
        testing::internal::CaptureStdout();
        const int ok = load_driver(name);
        out = testing::internal::GetCapturedStdout();
        return ok;
    }
    void clear_sets() {
        fs::remove_all(root / "ziproms");
        fs::remove_all(root / "roms");
        fs::create_directories(root / "ziproms");
        fs::create_directories(root / "roms");
    }
    void write(const std::string& set, set_form form = set_form::non_merged) {
        ASSERT_TRUE(write_sets(root, rows_of(rows, set), form, medium::zip));
    }
    std::vector<set_file> rows = all_files();
    std::string out;
};

TEST_F(TodaysSets, EverySetLoadsInEachFormFromZipsAndFolders) {
    const std::vector<std::string> names = set_names(rows);
    ASSERT_EQ(names.size(), 31u);
    for (set_form form : {set_form::split, set_form::merged, set_form::non_merged})
        for (medium where : {medium::zip, medium::folder}) {
            clear_sets();
            ASSERT_TRUE(write_sets(root, rows, form, where));
            const std::string kind = std::to_string(int(form)) + (where == medium::zip ? " zip" : " folder");
            for (const std::string& name : names) {
                const std::vector<set_file> files = rows_of(rows, name);
                std::memset(program_rom, 0xAA, program_rom_size);
                ASSERT_EQ(load(name.c_str()), 1) << name << " " << kind << "\n" << out;
                if (files[0].seed_game.empty() || files[0].seed_game == "tfacbl")
                    EXPECT_STREQ(game_driver->description, files[0].title.c_str()) << name;
                else
                    EXPECT_STREQ(game_driver->short_name, files[0].seed_game.c_str()) << name;
                // Every byte once; a sample in the other forms keeps the test quick.
                EXPECT_EQ(misplaced(files, form == set_form::split && where == medium::zip ? 1 : 61), 0u)
                    << name << " " << kind;
                EXPECT_TRUE(rom_checksum_notes.empty()) << name << " " << kind << ": " << rom_checksum_notes[0];
            }
        }
}

// A split clone takes its shared files from the parent's archive; without
// the parent it fails and says which set to put beside it.
TEST_F(TodaysSets, SplitCloneNeedsItsParentAndNamesItWhenMissing) {
    write("ichirj", set_form::split);
    EXPECT_EQ(load("ichirj"), 0);
    EXPECT_NE(out.find("`epr-16888.ic34' may be in the parent set `ichir', which was not found"), std::string::npos)
        << out;
    write("ichir", set_form::split);
    ASSERT_EQ(load("ICHIRJ"), 1) << out;
    EXPECT_EQ(misplaced(rows_of(rows, "ichirj")), 0u);
    EXPECT_NE(out.find("Loading file `epr-16888.ic34' from `" + utf8(root / "ziproms" / "ichir.zip")), std::string::npos)
        << out;
}

TEST_F(TodaysSets, RenamedFileIsFoundByItsChecksum) {
    std::vector<set_file> puyo = rows_of(rows, "puyo");
    puyo[2].file = "renamed.bin";
    ASSERT_TRUE(write_sets(root, puyo, set_form::non_merged, medium::folder));
    ASSERT_EQ(load("puyo"), 1) << out;
    EXPECT_EQ(misplaced(puyo), 0u);
    EXPECT_NE(out.find("/roms/puyo/renamed.bin'"), std::string::npos) << out;
}

TEST_F(TodaysSets, FileThatIsNotTheKnownDumpLoadsAndIsToldOnce) {
    std::vector<set_file> tantr = rows_of(rows, "tantr");
    tantr[4].crc = 0x1234abcd;  // epr-15617.ic4, of the right size
    ASSERT_TRUE(write_sets(root, tantr, set_form::non_merged, medium::zip));
    std::vector<std::string> lines;
    static std::vector<std::string>* said;
    said = &lines;
    const core_hooks hooks = {[](loader_severity, const char* line) { said->push_back(line); }};
    core_set_hooks(&hooks);
    const int loaded = core_load("tantr", 0);
    core_set_hooks(nullptr);
    ASSERT_EQ(loaded, 1);
    const std::string note = "epr-15617.ic4: CRC 1234abcd, the known dump is 338324a1\n";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), note), 1) << testing::PrintToString(lines);
    EXPECT_EQ(core_checksum_notes().size(), 1u);
    core_unload();
}

// columns is the table's Japanese version and today's World version: the
// files that are there decide, today's when both are.
TEST_F(TodaysSets, SharedNameLoadsTheVersionWhoseFilesAreThere) {
    write_zip(root / "ziproms" / "columns.zip",
              {{"epr13112.32", contents(0xbae6e53e, 0x20000)}, {"epr13111.31", contents(0xaa5ccd6d, 0x20000)}});
    ASSERT_EQ(load("columns"), 1) << out;
    EXPECT_STREQ(game_driver->description, "Columns (Japan)");
    EXPECT_EQ(misplaced(rows_of(rows, "columnsj")), 0u);
    EXPECT_EQ(out.find("epr-"), std::string::npos) << "the old set loads as it always did:\n" << out;

    clear_sets();
    write("columns");
    ASSERT_EQ(load("columns"), 1) << out;
    EXPECT_STREQ(game_driver->description, "Columns (World)");
    EXPECT_EQ(misplaced(rows_of(rows, "columns")), 0u);

    // A merged archive holds both: today's wins, and the Japanese one is
    // still there under today's name.
    clear_sets();
    std::vector<set_file> family = rows_of(rows, "columns");
    for (const set_file& f : rows_of(rows, "columnsj")) family.push_back(f);
    ASSERT_TRUE(write_sets(root, family, set_form::merged, medium::zip));
    ASSERT_EQ(load("columns"), 1);
    EXPECT_STREQ(game_driver->description, "Columns (World)");
    ASSERT_EQ(load("columnsj"), 1);
    EXPECT_STREQ(game_driver->description, "Columns (Japan)");
    EXPECT_EQ(misplaced(rows_of(rows, "columnsj")), 0u);
}

// Files with no known dump are found under today's label as well.
TEST_F(TodaysSets, FilesWithoutAKnownDumpAreFoundByTheirLabel) {
    for (const char* f : {"epr-16662.ic32", "EPR-16661.ic31", "epr-16660.ic4"})
        write_bytes(root / "roms" / "potopoto" / f, std::vector<uint8_t>(0x40000, uint8_t(f[8])));
    ASSERT_EQ(load("potopoto"), 1) << out;
    EXPECT_EQ(program_rom[0], '2');
    EXPECT_EQ(program_rom[1], '1');
    EXPECT_EQ(sample_rom[0], '0');
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Our demo's program under today's World Columns: the machine must run it
// exactly as the built-in demo, which proves every byte landed in its place.
TEST_F(TodaysSets, DemoProgramAsATodaysSetRunsAsTheDemo) {
    const std::vector<uint8_t> program = read_file(VORTAN_CART_DIR "/prebuilt/demo_program.bin");
    ASSERT_GT(program.size(), 1000u);
    ASSERT_LE(program.size(), 0x3FF00u);
    std::vector<uint8_t> even(0x20000), odd(0x20000);
    for (size_t i = 0; i < program.size(); i++) (i % 2 ? odd : even)[i / 2] = program[i];
    // The last bytes of each file lie past the program, where nothing is read.
    force_crc(even, even.size() - 4, 0xff78f740);
    force_crc(odd, odd.size() - 4, 0x9a426d9b);
    write_zip(root / "ziproms" / "columns.zip", {{"epr-13114.ic32", even}, {"epr-13113.ic31", odd}}, 0);

    auto picture_after = [&](const char* name) {
        testing::internal::CaptureStdout();
        const int loaded = core_load(name, 0);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(loaded, 1) << name;
        for (int i = 0; i < 120; i++) core_run_frame(0);
        const core_frame& f = core_run_frame(1);
        std::vector<uint16_t> pixels;
        for (int y = 0; y < f.height; y++) pixels.insert(pixels.end(), f.pixels + y * f.pitch, f.pixels + y * f.pitch + f.width);
        return pixels;
    };
    const std::vector<uint16_t> demo = picture_after("demo");
    const std::vector<uint16_t> columns = picture_after("columns");
    ASSERT_STREQ(core_running()->title, "Columns (World)");
    core_unload();
    size_t lit = 0;
    for (uint16_t p : demo) lit += p != demo[0];
    EXPECT_GT(lit, 100u) << "the demo shows a picture by then";
    EXPECT_TRUE(demo == columns);
}

}  // namespace
