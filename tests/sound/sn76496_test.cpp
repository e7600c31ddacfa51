#include <gtest/gtest.h>

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

// Levels of the noise channel on the grid of its shifts, one bit each.
std::vector<int> noise_bits(const samples& s, double shift_samples, int count) {
    std::vector<int> bits;
    for (int k = 0; k < count; k++) {
        size_t at = static_cast<size_t>((k + 0.5) * shift_samples);
        if (at >= s.size()) break;
        bits.push_back(s[at] > full / 2);
    }
    return bits;
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

TEST(Sn76489, PeriodicAndWhiteNoiseOnToneTwoShifts) {
    const int rate = 44100, n = 1000;
    // Noise mode 3 shifts at every second edge of tone 2: 2 x 16 x N clocks.
    const double shift = 32.0 * n * rate / clock_hz;

    SN76496_init(0, clock_hz, 255, rate);
    set_tone(0, 2, n, 15);
    SN76496Write(0, 0xe3);  // periodic, clocked by tone 2
    SN76496Write(0, 0xf0);
    samples periodic = render(0, rate, 70 * shift / rate);
    std::vector<double> e = edges(periodic, full);
    ASSERT_GT(e.size(), 10u);
    for (double t : e) {
        double k = (t - e[0]) / shift;
        EXPECT_NEAR(k, std::round(k), 0.01) << "noise edges fall on tone 2's shifts";
    }
    std::vector<int> bits = noise_bits(periodic, shift, 64);
    bool repeats15 = true, repeats16 = true;
    for (size_t i = 0; i + 16 < bits.size(); i++) {
        repeats15 = repeats15 && bits[i] == bits[i + 15];
        repeats16 = repeats16 && bits[i] == bits[i + 16];
    }
    EXPECT_TRUE(repeats15 || repeats16);

    // Rewriting the control restarts the register: the pattern starts over.
    SN76496_init(0, clock_hz, 255, rate);
    set_tone(0, 2, n, 15);
    SN76496Write(0, 0xe3);
    SN76496Write(0, 0xf0);
    render(0, rate, 7.3 * shift / rate);
    SN76496Write(0, 0xe3);
    std::vector<double> e2 = edges(render(0, rate, 70 * shift / rate), full);
    // The pattern's runs, in shifts, start over. The first run after the
    // rewrite is cut short by the shift clock's phase, so it is not compared.
    auto runs = [&](const std::vector<double>& t) {
        std::vector<long> r;
        for (size_t i = 1; i < t.size(); i++) r.push_back(std::lround((t[i] - t[i - 1]) / shift));
        return r;
    };
    std::vector<long> first = runs(e), restarted = runs(e2);
    ASSERT_GT(restarted.size(), 12u);
    std::vector<long> tail(restarted.begin() + 1, restarted.begin() + 12);
    bool found = false;
    for (size_t k = 0; k < 3 && k + tail.size() <= first.size(); k++) {
        found = found || std::equal(tail.begin(), tail.end(), first.begin() + static_cast<long>(k));
    }
    EXPECT_TRUE(found);

    SN76496_init(0, clock_hz, 255, rate);
    set_tone(0, 2, n, 15);
    SN76496Write(0, 0xe7);  // white, clocked by tone 2
    SN76496Write(0, 0xf0);
    std::vector<int> white = noise_bits(render(0, rate, 200 * shift / rate), shift, 200);
    bool w15 = true, w16 = true;
    int ones = 0;
    for (size_t i = 0; i + 16 < white.size(); i++) {
        w15 = w15 && white[i] == white[i + 15];
        w16 = w16 && white[i] == white[i + 16];
        ones += white[i];
    }
    EXPECT_FALSE(w15 || w16) << "white noise does not repeat within 16 shifts";
    EXPECT_GT(ones, 40);
    EXPECT_LT(ones, 150);
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
    // Chip 1 has never had its noise control written.
    SN76496_init(1, clock_hz, 255, 44100);
    SN76496Write(1, 0xf0);
    samples s = render(1, 44100, 0.1);
    EXPECT_GT(peak(s, 0, 4), 0) << "the first bits of the seed are heard";
    EXPECT_EQ(peak(s, 20, s.size()), 0) << "then the register runs empty";
}
