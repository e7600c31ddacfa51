// The speech chip's voice records, shared with its state file.
#pragma once
#include <cstdint>

#include "sound/upd7759.h"

namespace upd {

constexpr int max_chips = 2;
constexpr uint32_t last_sample_end = 0x20000;

struct voice {
    int32_t playing;
    uint32_t data;
    uint32_t mask;
    int32_t position;
    int32_t rate;
    int32_t nibbles;
    int32_t signal;
    int32_t step;
    int32_t counter;
};

extern upd7759_interface config;
extern int32_t nibble_credit;  // output samples a nibble earns, in units of the sample's rate
extern voice voices[max_chips];
extern int latched[max_chips];

}  // namespace upd
