// Where mixed blocks go besides the device: a WAV file, or a test.
#pragma once
#include <cstdint>

struct sound_sink {
    virtual ~sound_sink() = default;
    virtual void write_block(const int16_t* samples, int count) = 0;
};

// Every frame's samples queue_frame_sound is given also go to this sink (null: none).
void set_sound_sink(sound_sink* sink);
