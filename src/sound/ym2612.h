// YM3438 FM synthesizer (six channels of four operators, stereo).
#pragma once
#include <cstdint>

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
