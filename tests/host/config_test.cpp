#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include "common/safe_file.h"
#include "host/ui/game_load.h"
#include "host/video/display.h"
#include "host/input/input.h"
#include "host/settings/options.h"

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vortan_cfg_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/vortan.cfg";
        saved_joypads = joypad_count;
        joypad_count = 0;
    }
    void TearDown() override {
        joypad_count = saved_joypads;
        set_option_defaults();
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    void write(const std::string& text) {
        std::ofstream f(path, std::ios::binary);
        f << text;
    }
    std::string read() {
        std::ifstream f(path, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    std::string dir, path;
    int saved_joypads = 0;
};

TEST_F(ConfigTest, MissingFileGivesDefaultsWithThrottleAndSoundOn) {
    blur = 1;
    skip = 3;
    do_config((dir + "/none.cfg").c_str());
    EXPECT_EQ(blur, 0);
    EXPECT_EQ(scanlines, 0);
    EXPECT_EQ(scale, 0);
    EXPECT_EQ(vsync, 0);
    EXPECT_EQ(throttle, 1);
    EXPECT_EQ(sound_enabled, 1);
    EXPECT_EQ(skip, 1);
    EXPECT_EQ(sound_rate, 44100);
    EXPECT_EQ(winsize, 0) << "no size kept: the first window suits the screen";
    EXPECT_EQ(joy1, 0);
    EXPECT_EQ(joy1_b, 1);
    EXPECT_EQ(joy2_c, 2);
    EXPECT_STREQ(rom_dir, "./roms");
    EXPECT_STREQ(zip_dir, "./ziproms");
    EXPECT_STREQ(dip_dir, "./dip");
    EXPECT_STREQ(snap_dir, "./snap");
    EXPECT_EQ(options.width, 320);
    EXPECT_EQ(options.height, 240);
}

TEST_F(ConfigTest, OneLineReadsLikeTwoLines) {
    write("-sound off -throttle off\n");
    do_config(path.c_str());
    EXPECT_EQ(sound_enabled, 0);
    EXPECT_EQ(throttle, 0);
    write("-sound\toff\n\n-throttle   off\n");
    set_option_defaults();
    do_config(path.c_str());
    EXPECT_EQ(sound_enabled, 0);
    EXPECT_EQ(throttle, 0);
}

TEST_F(ConfigTest, OnOffWords) {
    EXPECT_EQ(check_bool("off"), 0);
    EXPECT_EQ(check_bool("OfF"), 0);
    EXPECT_EQ(check_bool("NO"), 0);
    EXPECT_EQ(check_bool("on"), 1);
    EXPECT_EQ(check_bool("yes"), 1);
    EXPECT_EQ(check_bool("0"), 1);  // only off and no mean off
    write("-sound no -blur 0 -VSYNC ON\n");
    do_config(path.c_str());
    EXPECT_EQ(sound_enabled, 0);
    EXPECT_EQ(blur, 1);
    EXPECT_EQ(vsync, 1);
}

TEST_F(ConfigTest, RangeChecks) {
    write("-skip 0 -winsize 7\n");
    do_config(path.c_str());
    EXPECT_EQ(skip, 1);
    EXPECT_EQ(winsize, 0);
    write("-skip 3 -winsize 4\n");
    do_config(path.c_str());
    EXPECT_EQ(skip, 3);
    EXPECT_EQ(winsize, 4);
    write("-winsize -1 -sndrate 22050\n");
    do_config(path.c_str());
    EXPECT_EQ(winsize, 0);
    EXPECT_EQ(sound_rate, 22050);

    joypad_count = 1;
    write("-joy2 1 -joy1 -1\n");
    do_config(path.c_str());
    EXPECT_EQ(joy2, 1);  // one past the devices found: accepted, reads nothing
    EXPECT_EQ(joy1, 0);
    write("-joy2 2\n");
    do_config(path.c_str());
    EXPECT_EQ(joy2, 0);
}

TEST_F(ConfigTest, IntegersReadLikeTheFileDoes) {
    EXPECT_EQ(parse_int("  -12x"), -12);
    EXPECT_EQ(parse_int("+7"), 7);
    EXPECT_EQ(parse_int("abc"), 0);
    EXPECT_EQ(parse_int("99999999999999999999"), 2147483647);
    EXPECT_EQ(parse_int("-99999999999999999999"), -2147483647 - 1);
}

TEST_F(ConfigTest, ScanlinesForceScaleOff) {
    write("-scale on -scanlines on\n");
    do_config(path.c_str());
    EXPECT_EQ(scale, 0);
    EXPECT_EQ(scanlines, 1);
}

TEST_F(ConfigTest, ValuesAndOddWords) {
    // Unknown words are skipped, later options win, a value that is itself an
    // option word is also read as that option, and an option with no value
    // at the very end changes nothing.
    write("junk -skip 2 more junk -SKIP 4 -romdir -blur on -winx 17 -winsize");
    do_config(path.c_str());
    EXPECT_EQ(skip, 4);
    EXPECT_STREQ(rom_dir, "-blur");
    EXPECT_EQ(blur, 1);
    EXPECT_EQ(winx, 17);
    EXPECT_EQ(winsize, 0);
}

TEST_F(ConfigTest, LastWordWithoutLineEndIsTaken) {
    write("-blur on");
    do_config(path.c_str());
    EXPECT_EQ(blur, 1);
}

TEST_F(ConfigTest, ManyWordsAndLongWords) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "-winx " + std::to_string(i) + "\n";
    text += "-dipdir " + std::string(1000, 'd') + "\n-winy 5\n";
    write(text);
    std::vector<std::string> tokens;
    ASSERT_EQ(parse_file(path.c_str(), tokens), 1);
    EXPECT_EQ(tokens.size(), 204u);
    EXPECT_EQ(tokens[201].size(), config_word_size);
    do_config(path.c_str());
    EXPECT_EQ(winx, 99);
    EXPECT_EQ(winy, 5);
    EXPECT_EQ(std::string(dip_dir), std::string(option_path_size - 1, 'd'));
    EXPECT_EQ(parse_file((dir + "/none").c_str(), tokens), 0);
    EXPECT_TRUE(tokens.empty());
}

TEST_F(ConfigTest, BinaryGarbageIsHarmless) {
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += (char)((i * 7919) & 0xFF);
    write(junk + " -skip 2");
    do_config(path.c_str());
    EXPECT_EQ(skip, 2);
}

TEST_F(ConfigTest, WrittenFileReadsBack) {
    blur = 1;
    scanlines = 1;
    scale = 0;
    vsync = 1;
    throttle = 0;
    skip = 3;
    sound_enabled = 0;
    sound_rate = 11025;
    winsize = 2;
    videomem = 1;
    winx = -40;
    winy = 300;
    joy1 = 0;
    joy1_a = 5;
    joy1_b = 6;
    joy1_c = 7;
    joy2 = 0;
    joy2_a = 8;
    joy2_b = 9;
    joy2_c = 31;
    std::snprintf(rom_dir, option_path_size, "/games/roms");
    std::snprintf(zip_dir, option_path_size, "zips");
    std::snprintf(dip_dir, option_path_size, "/var/dip");
    std::snprintf(snap_dir, option_path_size, "shots");
    ASSERT_EQ(save_config(path.c_str()), 1);
    std::string text = read();
    EXPECT_EQ(text.rfind("-scale off\n-vsync on\n-throttle off\n-skip 3\n-sound off\n", 0), 0u);
    EXPECT_NE(text.find("-romdir /games/roms\n"), std::string::npos);
    EXPECT_NE(text.find("-scanlines on\n"), std::string::npos);

    set_option_defaults();
    do_config(path.c_str());
    EXPECT_EQ(blur, 1);
    EXPECT_EQ(scanlines, 1);
    EXPECT_EQ(vsync, 1);
    EXPECT_EQ(throttle, 0);
    EXPECT_EQ(skip, 3);
    EXPECT_EQ(sound_enabled, 0);
    EXPECT_EQ(sound_rate, 11025);
    EXPECT_EQ(winsize, 2);
    EXPECT_EQ(videomem, 1);
    EXPECT_EQ(winx, -40);
    EXPECT_EQ(winy, 300);
    EXPECT_EQ(joy1_a, 5);
    EXPECT_EQ(joy1_c, 7);
    EXPECT_EQ(joy2_a, 8);
    EXPECT_EQ(joy2_c, 31);
    EXPECT_STREQ(rom_dir, "/games/roms");
    EXPECT_STREQ(zip_dir, "zips");
    EXPECT_STREQ(dip_dir, "/var/dip");
    EXPECT_STREQ(snap_dir, "shots");
}

TEST_F(ConfigTest, DirectoriesWithBlanksAreQuoted) {
    write("-romdir \"./my roms\" -zipdir \"say \\\"hi\\\" \\\\ there\" -skip 2\n");
    do_config(path.c_str());
    EXPECT_STREQ(rom_dir, "./my roms");
    EXPECT_STREQ(zip_dir, "say \"hi\" \\ there");
    EXPECT_EQ(skip, 2);

    std::snprintf(dip_dir, option_path_size, "%s", "");
    std::snprintf(snap_dir, option_path_size, "%s", "a\\b");  // plain: the backslash stays as it is
    ASSERT_EQ(save_config(path.c_str()), 1);
    EXPECT_NE(read().find("-romdir \"./my roms\"\n"), std::string::npos) << read();
    set_option_defaults();
    do_config(path.c_str());
    EXPECT_STREQ(rom_dir, "./my roms");
    EXPECT_STREQ(zip_dir, "say \"hi\" \\ there");
    EXPECT_STREQ(dip_dir, "");
    EXPECT_STREQ(snap_dir, "a\\b");

    // A quote left open ends at the line end, and the next line reads as ever.
    write("-romdir \"./my roms \n-skip 3\n");
    testing::internal::CaptureStderr();
    do_config(path.c_str());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("closing quote"), std::string::npos);
    EXPECT_STREQ(rom_dir, "./my roms ");
    EXPECT_EQ(skip, 3);
}

