// Windows has its own: regular_file_windows.cpp.
#ifndef _WIN32
#include "common/regular_file.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

// Without O_NONBLOCK, opening a FIFO waits for a writer that may never come;
// the flag is cleared once the file is known to be plain.
std::FILE* open_regular_file(const char* file_name, const char** why) {
    int fd = open(file_name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = std::strerror(errno);
        return nullptr;
    }
    struct stat st;
    int error = 0;
    if (fstat(fd, &st) != 0) {
        error = errno;
        *why = std::strerror(error);
    } else if (S_ISDIR(st.st_mode)) {
        error = EISDIR;
        *why = "a directory";
    } else if (!S_ISREG(st.st_mode)) {
        error = EINVAL;
        *why = "not a regular file";
    } else {
        int now = fcntl(fd, F_GETFL);
        if (now == -1 || fcntl(fd, F_SETFL, now & ~O_NONBLOCK) == -1) {
            error = errno;
            *why = std::strerror(error);
        }
    }
    std::FILE* f = error ? nullptr : fdopen(fd, "rb");
    if (!f) {
        if (!error) {
            error = errno;
            *why = std::strerror(error);
        }
        close(fd);
        errno = error;
    }
    return f;
}

int64_t regular_file_size(std::FILE* f) {
    struct stat st;
    return fstat(fileno(f), &st) == 0 ? int64_t{st.st_size} : -1;
}
#endif
