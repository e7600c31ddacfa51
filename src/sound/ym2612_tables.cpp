// The FM synthesizer's level, sine, envelope and rate tables.
#include <cmath>
#include <cstdint>
#include <new>
#include <numbers>

#include "sound/ym2612_internal.h"

namespace ym {

int32_t* tl_table;
int32_t sin_table[2048];
int32_t env_curve[8192];
int32_t lfo_wave[512];
const int32_t zero_row[32] = {};
const uint8_t keycode_table[16] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3};
const uint32_t multiple_table[16] = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30};

namespace {

constexpr double level_db = 0.0234375;

const uint8_t detune_source[4][32] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 8, 8},
    {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 9, 10, 11, 12, 13, 14, 16, 16, 16, 16},
    {2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 20, 22, 22, 22, 22},
};

const double lfo_hz[8] = {3.98, 5.56, 6.02, 6.37, 6.88, 9.63, 48.1, 72.2};

// Truncating conversions that hold at the type's limits, so that absurd
// sample rates give wrong pitches rather than undefined arithmetic.
int32_t to_i32(double v) {
    if (!(v > -2147483648.0)) return INT32_MIN;
    if (v >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(v);
}

uint32_t to_u32(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 4294967295.0) return UINT32_MAX;
    return static_cast<uint32_t>(v);
}

}  // namespace

int build_shared_tables() {
    if (!tl_table) {
        tl_table = new (std::nothrow) int32_t[2 * tl_half];
        if (!tl_table) return 0;
    }
    for (int t = 0; t < tl_half; t++) {
        int32_t v = 0;
        if (t < tl_silent) v = static_cast<int32_t>(67108863.0 / std::pow(10.0, level_db * t / 20.0));
        tl_table[t] = v;
        tl_table[tl_half + t] = -v;
    }
    for (int s = 1; s <= 512; s++) {
        double db = 20.0 * std::log10(1.0 / std::sin(2.0 * std::numbers::pi * s / 2048.0));
        int32_t j = static_cast<int32_t>(db / level_db);
        if (j > tl_silent) j = tl_silent;
        sin_table[s] = sin_table[1024 - s] = j;
        sin_table[1024 + s] = sin_table[2048 - s] = tl_half + j;
    }
    sin_table[0] = sin_table[1024] = tl_silent;
    for (int i = 0; i < 4096; i++) {
        env_curve[i] = static_cast<int32_t>(std::pow((4095.0 - i) / 4096.0, 8.0) * 4096.0);
        env_curve[4096 + i] = i;
    }
    for (int i = 0; i < 512; i++) lfo_wave[i] = i < 256 ? i * 256 : (512 - i) * 256;
    return 1;
}

void free_shared_tables() {
    delete[] tl_table;
    tl_table = nullptr;
}

void build_rate_tables(ym_chip& chip) {
    // No rate (or a nonsensical one) leaves every step at 0: silence.
    const bool running = chip.rate > 0 && chip.clock > 0;
    chip.freqbase = running ? static_cast<double>(chip.clock) / chip.rate / 144.0 : 0.0;
    chip.timer_base = chip.clock > 0 ? 1.0 / (chip.clock / 144.0) : 0.0;
    const double fb = chip.freqbase;

    for (int d = 0; d < 4; d++) {
        for (int k = 0; k < 32; k++) {
            int32_t v = to_i32(detune_source[d][k] * fb * 8.0);
            chip.detune_table[d][k] = v;
            chip.detune_table[d + 4][k] = -v;
        }
    }

    // A step never exceeds a whole envelope section, so the counter cannot
    // overflow even at very low sample rates.
    auto env_step = [](double v) {
        int32_t s = to_i32(v);
        return s > env_attack_end ? env_attack_end : s;
    };
    for (int i = 0; i < 4; i++) chip.attack_table[i] = chip.decay_table[i] = 0;
    for (int i = 4; i < 64; i++) {
        double r = fb;
        if (i < 60) r *= 1.0 + (i & 3) * 0.25;
        r *= std::ldexp(1.0, (i >> 2) - 1);
        r *= 268435456.0;
        chip.attack_table[i] = env_step(r / 399128.0);
        chip.decay_table[i] = env_step(r / 5514396.0);
    }
    chip.attack_table[62] = chip.attack_table[63] = env_attack_end;
    for (int i = 64; i < rate_rows; i++) {
        chip.attack_table[i] = chip.attack_table[63];
        chip.decay_table[i] = chip.decay_table[63];
    }

    for (int f = 0; f < 2048; f++) chip.fnum_table[f] = to_u32(f * fb * 8.0 * 128.0 / 2.0);
    for (int i = 0; i < 8; i++) {
        chip.lfo_freq[i] = to_u32(512.0 * 8388608.0 * lfo_hz[i] / (8000000.0 / 144.0) * fb);
    }
}

}  // namespace ym
