#include <gtest/gtest.h>

#include <cmath>

#include "signal_analysis.h"
#include "sound/ym2612.h"

using namespace sound_test;

namespace {

constexpr int clock_hz = 7670442;
constexpr double full = 8191;  // one carrier at full level, after the shift
constexpr double level_unit_db = 0.0234375;

// Register offsets of operators 1-4 within a channel's group.
const int op_offset[5] = {0, 0, 8, 4, 12};

struct stereo {
    samples left, right;
};

class Fm : public testing::Test {
protected:
    int rate = 44100;

    void SetUp() override { start(44100); }
    void TearDown() override { YM2612Shutdown(); }

    void start(int r) {
        YM2612Shutdown();
        rate = r;
        ASSERT_EQ(YM2612Init(1, clock_hz, rate, nullptr, nullptr), 0);
    }

    static void reg(int r, int v) {
        int port = r >= 0x100 ? 2 : 0;
        YM2612Write(0, port, static_cast<uint8_t>(r & 0xff));
        YM2612Write(0, port + 1, static_cast<uint8_t>(v));
    }
    // ch 0-5, op 1-4
    static void op_reg(int ch, int op, int base, int v) {
        reg(base + (ch % 3) + op_offset[op] + (ch / 3) * 0x100, v);
    }
    static void ch_reg(int ch, int base, int v) { reg(base + (ch % 3) + (ch / 3) * 0x100, v); }
    static int key_code(int ch) { return ch < 3 ? ch : ch + 1; }
    static void key(int ch, int ops) { reg(0x28, (ops << 4) | key_code(ch)); }

    static void set_pitch(int ch, int fnum, int block) {
        ch_reg(ch, 0xa4, (block << 3) | (fnum >> 8));
        ch_reg(ch, 0xa0, fnum & 0xff);
    }

    // Algorithm 7 with only operator `op` audible: instant attack, no decay.
    static void single_operator(int ch, int op, int mul, int fnum, int block, int detune = 0) {
        ch_reg(ch, 0xb0, 7);
        for (int o = 1; o <= 4; o++) {
            op_reg(ch, o, 0x30, (detune << 4) | mul);
            op_reg(ch, o, 0x40, o == op ? 0 : 127);
            op_reg(ch, o, 0x50, 31);
            op_reg(ch, o, 0x60, 0);
            op_reg(ch, o, 0x70, 0);
            op_reg(ch, o, 0x80, 0x0f);
        }
        set_pitch(ch, fnum, block);
    }

    stereo render(double seconds) {
        stereo s;
        size_t n = static_cast<size_t>(rate * seconds);
        s.left.resize(n);
        s.right.resize(n);
        const size_t block = static_cast<size_t>(rate / 60);
        for (size_t i = 0; i < n; i += block) {
            int16_t* b[2] = {s.left.data() + i, s.right.data() + i};
            YM2612UpdateOne(0, b, static_cast<int>(std::min(block, n - i)));
        }
        return s;
    }

    static double expected_hz(int fnum, int block, int mul) {
        return fnum * (clock_hz / 144.0) * std::ldexp(1.0, block - 21) * (mul ? mul : 0.5);
    }

    // Samples per step of the envelope counter, from the rate tables.
    double attack_step(int index) const { return rate_step(index, 399128.0, true); }
    double decay_step(int index) const { return rate_step(index, 5514396.0, false); }
    double rate_step(int i, double divisor, bool attack) const {
        if (i < 4) return 0;
        if (attack && i >= 62) return 0x10000000;
        if (i > 63) i = 63;
        double r = clock_hz / static_cast<double>(rate) / 144.0;
        if (i < 60) r *= 1.0 + (i & 3) * 0.25;
        r *= std::ldexp(1.0, (i >> 2) - 1) * 268435456.0;
        return std::floor(r / divisor);
    }
};

}  // namespace

TEST_F(Fm, PitchFollowsFnumBlockAndMultiple) {
    struct note { int fnum, block, mul; };
    for (int r : {44100, 22050}) {
        for (note n : {note{653, 4, 1}, note{1000, 3, 3}, note{0x200, 5, 0}, note{1500, 5, 2}, note{300, 2, 15}}) {
            start(r);
            single_operator(0, 1, n.mul, n.fnum, n.block);
            key(0, 0xf);
            stereo s = render(1.0);
            double want = expected_hz(n.fnum, n.block, n.mul);
            EXPECT_NEAR(frequency(s.left, rate), want, want * 0.005)
                << "rate " << r << " fnum " << n.fnum << " block " << n.block << " mul " << n.mul;
            EXPECT_NEAR(rms(s.left, 100), full / std::sqrt(2.0), full * 0.01);
        }
    }
}

