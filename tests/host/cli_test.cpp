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
#include "host/automation.h"

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

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

uint32_t be32(const std::string& d, size_t at) {
    return (uint32_t)(uint8_t)d[at] << 24 | (uint32_t)(uint8_t)d[at + 1] << 16 |
           (uint32_t)(uint8_t)d[at + 2] << 8 | (uint8_t)d[at + 3];
}
uint32_t le32(const std::string& d, size_t at) {
    return (uint8_t)d[at] | (uint32_t)(uint8_t)d[at + 1] << 8 | (uint32_t)(uint8_t)d[at + 2] << 16 |
           (uint32_t)(uint8_t)d[at + 3] << 24;
}

struct png_picture {
    uint32_t width = 0, height = 0;
    int depth = 0, colour = 0;
    std::vector<uint8_t> rows;  // filter byte, then RGB, per row
};

int read_png(const std::string& path, png_picture& out) {
    std::string d = read_file(path);
    if (d.size() < 33 || d.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return 0;
    std::string idat;
    for (size_t at = 8; at + 12 <= d.size();) {
        uint32_t n = be32(d, at);
        std::string type = d.substr(at + 4, 4);
        if (at + 12 + n > d.size()) return 0;
        if (type == "IHDR") {
            out.width = be32(d, at + 8);
            out.height = be32(d, at + 12);
            out.depth = (uint8_t)d[at + 16];
            out.colour = (uint8_t)d[at + 17];
        } else if (type == "IDAT") {
            idat += d.substr(at + 8, n);
        }
        at += 12 + n;
    }
    out.rows.assign((size_t)out.height * (out.width * 3 + 1), 0);
    uLongf size = out.rows.size();
    if (uncompress(out.rows.data(), &size, (const Bytef*)idat.data(), idat.size()) != Z_OK ||
        size != out.rows.size() || out.depth != 8 || out.colour != 2)
        return 0;
    // Undo the row filters, in place: each row's filter byte is set to 0.
    const size_t stride = out.width * 3 + 1;
    for (uint32_t y = 0; y < out.height; ++y) {
        uint8_t* row = &out.rows[y * stride];
        const uint8_t* up = y ? &out.rows[(y - 1) * stride] : nullptr;
        for (size_t i = 1; i < stride; ++i) {
            int a = i > 3 ? row[i - 3] : 0, b = up ? up[i] : 0, c = (up && i > 3) ? up[i - 3] : 0;
            int pred = 0;
            switch (row[0]) {
                case 0: pred = 0; break;
                case 1: pred = a; break;
                case 2: pred = b; break;
                case 3: pred = (a + b) / 2; break;
                case 4: {
                    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default: return 0;
            }
            row[i] = (uint8_t)(row[i] + pred);
        }
        row[0] = 0;
    }
    return 1;
}

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vortan_run_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        write_tiny_game();
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    // A game's loose ROM files: sets palette colour 0 to full red, shows
    // the 320-pixel mode with that background, and loops.
    void write_tiny_game() {
        std::vector<uint8_t> rom(0x40000, 0);
        const uint8_t vectors[] = {0x00, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x02, 0x00};
        std::memcpy(rom.data(), vectors, sizeof vectors);
        const uint8_t code[] = {
            0x33, 0xFC, 0x10, 0x0F, 0x00, 0x8C, 0x00, 0x00,  // move.w #$100F,$8C0000
            0x33, 0xFC, 0x81, 0x44, 0x00, 0xC0, 0x00, 0x04,  // display on
            0x33, 0xFC, 0x8C, 0x81, 0x00, 0xC0, 0x00, 0x04,  // 320 pixels wide
            0x33, 0xFC, 0x87, 0x00, 0x00, 0xC0, 0x00, 0x04,  // background colour 0
            0x60, 0xFE,                                      // bra.s *
        };
        std::memcpy(rom.data() + 0x200, code, sizeof code);
        std::string game = dir + "/roms/columns";
        ASSERT_EQ(std::system(("mkdir -p '" + game + "'").c_str()), 0);
        std::string even, odd;
        for (size_t i = 0; i < rom.size(); i += 2) {
            even += (char)rom[i];
            odd += (char)rom[i + 1];
        }
        std::ofstream(game + "/epr13112.32", std::ios::binary) << even;
        std::ofstream(game + "/epr13111.31", std::ios::binary) << odd;
    }

    // Runs the program in the test's folder; returns its exit status.
    int run(const std::string& args, const std::string& env = "", int seconds = 120) {
        std::string cmd = "cd '" + dir + "' && " + env + " timeout " + std::to_string(seconds) +
                          " '" VORTAN_BINARY "' " + args + " >out.txt 2>err.txt";
        int rc = std::system(cmd.c_str());
        out = read_file(dir + "/out.txt");
        err = read_file(dir + "/err.txt");
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

// A private X server for the real window; its display number is the first
// free one, told back through a pipe. Servers started with -displayfd take no
// lock file, so two started at once by parallel tests can end up answering on
// the same display, and a client of one dies when the other is stopped: one
// such server at a time, held by a lock across processes. -noreset keeps the
// server as it is between the test's successive clients.
class XServer {
public:
    int start() {
        lock = open("/tmp/vortan-test-xserver.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock < 0 || flock(lock, LOCK_EX) != 0) return 0;
        int fds[2];
        if (pipe(fds) != 0) return 0;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", "-noreset", (char*)nullptr);
            _exit(127);
        }
        close(fds[1]);
        char buffer[32] = {};
        ssize_t n = read(fds[0], buffer, sizeof buffer - 1);
        close(fds[0]);
        if (n <= 0) return 0;
        display = ":" + std::string(buffer, std::strcspn(buffer, "\n"));
        return 1;
    }
    ~XServer() {
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

TEST_F(Program, RealWindowRunsFramesAndKeepsTheSettings) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
    XServer x;
    ASSERT_TRUE(x.start()) << "Xvfb did not start";
    std::string env = "DISPLAY=" + x.display + " SDL_AUDIODRIVER=dummy";
    EXPECT_EQ(run("-frames 120 -winsize 2 columns", env), 0) << err;
    // A windowed run writes the configuration at exit, with the command line's value.
    std::string cfg = read_file(path("vortan.cfg"));
    EXPECT_NE(cfg.find("-winsize 2\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-romdir ./roms\n"), std::string::npos) << cfg;
    // The cartridge built into the program runs the same way.
    EXPECT_EQ(run("-frames 120 demo", env), 0) << err;
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
    std::string cfg = read_file(path("vortan.cfg"));
    EXPECT_NE(cfg.find("-winx 12\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-skip 3\n"), std::string::npos) << cfg;
}

}  // namespace
