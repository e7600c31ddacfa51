// The real client: Debian's RetroArch runs our core under a private X server
// with a configuration of its own, and its screenshot is checked.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "narrow_game.h"
#include "retroarch_support.h"

namespace {

class RetroArch : public testing::Test {
protected:
    void SetUp() override {
        if (!installed("retroarch")) GTEST_SKIP() << "RetroArch is not installed (scripts/setup installs it)";
        ASSERT_TRUE(x.start()) << "Xvfb did not start";
        for (const char* folder : {"saves", "states", "system"}) mkdir(dir.file(folder).c_str(), 0755);
        // Nothing of the user's own RetroArch set-up is read or written.
        dir.file("retroarch.cfg", retroarch_config(dir.path, VORTAN_BUILD_DIR));
        dir.file("session-bus.conf", session_bus_config(dir.path));
    }
    // Runs RetroArch for `frames` frames with the content (none: the demo);
    // true when it ended well and left its screenshot.
    bool run(int frames, const std::string& content = {}) {
        const std::string command = "cd '" + dir.path + "' && HOME='" + dir.path + "' DISPLAY=" + x.display +
                                    " timeout 120 dbus-run-session --config-file=session-bus.conf -- retroarch --verbose --config retroarch.cfg"
                                    " -L '" VORTAN_LIBRETRO "' --max-frames=" + std::to_string(frames) +
                                    " --max-frames-ss --max-frames-ss-path=shot.png " +
                                    (content.empty() ? "" : "'" + content + "'") + " > retroarch.log 2>&1";
        const int status = std::system(command.c_str());
        log = read_file(dir.file("retroarch.log"));
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 && read_png(dir.file("shot.png"), shot);
    }
    x_server x;
    scratch_dir dir;
    std::string log;
    picture shot;
};

TEST_F(RetroArch, StartCoreShowsTheDemosTitle) {
    ASSERT_TRUE(run(300)) << log;
    EXPECT_NE(log.find("[Vortan] Vortan demo cartridge running"), std::string::npos) << log;
    // 4:3 on screen, as the core asks.
    EXPECT_NEAR(double(shot.width) / shot.height, 4.0 / 3.0, 0.02) << shot.width << "x" << shot.height;
    const picture p = unscaled(shot, 320, 224);
    auto colour = [](int r, int g, int b) { return rgb{r * 255 * 2 / 31, g * 255 * 2 / 31, b * 255 * 2 / 31}; };
    EXPECT_EQ(read_text(p, 9, 2, 21, colour(15, 14, 0)), "VORTAN DEMO CARTRIDGE");
    EXPECT_EQ(read_text(p, 12, 4, 16, colour(15, 15, 15)), "0123456789ABCDEF");
    EXPECT_EQ(read_text(p, 1, 26, 29, colour(15, 15, 15)), "P1 FF P2 FF SY FF D0 FF D1 FF");
}

// The archive reaches the core unopened, so its name names the game.
TEST_F(RetroArch, GameZipReachesTheCoreByItsName) {
    ASSERT_TRUE(write_zip(dir.file("columns.zip"), narrow_game()));
    ASSERT_TRUE(run(60, dir.file("columns.zip"))) << log;
    EXPECT_NE(log.find("[Vortan] Columns (Japan) running"), std::string::npos) << log;
    // One colour over the whole picture: the game's backdrop.
    const picture p = unscaled(shot, 256, 224);
    int other = 0;
    for (int y = 0; y < 224; y++)
        for (int x = 0; x < 256; x++) other += !near(p.at(x, y), p.at(0, 0), 0);
    EXPECT_EQ(other, 0);
}

TEST_F(RetroArch, BadArchiveIsRefusedWithTheLoadersLines) {
    dir.file("columns.zip", "not an archive");
    EXPECT_FALSE(run(30, dir.file("columns.zip")));
    EXPECT_NE(log.find("Error loading file `epr13112.32' from archive"), std::string::npos) << log;
}

}  // namespace
