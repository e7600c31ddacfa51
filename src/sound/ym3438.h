// The FM synthesizer as the chip makes it: operators, envelopes, the LFO and
// both timers stepped once per chip sample (clock / 144), one chip.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int ym3438_clocks_per_sample = 144;

// Registers as after the chip's reset line: silent, timers stopped.
void ym3438_reset();
// Port 0/2 latch a register number of the first/second half, port 1/3 write it.
void ym3438_write(int port, uint8_t value);
// Bit 0 timer A overflowed, bit 1 timer B (the busy bit is the caller's: it
// depends on time finer than a sample).
uint8_t ym3438_status();
// The next count chip samples, full-scale channel sums (a channel spans
// -8192..8191) for the left and right outputs.
void ym3438_run(int32_t* left, int32_t* right, int count);

void ym3438_save_state(std::vector<uint8_t>& out);
// 1 when data held a whole state of the chip; 0 (chip untouched) otherwise.
int ym3438_load_state(const uint8_t* data, size_t size);
