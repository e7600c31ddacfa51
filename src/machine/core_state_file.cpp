// Saved states as files: written whole to a temporary file and renamed over
// the old one, read only from a regular file of a sane size.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "machine/core.h"

namespace {

// Far above any state of this board; a bigger file is not one of ours.
constexpr off_t largest_state = 16 * 1024 * 1024;

std::string system_reason() { return std::strerror(errno); }

}  // namespace

int core_save_state_file(const char* path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!core_save_state(bytes)) {
        error = std::string(path) + ": no game is running";
        return 0;
    }
    const std::string temporary = std::string(path) + ".tmp";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) {
        error = temporary + ": " + system_reason();
        return 0;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool flushed = std::fflush(f) == 0 && fsync(fileno(f)) == 0;
    const bool closed = std::fclose(f) == 0;
    if (!written || !flushed || !closed) {
        error = temporary + ": " + system_reason();
        std::remove(temporary.c_str());
        return 0;
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        error = std::string(path) + ": " + system_reason();
        std::remove(temporary.c_str());
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
    if (info.st_size > largest_state) {
        close(fd);
        error = std::string(path) + ": too large to be a saved state";
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
