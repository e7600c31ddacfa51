// The host side of the sound: a ring of samples that the audio device's
// callback plays. The writer stays at most the latency (-latency) ahead of
// the play cursor; waiting for that room is what paces the main loop while
// sound is on.
#pragma once
#include <cstdint>

// Opens the device at the rate with the -latency option's room; 1 also when
// there is no audio device at all (the program then runs silently).
int init_sound(int rate);
void silence_sound();
void release_sound();
void sound_error(const char* what);  // message box, then the stream is closed

// A frame's samples to the sink and to the device, scaled by -volume.
void queue_frame_sound(const int16_t* samples, int count);
// A frame's samples to the sink only: frames stepped while paused are
// recorded but not played.
void feed_sound_sink(const int16_t* samples, int count);

int stream_open();  // 1 while a device is open
// Samples the writer may run ahead of the play cursor.
int stream_latency_samples();

// What the stream measured since it was opened.
struct stream_stats {
    int64_t written;  // samples given to the device
    int max_ahead;    // largest distance from the writer to the play cursor, in samples
    int underruns;    // device reads that found fewer samples than they needed
};
stream_stats sound_stream_stats();
