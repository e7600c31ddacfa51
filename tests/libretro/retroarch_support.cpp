#include "retroarch_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// Held while any server of this process runs.
int lock_fd = -1;
int servers = 0;

bool take_lock() {
    if (servers++ > 0) return true;
    lock_fd = open("/tmp/vortan-test-xserver.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    return lock_fd >= 0 && flock(lock_fd, LOCK_EX) == 0;
}

void drop_lock() {
    if (--servers == 0 && lock_fd >= 0) {
        close(lock_fd);
        lock_fd = -1;
    }
}

}  // namespace

bool x_server::start() {
    if (!take_lock()) return false;
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

x_server::~x_server() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    drop_lock();
}

bool installed(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

std::string retroarch_config(const std::string& dir, const std::string& info_dir, const std::string& extra) {
    return "gamemode_enable = \"false\"\n"
           "video_driver = \"gl\"\n"
           "video_context_driver = \"x\"\n"
           "input_driver = \"x\"\n"
           "video_smooth = \"false\"\n"
           "video_font_enable = \"false\"\n"
           "menu_enable_widgets = \"false\"\n"
           "video_fullscreen = \"false\"\n"
           "audio_driver = \"null\"\n"
           "menu_driver = \"rgui\"\n"
           "pause_nonactive = \"false\"\n"
           "config_save_on_exit = \"false\"\n" +
           (info_dir.empty() ? "" : "libretro_info_path = \"" + info_dir + "\"\n") +
           "savefile_directory = \"" + dir + "/saves\"\n"
           "savestate_directory = \"" + dir + "/states\"\n"
           "system_directory = \"" + dir + "/system\"\n" + extra;
}

std::string session_bus_config(const std::string& dir) {
    return "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:tmpdir=" + dir + "</listen>\n"
           "  <policy context=\"default\"><allow send_destination=\"*\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>\n"
           "</busconfig>\n";
}
