#include <gtest/gtest.h>

#include <string>

#include "signal_analysis.h"
#include "sound/sn76496.h"

using namespace sound_test;

namespace {

constexpr int clock_hz = 3579545;
constexpr int full = 10922;  // loudest channel

samples render(int chip, int rate, double seconds) {
    samples out(static_cast<size_t>(rate * seconds));
    const int block = rate / 60;
    for (size_t i = 0; i < out.size(); i += block) {
        int n = static_cast<int>(std::min<size_t>(block, out.size() - i));
        SN76496Update(chip, out.data() + i, n);
    }
    return out;
}

void set_tone(int chip, int channel, int period, int attenuation) {
    SN76496Write(chip, 0x80 | (channel << 5) | (period & 15));
    SN76496Write(chip, (period >> 4) & 0x3f);
    SN76496Write(chip, 0x90 | (channel << 5) | attenuation);
}

}  // namespace

TEST(Sn76489, ToneFrequencyAtEachRate) {
    for (int rate : {11025, 22050, 44100}) {
        for (int n : {0x3f8, 0x0fe, 0x047, 0x023}) {
            SN76496_init(0, clock_hz, 255, rate);
            set_tone(0, 0, n, 0);
            samples s = render(0, rate, 1.0);
            double expected = clock_hz / (32.0 * n);
            if (expected > rate / 2.0) continue;
            EXPECT_NEAR(frequency(s, rate), expected, expected * 0.005) << "rate " << rate << " N " << n;
        }
    }
}

TEST(Sn76489, AttenuationStepsOfTwoDecibels) {
    SN76496_init(0, clock_hz, 255, 44100);
    double loudest = 0;
    for (int a = 0; a < 15; a++) {
        set_tone(0, 1, 0x100, a);
        samples s = render(0, 44100, 0.2);
        double level = rms(s, 1000);
        if (a == 0) loudest = level;
        EXPECT_NEAR(db(loudest / level), 2.0 * a, 0.1) << "attenuation " << a;
        EXPECT_GE(*std::min_element(s.begin(), s.end()), 0);
        EXPECT_LE(*std::max_element(s.begin(), s.end()), full);
    }
    set_tone(0, 1, 0x100, 15);
    samples s = render(0, 44100, 0.1);
    EXPECT_EQ(peak(s, 0, s.size()), 0) << "attenuation 15 is silence";
}

TEST(Sn76489, PeriodZeroPlaysAsOne) {
    samples zero, one;
    for (int n : {0, 1}) {
        SN76496_init(0, clock_hz, 255, 44100);
        set_tone(0, 2, n, 0);
        (n ? one : zero) = render(0, 44100, 0.1);
    }
    EXPECT_EQ(zero, one);
}

TEST(Sn76489, ToneAboveHalfTheRateGivesItsAverage) {
    SN76496_init(0, clock_hz, 255, 44100);
    set_tone(0, 0, 1, 0);  // 112 kHz
    samples s = render(0, 44100, 0.2);
    EXPECT_NEAR(mean(s), full / 2.0, full * 0.01);
    // An aliased square would swing over the whole range.
    for (size_t i = 10; i < s.size(); i++) ASSERT_NEAR(s[i], full / 2, full / 10) << "sample " << i;
}

TEST(Sn76489, OutputNeverNegativeAndLimited) {
    SN76496_init(0, clock_hz, 255, 44100);
    for (int c = 0; c < 3; c++) set_tone(0, c, 0x3ff, 0);
    SN76496Write(0, 0xe4);  // white noise
    SN76496Write(0, 0xf0);
    samples s = render(0, 44100, 0.5);
    EXPECT_GE(*std::min_element(s.begin(), s.end()), 0);
    int top = *std::max_element(s.begin(), s.end());
    EXPECT_LE(top, 32767);
    EXPECT_GT(top, 3 * full) << "all four channels high together add up";
}

// The noise register's output from a reset (0x8000), one bit per shift:
// periodic noise circulates its one set bit, white noise feeds back bits 0 and 3.
const char* const periodic_bits = "0000000000000001000000000000000100000000000000010000000000000001";
const char* const white_bits = "0000000000000001000000000000100100000000010000010000001001001001";

// Noise levels from a control write, one bit per shift: the level before
// the first shift, then the middle of each shift's bit, placed by the first
// set bit (after the fifteenth shift in both kinds).
std::vector<int> noise_from_reset(int control, double shift, int count) {
    SN76496_init(0, clock_hz, 255, 44100);
    set_tone(0, 2, 1000, 15);
    SN76496Write(0, control);
    SN76496Write(0, 0xf0);
    samples s = render(0, 44100, (count + 20) * shift / 44100);
    std::vector<double> e = edges(s, full);
    std::vector<int> bits;
    if (e.empty()) return bits;
    for (int k = 0; k < count; k++) {
        const double at = k == 0 ? 0.0 : e[0] + (k - 14.5) * shift;
        if (at < 0 || at >= static_cast<double>(s.size())) break;
        bits.push_back(s[static_cast<size_t>(at)] > full / 2);
    }
    return bits;
}

