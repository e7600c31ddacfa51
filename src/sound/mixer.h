// Mixing one frame of the three chips into a mono 16-bit block, and the
// looping host stream of seven blocks that paces the emulation.
#pragma once
#include <cstdint>

enum : uint32_t { channel_fm = 1u << 0, channel_psg = 1u << 1, channel_adpcm = 1u << 2 };
extern uint32_t channel_mask;
extern int sound_initialised;
extern int samples_per_frame;

int audio_init(int rate);
void audio_shutdown();  // YM3438 down, per-frame buffers released
// Mixes one block of samples_per_frame samples from the enabled chips into
// block (silence while the chips are not initialised). Does not touch the
// stream or the sink.
void render_sound(int16_t* block);
// With sound on: render_sound, then the block goes to the sink and to the
// stream, waiting while the block to be filled is the one being played.
void w32_update_audio();
int init_sound(int rate);
void silence_sound();
void release_sound();
void sound_error(const char* what);  // message box, then the stream is closed
