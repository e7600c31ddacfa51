#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "host/options.h"
#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/main_loop.h"
#include "machine_fixture.h"

namespace {

using machine_test::temp_folder_test;

uint32_t region_room(const uint8_t* region) {
    if (region == program_rom) return program_rom_size;
    if (region == sample_rom) return sample_rom_size;
    return 0;
}

TEST(DriverTable, GamesInOrderThenTheDemoAndEveryListFits) {
    const char* order[] = {"bloxeedc", "borench", "columns", "columns2", "ichident", "potopoto",
                           "puyopuyo", "puyopuya", "puyopuy2", "holmpa", "stkclmns", "tantr",
                           "tantrbl", "tforceac", "tfacjp", "tfacbl", "zunkyou"};
    for (int i = 0; i < game_count; i++) {
        ASSERT_NE(driver_list[i], nullptr);
        EXPECT_STREQ(driver_list[i]->short_name, order[i]);
        EXPECT_EQ(driver_list[i]->init == nullptr, std::strcmp(order[i], "holmpa") == 0);
        int entries = 0;
        for (const rom_entry* e = driver_list[i]->roms; e->file_name; e++, entries++) {
            const uint64_t span = e->interleave ? 2ull * e->size : e->size;
            EXPECT_LE(e->offset + span, region_room(e->region)) << order[i] << " " << e->file_name;
            EXPECT_EQ(e->data, nullptr);
        }
        EXPECT_GE(entries, 2) << order[i];
    }
    EXPECT_EQ(driver_list[game_count], &demo_driver);
    EXPECT_EQ(driver_list[game_count + 1], nullptr);
}

TEST(DriverTable, MenuNumbersCoverEveryGameOnce) {
    std::set<std::string> names;
    for (int n = 1; n <= game_count; n++) {
        ASSERT_NE(game_name_by_number(n), nullptr);
        names.insert(game_name_by_number(n));
    }
    EXPECT_EQ(names.size(), 17u);
    EXPECT_EQ(names.count("demo"), 0u);
    EXPECT_STREQ(game_name_by_number(9), "potopoto");
    EXPECT_STREQ(game_name_by_number(11), "holmpa");
    EXPECT_STREQ(game_name_by_number(14), "tfacbl");
    EXPECT_EQ(game_name_by_number(0), nullptr);
    EXPECT_EQ(game_name_by_number(18), nullptr);
}

// Games without an init function run with whatever flags the last game left.
TEST(DriverTable, HolmpaKeepsThePreviousGamesFlags) {
    const driver_record* ichident = driver_list[4];
    const driver_record* holmpa = driver_list[9];
    ichident->init();
    EXPECT_EQ(palette_mode + pal_select_enable + pal_bank_enable, 0);
    game_driver = holmpa;
    genesis_init();
    EXPECT_EQ(palette_mode + pal_select_enable + pal_bank_enable, 0);
    driver_list[5]->init();  // potopoto
    EXPECT_EQ(palette_mode, 1);
    EXPECT_EQ(pal_select_enable, 1);
    EXPECT_EQ(pal_bank_enable, 0);
    driver_list[8]->init();  // puyopuy2
    EXPECT_EQ(pal_select_enable, 0);
    game_driver = nullptr;
    std::memset(program_rom, 0, sizeof program_rom);
    palette_mode = 0;
    pal_select_enable = pal_bank_enable = 1;
}

class GameSwitching : public temp_folder_test {
protected:
    void SetUp() override {
        temp_folder_test::SetUp();
        saved_sound = sound_enabled;
        saved_rate = sound_rate;
        sound_enabled = 0;
        sound_rate = 0;
        for (const char* f : {"epr13112.32", "epr13111.31"}) write_bytes(root / "roms" / "columns" / f, {1, 2});
        for (const char* f : {"epr13361.rom", "epr13360.rom"})
            write_bytes(root / "roms" / "columns2" / f, {3, 4});
    }
    void TearDown() override {
        if (game_loaded) free_driver();
        game_loaded = 0;
        game_driver = nullptr;
        sound_enabled = saved_sound;
        sound_rate = saved_rate;
        temp_folder_test::TearDown();
    }
    void menu(int number) {
        testing::internal::CaptureStdout();
        gui_load_game(number);
        testing::internal::GetCapturedStdout();
    }
    int saved_sound = 1, saved_rate = 44100;
};

TEST_F(GameSwitching, MenuLoadWritesTheOldGamesDipsFirst) {
    menu(3);
    ASSERT_EQ(game_loaded, 1);
    EXPECT_STREQ(game_driver->short_name, "columns");
    EXPECT_EQ(program_rom[1], 1);  // swapped into the core's order at start
    dip_invert_bit(0);
    menu(4);
    ASSERT_EQ(game_loaded, 1);
    EXPECT_STREQ(game_driver->short_name, "columns2");
    EXPECT_EQ(read_bytes(root / "dip" / "columns.dip"), (std::vector<uint8_t>{0xFE, 0xFF}));
    EXPECT_EQ(dip_switch[0], 0xFF);
    EXPECT_EQ(program_rom[1], 3);
}

TEST_F(GameSwitching, FailedLoadLeavesNoGameAndOutOfRangeNumbersDoNothing) {
    menu(3);
    ASSERT_EQ(game_loaded, 1);
    menu(0);
    menu(18);
    EXPECT_EQ(game_loaded, 1);
    EXPECT_STREQ(game_driver->short_name, "columns");

    menu(17);  // zunkyou's files are missing
    EXPECT_EQ(game_loaded, 0);
    menu(3);
    EXPECT_EQ(game_loaded, 1);
}

}  // namespace
