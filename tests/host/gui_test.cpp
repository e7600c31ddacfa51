// Menu commands and setting managers, run without a window: each command's
// effect, its check marks and its on-screen message.
#include <gtest/gtest.h>
#include <zlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "host/ui/dip_switches.h"
#include "host/video/display.h"
#include "host/ui/game_load.h"
#include "host/ui/gui.h"
#include "host/game/main_loop.h"
#include "host/game/state_slots.h"
#include "host/settings/options.h"
#include "host/video/screenshot.h"
#include "host/ui/window.h"
#include "machine/core.h"
// Only a test fills the program ROM with a pattern, reads whether a run
// changed the switches, and reads the colour table a new display refills.
#include "machine/board.h"
#include "machine/dip.h"
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
        set_option_defaults();
        user_paused = frame_advance = 0;
        headless = 1;
        display_ticks = fake_ticks;
        fake_now = 5000;
        msg_visible = 0;
        msg_text[0] = 0;
        game_loaded = 0;
        sound_enabled = 0;
        quit_requested = 0;
        core_set_channels(channel_fm | channel_psg | channel_adpcm);
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
    throttle = 1;
    EXPECT_EQ(run(cmd_throttle), "Speed throttle off");
    EXPECT_EQ(throttle, 0);
    EXPECT_FALSE(menu_checked(cmd_throttle));
    EXPECT_EQ(run(cmd_throttle), "Speed throttle on");
    EXPECT_TRUE(menu_checked(cmd_throttle));

    vsync = 0;
    EXPECT_EQ(run(cmd_vsync), "VSync on");
    EXPECT_EQ(vsync, 1);
    EXPECT_TRUE(menu_checked(cmd_vsync));

    gui_manage_sound(0);
    EXPECT_EQ(run(cmd_sound), "Sound enabled");
    EXPECT_TRUE(menu_checked(cmd_sound));
    EXPECT_EQ(run(cmd_sound), "Sound disabled");
    EXPECT_FALSE(menu_checked(cmd_sound));

    blur = 0;
    gui_manage_stretch(stretch_integer);
    EXPECT_EQ(run(cmd_blur), "") << "blur shows no message";
    EXPECT_EQ(blur, 1);
    EXPECT_TRUE(menu_checked(cmd_blur));
    // One of the three stretches is ticked; the older words follow it.
    EXPECT_EQ(run(cmd_stretch_aspect), "");
    EXPECT_EQ(stretch, stretch_aspect);
    EXPECT_EQ(scale, 1);
    EXPECT_TRUE(menu_checked(cmd_stretch_aspect));
    EXPECT_FALSE(menu_checked(cmd_stretch_integer));
    run(cmd_stretch_fill);
    EXPECT_EQ(fill_window, 1);
    EXPECT_EQ(scale, 0);
    EXPECT_FALSE(menu_checked(cmd_stretch_aspect));
    blur = 0;
    gui_manage_stretch(stretch_integer);
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
    EXPECT_EQ(run(cmd_chip_ym), "YM3438 sound disabled");
    EXPECT_EQ(run(cmd_chip_sn), "SN76489 sound disabled");
    EXPECT_EQ(run(cmd_chip_upd), "uPD7759 sound disabled");
    EXPECT_EQ(core_channels() & 7u, 0u);
    EXPECT_FALSE(menu_checked(cmd_chip_ym) || menu_checked(cmd_chip_sn) ||
                 menu_checked(cmd_chip_upd));
    EXPECT_EQ(run(cmd_chip_sn), "SN76489 sound enabled");
    EXPECT_EQ(core_channels() & 7u, channel_psg);
    EXPECT_TRUE(menu_checked(cmd_chip_sn));
    EXPECT_EQ(run(cmd_chips_all), "All sound channels enabled");
    EXPECT_EQ(core_channels() & 7u, 7u);
    EXPECT_TRUE(menu_checked(cmd_chip_ym) && menu_checked(cmd_chip_sn) &&
                menu_checked(cmd_chip_upd));
}

