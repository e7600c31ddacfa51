// Run-ahead's frame: the game's own frame, the frames ahead of it on the
// same input, and the state from before them restored.
#include "host/game/run_ahead.h"
#include <string>


int run_frame_ahead(int frames_ahead, int draw, std::vector<int16_t>& heard) {
    // The game's frame is drawn as it would be without run-ahead, so that
    // whatever drawing leaves in the machine is the same.
    const core_frame& own = core_run_frame(draw);
    heard.assign(own.samples, own.samples + (own.samples ? own.sample_count : 0));
    if (frames_ahead <= 0) return 1;
    static std::vector<uint8_t> state;
    if (!core_save_state(state)) return 0;
    for (int i = 1; i <= frames_ahead; ++i) core_run_frame_ahead(draw && i == frames_ahead);
    std::string error;
    return core_load_state(state.data(), state.size(), error);
}
