// The host side of the sound: a looping buffer of seven blocks played by
// the audio device's callback.
#pragma once
#include <cstdint>

inline constexpr int stream_blocks = 7;

int init_sound(int rate);
void silence_sound();
void release_sound();
void sound_error(const char* what);  // message box, then the stream is closed

// A frame's samples to the sink and to the stream, waiting while the block
// to be filled is the one being played.
void w32_update_audio(const int16_t* samples, int count);

// Copies one block into the next slot of the loop (no effect when closed).
void write_stream_block(const int16_t* samples, int count);

// State seen by tests and the host.
int stream_open();                       // 1 while a device is open
const int16_t* stream_buffer(int* samples);  // the loop and its length
int stream_block_index();                // the block written last (0-6)
