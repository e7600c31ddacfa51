// The command line in-process, then the program itself run end to end on a
// tiny game written by the test: headless options, exit statuses, and a real
// window under a private X server.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <zlib.h>
#include "host/app/automation.h"
#include "program_support.h"

namespace {

int parse(std::vector<const char*> args, command_line& cli, std::string& error) {
    args.insert(args.begin(), "vortan");
    return parse_command_line((int)args.size(), args.data(), cli, error);
}

TEST(CommandLine, GameAndOptions) {
    command_line cli;
    std::string error;
    ASSERT_TRUE(parse({"-sound", "off", "-ROMDIR", "/r", "Columns"}, cli, error)) << error;
    EXPECT_EQ(cli.game, "Columns");
    ASSERT_EQ(cli.options.size(), 2u);
    EXPECT_EQ(cli.options[0].first, "-sound");
    EXPECT_EQ(cli.options[0].second, "off");
    EXPECT_EQ(cli.options[1].second, "/r");
    EXPECT_EQ(cli.frames, -1);
    EXPECT_EQ(cli.headless, 0);

    ASSERT_TRUE(parse({}, cli, error));
    EXPECT_EQ(cli.game, "");
    ASSERT_TRUE(parse({"columns "}, cli, error));
    EXPECT_EQ(cli.game, "columns ");  // kept whole: matches no game

    ASSERT_TRUE(parse({"-headless", "-frames", "0", "-snapshot", "a.png", "-wavwrite", "a.wav",
                       "-playback", "p.txt", "-record", "r.txt", "demo"},
                      cli, error));
    EXPECT_EQ(cli.headless, 1);
    EXPECT_EQ(cli.frames, 0);
    EXPECT_EQ(cli.snapshot, "a.png");
    EXPECT_EQ(cli.wavwrite, "a.wav");
    EXPECT_EQ(cli.playback, "p.txt");
    EXPECT_EQ(cli.record, "r.txt");

    ASSERT_TRUE(parse({"-bench", "100", "demo"}, cli, error));
    EXPECT_EQ(cli.bench, 100);
    EXPECT_EQ(cli.headless, 1);  // a benchmark is always headless

    ASSERT_TRUE(parse({"--help"}, cli, error));
    EXPECT_EQ(cli.help, 1);
}

TEST(CommandLine, UsageErrors) {
    std::vector<std::vector<const char*>> bad = {
        {"-nosuch", "columns"},
        {"columns", "-sound"},
        {"-frames"},
        {"-frames", "ten", "columns"},
        {"-frames", "-5", "columns"},
        {"-bench", "0", "columns"},
        {"-headless"},
        {"-bench", "10"},
        {"columns", "puyopuyo"},
        {"-snapshot", "", "columns"},
        {"-playback", "x", "-record", "x", "columns"},
    };
    const std::string long_dir(300, 'r');
    bad.push_back({"-romdir", long_dir.c_str(), "columns"});
    for (const auto& args : bad) {
        command_line cli;
        std::string error;
        EXPECT_FALSE(parse(args, cli, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(CommandLine, SoundRateIsOneOfThoseOffered) {
    command_line cli;
    std::string error;
    for (const char* rate : {"11025", "22050", "44100", "48000"})
        EXPECT_TRUE(parse({"-sndrate", rate, "columns"}, cli, error)) << rate;
    for (const char* rate : {"2147483647", "0", "59", "-1", "32000", "x"}) {
        EXPECT_FALSE(parse({"-SNDRATE", rate, "columns"}, cli, error)) << rate;
        EXPECT_NE(error.find(rate), std::string::npos) << error;
        EXPECT_NE(error.find("11025, 22050, 44100 or 48000"), std::string::npos) << error;
    }
}

TEST(BenchLine, Format) {
    EXPECT_EQ(bench_line(600, 2.0), "frames 600, seconds 2.000, fps 300.0, speed 5.00x");
    EXPECT_EQ(bench_line(0, 0.0), "frames 0, seconds 0.000, fps 0.0, speed 0.00x");
}

TEST(Snapshot, PixelConversion) {
    uint8_t rgb[3];
    pixel_to_rgb(0xFFFF, 0, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 255);
    pixel_to_rgb(0xF800, 0, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[2], 0);
    pixel_to_rgb(0x07E0, 0, rgb);
    EXPECT_EQ(rgb[1], 255);
    pixel_to_rgb(0x7C00, 1, rgb);  // 5-5-5 red
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    pixel_to_rgb(0x0010, 0, rgb);  // half blue
    EXPECT_EQ(rgb[2], 132);
}

// ---- the program itself ----

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vortan_run_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_TRUE(write_red_game(dir));
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    // Runs the program in the test's folder, portable (every file there,
    // the per-user folders pointed into it too); returns its exit status.
    int run(const std::string& args, const std::string& env = "", int seconds = 120) {
        return run_as(" -portable " + args, env, seconds);
    }
    int run_as(const std::string& args, const std::string& env = "", int seconds = 120, const std::string& where = "") {
        std::string cmd = "cd '" + dir + where + "' && HOME='" + dir + "/home' XDG_CONFIG_HOME= XDG_DATA_HOME= " + env +
                          " timeout " + std::to_string(seconds) + " '" VORTAN_BINARY "' " + args +
                          " >out.txt 2>err.txt";
        int rc = std::system(cmd.c_str());
        out = read_file(dir + where + "/out.txt");
        err = read_file(dir + where + "/err.txt");
        std::remove((dir + where + "/out.txt").c_str());
        std::remove((dir + where + "/err.txt").c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    bool exists(const char* name) const { return access(path(name).c_str(), F_OK) == 0; }

    std::string dir, out, err;
};

TEST_F(Program, HelpAndUsageErrors) {
    EXPECT_EQ(run("--help"), 0);
    EXPECT_NE(out.find("usage: vortan"), std::string::npos);
    EXPECT_NE(out.find("-bench"), std::string::npos);
    EXPECT_EQ(run("-nosuch columns"), 2);
    EXPECT_NE(err.find("-nosuch"), std::string::npos);
    EXPECT_EQ(run("-headless -frames 1 columns -skip"), 2);
    EXPECT_EQ(run("-headless"), 2);
    EXPECT_FALSE(exists("vortan.cfg"));
}

TEST_F(Program, GameThatCannotLoadEndsWithStatusOne) {
    EXPECT_EQ(run("-headless -frames 5 nosuchgame"), 1);
    EXPECT_NE(err.find("Error loading driver"), std::string::npos);
    EXPECT_EQ(run("-headless -frames 5 \"columns \""), 1);
    EXPECT_EQ(run("-bench 5 -romdir ./elsewhere columns"), 1);
    EXPECT_EQ(out.find("frames"), std::string::npos);
}

TEST_F(Program, HeadlessRunOfAGameThatCannotLoadEnds) {
    EXPECT_EQ(run("-headless nosuchgame", "", 20), 1);
    EXPECT_NE(err.find("Error loading driver"), std::string::npos) << err;
}

TEST_F(Program, NoOutputIsWrittenOverTheScriptOrAnotherOutput) {
    const std::string script = "0 key1\n";
    std::ofstream(path("s.txt")) << script;
    ASSERT_EQ(mkdir(path("sub").c_str(), 0700), 0);
    EXPECT_EQ(run("-headless -frames 2 -playback s.txt -record ./s.txt columns"), 2);
    EXPECT_NE(err.find("same file"), std::string::npos) << err;
    EXPECT_EQ(read_file(path("s.txt")), script);

    // Other spellings of one file: through a folder, a link, a second name,
    // and two outputs that do not exist yet.
    ASSERT_EQ(symlink("s.txt", path("link.txt").c_str()), 0);
    ASSERT_EQ(link(path("s.txt").c_str(), path("hard.txt").c_str()), 0);
    const std::vector<std::vector<std::string>> same = {
        {"-playback", path("s.txt"), "-record", dir + "/sub/../s.txt"},
        {"-playback", path("s.txt"), "-wavwrite", path("link.txt")},
        {"-snapshot", path("hard.txt"), "-playback", path("s.txt")},
        {"-record", path("new.txt"), "-wavwrite", dir + "/./new.txt"},
    };
    for (const auto& words : same) {
        std::vector<const char*> args;
        for (const std::string& w : words) args.push_back(w.c_str());
        args.push_back("columns");
        command_line cli;
        std::string error;
        EXPECT_FALSE(parse(args, cli, error)) << words[1] << " " << words[3];
    }
    command_line cli;
    std::string error;
    const std::string a = path("s.txt"), b = path("sub/s.txt");
    EXPECT_TRUE(parse({"-playback", a.c_str(), "-record", b.c_str(), "columns"}, cli, error))
        << error;
    EXPECT_EQ(read_file(path("s.txt")), script);
}

TEST_F(Program, WavNeedsTheSoundOn) {
    EXPECT_EQ(run("-headless -frames 5 -sound off -wavwrite a.wav columns"), 2);
    EXPECT_NE(err.find("-wavwrite"), std::string::npos) << err;
    EXPECT_FALSE(exists("a.wav"));
    std::ofstream(path("vortan.cfg")) << "-sound off\n";
    EXPECT_EQ(run("-headless -frames 5 -wavwrite a.wav columns"), 2);
    EXPECT_FALSE(exists("a.wav"));
    EXPECT_EQ(run("-headless -frames 5 -sndrate 30 -wavwrite a.wav -sound on columns"), 2);
    EXPECT_FALSE(exists("a.wav"));
    // The offered rate added for the menu writes whole frames at 800 samples.
    EXPECT_EQ(run("-headless -frames 5 -sndrate 48000 -wavwrite a.wav -sound on columns"), 0)
        << err;
    std::string wav = read_file(path("a.wav"));
    ASSERT_EQ(wav.size(), 44u + 5 * 800 * 2);
    EXPECT_EQ(le32(wav, 24), 48000u);
}

TEST_F(Program, HeadlessFramesReadTheConfigurationButNeverWriteIt) {
    std::ofstream(path("vortan.cfg")) << "-sndrate 22050 -throttle on";
    EXPECT_EQ(run("-headless -frames 30 -wavwrite a.wav COLUMNS"), 0) << err;
    EXPECT_EQ(read_file(path("vortan.cfg")), "-sndrate 22050 -throttle on");
    std::string wav = read_file(path("a.wav"));
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 24), 22050u);            // the file's rate
    EXPECT_EQ(le32(wav, 40), 22050u / 2 * 2);    // half a second, to the sample
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(wav.size(), 44u + 22050 / 2 * 2);

    // The command line comes after the file.
    EXPECT_EQ(run("-headless -frames 10 -sndrate 11025 -wavwrite b.wav columns"), 0);
    EXPECT_EQ(le32(read_file(path("b.wav")), 24), 11025u);
}

TEST_F(Program, SnapshotIsThePictureAsShown) {
    ASSERT_EQ(run("-headless -frames 3 -snapshot shot.png columns"), 0) << err;
    png_picture png;
    ASSERT_TRUE(read_png(path("shot.png"), png));
    EXPECT_EQ(png.depth, 8);
    EXPECT_EQ(png.colour, 2);  // RGB
    EXPECT_EQ(png.width, 320u);
    EXPECT_EQ(png.height, 224u);
    ASSERT_EQ(png.rows.size(), 224u * (320 * 3 + 1));
    // Every pixel is the background: palette colour 0, full red.
    size_t red = 0;
    for (uint32_t y = 0; y < png.height; ++y)
        for (uint32_t x = 0; x < png.width; ++x) {
            const uint8_t* p = &png.rows[y * (320 * 3 + 1) + 1 + x * 3];
            red += p[0] == 255 && p[1] == 0 && p[2] == 0;
        }
    EXPECT_EQ(red, 320u * 224u);

    EXPECT_EQ(run("-headless -frames 0 -snapshot none.png columns"), 1);
    EXPECT_FALSE(exists("none.png"));
}

TEST_F(Program, ExitLeavesADipFileTheRunDidNotChange) {
    // A one-byte file is read with the second byte at its default; a run
    // that changed no switch leaves the file as it was.
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/dip'").c_str()), 0);
    std::ofstream(path("dip/columns.dip"), std::ios::binary) << '\x12';
    ASSERT_EQ(run("-headless -frames 2 columns"), 0) << err;
    EXPECT_EQ(read_file(path("dip/columns.dip")), std::string("\x12", 1));
}

TEST_F(Program, BenchPrintsOneLine) {
    ASSERT_EQ(run("-bench 60 columns"), 0) << err;
    // The result is the last line of standard output, after the loader's lines.
    const size_t start = out.rfind("frames ");
    ASSERT_NE(start, std::string::npos) << out;
    const std::string line = out.substr(start);
    int frames = 0;
    double seconds = 0, fps = 0, speed = 0;
    char end = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "frames %d, seconds %lf, fps %lf, speed %lfx%c", &frames, &seconds, &fps,
                          &speed, &end),
              5)
        << out;
    EXPECT_EQ(frames, 60);
    EXPECT_EQ(end, '\n');
    EXPECT_GT(seconds, 0.0);
    // Seconds are printed to the millisecond.
    EXPECT_NEAR(fps * seconds, 60.0, fps * 0.001 + 0.1);
    EXPECT_NEAR(speed, fps / 60, 0.01);
    EXPECT_FALSE(exists("vortan.cfg"));
}

TEST_F(Program, PlaybackDrivesTheInputAndRecordWritesIt) {
    std::ofstream(path("in.txt")) << "# start the game\n3 key1\n5 p1.a p2.right\n8\n";
    ASSERT_EQ(run("-headless -frames 12 -playback in.txt -record rec.txt columns"), 0) << err;
    std::string recorded = read_file(path("rec.txt"));
    EXPECT_NE(recorded.find("\n0\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("\n3 key1\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("\n5 p1.a p2.right\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("\n8\n"), std::string::npos) << recorded;

    std::ofstream(path("bad.txt")) << "0 p1.jump\n";
    EXPECT_EQ(run("-headless -frames 12 -playback bad.txt columns"), 2);
    EXPECT_NE(err.find("p1.jump"), std::string::npos);
    EXPECT_EQ(run("-headless -frames 12 -playback missing.txt columns"), 2);
    EXPECT_EQ(run("-headless -frames 1 -wavwrite nodir/a.wav columns"), 2);
}

TEST_F(Program, RealWindowRunsFramesAndKeepsOneOffOptionsOutOfTheSettings) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
    XServer x;
    ASSERT_TRUE(x.start()) << "Xvfb did not start";
    std::string env = "DISPLAY=" + x.display + " SDL_AUDIODRIVER=dummy";
    EXPECT_EQ(run("-frames 120 -winsize 2 columns", env), 0) << err;
    // A first windowed run writes the configuration at exit, but not the
    // size the command line gave for this run.
    std::string cfg = read_file(path("vortan.cfg"));
    EXPECT_NE(cfg.find("-winsize 0\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-romdir ./roms\n"), std::string::npos) << cfg;
    // A one-off size leaves the file as it was; so does a refused one.
    std::ofstream(path("vortan.cfg")) << "-winsize 2\n-skip 3\n";
    EXPECT_EQ(run("-frames 60 -winsize 3 -skip 2 columns", env), 0) << err;
    cfg = read_file(path("vortan.cfg"));
    EXPECT_NE(cfg.find("-winsize 2\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-skip 3\n"), std::string::npos) << cfg;
    EXPECT_EQ(run("-frames 60 -winsize 9 columns", env), 0) << err;
    EXPECT_NE(err.find("-winsize 9 refused"), std::string::npos) << err;
    EXPECT_NE(read_file(path("vortan.cfg")).find("-winsize 2\n"), std::string::npos);
    // The cartridge built into the program runs the same way.
    EXPECT_EQ(run("-frames 120 demo", env), 0) << err;
}

TEST_F(Program, PerUserFoldersTakeEverythingAndACurrentFolderFileKeepsItHere) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
    XServer x;
    ASSERT_TRUE(x.start()) << "Xvfb did not start";
    const std::string env = "DISPLAY=" + x.display + " SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME='" + dir +
                            "/cfg' XDG_DATA_HOME='" + dir + "/data'";
    ASSERT_EQ(mkdir(path("work").c_str(), 0700), 0);
    auto listing = [&] {
        std::string names;
        if (FILE* p = popen(("cd '" + dir + "' && find . -path ./roms -prune -o -print | sort").c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, p)) names += line;
            pclose(p);
        }
        return names;
    };
    // Per user: the settings in the configuration home, the game folders in
    // the data home, nothing in the current folder.
    EXPECT_EQ(run_as("-frames 10 demo", env, 120, "/work"), 0) << err;
    EXPECT_TRUE(exists("cfg/vortan/vortan.cfg"));
    EXPECT_TRUE(exists("data/vortan/roms"));
    EXPECT_TRUE(exists("data/vortan/ziproms"));
    EXPECT_NE(read_file(path("cfg/vortan/vortan.cfg")).find("-romdir " + dir + "/data/vortan/roms\n"),
              std::string::npos);
    const std::string before = listing();
    EXPECT_EQ(before.find("./work/"), std::string::npos) << before;
    EXPECT_EQ(before.find("./home"), std::string::npos) << before;
    // An existing player's vortan.cfg in the current folder: everything
    // stays there, the per-user folders are left alone.
    std::ofstream(path("work/vortan.cfg")) << "-skip 2\n";
    EXPECT_EQ(run_as("-frames 10 demo", env, 120, "/work"), 0) << err;
    EXPECT_NE(read_file(path("work/vortan.cfg")).find("-romdir ./roms\n"), std::string::npos);
    EXPECT_EQ(listing(), before + "./work/vortan.cfg\n") << listing();
    // --help says which mode runs and where.
    EXPECT_EQ(run_as("--help", env, 120, "/work"), 0);
    EXPECT_NE(out.find("vortan.cfg is in the current folder"), std::string::npos) << out;
    EXPECT_EQ(run_as("--help", env), 0);
    EXPECT_NE(out.find("per user"), std::string::npos) << out;
    EXPECT_NE(out.find(dir + "/data/vortan/ziproms/<game>.zip"), std::string::npos) << out;
}

TEST_F(Program, GamesByPathSuggestionsAndVersion) {
    EXPECT_EQ(run("--version"), 0);
    EXPECT_EQ(out, "vortan 1.0\n");
    EXPECT_EQ(run("-version"), 0);
    EXPECT_EQ(out, "vortan 1.0\n");
    // A folder path: the folder's name is the game, its parent is searched.
    ASSERT_EQ(std::system(("mv '" + dir + "/roms' '" + dir + "/games'").c_str()), 0);
    EXPECT_EQ(run("-headless -frames 2 games/columns/"), 0) << err;
    EXPECT_EQ(run("-headless -frames 2 " + dir + "/games/columns"), 0) << err;
    EXPECT_EQ(run("-headless -frames 2 columns"), 1) << "not in ./roms any more";
    // A zip path: the same, from the archive.
    ASSERT_TRUE(write_zip(path("columns.zip"), {path("games/columns/epr13112.32"), path("games/columns/epr13111.31")}));
    ASSERT_EQ(std::system(("rm -r '" + dir + "/games'").c_str()), 0);
    EXPECT_EQ(run("-headless -frames 2 -snapshot z.png ./columns.zip"), 0) << err;
    EXPECT_TRUE(exists("z.png"));
    EXPECT_EQ(run("-headless -frames 2 nowhere/columns.zip"), 2);
    EXPECT_NE(err.find("no file or folder"), std::string::npos) << err;
    // A typo gets the nearest names.
    EXPECT_EQ(run("-headless -frames 2 colums"), 1);
    EXPECT_NE(err.find("Did you mean columns?"), std::string::npos) << err;
    EXPECT_EQ(run("-headless -frames 2 puyopuy"), 1);
    EXPECT_NE(err.find("Did you mean puyopuyo or puyopuya or puyopuy2?"), std::string::npos) << err;
    EXPECT_EQ(run("-headless -frames 2 zzzzzzzz"), 1);
    EXPECT_EQ(err.find("Did you mean"), std::string::npos) << err;
}

}  // namespace

namespace {

TEST_F(Program, ClosingTheIdleWindowSavesTheSettings) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
    XServer x;
    ASSERT_TRUE(x.start()) << "Xvfb did not start";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("DISPLAY", x.display.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        setenv("HOME", (dir + "/home").c_str(), 1);
        std::ofstream("vortan.cfg") << "-skip 2\n";
        execl(VORTAN_BINARY, "vortan", "-winx", "12", "-skip", "3", (char*)nullptr);
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    usleep(1500 * 1000);  // no game: the loop idles on the idle picture
    // A termination request arrives as a quit event, like the close box.
    kill(pid, SIGTERM);
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i) {
        ended = waitpid(pid, &status, WNOHANG) == pid;
        if (!ended) usleep(50 * 1000);
    }
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the program did not end after the quit request";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // Written in full, with what the file held for the options given for the run.
    std::string cfg = read_file(path("vortan.cfg"));
    EXPECT_NE(cfg.find("-winx 0\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-skip 2\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-romdir ./roms\n"), std::string::npos) << cfg;
}

}  // namespace