TEST_F(ConfigTest, FailedWriteKeepsTheOldFileAndSaysSo) {
    write("-skip 4\n");
    set_safe_file_fault(safe_file_fault::write);  // a full disk
    skip = 2;
    const int boxes = box_count;
    testing::internal::CaptureStderr();
    EXPECT_EQ(save_config(path.c_str()), 0);
    set_safe_file_fault(safe_file_fault::none);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(path), std::string::npos) << said;
    EXPECT_NE(said.find("No space left on device"), std::string::npos) << said;
    EXPECT_EQ(box_count, boxes + 1);
    EXPECT_NE(std::string(last_box_text).find(path), std::string::npos);
    EXPECT_EQ(read(), "-skip 4\n");
    EXPECT_EQ(save_config((dir + "/no/such/dir/vortan.cfg").c_str()), 0);
}

TEST_F(ConfigTest, JoystickAskedForIsKeptWhenNoneIsAttached) {
    joypad_count = 0;
    write("-joy1 2 -joy2 1\n");
    do_config(path.c_str());
    EXPECT_EQ(joy1, 0);  // used: no such device
    EXPECT_EQ(joy2, 0);
    ASSERT_EQ(save_config(path.c_str()), 1);
    EXPECT_NE(read().find("-joy1 2\n"), std::string::npos) << read();
    EXPECT_NE(read().find("-joy2 1\n"), std::string::npos) << read();
    // A value changed during the run is the one saved.
    joy1 = 1;
    ASSERT_EQ(save_config(path.c_str()), 1);
    EXPECT_NE(read().find("-joy1 1\n"), std::string::npos) << read();
}