std::string text_of(const std::vector<int>& bits) {
    std::string t;
    for (int b : bits) t += b ? '1' : '0';
    return t;
}

TEST(Sn76489, NoiseBitsFromAResetInEveryMode) {
    // One unit of a tone register in output samples, as the chip counts it.
    const double unit = static_cast<int>(44100.0 * 65536 * 16 / clock_hz) / 65536.0;
    for (int white = 0; white < 2; white++) {
        const char* expected = white ? white_bits : periodic_bits;
        // The three fixed rates (32, 64 and 128 units a shift), then tone 2's (2 x its period).
        for (int rate = 0; rate < 4; rate++) {
            const double shift = rate < 3 ? unit * (32 << rate) : unit * 2 * 1000;
            const std::vector<int> bits = noise_from_reset(0xe0 | (white << 2) | rate, shift, 64);
            EXPECT_EQ(text_of(bits), expected) << (white ? "white" : "periodic") << " noise, rate " << rate;
        }
    }
}

TEST(Sn76489, NoisePeriodsAndRestartAtEveryControlWrite) {
    const double unit = static_cast<int>(44100.0 * 65536 * 16 / clock_hz) / 65536.0;
    const double fast = unit * 32;
    // White noise repeats after 57337 shifts, not at the full 65535 of 16 bits.
    const std::vector<int> white = noise_from_reset(0xe4, fast, 2 * 57337 + 10);
    ASSERT_EQ(white.size(), size_t(2 * 57337 + 10));
    bool repeats = true, repeats_full = true;
    for (size_t i = 0; i < 57337; i++) {
        repeats = repeats && white[i] == white[i + 57337];
        repeats_full = repeats_full && (i + 65535 >= white.size() || white[i] == white[i + 65535]);
    }
    EXPECT_TRUE(repeats);
    EXPECT_FALSE(repeats_full);
    bool shorter = true;
    for (size_t i = 0; i < 200; i++) shorter = shorter && white[i] == white[i + 16];
    EXPECT_FALSE(shorter);

    // Periodic noise: 16 shifts, one of them high.
    const std::vector<int> periodic = noise_from_reset(0xe0, fast, 160);
    ASSERT_EQ(periodic.size(), 160u);
    int ones = 0;
    for (size_t i = 0; i + 16 < periodic.size(); i++) EXPECT_EQ(periodic[i], periodic[i + 16]) << i;
    for (int b : periodic) ones += b;
    EXPECT_EQ(ones, 10);

    // A rewrite part way restarts the register: the set bit comes 16 shifts
    // after it, not where the old pattern had it.
    SN76496_init(0, clock_hz, 255, 44100);
    SN76496Write(0, 0xe2);
    SN76496Write(0, 0xf0);
    const double slow = unit * 128;
    samples before = render(0, 44100, 20.3 * slow / 44100);  // the first set bit at shift 16
    SN76496Write(0, 0xe2);
    samples after = render(0, 44100, 40 * slow / 44100);
    std::vector<double> e = edges(after, full);
    ASSERT_FALSE(e.empty());
    EXPECT_NEAR(e[0] / slow, 15.0, 1.0);
    EXPECT_GT(peak(before, 0, before.size()), 0);
}

TEST(Sn76489, ChangingToneTwoRetunesLinkedNoiseAtOnce) {
    const int rate = 44100;
    SN76496_init(0, clock_hz, 255, rate);
    set_tone(0, 2, 200, 15);
    SN76496Write(0, 0xe7);
    SN76496Write(0, 0xf0);
    render(0, rate, 0.05);
    SN76496Write(0, 0xc0 | (600 & 15));  // latch only: period (600 & 15) | old high bits
    SN76496Write(0, 600 >> 4);            // data byte completes 600
    samples s = render(0, rate, 1.0);
    std::vector<double> e = edges(s, full);
    ASSERT_GT(e.size(), 20u);
    const double shift = 32.0 * 600 * rate / clock_hz;
    for (size_t i = 1; i < e.size(); i++) {
        double k = (e[i] - e[1]) / shift;
        EXPECT_NEAR(k, std::round(k), 0.02);
    }
}

TEST(Sn76489, NoiseWithoutFeedbackUntilFirstControlWrite) {
    // Chip 1 has never had its noise control written: it shifts every tone
    // unit (16 clocks, a fifth of a sample), so the seed's one set bit comes
    // out in the third sample, and nothing follows.
    SN76496_init(1, clock_hz, 255, 44100);
    SN76496Write(1, 0xf0);
    samples s = render(1, 44100, 0.1);
    EXPECT_EQ(peak(s, 0, 2), 0);
    EXPECT_GT(peak(s, 2, 4), 0) << "the seed's set bit is heard once";
    EXPECT_EQ(peak(s, 4, s.size()), 0) << "then the register runs empty";
}
