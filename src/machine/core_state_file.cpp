// Saved states as files: written whole to a temporary file and renamed over
// the old one, read only from a regular file of a sane size.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/utf8_file.h"
#include "machine/core.h"
#include "machine/regular_file.h"

namespace {

// Far above any state of this board; a bigger file is not one of ours.
constexpr long largest_state = 16 * 1024 * 1024;

std::string system_reason() { return std::strerror(errno); }

}  // namespace

int core_save_state_file(const char* path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!core_save_state(bytes)) {
        error = std::string(path) + ": no game is running";
        return 0;
    }
    const std::string temporary = std::string(path) + ".tmp";
    std::FILE* f = utf8_fopen(temporary.c_str(), "wb");
    if (!f) {
        error = temporary + ": " + system_reason();
        return 0;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool flushed = std::fflush(f) == 0 && flush_to_disk(f);
    const bool closed = std::fclose(f) == 0;
    if (!written || !flushed || !closed) {
        error = temporary + ": " + system_reason();
        utf8_remove(temporary.c_str());
        return 0;
    }
    if (!utf8_replace(temporary.c_str(), path)) {
        error = std::string(path) + ": " + system_reason();
        utf8_remove(temporary.c_str());
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
    const long size = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    if (size < 0 || size > largest_state) {
        std::fclose(f);
        error = std::string(path) + (size < 0 ? ": read error" : ": too large to be a saved state");
        return 0;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    std::rewind(f);
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