TEST_F(GuiTest, PaletteKeyTogglesBetweenFixedAndDynamic) {
    gui_manage_palette(0);
    EXPECT_EQ(run(cmd_palette_toggle), "Using dynamic palette");
    EXPECT_EQ(core_palette_mode(), 1);
    EXPECT_TRUE(menu_checked(cmd_palette_dynamic));
    EXPECT_FALSE(menu_checked(cmd_palette_fixed));
    EXPECT_EQ(run(cmd_palette_toggle), "Using fixed palette");
    EXPECT_EQ(core_palette_mode(), 0);
    EXPECT_TRUE(menu_checked(cmd_palette_fixed));
    EXPECT_FALSE(menu_checked(cmd_palette_dynamic));
    EXPECT_EQ(run(cmd_palette_dynamic), "Using dynamic palette");
    EXPECT_EQ(run(cmd_palette_fixed), "Using fixed palette");
}

TEST_F(GuiTest, VideoMemoryRecreatesTheDisplayAndKeepsTheFixedColours) {
    gui_manage_palette(0);
    ASSERT_NE(conv_pal[8], 0) << "fixed palette filled";
    videomem = 0;
    EXPECT_EQ(run(cmd_videomem), "Using video memory");
    EXPECT_EQ(videomem, 1);
    EXPECT_TRUE(menu_checked(cmd_videomem));
    ASSERT_NE(staged_picture, nullptr);
    // A new display clears the colour table; the fixed one is filled again.
    EXPECT_EQ(conv_pal[8], 0x52AA);
    EXPECT_EQ(run(cmd_videomem), "Using system memory");
    EXPECT_FALSE(menu_checked(cmd_videomem));
}