TEST_F(Fm, DetuneShiftsByItsStep) {
    // Key code 31: the largest offsets, 22 steps of clock / 144 / 2^21 Hz.
    const double unit = clock_hz / 144.0 / 2097152.0;
    double base = 0;
    for (int dt : {0, 3, 7, 1}) {
        start(44100);
        single_operator(0, 1, 0, 2000, 7, dt);
        key(0, 0xf);
        double f = frequency(render(2.0).left, rate);
        if (dt == 0) {
            base = f;
            EXPECT_NEAR(f, expected_hz(2000, 7, 0), expected_hz(2000, 7, 0) * 0.005);
            continue;
        }
        int steps = dt == 1 ? 8 : 22;
        double shift = (dt & 4 ? -1 : 1) * steps * unit;
        EXPECT_NEAR(f - base, shift, std::abs(shift) * 0.03) << "detune " << dt;
    }
}

TEST_F(Fm, TotalLevelStepsOfThreeQuartersDecibel) {
    double loudest = 0;
    for (int tl : {0, 1, 2, 4, 8, 16, 32, 64}) {
        start(44100);
        single_operator(0, 1, 1, 1000, 4);
        op_reg(0, 1, 0x40, tl);
        key(0, 0xf);
        stereo s = render(0.3);
        double level = rms(s.left, 200);
        if (tl == 0) loudest = level;
        int units = ((tl << 7) | tl) >> 2;
        EXPECT_NEAR(db(loudest / level), units * level_unit_db, 0.05 + tl * 0.002) << "TL " << tl;
    }
    start(44100);
    single_operator(0, 1, 1, 1000, 4);
    op_reg(0, 1, 0x40, 0x7f);  // 95 dB: below the operators' cut-off
    key(0, 0xf);
    EXPECT_EQ(peak(render(0.1).left, 0, SIZE_MAX), 0);
}

TEST_F(Fm, EnvelopeReachesItsLevelsOnTime) {
    const int fnum = 0x300, block = 5;  // key code 20, scaled by KS 0 to 2
    const int ksr = 2, ar = 10, d1r = 10, sl = 2, rr = 5;
    single_operator(0, 1, 4, fnum, block);
    op_reg(0, 1, 0x50, ar);
    op_reg(0, 1, 0x60, d1r);
    op_reg(0, 1, 0x80, (sl << 4) | rr);
    render(0.02);  // key scaling follows the new pitch from the next update
    key(0, 0xf);
    stereo s = render(1.2);

    const double attack = 0x10000000 / attack_step(2 * ar + ksr);
    const double decay = sl * 0x800000 / decay_step(2 * d1r + ksr);
    const size_t w = 88;  // 2 ms: several cycles of the tone
    // The attack curve: 9.6 dB down a quarter of the way, 0.4 dB at half way.
    EXPECT_NEAR(level_db(s.left, static_cast<size_t>(attack / 4), w, full), -9.61, 0.4);
    EXPECT_NEAR(level_db(s.left, static_cast<size_t>(attack / 2), w, full), -0.375, 0.2);
    EXPECT_NEAR(level_db(s.left, static_cast<size_t>(attack), w, full), 0.0, 0.15);
    // Decay falls linearly in dB to the sustain level, which then holds.
    EXPECT_NEAR(level_db(s.left, static_cast<size_t>(attack + decay / 2), w, full), -1.5 * sl, 0.25);
    EXPECT_NEAR(level_db(s.left, static_cast<size_t>(attack + decay + 2000), w, full), -3.0 * sl, 0.2);
    EXPECT_NEAR(level_db(s.left, s.left.size() - w, w, full), -3.0 * sl, 0.2);

    key(0, 0);
    stereo r = render(1.0);
    const double db_per_second = 96.0 * decay_step(4 * rr + 2 + ksr) * rate / 0x10000000;
    double a = level_db(r.left, static_cast<size_t>(0.1 * rate), w, full);
    double b = level_db(r.left, static_cast<size_t>(0.6 * rate), w, full);
    EXPECT_NEAR(a, -3.0 * sl - 0.1 * db_per_second, 0.3);
    EXPECT_NEAR(a - b, 0.5 * db_per_second, 0.3);
}

