// The real client: Debian's RetroArch runs our core under a private X server
// with a configuration of its own, and its screenshot is checked.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "../cartridge/e2e_support.h"
#include "narrow_game.h"

namespace {

// A private X server, its display the first free one, told back through a
// pipe. The window tests take the same lock: servers started with -displayfd
// at once can answer on one display, so only one runs at a time.
class x_server {
public:
    bool start() {
        lock = open("/tmp/vortan-test-xserver.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock < 0 || flock(lock, LOCK_EX) != 0) return false;
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   "-noreset", (char*)nullptr);
            _exit(127);
        }
        close(fds[1]);
        // The server writes the number and its newline apart; a pipe closed
        // after the first write would kill it with SIGPIPE on the second.
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return false;
        display = ":" + number;
        return true;
    }
    ~x_server() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (lock >= 0) close(lock);
    }
    std::string display;

private:
    int lock = -1;
    pid_t pid = -1;
};

bool installed(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// RetroArch's screenshot is the scaled viewport: each picture pixel is read
// at the middle of the block it covers (nearest filtering keeps it exact).
picture unscaled(const picture& shot, int width, int height) {
    picture p;
    p.width = width;
    p.height = height;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            rgb c = shot.at(int((x + 0.5) * shot.width / width), int((y + 0.5) * shot.height / height));
            p.pixels.insert(p.pixels.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
        }
    return p;
}

class RetroArch : public testing::Test {
protected:
    void SetUp() override {
        if (!installed("retroarch")) GTEST_SKIP() << "RetroArch is not installed (scripts/setup installs it)";
        ASSERT_TRUE(x.start()) << "Xvfb did not start";
        for (const char* folder : {"saves", "states", "system"}) mkdir(dir.file(folder).c_str(), 0755);
        // Nothing of the user's own RetroArch set-up is read or written.
        dir.file("retroarch.cfg",
                 "gamemode_enable = \"false\"\n"
                 "video_driver = \"gl\"\n"
                 "video_context_driver = \"x\"\n"
                 "input_driver = \"x\"\n"
                 "video_smooth = \"false\"\n"
                 "video_font_enable = \"false\"\n"
                 "video_fullscreen = \"false\"\n"
                 "audio_driver = \"null\"\n"
                 "menu_driver = \"rgui\"\n"
                 "pause_nonactive = \"false\"\n"
                 "config_save_on_exit = \"false\"\n"
                 "libretro_info_path = \"" VORTAN_BUILD_DIR "\"\n"
                 "savefile_directory = \"" + dir.path + "/saves\"\n"
                 "savestate_directory = \"" + dir.path + "/states\"\n"
                 "system_directory = \"" + dir.path + "/system\"\n");
        // RetroArch aborts without a session bus; this one starts no services
        // (the game-mode daemon among them) on its clients' behalf.
        dir.file("session-bus.conf",
                 "<busconfig>\n"
                 "  <type>session</type>\n"
                 "  <listen>unix:tmpdir=" + dir.path + "</listen>\n"
                 "  <policy context=\"default\"><allow send_destination=\"*\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>\n"
                 "</busconfig>\n");
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