TEST_F(GuiTest, MachineCommandsDoNothingWithoutAGame) {
    for (int command : {cmd_reset, cmd_free, cmd_dump_rom, cmd_pause, cmd_frame_advance, cmd_screenshot,
                        cmd_dip_dialog, cmd_dip_bank, cmd_dip_bit_first}) {
        EXPECT_FALSE(command_enabled(command)) << command;
        EXPECT_EQ(run(command), "") << command;
    }
    EXPECT_EQ(dip_window, 0);
    EXPECT_EQ(user_paused, 0);
    EXPECT_EQ(game_loaded, 0);
    EXPECT_TRUE(command_enabled(cmd_game_list));
    EXPECT_TRUE(command_enabled(cmd_controls));

    start_demo();
    EXPECT_EQ(run(cmd_reset), "Reset");
    EXPECT_EQ(game_loaded, 1);
    EXPECT_EQ(run(cmd_free), "");
    EXPECT_EQ(game_loaded, 0);
    EXPECT_EQ(run(cmd_reset), "") << "Free then Reset: nothing happens";
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

TEST_F(GuiTest, DipKeysFlipBitsOfTheSelectedBankAndShowIt) {
    TempDir dir;
    start_demo();
    // Keypad n flips switch n, bit n - 1, as the libretro options number them.
    EXPECT_EQ(run(cmd_dip_bit_first), "DIP bank 1 on: 1");
    EXPECT_EQ(core_dip(0), 0xFE);
    EXPECT_EQ(dip_used, 1);
    EXPECT_EQ(run(cmd_dip_bank), "DIP bank 2 on: none");
    EXPECT_EQ(core_dip_bank(), 1);
    EXPECT_EQ(run(cmd_dip_bit_last), "DIP bank 2 on: 8");
    EXPECT_EQ(core_dip(1), 0x7F);
    EXPECT_EQ(core_dip(0), 0xFE);
    EXPECT_EQ(run(cmd_dip_bit_first + 3), "DIP bank 2 on: 4 8");
    EXPECT_EQ(core_dip(1), 0x77);
    EXPECT_EQ(run(cmd_dip_bank), "DIP bank 1 on: 1");
}

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

TEST_F(GuiTest, AFailedLoadKeepsTheRunningGameAndSaysWhatIsMissingWhere) {
    TempDir dir;  // no ROM files here, one of the wrong size in the folder
    ASSERT_EQ(std::system("mkdir -p roms/columns && head -c 100 /dev/zero > roms/columns/epr13111.31"), 0);
    ::testing::internal::CaptureStdout();
    menu_command(cmd_load_demo);
    ASSERT_EQ(game_loaded, 1);
    ASSERT_NE(core_running(), nullptr);
    EXPECT_STREQ(core_running()->short_name, "demo");

    int boxes = box_count;
    ::testing::internal::CaptureStderr();
    menu_command(cmd_game_first + 2);  // Columns (Japan)
    const std::string report = ::testing::internal::GetCapturedStderr();
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(box_count, boxes + 1);
    EXPECT_STREQ(last_box_title, "Could not load");
    for (const char* said : {"Columns (Japan) (columns) could not be loaded",
                             "epr13112.32 is missing (131072 bytes)", "epr13111.31 is 100 bytes, not 131072",
                             "./ziproms/columns.zip (no such archive)", "./roms/columns/",
                             "Put the files in ./roms/columns/ or in the zip archive ./ziproms/columns.zip",
                             "The loader said:", "Error loading file `./roms/columns/epr13112.32'"})
        EXPECT_NE(report.find(said), std::string::npos) << said << " in\n" << report;
    EXPECT_EQ(game_loaded, 1);
    EXPECT_STREQ(core_running()->short_name, "demo") << "the demo runs on";
    EXPECT_EQ(run(cmd_reset), "Reset");
    EXPECT_NE(last_load_problem.find("Columns (Japan): 1 file missing, 1 file of the wrong size in ./roms/columns/"),
              std::string::npos)
        << last_load_problem;

    // A name that is no game says which ones there are.
    std::string why;
    EXPECT_EQ(start_game("colums", &why), 0);
    EXPECT_NE(why.find("There is no game called \"colums\""), std::string::npos) << why;
    EXPECT_NE(why.find("columns, "), std::string::npos) << why;
}

TEST_F(GuiTest, AGameLoadedWithAFileOfTheWrongSizeSaysSo) {
    TempDir dir;
    ASSERT_EQ(std::system("mkdir -p roms/columns && head -c 131072 /dev/zero > roms/columns/epr13112.32 && "
                          "head -c 100 /dev/zero > roms/columns/epr13111.31"),
              0);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int loaded = start_game("columns");
    const std::string said = ::testing::internal::GetCapturedStderr();
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(loaded, 1);
    EXPECT_STREQ(last_box_title, "Loaded with problems");
    EXPECT_NE(said.find("epr13111.31"), std::string::npos) << said;
    EXPECT_NE(said.find("found 100"), std::string::npos) << said;
}

// Files that are not the known dumps run as they are: the message line
// names the first with both checksums, and no report stops the game.
TEST_F(GuiTest, AGameWhoseFilesAreNotTheKnownDumpsRunsAndTheMessageSaysSo) {
    TempDir dir;
    ASSERT_EQ(std::system("mkdir -p roms/columns && head -c 131072 /dev/zero > roms/columns/epr13112.32 && "
                          "cp roms/columns/epr13112.32 roms/columns/epr13111.31"),
              0);
    const std::vector<uint8_t> zeros(131072, 0);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08lx", crc32(0, zeros.data(), uInt(zeros.size())));
    const int boxes = box_count;
    msg_visible = 0;
    ::testing::internal::CaptureStdout();
    const int loaded = start_game("columns");
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(loaded, 1);
    EXPECT_EQ(box_count, boxes);
    const std::string note = std::string("epr13112.32: CRC ") + crc + ", the known dump is bae6e53e";
    EXPECT_EQ(shown(), note + " (and 1 more file not the known dump)");
    EXPECT_NE(out.find(note + "\n"), std::string::npos) << out;
}

TEST_F(GuiTest, PauseHoldsTheGameAndNextFrameStepsOnlyWhilePaused) {
    TempDir dir;
    start_demo();
    EXPECT_EQ(run(cmd_frame_advance), "");
    EXPECT_EQ(frame_advance, 0) << "not paused: nothing to step";
    EXPECT_EQ(run(cmd_pause), "Paused");
    EXPECT_EQ(user_paused, 1);
    EXPECT_TRUE(command_enabled(cmd_frame_advance));
    menu_command(cmd_frame_advance);
    EXPECT_EQ(frame_advance, 1);
    EXPECT_EQ(run(cmd_pause), "Running");
    EXPECT_EQ(user_paused, 0);
    EXPECT_EQ(frame_advance, 0);
    run(cmd_pause);
    run(cmd_free);
    EXPECT_EQ(user_paused, 0) << "a game started later does not start paused";
}

TEST_F(GuiTest, DipChangesAreSavedAtOnceMakingTheFolder) {
    TempDir dir;
    std::snprintf(dip_dir, sizeof dip_dir, "./settings/dip");
    start_demo();
    EXPECT_EQ(run(cmd_dip_bit_first), "DIP bank 1 on: 1");
    std::FILE* f = std::fopen("settings/dip/demo.dip", "rb");
    ASSERT_NE(f, nullptr);
    unsigned char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, 4, f), 2u);
    std::fclose(f);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(dip_save_status, "Saved to ./settings/dip/demo.dip");

    // A folder that cannot be made: the change stays, the failure is said.
    ASSERT_EQ(std::system("touch blocked"), 0);
    std::snprintf(dip_dir, sizeof dip_dir, "./blocked/dip");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(run(cmd_dip_bit_first), "DIP switches not saved to ./blocked/dip/demo.dip");
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(dip_save_failed, 1);
    EXPECT_NE(dip_save_status.find("Not saved: ./blocked"), std::string::npos) << dip_save_status;
    EXPECT_EQ(core_dip(0), 0xFF);
    run(cmd_free);  // the core keeps the switches where the game was loaded from
}

