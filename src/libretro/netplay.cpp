#include "netplay.h"

namespace {

// Rollback saves a state every frame; a second without one ends the session.
constexpr int frames_kept = 60;
int frames_since = frames_kept;

}  // namespace

void netplay_note_state(retro_environment_t env) {
    int context = RETRO_SAVESTATE_CONTEXT_NORMAL;
    if (env(RETRO_ENVIRONMENT_GET_SAVESTATE_CONTEXT, &context) && context == RETRO_SAVESTATE_CONTEXT_ROLLBACK_NETPLAY)
        frames_since = 0;
}

void netplay_note_frame() {
    if (frames_since < frames_kept) frames_since++;
}

bool netplay_active() { return frames_since < frames_kept; }

void netplay_forget() { frames_since = frames_kept; }
