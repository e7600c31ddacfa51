// Saved states as files: written through safe_file, so a failed save keeps
// the old state; read only from a regular file of a sane size.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/input_limits.h"
#include "common/regular_file.h"
#include "common/safe_file.h"
#include "machine/core.h"

int core_save_state_file(const char* path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!core_save_state(bytes)) {
        error = std::string(path) + ": no game is running";
        return 0;
    }
    std::string why;
    if (!write_whole_file(path, bytes.data(), bytes.size(), why)) {
        error = std::string(path) + ": " + why;
        return 0;
    }
    return 1;
}

int core_load_state_file(const char* path, std::string& error) {
    // A FIFO or a device in its place cannot hang the program or pass for a state.
    const char* why = "";
    std::FILE* f = open_regular_file(path, &why);
    if (!f) {
        error = std::string(path) + ": " + (errno == EISDIR || errno == EINVAL ? "not a regular file" : why);
        return 0;
    }
    const int64_t size = regular_file_size(f);
    if (size < 0 || !within_limit(size, state_file_limit)) {
        std::fclose(f);
        error = size < 0 ? std::string(path) + ": read error" : input_too_large(path, state_file_limit);
        return 0;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (got != bytes.size()) {
        error = std::string(path) + ": read error";
        return 0;
    }
    std::string reason;
    if (!core_load_state(bytes.data(), bytes.size(), reason)) {
        error = std::string(path) + ": " + reason;
        return 0;
    }
    return 1;
}
