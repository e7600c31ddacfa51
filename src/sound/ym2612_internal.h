// Chip records and tables shared by the FM synthesizer's files.
#pragma once
#include <cstdint>
#include "sound/ym2612.h"

namespace ym {

constexpr int tl_half = 6230;        // entries per sign in tl_table
constexpr int tl_silent = 3328;      // first attenuation with zero amplitude
constexpr int level_silent = 2901;   // operators at this attenuation are skipped
constexpr int32_t env_attack_end = 0x10000000;
constexpr int32_t env_silent = 0x1fffffff;
constexpr int32_t env_never = 0x20000000;
constexpr uint32_t stale = 0xffffffffu;
constexpr int rate_rows = 94;

enum eg_phase : uint8_t { eg_attack, eg_decay, eg_sustain, eg_release };

struct ym_operator {
    const int32_t* detune;
    int32_t tl;
    uint8_t ks_shift;
    const int32_t* ar_row;
    const int32_t* d1r_row;
    const int32_t* d2r_row;
    int32_t sl;
    const int32_t* rr_row;
    uint8_t ssg_eg;
    uint8_t ksr;
    uint32_t mul;
    uint32_t phase;
    uint32_t phase_step;
    uint8_t eg_state;
    int32_t env_counter, env_end, env_step;
    int32_t step_ar, step_d1r, step_d2r, step_rr;
    int32_t tll;
    uint8_t am_on;
    uint32_t am_depth;
};

// Where an operator's output goes: slots 0-3 are the phase inputs of
// operators 1-4, slots 4-7 the output accumulators by pan.
enum : uint8_t { slot_out = 4, slot_spread = 8 };

struct ym_channel {
    ym_operator op[4];  // operators 1, 3, 2, 4 (register order)
    uint8_t pan;
    uint8_t algorithm;
    uint8_t feedback_shift;
    int32_t op1_out[2];
    uint8_t connect[4];
    int32_t pms;
    uint32_t ams;
    uint32_t fc;
    uint8_t fnum_latch;
    uint8_t kcode;
    uint16_t fnum;  // kept so that fc can be rebuilt for a new rate
    uint8_t block;
};

struct ym_chip {
    uint8_t type;
    uint8_t index;
    int32_t clock;
    int32_t rate;
    double freqbase;
    double timer_base;
    uint8_t address;
    uint8_t irq;
    uint8_t irq_mask;
    uint8_t status;
    uint32_t mode;
    uint32_t ta, ta_count;
    uint32_t tb, tb_count;
    int32_t detune_table[8][32];
    int32_t attack_table[rate_rows];
    int32_t decay_table[rate_rows];
    ym_timer_handler timer_handler;
    ym_irq_handler irq_handler;
    uint8_t timer_model;
    uint32_t ch3_fc[3];
    uint8_t ch3_fnum_latch[3];
    uint8_t ch3_kcode[3];
    uint16_t ch3_fnum[3];
    uint8_t ch3_block[3];
    ym_channel* channels;
    uint32_t fnum_table[2048];
    uint32_t lfo_counter;
    uint32_t lfo_step;
    uint32_t lfo_freq[8];
    uint8_t lfo_setting;  // register 0x22, so a new rate can rescale the LFO
    ym_channel channel[6];
    uint32_t addr_hi;
    uint32_t dac_enable;
    int32_t dac_data;
};

extern ym_chip* chips;
extern int chip_count;

extern int32_t* tl_table;
extern int32_t sin_table[2048];
extern int32_t env_curve[8192];
extern int32_t lfo_wave[512];
extern const int32_t zero_row[32];
extern const uint8_t keycode_table[16];
extern const uint32_t multiple_table[16];

int build_shared_tables();  // 1, or 0 when tl_table cannot be allocated
void free_shared_tables();
void build_rate_tables(ym_chip& chip);
void refresh_increments(ym_chip& chip);

}  // namespace ym
