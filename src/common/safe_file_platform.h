// What safe_file needs of the operating system, one file per system.
#pragma once
#include <cstdio>
#include <string>

namespace safe_file_platform {

struct old_file {
    bool exists = false;
    bool writable = true;
    unsigned mode = 0;  // permission bits, when it exists
};

// The file that a write to path replaces: the end of its chain of symbolic
// links (it may not exist yet). false with the reason for a loop of links.
bool resolve(const std::string& path, std::string& target, std::string& why);
// What is there now; false, with errno and why set, for anything that must
// not be replaced (a folder, a device, a FIFO).
bool inspect(const std::string& target, old_file& old, std::string& why);
// Removes what an earlier run left behind when it was killed half way.
void sweep_leftovers(const std::string& target);
// A new empty file in target's folder, with the old file's permissions (a
// new file's otherwise); null with errno set on failure.
std::FILE* create_temporary(const std::string& target, const old_file& old, std::string& temporary);
// The file's bytes on the disk; false with errno set.
bool sync(std::FILE* f);
// temporary takes target's place in one step, and that change reaches the
// disk; false with errno set, target untouched.
bool replace(const std::string& temporary, const std::string& target);
void remove_file(const std::string& path);
// For tests: every later write to f fails as on a full disk.
void break_writes(std::FILE* f);
// For tests: the process dies at once, as under a kill.
[[noreturn]] void die();

}  // namespace safe_file_platform
