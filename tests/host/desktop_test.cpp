// The program on a desktop as a player meets it: its own X server with a
// window manager, driven by xdotool, its window read back from the screen.
// The game is the tiny one whose picture is all red.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include "program_support.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t red = 0xFF0000;

struct box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int width() const { return right < left ? 0 : right - left + 1; }
    int height() const { return bottom < top ? 0 : bottom - top + 1; }
};

box find_colour(const screen_picture& s, uint32_t colour) {
    box b;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.at(x, y) == colour) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

// Polls until the condition holds, up to the time given.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v Xvfb openbox xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "Xvfb, openbox or xdotool is missing (scripts/setup installs them)";
        char pattern[] = "/tmp/vortan_desk_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_TRUE(write_red_game(dir));
        // A player's folder of old: the settings and games all in it.
        std::ofstream(dir + "/vortan.cfg");
        ASSERT_TRUE(x.start(true, screen_size())) << "Xvfb or openbox did not start";
    }
    virtual std::string screen_size() const { return "1024x768x24"; }
    void TearDown() override {
        if (program > 0) stop();
        if (!dir.empty()) std::system(("rm -rf '" + dir + "'").c_str());
    }

    // Starts the program in the test's folder and waits for its window.
    void start(const std::vector<std::string>& args, bool has_window = true) {
        program = fork();
        if (program == 0) {
            if (chdir(dir.c_str()) != 0) _exit(126);
            setenv("DISPLAY", x.display.c_str(), 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            setenv("HOME", (dir + "/home").c_str(), 1);
            unsetenv("XDG_CONFIG_HOME");
            unsetenv("XDG_DATA_HOME");
            int out = open("out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<const char*> argv = {"vortan"};
            for (const std::string& a : args) argv.push_back(a.c_str());
            argv.push_back(nullptr);
            execv(VORTAN_BINARY, const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        ASSERT_GT(program, 0);
        if (!has_window) return;
        // Asked again until found: a search that meets the last run's window
        // while it is destroyed ends with an X error and no answer.
        eventually([&] {
            window = x.output("xdotool search --onlyvisible --name '^Vortan' 2>/dev/null");
            return !window.empty();
        }, 20s);
        ASSERT_FALSE(window.empty()) << "no window appeared";
    }
    // Asks the program to quit as the close box does; its exit status.
    int stop() {
        kill(program, SIGTERM);
        int status = 0;
        bool ended = eventually([&] { return waitpid(program, &status, WNOHANG) == program; }, 20s);
        if (!ended) {
            kill(program, SIGKILL);
            waitpid(program, &status, 0);
        }
        program = -1;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void xdo(const std::string& command) { ASSERT_EQ(x.run("xdotool " + command), 0) << command; }
    // A click at a point of the window, as a player's: press, then release.
    void click(int px, int py) {
        xdo("mousemove --window " + window + " " + std::to_string(px) + " " + std::to_string(py));
        std::this_thread::sleep_for(100ms);
        xdo("click 1");
        std::this_thread::sleep_for(200ms);
    }
    void double_click(int px, int py) {
        xdo("mousemove --window " + window + " " + std::to_string(px) + " " + std::to_string(py));
        std::this_thread::sleep_for(100ms);
        xdo("click --repeat 2 --delay 80 1");
        std::this_thread::sleep_for(200ms);
    }
    void key(const std::string& name) {
        xdo("windowactivate --sync " + window + " key " + name);
        std::this_thread::sleep_for(200ms);
    }
    std::string title() { return x.output("xdotool getwindowname " + window); }
    // With VORTAN_SCREENSHOTS naming a folder, the screen as it is now
    // goes there as <name>.png, for a person to look at.
    void keep_screen(const std::string& name) {
        if (const char* to = std::getenv("VORTAN_SCREENSHOTS")) {
            EXPECT_TRUE(write_png(std::string(to) + "/" + name + ".png", x.screen())) << to;
        }
    }
    box picture() { return find_colour(x.screen(), red); }
    bool picture_shown() { return picture().width() > 0; }
    std::string file(const char* name) { return read_file(dir + "/" + name); }
    bool exists(const char* name) { return access((dir + "/" + name).c_str(), F_OK) == 0; }
    int count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    XServer x;
    std::string dir, window;
    pid_t program = -1;
};

TEST_F(Desktop, GameListOpensOnAClickAndAFailedLoadKeepsTheGame) {
    start({"-winsize", "1", "columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); })) << "the red picture never showed";
    EXPECT_EQ(title(), "Vortan - Columns (Japan)");
    const int loads = count(file("out.txt"), "Loading file");
    EXPECT_EQ(loads, 2);

    // Main, then "Load game...": the list opens as a dialog over the
    // picture, and the release that chose the item picks nothing from it.
    click(20, 8);
    click(30, 30);
    ASSERT_TRUE(eventually([&] { return picture().width() < 100; }, 5s)) << "no game list over the picture";
    EXPECT_EQ(count(file("out.txt"), "Loading file"), loads) << "nothing was loaded";
    EXPECT_EQ(title(), "Vortan - Columns (Japan)");

    // Borench, whose files are missing, picked by typing: the report names
    // the game, each file with its size and the places looked in; Columns
    // runs on.
    xdo("type --delay 60 borench");
    key("Return");
    ASSERT_TRUE(eventually([&] { return file("err.txt").find("could not be loaded") != std::string::npos; }))
        << file("err.txt");
    const std::string report = file("err.txt");
    EXPECT_NE(report.find("Borench (borench) could not be loaded"), std::string::npos) << report;
    EXPECT_NE(report.find("ic32.bin is missing (262144 bytes)"), std::string::npos) << report;
    EXPECT_NE(report.find("ic4.bin is missing (131072 bytes)"), std::string::npos) << report;
    EXPECT_NE(report.find("./roms/borench/"), std::string::npos) << report;
    EXPECT_NE(report.find("./ziproms/borench.zip"), std::string::npos) << report;
    EXPECT_EQ(title(), "Vortan - Columns (Japan)");

    // Escape closes the report: the whole red picture is back.
    key("Escape");
    EXPECT_TRUE(eventually([&] { return picture().width() == 320 && picture().height() == 224; }, 5s));
    EXPECT_EQ(stop(), 0);
}

TEST_F(Desktop, RestartKeepsTheWindowWhereItWas) {
    // A place given on the command line is for that run; the file's is kept.
    std::ofstream(dir + "/vortan.cfg") << "-winx 100 -winy 80\n";
    start({"-winx", "300", "columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); }));
    ASSERT_EQ(stop(), 0);
    start({"columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); }));
    const box first = picture();
    ASSERT_EQ(stop(), 0);
    std::string cfg = file("vortan.cfg");
    EXPECT_NE(cfg.find("-winx 100\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-winy 80\n"), std::string::npos) << cfg;

    // The second start takes the position from the file.
    start({"columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); }));
    EXPECT_TRUE(eventually([&] { return picture().left == first.left && picture().top == first.top; }, 3s))
        << "moved from " << first.left << "," << first.top << " to " << picture().left << ","
        << picture().top;
    ASSERT_EQ(stop(), 0);
    cfg = file("vortan.cfg");
    EXPECT_NE(cfg.find("-winx 100\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-winy 80\n"), std::string::npos) << cfg;
}

TEST_F(Desktop, ResizingKeepsThePictureInShape) {
    start({"-winsize", "1", "columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); }));
    EXPECT_EQ(picture().width(), 320);
    EXPECT_EQ(picture().height(), 224);
    // Room for twice the picture and some: it grows to exactly twice, centred.
    xdo("windowsize " + window + " 700 520");
    ASSERT_TRUE(eventually([&] { return picture().width() == 640; }, 5s)) << picture().width();
    const box b = picture();
    EXPECT_EQ(b.height(), 448);
    // The menu bar spans the window: the picture is in the middle of it.
    const screen_picture screen = x.screen();
    box bar;
    for (int y = b.top - 40; y < b.top - 30; ++y)
        for (int px = 0; px < screen.width; ++px)
            if (screen.at(px, y) == 0xDBDBDB) {
                bar.left = std::min(bar.left, px);
                bar.right = std::max(bar.right, px);
            }
    EXPECT_NEAR(bar.width(), 700, 6) << "the bar, less its rounded ends";
    EXPECT_GT(b.left - bar.left, 20);
    EXPECT_NEAR(b.left - bar.left, bar.right - b.right, 1);
    EXPECT_EQ(stop(), 0);
}

TEST_F(Desktop, ScreenshotKeyWritesNumberedPictures) {
    start({"columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); }));
    key("F9");
    ASSERT_TRUE(eventually([&] { return exists("snap/columns-0001.png"); }, 5s)) << file("err.txt");
    key("F9");
    EXPECT_TRUE(eventually([&] { return exists("snap/columns-0002.png"); }, 5s));
    EXPECT_EQ(stop(), 0);
    png_picture png;
    ASSERT_TRUE(read_png(dir + "/snap/columns-0001.png", png));
    ASSERT_EQ(png.width, 320u);
    ASSERT_EQ(png.height, 224u);
    const uint8_t* p = &png.rows[100 * (320 * 3 + 1) + 1 + 160 * 3];
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 0);
}

TEST_F(Desktop, DipSwitchWindowSavesEveryChange) {
    start({"-winsize", "2", "columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); }));
    click(80, 8);    // Machine
    click(80, 140);  // DIP switches...
    click(78, 115);  // bank 1, switch 1
    ASSERT_TRUE(eventually([&] { return exists("dip/columns.dip"); }, 5s)) << file("err.txt");
    // Switch 1 is bit 0, and its tick pulls the bit low.
    EXPECT_EQ(file("dip/columns.dip"), std::string("\xfe\xff", 2));
    EXPECT_EQ(stop(), 0);
    EXPECT_EQ(file("dip/columns.dip"), std::string("\xfe\xff", 2));
}

// A run of set frames has no one at the window: it ends by itself, and
// what it has to say goes to stderr rather than into a dialog that would
// hold the game.
TEST_F(Desktop, RunsOfSetFramesEndByThemselves) {
    auto ends = [&](const std::vector<std::string>& args) {
        start(args, false);
        int status = 0;
        if (!eventually([&] { return waitpid(program, &status, WNOHANG) == program; }, 20s)) {
            ADD_FAILURE() << "still running";
            return stop();
        }
        program = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(ends({"-frames", "10"}), 1);
    EXPECT_NE(file("err.txt").find("-frames needs a game"), std::string::npos) << file("err.txt");
    EXPECT_EQ(ends({"-frames", "10", "-latency", "5", "columns"}), 0);
    EXPECT_NE(file("err.txt").find("-latency 5 refused"), std::string::npos) << file("err.txt");
}

// White pixels, as text on the picture, within a part of the screen.
int white_in(const screen_picture& s, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int px = left; px < right; ++px) n += s.at(px, y) == 0xFFFFFF;
    return n;
}

TEST_F(Desktop, GameListFromTheKeyboardThenRewind) {
    start({"-winsize", "2"});
    click(20, 8);  // Main
    click(30, 30); // Load game...
    std::this_thread::sleep_for(300ms);
    // Typing filters; Down moves within what is left; Enter loads.
    xdo("type --delay 60 colu");
    key("Down");
    key("Up");
    key("Return");
    ASSERT_TRUE(eventually([&] { return title() == "Vortan - Columns (Japan)"; })) << title();
    ASSERT_TRUE(eventually([&] { return picture().width() == 640; }));
    std::this_thread::sleep_for(1500ms);
    // Backspace held runs it backwards: the mark at the top, and no word
    // that there is nothing to rewind to at the bottom.
    xdo("windowactivate --sync " + window + " keydown BackSpace");
    std::this_thread::sleep_for(500ms);
    const screen_picture s = x.screen();
    xdo("keyup BackSpace");
    const box b = picture();
    EXPECT_GT(white_in(s, b.left, b.top, b.left + 200, b.top + 60), 30) << "the rewind mark";
    EXPECT_EQ(white_in(s, b.left, b.top + 380, b.right, b.bottom), 0) << "\"Nothing older to rewind to\"";
    EXPECT_EQ(stop(), 0);
    EXPECT_NE(file("vortan.cfg").find("-recent columns\n"), std::string::npos) << file("vortan.cfg");
}

TEST_F(Desktop, FullScreenKeepsTheMenuAndEscapeLeavesIt) {
    start({"-winsize", "1", "columns"});
    ASSERT_TRUE(eventually([&] { return picture().width() == 320; }));
    xdo("windowactivate --sync " + window + " key alt+Return");
    // The whole screen, the picture at the largest whole size.
    ASSERT_TRUE(eventually([&] { return picture().width() == 960; }, 5s)) << picture().width();
    EXPECT_EQ(picture().height(), 672);
    const auto bar_shown = [&] {
        const screen_picture s = x.screen();
        int grey = 0;
        for (int px = 0; px < 300; ++px) grey += s.at(px, 6) == 0xDBDBDB;
        return grey > 200;
    };
    EXPECT_FALSE(bar_shown());
    xdo("mousemove 40 2");
    ASSERT_TRUE(eventually(bar_shown, 5s)) << "the pointer at the top shows the menu bar";
    xdo("click 1");  // Main opens
    std::this_thread::sleep_for(300ms);
    keep_screen("full-screen-menu");
    key("Escape");   // closes the menu, still on the full screen
    EXPECT_EQ(picture().width(), 960);
    xdo("mousemove 400 400");
    key("Escape");   // no menu open: leaves the full screen
    EXPECT_TRUE(eventually([&] { return picture().width() == 320; }, 5s)) << picture().width();
    EXPECT_EQ(stop(), 0);
}

// Frames run, as the record of the controls counts them: between two taps
// of key 1 the same wall-clock time apart, with and without the
// fast-forward key held.
TEST_F(Desktop, FastForwardHeldRunsMoreFramesInTheSameTime) {
    start({"-winsize", "1", "-sound", "off", "-record", "taps.txt", "columns"});
    ASSERT_TRUE(eventually([&] { return picture_shown(); }));
    auto tap = [&] {
        xdo("keydown 1");
        std::this_thread::sleep_for(100ms);
        xdo("keyup 1");
    };
    xdo("windowactivate --sync " + window);
    tap();
    std::this_thread::sleep_for(2s);
    tap();
    xdo("keydown grave");
    std::this_thread::sleep_for(300ms);
    tap();
    std::this_thread::sleep_for(2s);
    tap();
    xdo("keyup grave");
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(stop(), 0);
    // Each tap is a line holding key1, then one holding nothing.
    std::vector<long> pressed;
    std::istringstream lines(file("taps.txt"));
    for (std::string line; std::getline(lines, line);)
        if (line.find(" key1") != std::string::npos) pressed.push_back(std::stol(line));
    ASSERT_EQ(pressed.size(), 4u) << file("taps.txt");
    const long normal = pressed[1] - pressed[0], fast = pressed[3] - pressed[2];
    EXPECT_GT(normal, 60) << "two seconds at 60 frames a second";
    EXPECT_LT(normal, 180);
    EXPECT_GT(fast, normal * 3 / 2) << file("taps.txt");
}

// A click on a row selects it and Load starts it; a double click on a row
// starts it at once.
TEST_F(Desktop, GameListRowsPickedWithThePointer) {
    start({"-winsize", "2"});
    click(20, 8);   // Main
    click(30, 30);  // Load game...
    std::this_thread::sleep_for(500ms);
    xdo("mousemove --window " + window + " 200 180");  // over Borench, grey: its files are missing
    std::this_thread::sleep_for(800ms);
    keep_screen("game-list");
    click(200, 91);  // the demo's row: selected, nothing loaded yet
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(count(file("out.txt"), "Loading"), 0) << file("out.txt");
    click(46, 439);  // Load
    ASSERT_TRUE(eventually([&] { return title() == "Vortan - Vortan demo cartridge"; })) << title();

    click(20, 8);
    click(30, 30);
    std::this_thread::sleep_for(500ms);
    double_click(200, 265);  // Columns (Japan)
    ASSERT_TRUE(eventually([&] { return title() == "Vortan - Columns (Japan)"; })) << title();
    EXPECT_TRUE(eventually([&] { return picture().width() == 640; }));
    EXPECT_EQ(stop(), 0);
}

class BigScreen : public Desktop {
    std::string screen_size() const override { return "1280x1024x24"; }
};

TEST_F(BigScreen, TheFirstWindowTakesTheLargestWholeSizeThatFits) {
    start({"columns"});
    ASSERT_TRUE(eventually([&] { return picture().width() == 960; })) << picture().width();
    EXPECT_EQ(picture().height(), 672);
    EXPECT_EQ(stop(), 0);
    EXPECT_NE(file("vortan.cfg").find("-winsize 3\n"), std::string::npos) << file("vortan.cfg");
}

TEST(NoDisplay, TheProgramSaysItCannotOpenAWindow) {
    char pattern[] = "/tmp/vortan_nodisplay_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string cmd = "cd '" + dir + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 '" VORTAN_BINARY
                            "' demo 2>&1 >/dev/null";
    std::string said;
    int rc = -1;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, p)) said += buffer;
        rc = pclose(p);
    }
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 1) << said;
    EXPECT_NE(said.find("cannot open a window"), std::string::npos) << said;
    EXPECT_NE(said.find("not available"), std::string::npos) << "SDL's reason: " << said;
    EXPECT_EQ(access((dir + "/vortan.cfg").c_str(), F_OK), -1) << "no settings written";
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
