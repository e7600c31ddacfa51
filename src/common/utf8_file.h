// File names are UTF-8 throughout the program. Windows' C library reads a
// narrow name in the ANSI code page, so there these go through the
// wide-character calls; elsewhere they are the plain POSIX calls. Files
// are written through common/safe_file.h.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

std::FILE* utf8_fopen(const char* file_name, const char* mode);

// 0 when the folder was made; -1 with errno (EEXIST when something is there).
int utf8_mkdir(const char* folder);

enum class path_type { missing, regular, folder, other };
struct path_status {
    path_type type = path_type::missing;
    int64_t size = 0;  // of a regular file
};
// What the name leads to, its links followed.
path_status utf8_status(const char* name);
// Whether anything at all has the name, a link that leads nowhere included.
bool utf8_name_taken(const char* name);

// The names in a folder, "." and ".." left out; false when it cannot be read.
bool utf8_folder_names(const char* folder, std::vector<std::string>& names);

// A text that two names of one existing file share, "" when there is no
// such file; and the full name of a folder that exists, "" otherwise.
std::string utf8_file_identity(const char* name);
std::string utf8_full_folder_name(const char* folder);

// Both '/' and '\' part a path on Windows; '/' alone elsewhere.
bool is_path_separator(char c);
size_t last_path_separator(const std::string& path);  // npos when none

#ifdef _WIN32
std::wstring utf8_to_wide(const char* text);
std::string wide_to_utf8(const wchar_t* text);
#endif
