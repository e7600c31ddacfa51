// Every file the program keeps is written here: into a temporary file in
// the same folder, flushed to the disk, then moved over the old file in one
// step. Whatever fails on the way, the old file stays exactly as it was and
// the temporary file is removed. A path through a symbolic link writes the
// link's target and keeps the link; the old file's permissions are kept.
// Anything that is not a plain file (a folder, a device, a FIFO) is refused
// without being opened.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

class safe_file {
public:
    safe_file() = default;
    safe_file(const safe_file&) = delete;
    safe_file& operator=(const safe_file&) = delete;
    ~safe_file();  // content never committed is dropped

    // Starts the new content of path; false with the reason in why. errno
    // is then EISDIR for a folder, EINVAL for any other kind of file that
    // is not a plain one, or the system's error.
    bool open(const char* path, std::string& why);
    // Where the new content goes (fwrite, fprintf, fseek all work).
    std::FILE* stream() const { return file; }
    bool is_open() const { return file != nullptr; }
    // The new content replaces the old file; false with the reason in why,
    // the old file untouched.
    bool commit(std::string& why);
    // Drops the new content; the old file stays.
    void abandon();
    // open refused an existing file that is read-only.
    bool refused_read_only() const { return read_only; }

private:
    std::FILE* file = nullptr;
    std::string target;     // the file replaced, its links followed
    std::string temporary;  // the new content until it is committed
    bool read_only = false;
};

// A whole file at once, through safe_file.
bool write_whole_file(const char* path, const void* data, size_t size, std::string& why);

// For tests: the writes from now on fail at this step, as a refused folder,
// a full disk, a failing disk, or a process killed before the old file was
// replaced would make them.
enum class safe_file_fault { none, create, write, sync, replace, kill_before_replace };
void set_safe_file_fault(safe_file_fault fault);