TEST_F(GuiTest, ScreenshotsAreNumberedInTheSnapshotFolder) {
    TempDir dir;
    std::snprintf(snap_dir, sizeof snap_dir, "shots/today");
    start_demo();
    present_frame(core_run_frame(1));
    EXPECT_EQ(run(cmd_screenshot), "Screenshot saved to shots/today/demo-0001.png");
    EXPECT_EQ(run(cmd_screenshot), "Screenshot saved to shots/today/demo-0002.png");
    struct stat st;
    ASSERT_EQ(stat("shots/today/demo-0002.png", &st), 0);
    EXPECT_GT(st.st_size, 100);
    std::remove("shots/today/demo-0001.png");
    EXPECT_EQ(next_screenshot_name(), "shots/today/demo-0001.png") << "a freed number is taken again";

    ASSERT_EQ(std::system("touch blocked"), 0);
    std::snprintf(snap_dir, sizeof snap_dir, "blocked/shots");
    EXPECT_NE(run(cmd_screenshot).find("Screenshot not saved: blocked"), std::string::npos);
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
    // A command that is not in the table has no mark.
    EXPECT_EQ(menu_checked(39000), 0);
}

}  // namespace

namespace {

// F5, F7 and F8 on the demo: a slot file per game and slot, a load taking
// the machine back, and an empty slot said to be empty.
TEST_F(GuiTest, StateSlotsSaveLoadAndStepThroughTheSlots) {
    TempDir dir;
    std::snprintf(state_dir, sizeof state_dir, "states");  // made by the first save
    start_demo();
    state_slot = 0;
    for (int f = 0; f < 30; f++) core_run_frame(1);
    EXPECT_EQ(run(cmd_save_state), "State saved to slot 0");
    EXPECT_TRUE(state_slot_used(0));
    std::FILE* f = std::fopen("states/demo-0.sta", "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    for (int n = 0; n < 20; n++) core_run_frame(1);
    EXPECT_EQ(run(cmd_load_state), "State loaded from slot 0");
    EXPECT_EQ(core_frame_number(), 30u);

    EXPECT_EQ(run(cmd_next_slot), "State slot 1 (empty)");
    EXPECT_EQ(run(cmd_load_state), "Slot 1 is empty");
    EXPECT_EQ(run(cmd_slot_first + 9), "State slot 9 (empty)");
    EXPECT_EQ(run(cmd_next_slot), "State slot 0");

    // A slot file that is not a state is refused; the machine runs on.
    std::FILE* junk = std::fopen("states/demo-0.sta", "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("not a state", junk);
    std::fclose(junk);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(cmd_load_state), "State in slot 0 not loaded");
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("demo-0.sta"), std::string::npos);
    EXPECT_EQ(core_frame_number(), 30u);
    std::snprintf(state_dir, sizeof state_dir, "./sta");
}

}  // namespace
