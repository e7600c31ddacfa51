// The chip model's tables: sine and exponent, detune, LFO, vibrato and the
// envelope's increments by rate.
#include <cmath>

#include "sound/ym3438_internal.h"

namespace opn {

uint16_t log_sine[512];
uint16_t exp_table[256];
uint32_t pm_factor[8][8];
eg_rate_row eg_rates[64];

const uint8_t detune_steps[4][32] = {
    {0},
    {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 8, 8},
    {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 9, 10, 11, 12, 13, 14, 16, 16, 16, 16},
    {2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 20, 22, 22, 22, 22},
};

// 128 steps make one LFO period: 3.98 to 72.2 Hz at an 8 MHz clock.
const uint8_t lfo_periods[8] = {109, 78, 72, 68, 63, 45, 9, 6};

namespace {

// Vibrato depth of each setting at the top of its swing, in cents.
const double pm_cents[8] = {0, 3.4, 6.7, 10, 14, 20, 40, 80};

// Rates below 48: an increment of 0 or 1, eight in a cycle.
const uint8_t low_steps[4][8] = {
    {0, 1, 0, 1, 0, 1, 0, 1}, {0, 1, 0, 1, 1, 1, 0, 1}, {0, 1, 1, 1, 0, 1, 1, 1}, {0, 1, 1, 1, 1, 1, 1, 1}};
// Rates 48-59: these, doubled for every four rates.
const uint8_t high_steps[4][8] = {
    {1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 2, 1, 1, 1, 2}, {1, 2, 1, 2, 1, 2, 1, 2}, {1, 2, 2, 2, 1, 2, 2, 2}};

void build_rate_rows() {
    for (int rate = 1; rate < 64; rate++) {
        eg_rate_row& r = eg_rates[rate];
        const int row = rate & 3;
        const int group = rate >> 2;
        r.shift = static_cast<uint8_t>(group < 11 ? 11 - group : 0);
        for (int i = 0; i < 8; i++) {
            r.steps[i] = group <= 11   ? low_steps[row][i]
                         : group == 15 ? 8
                                       : static_cast<uint8_t>(high_steps[row][i] << (group - 12));
        }
    }
}

}  // namespace

void build_tables() {
    static bool built;
    if (built) return;
    built = true;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < 256; i++) {
        const double s = std::sin((i + 0.5) * pi / 512.0);
        // The chip keeps a quarter wave and mirrors it; so does this table.
        log_sine[i] = log_sine[511 - i] = static_cast<uint16_t>(std::lround(-std::log2(s) * 256.0));
        exp_table[i] = static_cast<uint16_t>(std::lround(std::exp2((255 - i) / 256.0) * 1024.0) << 2);
    }
    build_rate_rows();
    for (int depth = 0; depth < 8; depth++) {
        for (int step = 0; step < 8; step++) {
            const double swing = std::exp2(pm_cents[depth] / 1200.0) - 1.0;
            pm_factor[depth][step] = static_cast<uint32_t>(std::lround(swing * step / 7.0 * 1048576.0));
        }
    }
}


}  // namespace opn