TEST_F(ConfigTest, SavingKeepsTheFilesPermissionsAndLinks) {
    // A private file stays private.
    write("-skip 4\n");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    ASSERT_EQ(save_config(path.c_str()), 1);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // A read-only file is left as it is, with a word on stderr.
    write("-skip 4\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(save_config(path.c_str()), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("read-only"), std::string::npos);
    EXPECT_EQ(read(), "-skip 4\n");
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);

    // A link is kept and its target, in another folder, rewritten.
    ASSERT_EQ(mkdir((dir + "/real").c_str(), 0700), 0);
    const std::string link = dir + "/linked.cfg";
    ASSERT_EQ(symlink("real/target.cfg", link.c_str()), 0);  // not there yet
    skip = 3;
    ASSERT_EQ(save_config(link.c_str()), 1);
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    std::ifstream target(dir + "/real/target.cfg");
    std::string first;
    std::getline(target, first);
    EXPECT_EQ(first, "-scale off");
    skip = 2;
    ASSERT_EQ(save_config(link.c_str()), 1);
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    set_option_defaults();
    do_config(link.c_str());
    EXPECT_EQ(skip, 2);
}

TEST_F(ConfigTest, OnlyTheSoundRatesOfferedAreTaken) {
    for (int rate : {11025, 22050, 44100, 48000}) {
        write("-sndrate " + std::to_string(rate) + "\n");
        do_config(path.c_str());
        EXPECT_EQ(sound_rate, rate);
    }
    for (const char* rate : {"2147483647", "0", "-44100", "59", "32000"}) {
        write(std::string("-sndrate ") + rate + "\n");
        testing::internal::CaptureStderr();
        do_config(path.c_str());
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(sound_rate, 44100) << rate;
        EXPECT_NE(said.find(rate), std::string::npos) << said;
        EXPECT_NE(said.find("48000"), std::string::npos) << said;
    }
}

