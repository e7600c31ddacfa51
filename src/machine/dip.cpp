#include "machine/dip.h"

#include <cstdio>
#include <cstring>

#include "common/debug_log.h"
#include "machine/core.h"
#include "machine/rom_loader.h"

uint8_t dip_switch[2] = {0xFF, 0xFF};
uint8_t dip_bank;
uint8_t dip_used;

namespace {
// The bytes as the file gave them (or as last saved): the file is written
// only when the switches differ, so a run that changed nothing leaves it
// exactly as it was.
uint8_t dip_stored[2] = {0xFF, 0xFF};

bool dip_path(char (&path)[path_buffer_size], const char* short_name) {
    const int n = std::snprintf(path, sizeof path, "%s/%s.dip", core_folders().dip_dir.c_str(), short_name);
    return n >= 0 && static_cast<size_t>(n) < sizeof path;
}
}  // namespace

void dip_reset() {
    dip_bank = 0;
    dip_used = 0;
    dip_switch[0] = 0xFF;
    dip_switch[1] = 0xFF;
    std::memcpy(dip_stored, dip_switch, sizeof dip_stored);
}

int dip_read(const char* short_name) {
    char path[path_buffer_size];
    if (!dip_path(path, short_name)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s/%s.dip'\n", core_folders().dip_dir.c_str(), short_name);
        return 0;
    }
    if (!file_exist(path, dip_file_limit)) return 1;
    // A shorter file leaves the remaining byte at its default; a file that
    // cannot be read leaves both, and the game still runs.
    uint8_t bytes[2] = {0xFF, 0xFF};
    if (!load_file(path, bytes, sizeof bytes, dip_file_limit)) {
        core_loader_printf(loader_severity::error, "Error loading file `%s'\n", path);
        return 1;
    }
    dip_used = 1;
    std::memcpy(dip_switch, bytes, sizeof dip_switch);
    std::memcpy(dip_stored, bytes, sizeof dip_stored);
    return 1;
}

int dip_write(const char* short_name, const char* description) {
    if (!dip_used || std::memcmp(dip_switch, dip_stored, sizeof dip_switch) == 0) return 1;
    char path[path_buffer_size];
    if (!dip_path(path, short_name) || !save_file(path, dip_switch, sizeof dip_switch)) {
        core_loader_printf(loader_severity::error, "Error saving file `%s/%s.dip'\n", core_folders().dip_dir.c_str(), short_name);
        return 0;
    }
    std::memcpy(dip_stored, dip_switch, sizeof dip_stored);
    debug_log("saved dip_switch to `%s' for `%s'\n", path, description);
    return 1;
}

void dip_mark_stored() { std::memcpy(dip_stored, dip_switch, sizeof dip_stored); }

void dip_toggle_bank() {
    dip_used = 1;
    dip_bank = static_cast<uint8_t>(1 - dip_bank);
}

void dip_invert_bit(int bit) {
    if (bit < 0 || bit > 7) return;
    dip_used = 1;
    dip_switch[dip_bank & 1] ^= static_cast<uint8_t>(1u << bit);
}
