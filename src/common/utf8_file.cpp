#include "common/utf8_file.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <direct.h>
#endif

bool is_path_separator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

size_t last_path_separator(const std::string& path) {
    for (size_t at = path.size(); at-- > 0;)
        if (is_path_separator(path[at])) return at;
    return std::string::npos;
}

#ifdef _WIN32

std::wstring utf8_to_wide(const char* text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

std::string wide_to_utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(n - 1));
    return utf8;
}

std::FILE* utf8_fopen(const char* file_name, const char* mode) {
    return _wfopen(utf8_to_wide(file_name).c_str(), utf8_to_wide(mode).c_str());
}

int utf8_mkdir(const char* folder) { return _wmkdir(utf8_to_wide(folder).c_str()); }



path_status utf8_status(const char* name) {
    path_status s;
    struct _stat64 st;
    if (_wstat64(utf8_to_wide(name).c_str(), &st) != 0) return s;
    s.type = S_ISREG(st.st_mode) ? path_type::regular : S_ISDIR(st.st_mode) ? path_type::folder : path_type::other;
    s.size = s.type == path_type::regular ? st.st_size : 0;
    return s;
}

bool utf8_name_taken(const char* name) {
    return GetFileAttributesW(utf8_to_wide(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool utf8_folder_names(const char* folder, std::vector<std::string>& names) {
    names.clear();
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((utf8_to_wide(folder) + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::string name = wide_to_utf8(found.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return true;
}

std::string utf8_file_identity(const char* name) {
    HANDLE h = CreateFileW(utf8_to_wide(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!known) return std::string();
    return std::to_string(info.dwVolumeSerialNumber) + ":" +
           std::to_string((uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

std::string utf8_full_folder_name(const char* folder) {
    if (utf8_status(folder).type != path_type::folder) return std::string();
    const std::wstring wide = utf8_to_wide(folder);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::string();
    std::wstring full(n, L'\0');
    if (GetFullPathNameW(wide.c_str(), n, full.data(), nullptr) == 0) return std::string();
    // One file has one name here whatever the letter case the user typed.
    CharLowerBuffW(full.data(), n);
    return wide_to_utf8(full.c_str());
}

#else

std::FILE* utf8_fopen(const char* file_name, const char* mode) { return std::fopen(file_name, mode); }

int utf8_mkdir(const char* folder) { return mkdir(folder, 0777); }



path_status utf8_status(const char* name) {
    path_status s;
    struct stat st;
    if (stat(name, &st) != 0) return s;
    s.type = S_ISREG(st.st_mode) ? path_type::regular : S_ISDIR(st.st_mode) ? path_type::folder : path_type::other;
    s.size = s.type == path_type::regular ? st.st_size : 0;
    return s;
}

bool utf8_name_taken(const char* name) {
    struct stat st;
    return lstat(name, &st) == 0;
}

bool utf8_folder_names(const char* folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = opendir(folder);
    if (!dir) return false;
    while (const dirent* d = readdir(dir))
        if (std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0) names.push_back(d->d_name);
    closedir(dir);
    return true;
}

std::string utf8_file_identity(const char* name) {
    struct stat st;
    if (stat(name, &st) != 0) return std::string();
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

std::string utf8_full_folder_name(const char* folder) {
    char real[PATH_MAX];
    return realpath(folder, real) ? std::string(real) : std::string();
}

#endif
