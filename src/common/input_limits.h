// The largest file of each kind the program reads. Anything bigger is not
// one of ours: it is refused by name before it can take the time or the
// memory of reading it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

struct input_limit {
    const char* kind;  // what the message calls the file
    int64_t bytes;
};

// vortan.cfg as the program writes it is about 2 KB.
inline constexpr input_limit config_file_limit = {"configuration file", int64_t{1} << 20};
// A line per change of the controls: hours of play.
inline constexpr input_limit playback_script_limit = {"playback script", int64_t{16} << 20};
// The board's largest ROM file is 512 KB and all of a game's 2.5 MB.
inline constexpr input_limit rom_file_limit = {"ROM file", int64_t{16} << 20};
inline constexpr input_limit zip_archive_limit = {"zip archive", int64_t{64} << 20};
// Two bytes; anything much longer was never written by the program.
inline constexpr input_limit dip_file_limit = {"DIP file", int64_t{4} << 10};
// A saved state of this board is under 200 KB.
inline constexpr input_limit state_file_limit = {"saved state", int64_t{16} << 20};

inline bool within_limit(int64_t size, const input_limit& limit) { return size <= limit.bytes; }

// "<file> is larger than 1 MB, the most a configuration file may be"
inline std::string input_too_large(const char* file_name, const input_limit& limit) {
    char bound[32];
    if (limit.bytes % (int64_t{1} << 20) == 0)
        std::snprintf(bound, sizeof bound, "%lld MB", static_cast<long long>(limit.bytes >> 20));
    else if (limit.bytes % (int64_t{1} << 10) == 0)
        std::snprintf(bound, sizeof bound, "%lld KB", static_cast<long long>(limit.bytes >> 10));
    else
        std::snprintf(bound, sizeof bound, "%lld bytes", static_cast<long long>(limit.bytes));
    return std::string(file_name) + " is larger than " + bound + ", the most a " + limit.kind + " may be";
}
