#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <string>

#include "common/safe_file.h"
#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "fifo_guard.h"
#include "machine_fixture.h"

namespace {

#ifndef _WIN32
using machine_test::returns_unaided;
#endif
using machine_test::temp_folder_test;

class DipSwitches : public temp_folder_test {
protected:
    void SetUp() override {
        temp_folder_test::SetUp();
        // Empty loose files are enough for a load to succeed.
        write_bytes(root / "roms" / "columns" / "epr13112.32", {});
        write_bytes(root / "roms" / "columns" / "epr13111.31", {});
    }
    void TearDown() override {
        game_driver = nullptr;
        dip_reset();
        temp_folder_test::TearDown();
    }
    void load() {
        testing::internal::CaptureStdout();
        const int ok = load_driver("columns");
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(ok, 1);
    }
    std::filesystem::path dip_file() const { return root / "dip" / "columns.dip"; }
};

TEST_F(DipSwitches, DefaultsWithoutAFileAndNothingWrittenUnlessUsed) {
    dip_switch[0] = 0x00;
    dip_bank = 1;
    dip_used = 1;
    load();
    EXPECT_EQ(dip_switch[0], 0xFF);
    EXPECT_EQ(dip_switch[1], 0xFF);
    EXPECT_EQ(dip_bank, 0);
    EXPECT_EQ(dip_used, 0);
    EXPECT_EQ(m68k_read_memory_8(0x84000B, nullptr), 0xFFu);
    EXPECT_EQ(m68k_read_memory_8(0x84000D, nullptr), 0xFFu);
    free_driver();
    EXPECT_FALSE(std::filesystem::exists(dip_file()));
}

TEST_F(DipSwitches, FileOfAnyLengthIsReadAndLeftAloneUnlessTheSwitchesChange) {
    const struct { std::vector<uint8_t> file; uint8_t b0, b1; } cases[] = {
        {{}, 0xFF, 0xFF},
        {{0x12}, 0x12, 0xFF},
        {{0x12, 0x34}, 0x12, 0x34},
        {{0x56, 0x78, 0x9A}, 0x56, 0x78},
        {std::vector<uint8_t>(1000, 0x5A), 0x5A, 0x5A}};
    for (const auto& c : cases) {
        write_bytes(dip_file(), c.file);
        load();
        EXPECT_EQ(dip_switch[0], c.b0) << c.file.size() << " bytes";
        EXPECT_EQ(dip_switch[1], c.b1) << c.file.size() << " bytes";
        EXPECT_EQ(dip_used, 1);
        // A switch flipped and flipped back is no change either.
        dip_invert_bit(2);
        dip_invert_bit(2);
        free_driver();
        EXPECT_EQ(read_bytes(dip_file()), c.file);
    }
}

TEST_F(DipSwitches, KeysChangeTheSelectedByteAndSurviveAnUnload) {
    load();
    dip_invert_bit(7);
    EXPECT_EQ(core_dip_bank(), 0);
    EXPECT_EQ(m68k_read_memory_8(0x84000B, nullptr), 0x7Fu);
    dip_toggle_bank();
    EXPECT_EQ(core_dip_bank(), 1);
    EXPECT_EQ(core_dip(1), 0xFF);
    dip_invert_bit(0);
    EXPECT_EQ(core_dip(1), 0xFE);
    dip_invert_bit(4);
    EXPECT_EQ(core_dip(1), 0xEE);
    EXPECT_EQ(core_dip(0), 0x7F);
    dip_invert_bit(4);
    EXPECT_EQ(m68k_read_memory_8(0x84000D, nullptr), 0xFEu);
    dip_invert_bit(8);  // not a switch
    dip_invert_bit(-1);
    EXPECT_EQ(dip_switch[1], 0xFE);

    free_driver();
    EXPECT_EQ(game_driver, nullptr);
    EXPECT_EQ(read_bytes(dip_file()), (std::vector<uint8_t>{0x7F, 0xFE}));
    load();
    EXPECT_EQ(dip_switch[0], 0x7F);
    EXPECT_EQ(dip_switch[1], 0xFE);
    EXPECT_EQ(dip_bank, 0);
}

TEST_F(DipSwitches, FailedWriteIsReportedAndTheNextLoadStartsFromDefaults) {
    set_folder(&game_folders::dip_dir, utf8(root / "no" / "such"));
    load();
    dip_invert_bit(3);
    testing::internal::CaptureStdout();
    EXPECT_EQ(dip_write("columns", "Columns"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error saving file `" + utf8(root / "no" / "such" / "columns.dip") + "'\n");
    testing::internal::CaptureStdout();
    free_driver();
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(std::filesystem::exists(root / "no"));
    load();
    EXPECT_EQ(dip_switch[0], 0xFF);
    EXPECT_EQ(dip_used, 0);

    // Written once, the same switches are not written again.
    set_folder(&game_folders::dip_dir, utf8(root / "dip"));
    dip_invert_bit(3);
    EXPECT_EQ(dip_write("columns", "Columns"), 1);
    std::filesystem::remove(dip_file());
    EXPECT_EQ(dip_write("columns", "Columns"), 1);
    EXPECT_FALSE(std::filesystem::exists(dip_file()));
}

// The file is replaced in one step: a full disk or a kill half way leaves
// the switches the file held, never an empty file.
TEST_F(DipSwitches, AFailedOrKilledWriteKeepsTheOldFile) {
    write_bytes(dip_file(), {0x12, 0x34});
    load();
    dip_invert_bit(0);
    set_safe_file_fault(safe_file_fault::write);
    testing::internal::CaptureStdout();
    EXPECT_EQ(dip_write("columns", "Columns"), 0);
    testing::internal::GetCapturedStdout();
    set_safe_file_fault(safe_file_fault::none);
    EXPECT_EQ(read_bytes(dip_file()), (std::vector<uint8_t>{0x12, 0x34}));

#ifndef _WIN32
    EXPECT_EXIT(
        {
            set_safe_file_fault(safe_file_fault::kill_before_replace);
            dip_write("columns", "Columns");
            std::exit(0);
        },
        testing::KilledBySignal(SIGKILL), "");
#endif
    EXPECT_EQ(read_bytes(dip_file()), (std::vector<uint8_t>{0x12, 0x34}));
    EXPECT_EQ(dip_write("columns", "Columns"), 1);
    EXPECT_EQ(read_bytes(dip_file()), (std::vector<uint8_t>{0x13, 0x34}));
    const auto files = std::distance(std::filesystem::directory_iterator(root / "dip"),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(files, 1) << "the killed write's leftover is swept";
}

#ifndef _WIN32  // Windows has no FIFOs in the file system
TEST_F(DipSwitches, FifoInPlaceOfTheFileIsRefusedWithoutBlocking) {
    const std::string fifo = dip_file().string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int loaded = -1, written = -1;
    std::string out;
    EXPECT_TRUE(returns_unaided({fifo}, [&] {
        testing::internal::CaptureStdout();
        loaded = load_driver("columns");
        out = testing::internal::GetCapturedStdout();
    }));
    EXPECT_EQ(loaded, 1);  // the game runs on the default switches
    EXPECT_NE(out.find("Not a regular file: `" + fifo + "'\n"), std::string::npos) << out;
    EXPECT_EQ(dip_switch[0], 0xFF);

    dip_invert_bit(0);
    EXPECT_TRUE(returns_unaided({fifo}, [&] {
        testing::internal::CaptureStdout();
        written = dip_write("columns", "Columns");
        testing::internal::GetCapturedStdout();
    }));
    EXPECT_EQ(written, 0);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}
#endif

}  // namespace
