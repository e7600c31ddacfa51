// The chip model in step with the machine: a write or status read falls at
// its place in the frame being run (the frame's fraction, 0-65536, that has
// passed), and each frame's chip samples are resampled to the host rate.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr uint32_t whole_frame = 65536;

// For a start at this host rate: the chip reset when it was down, the
// resampler and the frame clock set up. The chip's registers survive a
// change of rate.
void ym3438_stream_start(int rate);
void ym3438_stream_stop();  // the chip down until the next start
void ym3438_stream_reset(); // the chip's reset line
void ym3438_stream_write(int port, uint8_t value, uint32_t frame_fraction);
// The status byte: timer flags, and bit 7 while the chip still takes the last write.
uint8_t ym3438_stream_status(uint32_t frame_fraction);
// Runs the chip to the end of the frame and writes count host samples.
void ym3438_stream_frame(int16_t* left, int16_t* right, int count);

void ym3438_stream_save_state(std::vector<uint8_t>& out);
int ym3438_stream_load_state(const uint8_t* data, size_t size);
