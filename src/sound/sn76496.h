// SN76489 tone generator: three tones and a noise channel.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

int SN76496_init(int chip, int clock, int volume, int rate);
void SN76496Write(int chip, int data);
void SN76496Update(int chip, int16_t* buffer, int length);

// Chip 0's whole state, appended to out.
void sn76496_save_state(std::vector<uint8_t>& out);
// 1 when data held a whole state of chip 0; then the chip is exactly as it was saved.
// 0 (and the chip untouched) when the bytes are short, too long, or out of range.
int sn76496_load_state(const uint8_t* data, size_t size);
