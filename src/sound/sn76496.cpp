// SN76489: three square-wave tones and a noise channel, each output sample
// the time-weighted average of the channels' levels over that sample.
#include <cstdint>

#include "sound/sn76496_internal.h"

namespace sn {

sn_chip chips[max_chips];

}  // namespace sn

using namespace sn;

namespace {

constexpr int32_t one_sample = 0x10000;
// Longer updates are cut into pieces so that a silent channel's
// carried-over counter cannot overflow.
constexpr int max_piece = 4096;

sn_chip* chip_at(int n) { return n >= 0 && n < max_chips ? &chips[n] : nullptr; }

int32_t clamp_period(int64_t v) { return v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v); }

void set_clock(sn_chip& c, int clock) {
    double step = clock > 0 ? static_cast<double>(c.sample_rate) * 65536.0 * 16.0 / clock : 0.0;
    if (step > INT32_MAX / 8) step = INT32_MAX / 8;
    c.update_step = static_cast<int32_t>(step);
    // A zero step would stall the edge loops; one unit is far below audibility.
    if (c.update_step < 1) c.update_step = 1;
}

void set_gain(sn_chip& c, int gain) {
    gain &= 0xff;
    double out = 32767 / 3;
    for (int i = 0; i < gain; i++) out *= 1.023292992;
    for (int i = 0; i < 15; i++) {
        c.vol_table[i] = out > 10922 ? 10922 : static_cast<int32_t>(out);
        out /= 1.258925412;
    }
    c.vol_table[15] = 0;
}

void set_tone_period(sn_chip& c, int r) {
    int n = c.reg[r];
    c.period[r / 2] = clamp_period(static_cast<int64_t>(c.update_step) * (n ? n : 1));
    if (r == 4 && (c.reg[6] & 3) == 3) c.period[3] = clamp_period(2 * static_cast<int64_t>(c.period[2]));
}

void update_piece(sn_chip& c, int16_t* buffer, int length) {
    const int64_t span = static_cast<int64_t>(length) * one_sample;
    for (int i = 0; i < 4; i++) {
        if (c.volume[i] == 0 && c.count[i] <= span) c.count[i] += static_cast<int32_t>(span);
    }
    for (int s = 0; s < length; s++) {
        int64_t vol[4] = {0, 0, 0, 0};  // time high within this sample
        for (int i = 0; i < 3; i++) {
            if (c.output[i]) vol[i] += c.count[i];
            c.count[i] -= one_sample;
            while (c.count[i] <= 0) {
                c.count[i] += c.period[i];
                if (c.count[i] > 0) {
                    c.output[i] ^= 1;
                    if (c.output[i]) vol[i] += c.period[i];
                    break;
                }
                // A whole period passed inside this sample: high for half of it.
                c.count[i] += c.period[i];
                vol[i] += c.period[i];
            }
            if (c.output[i]) vol[i] -= c.count[i];
        }

        int32_t left = one_sample;
        do {
            int32_t next = c.count[3] < left ? c.count[3] : left;
            if (c.output[3]) vol[3] += c.count[3];
            c.count[3] -= next;
            if (c.count[3] <= 0) {
                const uint32_t fed = static_cast<uint32_t>(__builtin_parity(c.rng & static_cast<uint32_t>(c.noise_fb)));
                c.rng = (c.rng >> 1) | (fed << 15);
                c.output[3] = c.rng & 1;
                c.count[3] += c.period[3];
                if (c.output[3]) vol[3] += c.period[3];
            }
            if (c.output[3]) vol[3] -= c.count[3];
            left -= next;
        } while (left > 0);

        int64_t out = 0;
        for (int i = 0; i < 4; i++) out += vol[i] * c.volume[i];
        if (out > 0x7fff0000) out = 0x7fff0000;
        if (out < 0) out = 0;
        buffer[s] = static_cast<int16_t>(out >> 16);
    }
}

}  // namespace

int SN76496_init(int chip, int clock, int volume, int rate) {
    sn_chip* p = chip_at(chip);
    if (!p) return 0;
    sn_chip& c = *p;
    c.sample_rate = rate > 0 ? rate : 0;
    set_clock(c, clock);
    for (int i = 0; i < 4; i++) c.volume[i] = 0;
    c.last_register = 0;
    for (int i = 0; i < 8; i += 2) {
        c.reg[i] = 0;
        c.reg[i + 1] = 15;
    }
    for (int i = 0; i < 4; i++) {
        c.output[i] = 0;
        c.count[i] = c.period[i] = c.update_step;
    }
    c.rng = noise_seed;
    c.output[3] = c.rng & 1;
    set_gain(c, (volume >> 8) & 0xff);
    return 0;
}

void SN76496Write(int chip, int data) {
    sn_chip* p = chip_at(chip);
    if (!p) return;
    sn_chip& c = *p;
    data &= 0xff;
    int r;
    if (data & 0x80) {
        r = (data >> 4) & 7;
        c.last_register = r;
        c.reg[r] = (c.reg[r] & 0x3f0) | (data & 0x0f);
    } else {
        r = c.last_register;
        if (r != 0 && r != 2 && r != 4) return;
        c.reg[r] = ((data & 0x3f) << 4) | (c.reg[r] & 0x0f);
    }
    switch (r) {
    case 0: case 2: case 4:
        set_tone_period(c, r);
        break;
    case 1: case 3: case 5: case 7:
        c.volume[r / 2] = c.vol_table[data & 15];
        break;
    case 6: {
        c.noise_fb = (c.reg[6] & 4) ? white_noise : periodic_noise;
        int n = c.reg[6] & 3;
        c.period[3] = n == 3 ? clamp_period(2 * static_cast<int64_t>(c.period[2]))
                             : clamp_period(static_cast<int64_t>(c.update_step) << (5 + n));
        c.rng = noise_seed;
        c.output[3] = c.rng & 1;
        break;
    }
    }
}

void SN76496Update(int chip, int16_t* buffer, int length) {
    sn_chip* p = chip_at(chip);
    if (!p || !buffer) return;
    while (length > 0) {
        int piece = length < max_piece ? length : max_piece;
        update_piece(*p, buffer, piece);
        buffer += piece;
        length -= piece;
    }
}
