// The command table: one row per command, one command per key, Help > Keys
// telling every key, and check marks that follow the options however they
// were set.
#include <gtest/gtest.h>
#include <SDL.h>
#include <set>
#include <utility>
#include "host/settings/command_table.h"
#include "host/ui/gui.h"
#include "host/settings/options.h"
#include "host/game/run_ahead.h"

namespace {

TEST(CommandTable, EachCommandAndEachKeyHasOneRow) {
    std::set<int> ids;
    std::set<std::pair<int, int>> keys;
    for (int id = cmd_none + 1; id <= cmd_recent_last; ++id) {
        const command_entry* c = find_command(id);
        if (!c) continue;
        EXPECT_EQ(c->id, id);
        EXPECT_TRUE(ids.insert(id).second) << id;
        for (SDL_Scancode k : c->keys)
            if (k != SDL_SCANCODE_UNKNOWN) {
                EXPECT_TRUE(keys.insert({k, c->with_alt}).second) << SDL_GetScancodeName(k);
                EXPECT_EQ(command_for_key(k, c->with_alt), id) << SDL_GetScancodeName(k);
            }
    }
    EXPECT_GT(ids.size(), 50u);
    EXPECT_EQ(find_command(cmd_game_first), nullptr) << "the games are listed from their own data";
    EXPECT_EQ(command_for_key(SDL_SCANCODE_R, 0), 0) << "R alone is no command";
    EXPECT_EQ(command_for_key(SDL_SCANCODE_UNKNOWN, 0), 0);
}

// A command given only by a key is learnt from Help > Keys alone: each has
// its row there, or is the second half of the row before it.
TEST(CommandTable, HelpRowsNameKeysAndEveryKeyOnlyCommandIsTold) {
    size_t count = 0;
    const command_entry* rows = command_rows(count);
    int told = 0;
    for (size_t i = 0; i < count; ++i) {
        const command_entry& c = rows[i];
        if (c.help) {
            ++told;
            // Alt+Enter is the window's own key (with the keypad's Enter).
            if (c.id != cmd_fullscreen) {
                EXPECT_NE(c.keys[0], SDL_SCANCODE_UNKNOWN) << c.help;
            }
            ASSERT_NE(c.help_keys, nullptr) << c.help;
        }
        const bool key_only = !c.label && c.keys[0] != SDL_SCANCODE_UNKNOWN;
        if (key_only && !c.help) {
            EXPECT_TRUE(c.id == cmd_volume_up || (c.id >= cmd_dip_bit_first && c.id <= cmd_dip_bit_last))
                << SDL_GetScancodeName(c.keys[0]) << " gives a command Help > Keys does not tell";
        }
    }
    EXPECT_GT(told, 10);
}

TEST(CommandTable, MarksFollowOptionsSetFromTheFile) {
    set_option_defaults();
    skip = 3;
    stretch = stretch_fill;
    run_ahead = 2;
    throttle = 0;
    sound_rate = 22050;
    EXPECT_TRUE(menu_checked(cmd_skip_2));
    EXPECT_FALSE(menu_checked(cmd_skip_none));
    EXPECT_TRUE(menu_checked(cmd_stretch_fill));
    EXPECT_FALSE(menu_checked(cmd_stretch_integer));
    EXPECT_TRUE(menu_checked(cmd_run_ahead_first + 2));
    EXPECT_FALSE(menu_checked(cmd_throttle));
    EXPECT_TRUE(menu_checked(cmd_rate_22050));
    EXPECT_FALSE(menu_checked(cmd_rate_44100));
    EXPECT_FALSE(menu_checked(cmd_about)) << "a command with no mark";
    set_option_defaults();
    EXPECT_TRUE(menu_checked(cmd_throttle));
    EXPECT_TRUE(menu_checked(cmd_skip_none));
}

}  // namespace
