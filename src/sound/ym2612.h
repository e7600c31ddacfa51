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