TEST_F(Fm, KeyOnRestartsOnlyAfterKeyOff) {
    single_operator(0, 1, 4, 0x300, 5);
    op_reg(0, 1, 0x50, 10);  // a slow attack, so a restart is plain to see
    key(0, 0xf);
    render(1.0);
    key(0, 0xf);  // still sounding: ignored
    stereo held = render(0.05);
    EXPECT_NEAR(level_db(held.left, 200, 88, full), 0.0, 0.2);

    // A sustain rate fades the note out; a key on alone does not bring it back.
    op_reg(0, 1, 0x70, 31);
    render(0.5);
    key(0, 0xf);
    EXPECT_EQ(peak(render(0.05).left, 0, SIZE_MAX), 0);

    key(0, 0);
    key(0, 0xf);
    stereo again = render(0.3);
    EXPECT_LT(level_db(again.left, 300, 88, full), -20.0) << "the attack starts over";
    EXPECT_GT(level_db(again.left, again.left.size() - 100, 88, full), -1.0);
}

TEST_F(Fm, KeyOffInAttackReleasesFromLevelReached) {
    const int ksr = 2, ar = 10;
    single_operator(0, 1, 4, 0x300, 5);
    op_reg(0, 1, 0x50, ar);
    op_reg(0, 1, 0x80, 0x05);
    render(0.02);
    key(0, 0xf);
    const double attack = 0x10000000 / attack_step(2 * ar + ksr);
    int quarter = static_cast<int>(attack / 4);
    stereo s;
    s.left.resize(static_cast<size_t>(quarter));
    s.right.resize(s.left.size());
    int16_t* b[2] = {s.left.data(), s.right.data()};
    YM2612UpdateOne(0, b, quarter);
    double reached = level_db(s.left, s.left.size() - 44, 88, full);
    key(0, 0);
    stereo r = render(0.1);
    EXPECT_NEAR(level_db(r.left, 44, 88, full), reached, 0.5);
    EXPECT_LT(level_db(r.left, r.left.size() - 44, 88, full), reached - 1.0) << "and falls";
}

TEST_F(Fm, FrequencyLatchWaitsForLowByte) {
    single_operator(0, 1, 1, 653, 4);
    key(0, 0xf);
    double before = frequency(render(0.5).left, rate);
    ch_reg(0, 0xa4, (5 << 3) | (653 >> 8));  // an octave up, latched only
    double latched = frequency(render(0.5).left, rate);
    ch_reg(0, 0xa0, 653 & 0xff);
    double after = frequency(render(0.5).left, rate);
    EXPECT_NEAR(latched, before, before * 0.001);
    EXPECT_NEAR(after, 2 * before, before * 0.01);
}

TEST_F(Fm, PanSelectsSides) {
    single_operator(0, 1, 1, 653, 4);
    key(0, 0xf);
    for (int pan : {0, 1, 2, 3}) {
        ch_reg(0, 0xb4, pan << 6);
        stereo s = render(0.1);
        EXPECT_EQ(peak(s.left, 0, SIZE_MAX) > 0, (pan & 2) != 0) << "pan " << pan;
        EXPECT_EQ(peak(s.right, 0, SIZE_MAX) > 0, (pan & 1) != 0) << "pan " << pan;
    }
}

TEST_F(Fm, DacTakesChannelSixAndItsPan) {
    single_operator(5, 1, 1, 653, 4);
    key(5, 0xf);
    reg(0x2a, 0xff);
    reg(0x2b, 0x80);
    stereo s = render(0.1);
    for (size_t i = 0; i < s.left.size(); i++) {
        ASSERT_EQ(s.left[i], 8128) << "the FM voice of channel 6 is not heard";
        ASSERT_EQ(s.right[i], 8128);
    }
    ch_reg(5, 0xb4, 0x80);  // left only
    reg(0x2a, 0x00);
    s = render(0.05);
    EXPECT_EQ(s.left[10], -8192);
    EXPECT_EQ(s.right[10], 0);
    reg(0x2b, 0x00);
    s = render(0.1);
    EXPECT_NEAR(frequency(s.left, rate), expected_hz(653, 4, 1), 2.0) << "the voice returns";
}

