#include "common/safe_file.h"

#include <cerrno>
#include <cstring>

#include "common/safe_file_platform.h"

namespace platform = safe_file_platform;

namespace {

safe_file_fault fault = safe_file_fault::none;

// The reason for errno as the user reads it, errno left as it was.
std::string reason(int error) { return std::strerror(error); }

// A step that the test seam makes fail, with the error that step would give.
bool faulted(safe_file_fault step, int error) {
    if (fault != step) return false;
    errno = error;
    return true;
}

}  // namespace

void set_safe_file_fault(safe_file_fault f) { fault = f; }

safe_file::~safe_file() { abandon(); }

bool safe_file::open(const char* path, std::string& why) {
    abandon();
    read_only = false;
    if (!path || !*path) {
        errno = ENOENT;
        why = reason(errno);
        return false;
    }
    if (!platform::resolve(path, target, why)) return false;
    platform::old_file old;
    if (!platform::inspect(target, old, why)) return false;
    if (old.exists && !old.writable) {
        // Made read-only by its owner: not ours to replace.
        read_only = true;
        errno = EACCES;
        why = "the file is read-only";
        return false;
    }
    platform::sweep_leftovers(target);
    if (faulted(safe_file_fault::create, EACCES)) {
        why = reason(errno);
        return false;
    }
    file = platform::create_temporary(target, old, temporary);
    if (!file) {
        why = reason(errno);
        return false;
    }
    if (fault == safe_file_fault::write) platform::break_writes(file);
    return true;
}

bool safe_file::commit(std::string& why) {
    if (!file) {
        errno = EBADF;
        why = "nothing to write";
        return false;
    }
    // Buffered bytes that fail to reach the file show up at the flush.
    errno = 0;
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    int error = ok ? 0 : (errno ? errno : EIO);
    if (ok && (faulted(safe_file_fault::sync, EIO) || !platform::sync(file))) {
        ok = false;
        error = errno;
    }
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (ok && !closed) {
        ok = false;
        error = errno;
    }
    if (ok && fault == safe_file_fault::kill_before_replace) platform::die();
    if (ok && (faulted(safe_file_fault::replace, EIO) || !platform::replace(temporary, target))) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        platform::remove_file(temporary);
        temporary.clear();
        why = reason(error);
        errno = error;
        return false;
    }
    temporary.clear();
    return true;
}

void safe_file::abandon() {
    if (file) std::fclose(file);
    file = nullptr;
    if (!temporary.empty()) platform::remove_file(temporary);
    temporary.clear();
}

bool write_whole_file(const char* path, const void* data, size_t size, std::string& why) {
    safe_file out;
    if (!out.open(path, why)) return false;
    if (size > 0 && std::fwrite(data, 1, size, out.stream()) != size) {
        const int error = errno ? errno : EIO;
        out.abandon();
        why = reason(error);
        errno = error;
        return false;
    }
    return out.commit(why);
}
