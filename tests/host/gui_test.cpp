// Menu commands and setting managers, run without a window: each command's
// effect, its check marks and its on-screen message.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "host/display.h"
#include "host/gui.h"
#include "host/options.h"
#include "host/window.h"
#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "sound/mixer.h"
#include "vdp/palette.h"

namespace {

uint32_t fake_now;
uint32_t fake_ticks() { return fake_now; }

// The demo cartridge needs no files: a game to run commands on.
void start_demo() {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(start_game("demo"), 1);
    ::testing::internal::GetCapturedStdout();
}

struct GuiTest : ::testing::Test {
    void SetUp() override {
        headless = 1;
        display_ticks = fake_ticks;
        fake_now = 5000;
        msg_visible = 0;
        msg_text[0] = 0;
        game_loaded = 0;
        sound_enabled = 0;
        quit_requested = 0;
        channel_mask = channel_fm | channel_psg | channel_adpcm;
        dip_bank = 0;
        dip_used = 0;
        dip_switch[0] = dip_switch[1] = 0xFF;
        ASSERT_EQ(init_video(0), 1);
    }
    void TearDown() override {
        release_video();
        core_unload();
        game_loaded = 0;
    }
    // The message a command showed, or "" when it showed none.
    std::string shown() { return msg_visible ? msg_text : ""; }
    std::string run(int command) {
        msg_visible = 0;
        menu_command(command);
        return shown();
    }
};

TEST_F(GuiTest, FrameSkipKeysSetTheLevelTheMarksAndTheMessage) {
    EXPECT_EQ(run(cmd_skip_1), "Frame skip set to 1");
    EXPECT_EQ(skip, 2);
    EXPECT_EQ(run(cmd_skip_3), "Frame skip set to 3");
    EXPECT_EQ(skip, 4);
    EXPECT_FALSE(menu_checked(cmd_skip_1));
    EXPECT_TRUE(menu_checked(cmd_skip_3));
    EXPECT_EQ(run(cmd_skip_2), "Frame skip set to 2");
    EXPECT_EQ(skip, 3);
    EXPECT_EQ(run(cmd_skip_none), "Frame skip disabled");
    EXPECT_EQ(skip, 1);
    EXPECT_TRUE(menu_checked(cmd_skip_none));
    EXPECT_FALSE(menu_checked(cmd_skip_2));
    EXPECT_FALSE(menu_checked(cmd_skip_3));
}

TEST_F(GuiTest, TogglesNameTheStateAfterTheChange) {
    gui_manage_limiter(1);
    EXPECT_EQ(run(cmd_throttle), "Speed throttle off");
    EXPECT_EQ(throttle, 0);
    EXPECT_FALSE(menu_checked(cmd_throttle));
    EXPECT_EQ(run(cmd_throttle), "Speed throttle on");
    EXPECT_TRUE(menu_checked(cmd_throttle));

    gui_manage_vsync(0);
    EXPECT_EQ(run(cmd_vsync), "VSync on");
    EXPECT_EQ(vsync, 1);
    EXPECT_TRUE(menu_checked(cmd_vsync));

    gui_manage_sound(0);
    EXPECT_EQ(run(cmd_sound), "Sound enabled");
    EXPECT_TRUE(menu_checked(cmd_sound));
    EXPECT_EQ(run(cmd_sound), "Sound disabled");
    EXPECT_FALSE(menu_checked(cmd_sound));

    gui_manage_blur(0);
    gui_manage_strech(0);
    EXPECT_EQ(run(cmd_blur), "") << "blur shows no message";
    EXPECT_EQ(blur, 1);
    EXPECT_TRUE(menu_checked(cmd_blur));
    EXPECT_EQ(run(cmd_strech), "");
    EXPECT_EQ(scale, 1);
    EXPECT_TRUE(menu_checked(cmd_strech));
    gui_manage_blur(0);
    gui_manage_strech(0);
}

TEST_F(GuiTest, SoundRateCommandsMarkOneRateAndShowIt) {
    EXPECT_EQ(run(cmd_rate_22050), "Sound rate set to 22050");
    EXPECT_EQ(sound_rate, 22050);
    EXPECT_TRUE(menu_checked(cmd_rate_22050));
    EXPECT_FALSE(menu_checked(cmd_rate_11025));
    EXPECT_FALSE(menu_checked(cmd_rate_44100));
    EXPECT_EQ(run(cmd_rate_11025), "Sound rate set to 11025");
    EXPECT_EQ(run(cmd_rate_44100), "Sound rate set to 44100");
    EXPECT_TRUE(menu_checked(cmd_rate_44100));
    EXPECT_FALSE(menu_checked(cmd_rate_22050));
    EXPECT_EQ(run(cmd_rate_48000), "Sound rate set to 48000");
    EXPECT_TRUE(menu_checked(cmd_rate_48000));
    EXPECT_FALSE(menu_checked(cmd_rate_44100));
    gui_manage_rate(32000);  // from the file: no item matches
    EXPECT_FALSE(menu_checked(cmd_rate_11025) || menu_checked(cmd_rate_22050) ||
                 menu_checked(cmd_rate_44100) || menu_checked(cmd_rate_48000));
}

TEST_F(GuiTest, ChipKeysToggleTheirChipAndKeyZeroEnablesAll) {
    gui_manage_soundchip();
    EXPECT_EQ(run(cmd_chip_ym), "YM3438 sound disabled");
    EXPECT_EQ(run(cmd_chip_sn), "SN76489 sound disabled");
    EXPECT_EQ(run(cmd_chip_upd), "uPD7759 sound disabled");
    EXPECT_EQ(channel_mask & 7u, 0u);
    EXPECT_FALSE(menu_checked(cmd_chip_ym) || menu_checked(cmd_chip_sn) ||
                 menu_checked(cmd_chip_upd));
    EXPECT_EQ(run(cmd_chip_sn), "SN76489 sound enabled");
    EXPECT_EQ(channel_mask & 7u, channel_psg);
    EXPECT_TRUE(menu_checked(cmd_chip_sn));
    EXPECT_EQ(run(cmd_chips_all), "All sound channels enabled");
    EXPECT_EQ(channel_mask & 7u, 7u);
    EXPECT_TRUE(menu_checked(cmd_chip_ym) && menu_checked(cmd_chip_sn) &&
                menu_checked(cmd_chip_upd));
}

TEST_F(GuiTest, PaletteKeyTogglesBetweenFixedAndDynamic) {
    gui_manage_palette(0);
    EXPECT_EQ(run(cmd_palette_toggle), "Using dynamic palette");
    EXPECT_EQ(palette_mode, 1);
    EXPECT_TRUE(menu_checked(cmd_palette_dynamic));
    EXPECT_FALSE(menu_checked(cmd_palette_fixed));
    EXPECT_EQ(run(cmd_palette_toggle), "Using fixed palette");
    EXPECT_EQ(palette_mode, 0);
    EXPECT_TRUE(menu_checked(cmd_palette_fixed));
    EXPECT_FALSE(menu_checked(cmd_palette_dynamic));
    EXPECT_EQ(run(cmd_palette_dynamic), "Using dynamic palette");
    EXPECT_EQ(run(cmd_palette_fixed), "Using fixed palette");
}

TEST_F(GuiTest, VideoMemoryRecreatesTheDisplayAndKeepsTheFixedColours) {
    gui_manage_palette(0);
    ASSERT_NE(conv_pal[8], 0) << "fixed palette filled";
    video_memory = 0;
    EXPECT_EQ(run(cmd_videomem), "Using video memory");
    EXPECT_EQ(video_memory, 1);
    EXPECT_TRUE(menu_checked(cmd_videomem));
    ASSERT_NE(conv_bmp, nullptr);
    // A new display clears the colour table; the fixed one is filled again.
    EXPECT_EQ(conv_pal[8], 0x52AA);
    EXPECT_EQ(run(cmd_videomem), "Using system memory");
    EXPECT_FALSE(menu_checked(cmd_videomem));
}

TEST_F(GuiTest, MachineCommandsDoNothingWithoutAGame) {
    EXPECT_EQ(run(cmd_reset), "");
    EXPECT_EQ(run(cmd_free), "");
    EXPECT_EQ(run(cmd_dump_rom), "");
    EXPECT_EQ(game_loaded, 0);

    start_demo();
    EXPECT_EQ(run(cmd_reset), "Reset");
    EXPECT_EQ(game_loaded, 1);
    EXPECT_EQ(run(cmd_free), "");
    EXPECT_EQ(game_loaded, 0);
    EXPECT_EQ(run(cmd_reset), "") << "Free then Reset: nothing happens";
}

TEST_F(GuiTest, DipKeysFlipBitsOfTheSelectedBankAndShowIt) {
    EXPECT_EQ(run(cmd_dip_bit_first), "DIP#0 = 01111111");
    EXPECT_EQ(dip_switch[0], 0x7F);
    EXPECT_EQ(dip_used, 1);
    EXPECT_EQ(run(cmd_dip_bank), "DIP#1 = 11111111");
    EXPECT_EQ(dip_bank, 1);
    EXPECT_EQ(run(cmd_dip_bit_last), "DIP#1 = 11111110");
    EXPECT_EQ(dip_switch[1], 0xFE);
    EXPECT_EQ(dip_switch[0], 0x7F);
    EXPECT_EQ(run(cmd_dip_bit_first + 3), "DIP#1 = 11101110");  // keypad 4: bit 4
    EXPECT_EQ(run(cmd_dip_bank), "DIP#0 = 01111111");
}

struct TempDir {
    std::string old, path;
    TempDir() {
        char tmpl[] = "/tmp/vortan_gui_XXXXXX";
        path = mkdtemp(tmpl);
        char buf[4096];
        old = getcwd(buf, sizeof buf);
        EXPECT_EQ(chdir(path.c_str()), 0);
    }
    ~TempDir() {
        EXPECT_EQ(chdir(old.c_str()), 0);
        std::string cmd = "rm -rf " + path;
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
};

TEST_F(GuiTest, RomDumpWritesTheWholeRegionIn68000Order) {
    TempDir dir;
    start_demo();
    for (uint32_t i = 0; i < program_rom_size; i++) program_rom[i] = uint8_t(i * 7 + (i >> 11));
    std::vector<uint8_t> before(program_rom, program_rom + program_rom_size);
    EXPECT_EQ(run(cmd_dump_rom), "Dumped ROM to demo.rom");

    std::FILE* f = std::fopen("demo.rom", "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> file(program_rom_size + 16);
    size_t n = std::fread(file.data(), 1, file.size(), f);
    std::fclose(f);
    ASSERT_EQ(n, program_rom_size);
    for (uint32_t a = 0; a < program_rom_size; a++)
        ASSERT_EQ(file[a], before[a ^ 1]) << "byte at 68000 address " << a;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), program_rom))
        << "the region the core runs from is left as it was";

