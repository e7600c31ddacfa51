// Netplay as players make it: two RetroArch processes on this machine, each
// with its own HOME, configuration and X server, on loopback. The core is
// installed by scripts/install-libretro and loaded by name, so RetroArch
// reads from its .info that it may play it over the network.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "retroarch_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const rgb white = {15 * 255 * 2 / 31, 15 * 255 * 2 / 31, 15 * 255 * 2 / 31};

// Ports for this run, apart from another run's on the same machine.
int base_port() { return 20000 + int(getpid() % 10000) * 4; }

// One RetroArch: its folder is its HOME, its commands come over UDP.
class player {
    scratch_dir dir;  // first: the folder below is made in it

public:
    player(const std::string& name, const std::string& display, int command_port)
        : folder(dir.file(name)), display(display), port(command_port) {
        for (const char* sub : {"", "/saves", "/states", "/system", "/shots", "/cores", "/info"})
            fs::create_directories(folder + sub);
        dir.file(name + "/retroarch.cfg",
                 retroarch_config(folder, {},
                                  "libretro_directory = \"" + folder + "/cores\"\n"
                                  "libretro_info_path = \"" + folder + "/info\"\n"
                                  "screenshot_directory = \"" + folder + "/shots\"\n"
                                  "auto_screenshot_filename = \"true\"\n"
                                  "network_cmd_enable = \"true\"\n"
                                  "network_cmd_port = \"" + std::to_string(port) + "\"\n"
                                  "netplay_ip_port = \"" + std::to_string(base_port()) + "\"\n"
                                  "netplay_check_frames = \"10\"\n"
                                  "netplay_public_announce = \"false\"\n"
                                  "netplay_nat_traversal = \"false\"\n"));
        dir.file(name + "/session-bus.conf", session_bus_config(folder));
    }
    ~player() { stop(); }

    // As a player does: the core into the folders the configuration names.
    bool install() {
        const std::string command = "HOME='" + folder + "' '" VORTAN_SOURCE_DIR "/scripts/install-libretro' --build '" +
                                    VORTAN_BUILD_DIR "' --config '" + folder + "/retroarch.cfg' > '" + folder +
                                    "/install.log' 2>&1";
        return std::system(command.c_str()) == 0 && fs::exists(folder + "/cores/vortan_libretro.so") &&
               fs::exists(folder + "/info/vortan_libretro.info");
    }