// Runs fn in a child process; true when it ended by itself within the time.
bool ends_within(int seconds, void (*fn)(const char*), const char* arg) {
    pid_t pid = fork();
    if (pid == 0) {
        fn(arg);
        _exit(0);
    }
    int status = 0;
    for (int i = 0; i < seconds * 20; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status);
        usleep(50 * 1000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return false;
}

TEST_F(ConfigTest, OnlyARegularFileIsRead) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    // Reading must not wait for a writer: checked in a child that can be stopped.
    ASSERT_TRUE(ends_within(10, [](const char* p) { do_config(p); }, path.c_str()));
    testing::internal::CaptureStderr();
    std::vector<std::string> tokens;
    EXPECT_EQ(parse_file(path.c_str(), tokens), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(path + ": not a regular file"),
              std::string::npos);
    // Nor is a regular file replaced over a FIFO by the save.
    EXPECT_EQ(save_config(path.c_str()), 0);
    struct stat st;
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(ConfigTest, OptionWordsForTheCommandLine) {
    EXPECT_TRUE(is_option_word("-sndrate"));
    EXPECT_TRUE(is_option_word("-JOY2_C"));
    EXPECT_FALSE(is_option_word("-frames"));
    EXPECT_FALSE(is_option_word("sound"));
    EXPECT_EQ(apply_option("-nothing", "1"), 0);
    EXPECT_EQ(apply_option("-sndrate", "22050"), 1);
    EXPECT_EQ(sound_rate, 22050);
}

}  // namespace

namespace {

TEST(RecentGames, NewestFirstOnceEachTenAtMostAndUnknownNamesLeftOut) {
    recent_games[0] = 0;
    for (const char* name : {"columns", "puyopuyo", "columns"}) remember_recent_game(name);
    EXPECT_STREQ(recent_games, "columns,puyopuyo");
    for (int i = 0; const game_info* g = core_game(i); ++i) remember_recent_game(g->short_name);
    EXPECT_EQ(recent_game_names().size(), size_t(recent_games_kept));
    EXPECT_EQ(recent_game_names().front(), core_game(core_game_count)->short_name);
    // A file edited by hand: the names the program knows are kept.
    std::snprintf(recent_games, sizeof recent_games, "nosuch,tantr,,tantr,COLUMNS");
    const std::vector<std::string> names = recent_game_names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "tantr");
    recent_games[0] = 0;
}

}  // namespace
