// The state slots of the running game and the rewind options.
#include "host/game/state_slots.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/utf8_file.h"
#include "host/video/display.h"
#include "host/settings/options.h"
#include "machine/core.h"

int state_slot;

namespace {

// The folder is made on the first save; a parent that is missing is the
// user's to make.
bool make_state_dir(std::string& error) {
    if (utf8_mkdir(state_dir) == 0 || errno == EEXIST) return true;
    error = std::string(state_dir) + ": " + std::strerror(errno);
    return false;
}

}  // namespace

std::string state_slot_path(int slot) {
    const game_info* game = core_running();
    if (!game) return "";
    return std::string(state_dir) + "/" + game->short_name + "-" + std::to_string(slot) + ".sta";
}

int state_slot_used(int slot) {
    const std::string path = state_slot_path(slot);
    return !path.empty() && utf8_status(path.c_str()).type == path_type::regular;
}

int save_state_slot() {
    if (!core_running()) return 0;
    std::string error;
    if (!make_state_dir(error) || !core_save_state_file(state_slot_path(state_slot).c_str(), error)) {
        std::fprintf(stderr, "vortan: state not saved: %s\n", error.c_str());
        message_printf("State not saved: %s", error.c_str());
        return 0;
    }
    message_printf("State saved to slot %d", state_slot);
    return 1;
}

int load_state_slot() {
    if (!core_running()) return 0;
    if (!state_slot_used(state_slot)) {
        message_printf("Slot %d is empty", state_slot);
        return 0;
    }
    std::string error;
    if (!core_load_state_file(state_slot_path(state_slot).c_str(), error)) {
        std::fprintf(stderr, "vortan: state not loaded: %s\n", error.c_str());
        message_printf("State in slot %d not loaded", state_slot);
        return 0;
    }
    message_printf("State loaded from slot %d", state_slot);
    return 1;
}

void select_state_slot(int slot) {
    state_slot = ((slot % state_slot_count) + state_slot_count) % state_slot_count;
    message_printf("State slot %d%s", state_slot, state_slot_used(state_slot) ? "" : " (empty)");
}

void next_state_slot() { select_state_slot(state_slot + 1); }

void apply_rewind_option() { core_set_rewind(rewind_enabled ? rewind_seconds : 0); }
