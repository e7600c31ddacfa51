// The chip model's record and tables, shared by its files.
#pragma once
#include <cstdint>

#include "sound/ym3438.h"

namespace opn {

enum eg_phase : uint8_t { eg_attack, eg_decay, eg_sustain, eg_release };

constexpr uint16_t level_max = 0x3ff;   // 10-bit attenuation, 0.09375 dB a step
constexpr uint16_t ssg_turn = 0x200;    // where an SSG-EG shape turns
constexpr uint16_t level_mute = 832;    // an operator at or above this is silent

struct fm_operator {
    // Registers 0x30-0x90.
    uint8_t detune;        // 0-7, bit 2 the sign
    uint8_t multiple;      // 0-15
    uint8_t total_level;   // 0-127
    uint8_t key_scale;     // 0-3
    uint8_t attack_rate;   // 0-31
    uint8_t am_on;         // 0-1
    uint8_t decay_rate;    // 0-31
    uint8_t sustain_rate;  // 0-31
    uint8_t sustain_level; // 0-15
    uint8_t release_rate;  // 0-15
    uint8_t ssg;           // 0-15: bit 3 on, 2 attack (inverted start), 1 alternate, 0 hold
    // Phase generator: a 20-bit phase, whose top 10 bits address the sine.
    uint32_t phase;
    uint32_t step;
    uint8_t key_code;      // 0-31, from the operator's own frequency
    // Envelope generator.
    uint16_t level;        // 0-level_max
    uint8_t eg_state;      // eg_phase
    uint8_t key;           // the key line as last seen
    uint8_t inverted;      // SSG-EG: output mirrored about ssg_turn
    uint8_t held;          // SSG-EG: a hold shape reached its end
    uint16_t attenuation;  // level as heard plus total level, before tremolo
};

struct fm_channel {
    fm_operator op[4];     // operators 1-4
    uint16_t fnum;         // 0-2047
    uint8_t block;         // 0-7
    uint8_t fnum_latch;    // 0xA4 written, waiting for 0xA0
    uint8_t algorithm;     // 0-7
    uint8_t feedback;      // 0-7
    uint8_t pan;           // bit 1 left, bit 0 right
    uint8_t ams;           // 0-3
    uint8_t pms;           // 0-7
    uint8_t register_keys; // bits 0-3: operators 1-4 keyed by register 0x28
    int16_t feedback_out[2];  // operator 1's last two outputs
};

struct fm_chip {
    fm_channel channel[6];
    uint16_t ch3_fnum[3];  // channel 3's own frequencies of operators 1, 2, 3 (0xA9, 0xAA, 0xA8)
    uint8_t ch3_block[3];
    uint8_t ch3_latch[3];
    uint8_t address;
    uint8_t address_high;  // the address came through port 2
    uint8_t mode;          // register 0x27
    uint8_t status;        // bit 0 timer A, bit 1 timer B overflowed
    uint8_t lfo_on;
    uint8_t lfo_rate;      // 0-7
    uint8_t lfo_count;     // 0-127: one LFO period
    uint8_t lfo_divider;   // samples into the current LFO step
    uint8_t pm_step;       // lfo_count / 4 as last applied to the phase steps
    uint16_t timer_a;      // 0-1023
    uint16_t timer_a_count;
    uint8_t timer_b;
    uint8_t timer_b_count;
    uint8_t timer_b_prescale;  // 0-15, free running
    uint8_t csm_key;       // channel 3 keyed by timer A for this sample
    uint8_t dac_on;
    uint8_t dac_value;
    uint8_t eg_divider;    // 0-2: the envelopes step every third sample
    uint32_t eg_counter;
};

extern fm_chip chip;

// Tables (ym3438_tables.cpp).
extern uint16_t log_sine[512];            // -log2(sin) in 1/256 steps, a half wave
extern uint16_t exp_table[256];           // 2^(-x/256) with 11 significant bits, x 4
extern uint32_t pm_factor[8][8];          // vibrato: fnum x factor >> 20, by depth and step
extern const uint8_t detune_steps[4][32]; // phase-step offsets by key code
extern const uint8_t lfo_periods[8];      // samples per LFO step
void build_tables();                      // once; later calls do nothing

// The envelope's increment at a rate (0-63) for a count of envelope steps:
// slow rates move on one step in 2^shift, by one of eight increments in turn.
struct eg_rate_row {
    uint8_t shift;
    uint8_t steps[8];
};
extern eg_rate_row eg_rates[64];
inline uint32_t eg_increment(int rate, uint32_t counter) {
    const eg_rate_row& r = eg_rates[rate];
    if (counter & ((1u << r.shift) - 1)) return 0;
    return r.steps[(counter >> r.shift) & 7];
}

inline void refresh_attenuation(fm_operator& op) {
    const uint32_t heard = op.inverted ? (ssg_turn - op.level) & level_max : op.level;
    op.attenuation = static_cast<uint16_t>(heard + (op.total_level << 3));
}

// Chip operations shared by the files (ym3438.cpp).
uint8_t key_code(uint16_t fnum, uint8_t block);
void update_keys(fm_channel& ch, uint8_t keys);
// Key codes and phase steps of channel index from its frequency registers,
// detune, multiple and the vibrato's current step.
void refresh_steps(int index);
void set_pm_step(uint8_t step);

}  // namespace opn
