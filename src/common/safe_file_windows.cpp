// Windows: paths are UTF-8 in the program and UTF-16 for the system. There
// are no links to follow and no FIFOs; a temporary file left by a killed run
// stays until the user removes it.
#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/safe_file_platform.h"

namespace safe_file_platform {

namespace {

std::wstring wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

}  // namespace

bool resolve(const std::string& path, std::string& target, std::string&) {
    target = path;
    return true;
}

bool inspect(const std::string& target, old_file& old, std::string& why) {
    old = {};
    struct _stat64 st;
    if (_wstat64(wide(target).c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        why = std::strerror(errno);
        return false;
    }
    if (st.st_mode & _S_IFDIR) {
        errno = EISDIR;
        why = "a folder, not a file";
        return false;
    }
    if (!(st.st_mode & _S_IFREG)) {
        errno = EINVAL;
        why = "not a regular file";
        return false;
    }
    old.exists = true;
    old.writable = (st.st_mode & _S_IWRITE) != 0;
    old.mode = st.st_mode & (_S_IREAD | _S_IWRITE);
    return true;
}

void sweep_leftovers(const std::string&) {}

std::FILE* create_temporary(const std::string& target, const old_file&, std::string& temporary) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::string name = target + ".~" + std::to_string(_getpid()) + "." + std::to_string(attempt);
        const int fd = _wopen(wide(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                              _S_IREAD | _S_IWRITE);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* f = _fdopen(fd, "wb");
        if (!f) {
            const int error = errno;
            _close(fd);
            _wremove(wide(name).c_str());
            errno = error;
            return nullptr;
        }
        temporary = name;
        return f;
    }
    errno = EEXIST;
    return nullptr;
}

bool sync(std::FILE* f) {
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    if (h == INVALID_HANDLE_VALUE || !FlushFileBuffers(h)) {
        errno = EIO;
        return false;
    }
    return true;
}

bool replace(const std::string& temporary, const std::string& target) {
    if (MoveFileExW(wide(temporary).c_str(), wide(target).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}

void remove_file(const std::string& path) { _wremove(wide(path).c_str()); }

void break_writes(std::FILE* f) {
    const int none = _open("NUL", _O_RDONLY);
    if (none < 0) return;
    _dup2(none, _fileno(f));
    _close(none);
}

void die() { TerminateProcess(GetCurrentProcess(), 137); std::abort(); }

}  // namespace safe_file_platform
#endif
