// Opening a file the user named for reading, refusing anything that is not
// a plain file: a FIFO or a device would block the program or never end.
// Files are written through common/safe_file.h.
#pragma once
#include <cstdint>
#include <cstdio>

// Opens file_name for binary reading when it is a regular file. On failure
// returns nullptr and sets *why to a short reason for the user ("No such
// file or directory", "a directory", "not a regular file", ...), and
// errno to the open's error (ENOENT for a missing file), EISDIR for a
// directory or EINVAL for any other kind of file.
std::FILE* open_regular_file(const char* file_name, const char** why);

// The length of a file open_regular_file opened, in 64 bits on every system
// (Windows' plain fstat and ftell stop at 2 GB); -1 when it cannot be told.
int64_t regular_file_size(std::FILE* f);
