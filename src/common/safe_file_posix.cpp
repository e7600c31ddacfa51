#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/safe_file_platform.h"

namespace safe_file_platform {

namespace {

std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// ".<name>~<pid>." begins every temporary file of name: the process id tells
// a leftover of a dead run from the file another running copy is writing.
// The name is shortened so that the whole stays within a file name's length.
std::string temporary_prefix(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return "." + name.substr(0, 200) + "~";
}

}  // namespace

bool resolve(const std::string& path, std::string& target, std::string& why) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        char link[PATH_MAX];
        const ssize_t n = readlink(target.c_str(), link, sizeof link);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof link)) break;
        std::string next(link, static_cast<size_t>(n));
        // A relative link is relative to the folder the link is in.
        const size_t slash = target.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next = target.substr(0, slash + 1) + next;
        target = next;
    }
    errno = ELOOP;
    why = std::strerror(errno);
    return false;
}

bool inspect(const std::string& target, old_file& old, std::string& why) {
    old = {};
    struct stat st;
    if (lstat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        why = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        why = "a folder, not a file";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        why = "not a regular file";
        return false;
    }
    old.exists = true;
    old.writable = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    old.mode = st.st_mode & 07777;
    return true;
}

void sweep_leftovers(const std::string& target) {
    const std::string folder = folder_of(target);
    const std::string prefix = temporary_prefix(target);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
        char* end = nullptr;
        const long pid = std::strtol(name + prefix.size(), &end, 10);
        if (pid <= 0 || *end != '.' || std::strlen(end + 1) != 6) continue;
        if (pid == getpid() || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        const std::string leftover = folder + "/" + name;
        struct stat st;
        if (lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(leftover.c_str());
    }
    closedir(dir);
}

std::FILE* create_temporary(const std::string& target, const old_file& old, std::string& temporary) {
    std::string name = folder_of(target) + "/" + temporary_prefix(target) + std::to_string(getpid()) + ".XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return nullptr;
    mode_t mode = static_cast<mode_t>(old.mode);
    if (!old.exists) {
        // A new file gets what the user's umask gives any new file.
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    std::FILE* f = fchmod(fd, mode) == 0 ? fdopen(fd, "wb") : nullptr;
    if (!f) {
        const int error = errno;
        close(fd);
        unlink(name.c_str());
        errno = error;
        return nullptr;
    }
    temporary = name;
    return f;
}

bool sync(std::FILE* f) { return fsync(fileno(f)) == 0; }

bool replace(const std::string& temporary, const std::string& target) {
    if (rename(temporary.c_str(), target.c_str()) != 0) return false;
    // The new name is on the disk only once its folder is.
    const int dir = open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

void remove_file(const std::string& path) { unlink(path.c_str()); }

void break_writes(std::FILE* f) {
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0) return;
    dup2(full, fileno(f));
    close(full);
}

void die() {
    raise(SIGKILL);
    _exit(137);
}

}  // namespace safe_file_platform
#endif
