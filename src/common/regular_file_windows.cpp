// Windows has no FIFOs to fear, but a folder and the device names (CON,
// NUL, COM1, ... in any folder) open like files: only a file on a disk is
// taken.
#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <cwctype>

#include "common/regular_file.h"
#include "common/utf8_file.h"

namespace {

int errno_of(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

// CON, NUL, COM1, ... name a device whatever the folder or extension, and
// opening some of them (a console, a port) could wait or write elsewhere.
bool is_device_name(const std::wstring& name) {
    size_t start = name.find_last_of(L"/\\:");
    start = start == std::wstring::npos ? 0 : start + 1;
    std::wstring stem = name.substr(start, name.find(L'.', start) - start);
    while (!stem.empty() && (stem.back() == L' ')) stem.pop_back();
    for (wchar_t& c : stem) c = static_cast<wchar_t>(towupper(c));
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

std::FILE* fail(int error, const char* reason, const char** why) {
    *why = reason ? reason : std::strerror(error);
    errno = error;
    return nullptr;
}

}  // namespace

std::FILE* open_regular_file(const char* file_name, const char** why) {
    const std::wstring name = utf8_to_wide(file_name);
    if (name.empty()) return fail(ENOENT, nullptr, why);
    if (is_device_name(name)) return fail(EINVAL, "not a regular file", why);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return fail(EISDIR, "a directory", why);
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail(errno_of(GetLastError()), nullptr, why);
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return fail(EINVAL, "not a regular file", why);
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return fail(EIO, nullptr, why);
    }
    std::FILE* f = _fdopen(fd, "rb");
    if (!f) {
        _close(fd);
        return fail(EIO, nullptr, why);
    }
    return f;
}

int64_t regular_file_size(std::FILE* f) {
    struct _stat64 st;
    return _fstat64(_fileno(f), &st) == 0 ? int64_t{st.st_size} : -1;
}
#endif
