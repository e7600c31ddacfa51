// Windows has its own: regular_file_windows.cpp.
#ifndef _WIN32
#include "machine/regular_file.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

// Without O_NONBLOCK, opening a FIFO waits for a writer (or reader) that
// may never come; the flag is cleared once the file is known to be plain.
std::FILE* open_checked(const char* file_name, bool for_writing, const char** why) {
    const int flags = (for_writing ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    int fd = open(file_name, flags, 0666);
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
        // A file to be written is emptied only now that it is known to be one.
        if (now == -1 || fcntl(fd, F_SETFL, now & ~O_NONBLOCK) == -1 ||
            (for_writing && ftruncate(fd, 0) != 0)) {
            error = errno;
            *why = std::strerror(error);
        }
    }
    std::FILE* f = error ? nullptr : fdopen(fd, for_writing ? "wb" : "rb");
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

}  // namespace

std::FILE* open_regular_file(const char* file_name, const char** why) {
    return open_checked(file_name, false, why);
}

std::FILE* open_regular_file_for_writing(const char* file_name, const char** why) {
    return open_checked(file_name, true, why);
}
#endif
