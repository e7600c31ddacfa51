// The sound chips, one bit each in the mixer's channel mask.
#pragma once
#include <cstdint>

enum : uint32_t { channel_fm = 1u << 0, channel_psg = 1u << 1, channel_adpcm = 1u << 2 };
