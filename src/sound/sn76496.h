// SN76489 tone generator: three tones and a noise channel.
#pragma once
#include <cstdint>

int SN76496_init(int chip, int clock, int volume, int rate);
void SN76496Write(int chip, int data);
void SN76496Update(int chip, int16_t* buffer, int length);
