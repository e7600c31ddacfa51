// The resampler: the chip's rate to the host's without aliases or a drift.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/resampler.h"

namespace {

constexpr uint32_t clock_hz = 7670442;
constexpr double in_rate = clock_hz / 144.0;

struct fit {
    double amplitude, residual_rms;
};

// Least-squares fit of a sine of frequency hz to out (at rate), and what is left.
fit sine_fit(const std::vector<int16_t>& out, size_t from, double hz, int rate) {
    double ss = 0, sc = 0, cc = 0, ys = 0, yc = 0;
    const double pi = std::acos(-1.0);
    for (size_t i = from; i < out.size(); i++) {
        const double s = std::sin(2 * pi * hz * i / rate), c = std::cos(2 * pi * hz * i / rate);
        ss += s * s, sc += s * c, cc += c * c, ys += out[i] * s, yc += out[i] * c;
    }
    const double det = ss * cc - sc * sc;
    const double a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
    double r = 0;
    for (size_t i = from; i < out.size(); i++) {
        const double e = out[i] - a * std::sin(2 * pi * hz * i / rate) - b * std::cos(2 * pi * hz * i / rate);
        r += e * e;
    }
    return {std::hypot(a, b), std::sqrt(r / static_cast<double>(out.size() - from))};
}

std::vector<int16_t> resample_tone(double hz, int rate, double amplitude, int outputs) {
    resampler f;
    f.configure(clock_hz, 144, static_cast<uint32_t>(rate));
    const int needed = f.inputs_for(outputs);
    std::vector<int32_t> in(static_cast<size_t>(needed));
    const double pi = std::acos(-1.0);
    for (int i = 0; i < needed; i++) in[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(amplitude * std::sin(2 * pi * hz * i / in_rate)));
    std::vector<int16_t> l(static_cast<size_t>(outputs)), r(static_cast<size_t>(outputs));
    f.run(in.data(), in.data(), needed, l.data(), r.data(), outputs);
    EXPECT_EQ(l, r);
    return l;
}

}  // namespace

TEST(Resampler, TonesNearTheTopLeaveNoAliasAboveMinus60Db) {
    const double full = 32767;
    for (double hz : {19000.0, 20000.0, 21000.0}) {
        const std::vector<int16_t> out = resample_tone(hz, 44100, full, 44100);
        const fit f = sine_fit(out, 200, hz, 44100);
        EXPECT_GT(f.amplitude, full * 0.3) << hz << " Hz is passed";
        // Everything else: aliases (a repeated or dropped sample leaves them
        // near 44100 - (53267 - hz)) and the filter's own error.
        EXPECT_LT(20 * std::log10(f.residual_rms * std::sqrt(2.0) / full), -60.0) << hz << " Hz";
    }
}

TEST(Resampler, PassBandIsFlatAndLevelsKept) {
    for (int rate : {11025, 22050, 44100, 48000}) {
        for (double hz : {100.0, 1000.0, rate * 0.3}) {
            const std::vector<int16_t> out = resample_tone(hz, rate, 20000, rate / 2);
            const fit f = sine_fit(out, 300, hz, rate);
            EXPECT_NEAR(f.amplitude, 20000, 20000 * 0.02) << rate << " " << hz;
            EXPECT_LT(f.residual_rms, 20.0) << rate << " " << hz;
        }
    }
}

TEST(Resampler, TakesExactlyTheInputRateOverAnySplit) {
    resampler f;
    f.configure(clock_hz, 144, 44100);
    // One second in blocks of frames: 53266 or 53267 inputs for 44100 outputs.
    long taken = 0;
    std::vector<int32_t> in(1000, 100);
    std::vector<int16_t> l(800), r(800);
    for (int frame = 0; frame < 60; frame++) {
        const int n = 735;
        const int need = f.inputs_for(n);
        f.run(in.data(), in.data(), need, l.data(), r.data(), n);
        taken += need;
    }
    EXPECT_EQ(taken, static_cast<long>(clock_hz / 144));
    EXPECT_EQ(l[700], 100) << "a constant level passes unchanged";
}
