#include <gtest/gtest.h>

#include <string>

#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine_fixture.h"

namespace {

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
    std::string message() {
        char text[32];
        dip_message(text, sizeof text);
        return text;
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

TEST_F(DipSwitches, FileOfZeroToThreeBytes) {
    const struct { std::vector<uint8_t> file; uint8_t b0, b1; } cases[] = {
        {{}, 0xFF, 0xFF}, {{0x12}, 0x12, 0xFF}, {{0x12, 0x34}, 0x12, 0x34}, {{0x56, 0x78, 0x9A}, 0x56, 0x78}};
    for (const auto& c : cases) {
        write_bytes(dip_file(), c.file);
        load();
        EXPECT_EQ(dip_switch[0], c.b0) << c.file.size() << " bytes";
        EXPECT_EQ(dip_switch[1], c.b1) << c.file.size() << " bytes";
        EXPECT_EQ(dip_used, 1);
        // Unloading writes the two bytes back, even without a key press.
        free_driver();
        EXPECT_EQ(read_bytes(dip_file()), (std::vector<uint8_t>{c.b0, c.b1}));
    }
}

TEST_F(DipSwitches, KeysChangeTheSelectedByteAndSurviveAnUnload) {
    load();
    dip_invert_bit(7);
    EXPECT_EQ(message(), "DIP#0 = 01111111");
    EXPECT_EQ(m68k_read_memory_8(0x84000B, nullptr), 0x7Fu);
    dip_toggle_bank();
    EXPECT_EQ(message(), "DIP#1 = 11111111");
    dip_invert_bit(0);
    EXPECT_EQ(message(), "DIP#1 = 11111110");
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

TEST_F(DipSwitches, MissingDirectoryLosesTheSettingQuietly) {
    set_dir(game_dip_dir, root / "no" / "such");
    load();
    dip_toggle_bank();
    EXPECT_EQ(dip_used, 1);
    free_driver();
    EXPECT_FALSE(std::filesystem::exists(root / "no"));
    load();
    EXPECT_EQ(dip_switch[1], 0xFF);
    EXPECT_EQ(dip_used, 0);
}

}  // namespace
