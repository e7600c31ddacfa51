// Debian's RetroArch under private X servers, for the tests that run our
// core in it: the servers, RetroArch's own configuration, its screenshots.
#pragma once
#include <sys/types.h>

#include <string>

#include "../cartridge/e2e_support.h"

// A private X server, its display the first free one, told back through a
// pipe. The window tests take the same lock: servers started with -displayfd
// at once can answer on one display, so only one test holding servers runs
// at a time (a test may start several).
class x_server {
public:
    bool start();
    ~x_server();
    std::string display;

private:
    pid_t pid = -1;
};

bool installed(const char* program);
std::string read_file(const std::string& path);

// RetroArch's screenshot is the scaled viewport: each picture pixel is read
// at the middle of the block it covers (nearest filtering keeps it exact).
picture unscaled(const picture& shot, int width, int height);

// A configuration that reads and writes nothing of the user's own RetroArch
// set-up: folders under `dir', no sound, our core's info from `info_dir'
// (empty: none given), and `extra' lines after.
std::string retroarch_config(const std::string& dir, const std::string& info_dir, const std::string& extra = {});
// RetroArch aborts without a session bus; this one starts no services (the
// game-mode daemon among them) on its clients' behalf.
std::string session_bus_config(const std::string& dir);
