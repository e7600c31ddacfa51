// Saved states as files: written through safe_file, so a failed save keeps
// the old state; read only from a regular file of a sane size.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/input_limits.h"
#include "common/safe_file.h"
#include "machine/core.h"

namespace {

std::string system_reason() { return std::strerror(errno); }

}  // namespace

int core_save_state_file(const char* path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!core_save_state(bytes)) {
        error = std::string(path) + ": no game is running";
        return 0;
    }
    std::string why;
    if (!write_whole_file(path, bytes.data(), bytes.size(), why)) {
        error = std::string(path) + ": " + why;
        return 0;
    }
    return 1;
}

int core_load_state_file(const char* path, std::string& error) {
    // Opened without blocking, so a FIFO in its place cannot hang the program.
    const int fd = open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        error = std::string(path) + ": " + system_reason();
        return 0;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        error = std::string(path) + ": not a regular file";
        return 0;
    }
    if (!within_limit(info.st_size, state_file_limit)) {
        close(fd);
        error = input_too_large(path, state_file_limit);
        return 0;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (got != bytes.size()) {
        error = std::string(path) + ": read error";
        return 0;
    }
    std::string reason;
    if (!core_load_state(bytes.data(), bytes.size(), reason)) {
        error = std::string(path) + ": " + reason;
        return 0;
    }
    return 1;
}