    // The demo, by the core's name, in a process group of its own; at most a minute.
    void start(const std::string& netplay_args) {
        pid = fork();
        if (pid == 0) {
            setpgid(0, 0);
            const std::string command = "cd '" + folder + "' && HOME='" + folder + "' DISPLAY=" + display +
                                        " exec timeout 60 dbus-run-session --config-file=session-bus.conf --"
                                        " retroarch --verbose --config retroarch.cfg -L vortan " + netplay_args +
                                        " > retroarch.log 2>&1";
            execl("/bin/sh", "sh", "-c", command.c_str(), (char*)nullptr);
            _exit(127);
        }
    }
    void stop() {
        if (pid <= 0) return;
        kill(-pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    std::string log() const { return read_file(folder + "/retroarch.log"); }
    bool wait_for(const std::string& text, std::chrono::seconds limit) const {
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(100ms))
            if (log().find(text) != std::string::npos) return true;
        return false;
    }

    // A network command and its answer ("" for none within two seconds).
    std::string command(const std::string& text) const {
        const int s = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(uint16_t(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval wait = {2, 0};
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        sendto(s, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        char answer[512];
        const ssize_t n = recv(s, answer, sizeof answer - 1, 0);
        close(s);
        return n > 0 ? std::string(answer, size_t(n)) : std::string();
    }

    // Holds a key of its window's keyboard (the local pad) from now on.
    bool hold(const char* key) const {
        const std::string x = "DISPLAY=" + display + " xdotool";
        const std::string command = x + " search --sync --name RetroArch windowfocus --sync && " + x + " keydown " + key;
        return std::system(command.c_str()) == 0;
    }
    void release(const char* key) const { std::system(("DISPLAY=" + display + " xdotool keyup " + key).c_str()); }

    // A screenshot taken now, read once RetroArch has written it whole.
    bool shot(picture& out) const {
        const fs::path shots = folder + "/shots";
        fs::remove_all(shots);
        fs::create_directories(shots);
        command("SCREENSHOT");
        uintmax_t size = 0;
        for (int i = 0; i < 50; i++) {
            std::this_thread::sleep_for(100ms);
            for (const auto& f : fs::directory_iterator(shots)) {
                const uintmax_t now = fs::file_size(f.path());
                if (now > 0 && now == size) return read_png(f.path().string(), out);
                size = now;
            }
        }
        return false;
    }
    // The demo's bar of port and DIP bytes, as shown now. A client's screenshot
    // soon after its join may be torn (RetroArch's, taken while it catches up):
    // a few more are taken then.
    std::string bar() const {
        std::string text = "no screenshot";
        for (int i = 0; i < 4 && text.substr(0, 2) != "P1"; i++) {
            picture p;
            if (shot(p)) text = read_text(unscaled(p, 320, 224), 1, 26, 29, white);
        }
        return text;
    }
    // Two pictures a short while apart differ: the machine runs on.
    bool moving() const {
        picture first, second;
        if (!shot(first)) return false;
        std::this_thread::sleep_for(500ms);
        return shot(second) && second.pixels != first.pixels;
    }

private:
    std::string folder, display;
    int port;
    pid_t pid = -1;
};

bool desynced(const std::string& log) {
    return log.find("CRCs mismatch") != std::string::npos || log.find("desync") != std::string::npos;
}

TEST(Netplay, ClientsJoinAndStayInStepAlsoAfterAnEarlierClientLeftFromItsMenu) {
    if (!installed("retroarch") || !installed("xdotool")) GTEST_SKIP() << "RetroArch or xdotool is not installed";
    x_server host_x, client_x;
    ASSERT_TRUE(host_x.start() && client_x.start()) << "Xvfb did not start";
    const int port = base_port();
    player host("host", host_x.display, port + 1);
    auto first = std::make_unique<player>("first", client_x.display, port + 2);
    ASSERT_TRUE(host.install());
    ASSERT_TRUE(first->install());

    host.start("--host --port=" + std::to_string(port));
    ASSERT_TRUE(host.wait_for("You have joined as player 1", 20s)) << host.log();
    first->start("--connect=127.0.0.1 --port=" + std::to_string(port));
    ASSERT_TRUE(first->wait_for("You have joined as player 2", 20s)) << first->log();
    ASSERT_TRUE(host.wait_for("has joined as player 2", 10s)) << host.log();

    // Work RAM by the 68000's addresses and in its byte order: the demo's
    // player at y 100, x 152 as its start-up code copied them there, then
    // the self-test's scratch words, the same at the mirror and on both sides.
    const std::string ram = host.command("READ_CORE_MEMORY ff0000 16");
    EXPECT_EQ(ram.substr(0, 35), "READ_CORE_MEMORY ff0000 00 64 00 98") << ram;
    EXPECT_EQ(ram.size(), std::string("READ_CORE_MEMORY ff0000\n").size() + 16 * 3) << ram;
    EXPECT_EQ(first->command("READ_CORE_MEMORY ff0000 16"), ram);
    std::string mirror = ram;
    mirror.replace(17, 6, "fe0000");
    EXPECT_EQ(host.command("READ_CORE_MEMORY fe0000 16"), mirror);

    // Each side holds its own pad; both show both pads.
    ASSERT_TRUE(host.hold("Right"));
    ASSERT_TRUE(first->hold("Left"));
    std::this_thread::sleep_for(1500ms);
    const std::string bar = host.bar();
    EXPECT_EQ(bar.substr(0, 2), "P1");
    EXPECT_NE(bar.substr(0, 11), "P1 FF P2 FF") << "the held keys did not reach the machine";
    EXPECT_NE(bar.substr(3, 2), "FF");
    EXPECT_NE(bar.substr(9, 2), "FF");
    EXPECT_EQ(first->bar(), bar);
    // The map's bytes agree on both sides: the reset vectors, then work RAM's stack top.
    EXPECT_EQ(host.command("READ_CORE_MEMORY 0 8"), "READ_CORE_MEMORY 0 00 FF FF 00 00 00 04 00\n");
    EXPECT_EQ(first->command("READ_CORE_MEMORY fffefc 4"), host.command("READ_CORE_MEMORY fffefc 4"));

    // The first client opens its menu and leaves; a later one joins and plays.
    first->release("Left");
    first->command("MENU_TOGGLE");
    std::this_thread::sleep_for(1s);
    const std::string first_log = first->log();
    first.reset();
    ASSERT_TRUE(host.wait_for("has disconnected", 10s)) << host.log();
    player later("later", client_x.display, port + 3);
    ASSERT_TRUE(later.install());
    later.start("--connect=127.0.0.1 --port=" + std::to_string(port));
    ASSERT_TRUE(later.wait_for("You have joined as player 2", 20s)) << later.log();
    ASSERT_TRUE(later.hold("Left"));
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(later.moving()) << "the later client's picture froze";
    EXPECT_EQ(later.bar(), host.bar());
    host.release("Right");
    later.release("Left");

    host.stop();
    later.stop();
    EXPECT_FALSE(desynced(host.log())) << host.log();
    EXPECT_FALSE(desynced(first_log)) << first_log;
    EXPECT_FALSE(desynced(later.log())) << later.log();
}

}  // namespace
