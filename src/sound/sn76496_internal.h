// The tone generator's chip record, shared with its state file.
#pragma once
#include <cstdint>

#include "sound/sn76496.h"

namespace sn {

constexpr int max_chips = 2;
// The noise shift register: 16 bits, shifted right, the parity of the tapped
// bits fed back into bit 15.
constexpr int white_noise = 0x0009;     // bits 0 and 3
constexpr int periodic_noise = 0x0001;  // bit 0 alone: one set bit circulates
constexpr uint32_t noise_seed = 0x8000;

struct sn_chip {
    int32_t sample_rate;
    int32_t update_step;
    int32_t vol_table[16];
    int32_t reg[8];
    int32_t last_register;
    int32_t volume[4];
    uint32_t rng;
    int32_t noise_fb;
    int32_t period[4];
    int32_t count[4];
    int32_t output[4];
};

extern sn_chip chips[max_chips];

}  // namespace sn