    // A file that cannot be written is not reported as dumped.
    std::remove("demo.rom");
    ASSERT_EQ(mkdir("demo.rom", 0755), 0);
    EXPECT_EQ(run(cmd_dump_rom), "Could not dump ROM to demo.rom");
}

TEST_F(GuiTest, GameMenuLoadsTheDemoAndAFailedLoadLeavesNoGame) {
    TempDir dir;  // no ROM files here
    menu_command(cmd_load_demo);
    ASSERT_EQ(game_loaded, 1);
    ASSERT_NE(core_running(), nullptr);
    EXPECT_STREQ(core_running()->short_name, "demo");
    EXPECT_EQ(run(cmd_reset), "Reset");

    int boxes = box_count;
    ::testing::internal::CaptureStderr();
    menu_command(cmd_game_first + 2);  // Columns (Japan), whose ROMs are missing
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(box_count, boxes + 1);
    EXPECT_STREQ(last_box_text, "Error loading driver");
    EXPECT_EQ(game_loaded, 0);
    EXPECT_EQ(run(cmd_reset), "");
}

TEST_F(GuiTest, WindowSizeCommandsSetTheClientAreaAndMarks) {
    EXPECT_EQ(run(cmd_size_3), "");
    EXPECT_EQ(winsize, 3);
    EXPECT_EQ(client_area.right - client_area.left, 960);
    EXPECT_EQ(client_area.bottom - client_area.top, 672);
    EXPECT_TRUE(menu_checked(cmd_size_3));
    EXPECT_FALSE(menu_checked(cmd_size_1));
    run(cmd_size_1);
    EXPECT_EQ(client_area.right - client_area.left, 320);
    EXPECT_TRUE(menu_checked(cmd_size_1));
    EXPECT_FALSE(menu_checked(cmd_size_3));
}

TEST_F(GuiTest, MenuChoicesRunOnceAfterTheFrameAndQuitOnlyRequests) {
    post_command(cmd_quit);
    EXPECT_EQ(quit_requested, 0) << "a posted command waits";
    run_posted_commands();
    EXPECT_EQ(quit_requested, 1);
    quit_requested = 0;
    run_posted_commands();
    EXPECT_EQ(quit_requested, 0) << "and runs once";
    run(40001);  // no such command
    check_menu_item(39000, 1);  // out of range marks are ignored
    EXPECT_EQ(menu_checked(39000), 0);
}

}  // namespace
