// Mixing one frame of the three chips into a mono 16-bit block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/channels.h"
#include "sound/fm_model.h"

extern uint32_t channel_mask;
extern int samples_per_frame;  // sample_rate / 60
// Sixtieths of a sample owed to the frames so far: a frame carries one more
// sample when they make a whole one, so every second holds exactly the rate.
extern int sample_carry;

// The FM model the machine runs (fm_model_kind). A game start picks it up;
// change it only before audio_init, which starts both models afresh.
extern int fm_model;

// The chips at rate, the speech chip playing from samples (the sample ROM,
// at least upd7759_rom_span bytes; null: silent).
int audio_init(int rate, uint8_t* samples);
void audio_shutdown();  // YM3438 down, per-frame buffers released
// Whether the chips run: set by a successful audio_init (with a rate),
// cleared by audio_shutdown; owned here. The board and the video chip
// pass writes to the chips only while it is set.
int sound_initialised();
// Mixes the next frame's samples from the enabled chips into block (room for
// samples_per_frame + 1; silence while the chips are not initialised) and
// returns how many.
int render_sound(int16_t* block);

// The FM synthesizer's ports, whichever model runs. frame_fraction is how
// much of the frame being run has passed (0-whole_frame): the chip model
// places the access there. fm_status gives 0 with the classic model, which
// has no status of its own.
void fm_write(int port, uint8_t value, uint32_t frame_fraction);
int fm_status(uint32_t frame_fraction, uint8_t& status);
void fm_reset();

// The mixer's place in the frames' sample counts; a load needs the same rate.
void mixer_save_state(std::vector<uint8_t>& out);
int mixer_load_state(const uint8_t* data, size_t size);
