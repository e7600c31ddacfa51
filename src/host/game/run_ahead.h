// Run-ahead: each frame the game's own frame runs (its sound is what is
// heard), then the machine runs N frames further on the same input and the
// last of them is what is shown, and the state from before them comes back.
// The picture answers the controls N frames sooner; the game, its sound
// and its rewind are those of a run without it.
#pragma once
#include <cstdint>
#include <vector>
#include "machine/core.h"

// How many frames ahead: run_ahead in host/options.h.

// One frame with run_ahead frames ahead. heard gets the game frame's own
// samples; the picture is core_last_frame's. 0 when the state could not be
// brought back (the frame then ran without run-ahead).
int run_frame_ahead(int frames_ahead, int draw, std::vector<int16_t>& heard);
