#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/core.h"
#include "machine/core_games.h"
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
        EXPECT_EQ(driver_list[i]->flags.keep_previous != 0, std::strcmp(order[i], "holmpa") == 0);
        int entries = 0;
        for (const rom_entry* e = driver_list[i]->roms; e->file_name; e++, entries++) {
            const uint64_t span = e->interleave != rom_interleave::whole ? 2ull * e->size : e->size;
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
        ASSERT_NE(game_by_menu_number(n), nullptr);
        names.insert(game_by_menu_number(n)->short_name);
        EXPECT_EQ(driver_of(core_game(n - 1)), game_by_menu_number(n));
    }
    EXPECT_EQ(names.size(), 17u);
    EXPECT_EQ(names.count("demo"), 0u);
    EXPECT_STREQ(game_by_menu_number(9)->short_name, "potopoto");
    EXPECT_STREQ(game_by_menu_number(11)->short_name, "holmpa");
    EXPECT_STREQ(game_by_menu_number(14)->short_name, "tfacbl");
    EXPECT_STREQ(game_by_menu_number(1)->description, "Bloxeed (C2 version)");
    EXPECT_EQ(game_by_menu_number(0), nullptr);
    EXPECT_EQ(game_by_menu_number(18), nullptr);
    EXPECT_EQ(driver_of(core_game(game_count)), &demo_driver);
    EXPECT_EQ(core_game(game_count + 1), nullptr);
    EXPECT_EQ(driver_of(core_find_game("CoLuMnS")), game_by_menu_number(3));
    EXPECT_EQ(core_find_game("nosuchgame"), nullptr);
}

// A game that wires no flags of its own runs with whatever flags the last game left.
TEST(DriverTable, HolmpaKeepsThePreviousGamesFlags) {
    const driver_record* ichident = driver_list[4];
    const driver_record* holmpa = driver_list[9];
    apply_board_flags(ichident->flags);
    EXPECT_EQ(palette_mode + pal_select_enable + pal_bank_enable, 0);
    game_driver = holmpa;
    genesis_init();
    EXPECT_EQ(palette_mode + pal_select_enable + pal_bank_enable, 0);
    apply_board_flags(driver_list[5]->flags);  // potopoto
    EXPECT_EQ(palette_mode, 1);
    EXPECT_EQ(pal_select_enable, 1);
    EXPECT_EQ(pal_bank_enable, 0);
    apply_board_flags(driver_list[8]->flags);  // puyopuy2
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
        for (const char* f : {"epr13112.32", "epr13111.31"}) write_bytes(root / "roms" / "columns" / f, {1, 2});
        for (const char* f : {"epr13361.rom", "epr13360.rom"})
            write_bytes(root / "roms" / "columns2" / f, {3, 4});
    }
    void TearDown() override {
        core_unload();
        temp_folder_test::TearDown();
    }
    int load(int number) {
        const driver_record* game = game_by_menu_number(number);
        testing::internal::CaptureStdout();
        const int ok = core_load(game ? game->short_name : nullptr, 0);
        testing::internal::GetCapturedStdout();
        return ok;
    }
};

TEST_F(GameSwitching, LoadingAnotherGameWritesTheOldGamesDipsFirst) {
    ASSERT_EQ(load(3), 1);
    ASSERT_NE(core_running(), nullptr);
    EXPECT_STREQ(core_running()->short_name, "columns");
    EXPECT_EQ(program_rom[1], 1);  // swapped into the core's order at start
    core_dip_invert_bit(0);
    ASSERT_EQ(load(4), 1);
    EXPECT_STREQ(core_running()->short_name, "columns2");
    EXPECT_EQ(read_bytes(root / "dip" / "columns.dip"), (std::vector<uint8_t>{0xFE, 0xFF}));
    EXPECT_EQ(core_dip(0), 0xFF);
    EXPECT_EQ(program_rom[1], 3);
}

// A second start must not turn the program image back into the 68000's order.
TEST_F(GameSwitching, SecondStartKeepsTheProgramImage) {
    ASSERT_EQ(load(3), 1);
    const uint8_t first = program_rom[1];
    system_init(0);
    EXPECT_EQ(program_rom[1], first);
}

TEST_F(GameSwitching, UnknownNamesAndMissingFilesLoadNothing) {
    EXPECT_EQ(load(0), 0);
    EXPECT_EQ(core_running(), nullptr);
    EXPECT_EQ(load(17), 0);  // zunkyou's files are missing
    EXPECT_EQ(core_running(), nullptr);
    EXPECT_EQ(load(3), 1);
}

}  // namespace