TEST_F(Fm, ChannelThreeSpecialModeTunesEachOperator) {
    // 0xA9 tunes operator 1, 0xAA operator 2, 0xA8 operator 3, 0xA2 operator 4.
    const int fnums[5] = {0, 500, 600, 700, 800};
    for (int op = 1; op <= 4; op++) {
        for (int mode : {0x00, 0x40}) {
            start(44100);
            reg(0x27, mode);
            single_operator(2, op, 1, fnums[4], 4);
            for (int i = 0; i < 3; i++) {
                static const int owner[3] = {3, 1, 2};  // entry i of the latches tunes this operator
                reg(0xac + i, (4 << 3) | (fnums[owner[i]] >> 8));
                reg(0xa8 + i, fnums[owner[i]] & 0xff);
            }
            key(2, 0xf);
            double want = expected_hz(mode ? fnums[op] : fnums[4], 4, 1);
            EXPECT_NEAR(frequency(render(0.5).left, rate), want, want * 0.005)
                << "operator " << op << " mode " << mode;
        }
    }
}

TEST_F(Fm, LfoAmplitudeModulationPeriod) {
    for (int setting : {0, 5}) {
        start(44100);
        static const double hz[8] = {3.98, 5.56, 6.02, 6.37, 6.88, 9.63, 48.1, 72.2};
        const double lfo = hz[setting] * clock_hz / 8000000.0;
        single_operator(0, 1, 4, 0x300, 5);
        op_reg(0, 1, 0x60, 0x80);  // AM on
        ch_reg(0, 0xb4, 0xc0 | 0x30);  // both sides, AMS 3 (11.8 dB)
        reg(0x22, 0x08 | setting);
        key(0, 0xf);
        stereo s = render(4.0);
        // The tremolo's envelope, one level every 10 ms, has the LFO's pitch.
        const size_t w = 441;
        samples levels;
        for (size_t i = 0; i + w <= s.left.size(); i += w) {
            levels.push_back(static_cast<int16_t>(rms(s.left, i, i + w)));
        }
        EXPECT_NEAR(frequency(levels, rate / static_cast<int>(w)), lfo, lfo * 0.01) << "setting " << setting;
        if (setting == 0) {
            int deepest = 1 << 16;
            for (size_t i = 0; i + 88 <= s.left.size(); i += 88) deepest = std::min(deepest, peak(s.left, i, i + 88));
            double depth = db(peak(s.left, 0, SIZE_MAX) / static_cast<double>(deepest));
            EXPECT_NEAR(depth, 503 * level_unit_db, 0.3);
        }
    }
}

TEST_F(Fm, LoudSumsSaturate) {
    for (int ch = 0; ch < 6; ch++) {
        single_operator(ch, 1, 1, 653, 4);
        for (int op = 1; op <= 4; op++) op_reg(ch, op, 0x40, 0);
        key(ch, 0xf);
    }
    stereo s = render(0.2);
    int top = 0, bottom = 0;
    for (int16_t v : s.left) {
        top += v == 32767;
        bottom += v == -32768;
    }
    EXPECT_GT(top, 100);
    EXPECT_GT(bottom, 100);
    // The sign follows a single voice: nothing wraps around.
    start(44100);
    single_operator(0, 1, 1, 653, 4);
    key(0, 0xf);
    stereo one = render(0.2);
    for (size_t i = 0; i < s.left.size(); i++) {
        if (std::abs(one.left[i]) > 1000) {
            ASSERT_EQ(s.left[i] > 0, one.left[i] > 0) << "sample " << i;
        }
    }
}

TEST_F(Fm, NewRateKeepsPitchAndEnvelopeTimes) {
    single_operator(0, 1, 1, 1000, 4);
    op_reg(0, 1, 0x80, 0x05);
    key(0, 0xf);
    double want = expected_hz(1000, 4, 1);
    EXPECT_NEAR(frequency(render(0.5).left, rate), want, want * 0.005);
    ASSERT_EQ(YM2612SetRate(0, 22050), 1);
    rate = 22050;
    EXPECT_NEAR(frequency(render(0.5).left, rate), want, want * 0.005);
    key(0, 0);
    stereo r = render(1.0);
    const double db_per_second = 96.0 * decay_step(4 * 5 + 2 + 2) * rate / 0x10000000;
    double drop = level_db(r.left, static_cast<size_t>(0.1 * rate), 44, full) -
                  level_db(r.left, static_cast<size_t>(0.6 * rate), 44, full);
    EXPECT_NEAR(drop, 0.5 * db_per_second, 0.5);
}

TEST_F(Fm, RateZeroIsSilent) {
    start(0);
    single_operator(0, 1, 1, 1000, 4);
    key(0, 0xf);
    rate = 1000;  // render a few blocks all the same
    EXPECT_EQ(peak(render(0.5).left, 0, SIZE_MAX), 0);
}

TEST_F(Fm, SecondInitIsRefused) {
    EXPECT_EQ(YM2612Init(1, clock_hz, 22050, nullptr, nullptr), -1);
}
