// YM3438 FM synthesizer (six channels of four operators, stereo).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

using ym_timer_handler = void (*)(int chip, int timer, int count, double period);
using ym_irq_handler = void (*)(int chip, int state);

int YM2612Init(int count, int clock, int rate, ym_timer_handler timer, ym_irq_handler irq);
void YM2612ResetChip(int chip);
int YM2612Write(int chip, int port, uint8_t value);
void YM2612UpdateOne(int chip, int16_t** buffers, int length);
void YM2612Shutdown();

// Follows a new sample rate without touching the registers: rebuilds the
// rate-dependent tables and refreshes every channel's increments at the
// next update. Returns 1, or 0 when the chip does not exist.
int YM2612SetRate(int chip, int rate);

// The chip's whole state, appended to out.
void ym2612_save_state(std::vector<uint8_t>& out);
// 1 when data held a whole state of this chip; then the chip is exactly as it was saved.
// 0 (and the chip untouched) when the bytes are short, too long, or out of range.
int ym2612_load_state(const uint8_t* data, size_t size);
