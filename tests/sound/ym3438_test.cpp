// The chip model at its own sample rate (clock / 144): envelope times and
// shapes, the LFO's rates and depths, detune, timers and CSM.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "signal_analysis.h"
#include "sound/ym3438.h"
#include "sound/ym3438_internal.h"

using namespace sound_test;

namespace {

constexpr double chip_rate = 7670442.0 / 144;
// The chip's LFO rates are given for an 8 MHz clock; the board's is slower.
constexpr double clock_scale = 7670442.0 / 8000000.0;

void w(int reg, int value, int half = 0) {
    ym3438_write(half * 2, static_cast<uint8_t>(reg));
    ym3438_write(half * 2 + 1, static_cast<uint8_t>(value));
}

samples run(int count) {
    std::vector<int32_t> l(static_cast<size_t>(count)), r(static_cast<size_t>(count));
    ym3438_run(l.data(), r.data(), count);
    samples out(l.size());
    for (size_t i = 0; i < l.size(); i++) out[i] = static_cast<int16_t>(l[i]);
    return out;
}

// Operator 4 of channel 1 alone (algorithm 7, the others at total level 127),
// with its envelope registers; frequency fnum at block.
void one_operator(int fnum, int block, int ar, int d1r, int d2r, int sl_rr, int ssg = 0, int am_d1r_flag = 0) {
    ym3438_reset();
    w(0xb0, 7);
    for (int slot = 0; slot < 4; slot++) {
        const bool heard = slot == 3;
        w(0x30 + slot * 4, 1);
        w(0x40 + slot * 4, heard ? 0 : 127);
        w(0x50 + slot * 4, ar);
        w(0x60 + slot * 4, d1r | am_d1r_flag);
        w(0x70 + slot * 4, d2r);
        w(0x80 + slot * 4, sl_rr);
        w(0x90 + slot * 4, heard ? ssg : 0);
    }
    w(0xa4, (block << 3) | (fnum >> 8));
    w(0xa0, fnum & 0xff);
}

const opn::fm_operator& heard_op() { return opn::chip.channel[0].op[3]; }
void key_on() { w(0x28, 0xf0); }
void key_off() { w(0x28, 0x00); }

// Samples until operator 4's envelope level meets the test.
template <class Test>
int samples_until(Test done, int limit) {
    for (int n = 1; n <= limit; n++) {
        run(1);
        if (done(heard_op().level)) return n;
    }
    return -1;
}

double ms(int samples_run) { return samples_run * 1000.0 / chip_rate; }

// Peak magnitude in windows of the given length.
std::vector<double> envelope(const samples& s, size_t window) {
    std::vector<double> e;
    for (size_t at = 0; at + window <= s.size(); at += window) e.push_back(peak(s, at, at + window));
    return e;
}

// Upward crossings of the mean, in window units.
std::vector<double> crossings(const std::vector<double>& e) {
    double m = 0;
    for (double v : e) m += v;
    m /= static_cast<double>(e.size());
    std::vector<double> t;
    for (size_t i = 1; i < e.size(); i++) {
        if (e[i - 1] < m && e[i] >= m) t.push_back(static_cast<double>(i - 1) + (m - e[i - 1]) / (e[i] - e[i - 1]));
    }
    return t;
}

}  // namespace

TEST(ChipEnvelope, DecayTimesFromFullLevelToSilence) {
    // Key code 0 (block 0), so a register rate R runs at rate 2R. The full
    // 96 dB takes 1023 steps: eight a step from rate 60, one from rate 48,
    // half of one at 44, and half as many for every four rates below.
    const struct {
        int r;
        double expected_ms;
    } rates[] = {{30, 7.21}, {24, 57.6}, {22, 115.2}, {16, 921.8}};
    for (const auto& c : rates) {
        one_operator(0x100, 0, 31, c.r, c.r, 0xf0 | 15);
        key_on();
        EXPECT_EQ(heard_op().level, 0) << "the fastest attack is complete at key on";
        const int n = samples_until([](int level) { return level >= 1023; }, 60000);
        EXPECT_NEAR(ms(n), c.expected_ms, c.expected_ms * 0.02) << "rate " << 2 * c.r;
    }
}

TEST(ChipEnvelope, AttackTimesFromSilenceToFullLevel) {
    // The attack closes a sixteenth of the distance (times the increment) a step.
    const struct {
        int r;
        double expected_ms;
    } rates[] = {{30, 0.56}, {28, 1.18}, {24, 4.11}, {20, 16.3}, {16, 65.3}};
    for (const auto& c : rates) {
        one_operator(0x100, 0, c.r, 0, 0, 0x0f);
        key_on();
        const int n = samples_until([](int level) { return level == 0; }, 20000);
        EXPECT_NEAR(ms(n), c.expected_ms, c.expected_ms * 0.1 + 0.06) << "rate " << 2 * c.r;
    }
    // Rates 62 and 63 reach full level at once.
    one_operator(0x100, 0, 31, 0, 0, 0x0f);
    key_on();
    EXPECT_EQ(heard_op().level, 0);
}

TEST(ChipEnvelope, SustainLevelsAndKeyScaling) {
    // Decay stops at the sustain level: 3 dB (32 steps) a unit, 15 meaning 93 dB.
    for (int sl : {1, 4, 10, 15}) {
        one_operator(0x100, 0, 31, 30, 0, (sl << 4) | 15);
        key_on();
        run(3000);
        EXPECT_EQ(heard_op().level >> 5, sl == 15 ? 31 : sl);
        EXPECT_EQ(heard_op().eg_state, opn::eg_sustain);
    }
    // Key scale 3 adds the key code (31 here) to rate 2R: rate 16 becomes 47.
    one_operator(2000, 7, 31, 8, 8, 0xf0 | 15);
    w(0x5c, 0xc0 | 31);
    key_on();
    const int n = samples_until([](int level) { return level >= 1023; }, 60000);
    EXPECT_NEAR(ms(n), 65.8, 1.5);
}

TEST(ChipEnvelope, KeyOnDuringReleaseStartsTheAttackFromTheLevelReached) {
    one_operator(0x100, 0, 31, 0, 0, 0x0f | (0 << 4));
    key_on();
    run(30);
    w(0x8c, 0x07);  // release at rate 15
    key_off();
    samples_until([](int level) { return level >= 480; }, 200000);
    const int reached = heard_op().level;
    w(0x5c, 12);  // a slow attack
    key_on();
    EXPECT_EQ(heard_op().level, reached);
    run(600);
    EXPECT_LT(heard_op().level, reached);
    EXPECT_GT(heard_op().level, 0);
}

TEST(ChipEnvelope, SsgShapesAtTheirTurningPoints) {
    // Rate 48 made four times faster: 0x200 steps (48 dB) take 128 envelope
    // steps, 384 samples. Heard levels before the first turn, after it, in
    // the middle of the second ramp and long after.
    const struct {
        int ssg;
        int start, before, after, middle, late;
    } shapes[] = {
        {0x8, 0, 0x1f0, 0x000, 0x100, -1},     // down, down, ...
        {0x9, 0, 0x1f0, 0x3ff, 0x3ff, 0x3ff},  // down, then silent
        {0xa, 0, 0x1f0, 0x200, 0x100, -1},     // down, up, down, ...
        {0xb, 0, 0x1f0, 0x000, 0x000, 0x000},  // down, then held loud
        {0xc, 0x200, 0x010, 0x200, 0x100, -1}, // up, up, ...
        {0xd, 0x200, 0x010, 0x000, 0x000, 0x000},
        {0xe, 0x200, 0x010, 0x000, 0x100, -1},
        {0xf, 0x200, 0x010, 0x3ff, 0x3ff, 0x3ff},
    };
    for (const auto& s : shapes) {
        one_operator(0x100, 0, 31, 24, 24, 0xf0 | 15, s.ssg);
        key_on();
        auto heard = [] { return static_cast<int>(heard_op().attenuation); };
        EXPECT_NEAR(heard(), s.start, 4) << std::hex << "shape " << s.ssg;
        run(380);
        EXPECT_NEAR(heard(), s.before, 24) << std::hex << "shape " << s.ssg;
        run(15);
        EXPECT_NEAR(heard(), s.after, 24) << std::hex << "shape " << s.ssg;
        run(190);
        EXPECT_NEAR(heard(), s.middle, 24) << std::hex << "shape " << s.ssg;
        run(3000);
        if (s.late >= 0) {
            EXPECT_EQ(heard(), s.late) << std::hex << "shape " << s.ssg;
        }
        // Key off releases from the level heard.
        const int before_off = heard();
        key_off();
        EXPECT_EQ(heard(), before_off) << std::hex << "shape " << s.ssg;
    }
    // The repeating shape keeps its period: a turn every 128 envelope steps.
    one_operator(0x100, 0, 31, 24, 24, 0xf0 | 15, 0x8);
    key_on();
    int turns = 0, last = 0;
    for (int i = 0; i < 3 * 387 + 10; i++) {
        run(1);
        if (heard_op().level < last) turns++;
        last = heard_op().level;
    }
    EXPECT_EQ(turns, 3);
}

TEST(ChipLfo, EightRatesAndTremoloDepths) {
    const double published_hz[8] = {3.98, 5.56, 6.02, 6.37, 6.88, 9.63, 48.1, 72.2};
    for (int rate = 0; rate < 8; rate++) {
        one_operator(1000, 7, 31, 0x00, 0, 0x0f, 0, 0x80);
        w(0xb4, 0xc0 | 0x30);  // deepest tremolo
        w(0x22, 0x08 | rate);
        key_on();
        const double hz = published_hz[rate] * clock_scale;
        const samples s = run(static_cast<int>(chip_rate * std::max(3.2 / hz, 0.2)));
        const size_t window = 32;  // two cycles of the tone
        const std::vector<double> t = crossings(envelope(s, window));
        ASSERT_GE(t.size(), 3u) << "rate " << rate;
        const double measured = chip_rate / ((t.back() - t.front()) / static_cast<double>(t.size() - 1) * window);
        EXPECT_NEAR(measured, hz, hz * 0.01) << "rate " << rate;
    }
    // Depths 1.4, 5.9 and 11.8 dB from the loudest to the quietest.
    const double depth_db[4] = {0, 1.4, 5.9, 11.8};
    for (int ams = 0; ams < 4; ams++) {
        one_operator(1000, 5, 31, 0x00, 0, 0x0f, 0, 0x80);
        w(0xb4, 0xc0 | (ams << 4));
        w(0x22, 0x08 | 0);  // slow, so that a window sees one level
        key_on();
        const std::vector<double> e = envelope(run(16000), 256);
        const auto [low, high] = std::minmax_element(e.begin() + 1, e.end());
        EXPECT_NEAR(db(*high / *low), depth_db[ams], 0.3) << "AMS " << ams;
    }
    // An operator without the tremolo bit is not touched.
    one_operator(1000, 5, 31, 0x00, 0, 0x0f);
    w(0xb4, 0xc0 | 0x30);
    w(0x22, 0x08 | 7);
    key_on();
    const std::vector<double> e = envelope(run(4000), 256);
    const auto [low, high] = std::minmax_element(e.begin() + 1, e.end());
    EXPECT_LT(db(*high / *low), 0.1);
}

TEST(ChipLfo, VibratoDepths) {
    // A slow LFO, the tone's frequency measured over short stretches.
    const double cents[8] = {0, 3.4, 6.7, 10, 14, 20, 40, 80};
    for (int pms : {0, 3, 6, 7}) {
        one_operator(1200, 4, 31, 0, 0, 0x0f);
        w(0xb4, 0xc0 | pms);
        w(0x22, 0x08 | 0);
        key_on();
        const samples s = run(static_cast<int>(chip_rate / (3.98 * clock_scale)) + 1000);
        double lowest = 1e9, highest = 0;
        for (size_t at = 0; at + 600 < s.size(); at += 300) {
            const samples piece(s.begin() + static_cast<long>(at), s.begin() + static_cast<long>(at + 600));
            const double f = frequency(piece, static_cast<int>(std::lround(chip_rate)));
            lowest = std::min(lowest, f);
            highest = std::max(highest, f);
        }
        const double swing = 1200 * std::log2(highest / lowest) / 2;
        EXPECT_NEAR(swing, cents[pms], 1.0 + cents[pms] * 0.15) << "PMS " << pms;
    }
}

TEST(ChipPhase, DetuneOffsetsByKeyCode) {
    // One step of a phase increment is chip_rate / 2^20 Hz; multiple 1.
    const double step_hz = chip_rate / 1048576.0;
    const struct {
        int fnum, block, dt, steps;  // key code in the comment
    } cases[] = {
        {2000, 7, 1, 8}, {2000, 7, 2, 16}, {2000, 7, 3, 22},  // key code 31
        {1200, 4, 1, 3}, {1200, 4, 3, 10},                    // key code 19
        {600, 2, 2, 2}, {600, 2, 3, 4},                       // key code 8
    };
    for (const auto& c : cases) {
        double hz[3];
        const int dts[3] = {0, c.dt, c.dt | 4};
        for (int i = 0; i < 3; i++) {
            one_operator(c.fnum, c.block, 31, 0, 0, 0x0f);
            w(0x3c, (dts[i] << 4) | 1);
            key_on();
            hz[i] = frequency(run(static_cast<int>(chip_rate)), static_cast<int>(std::lround(chip_rate)));
        }
        // frequency() counts in whole output samples; scale to the true rate.
        const double scale = chip_rate / std::lround(chip_rate);
        EXPECT_NEAR((hz[1] - hz[0]) * scale, c.steps * step_hz, step_hz * 0.3) << c.fnum << " DT " << c.dt;
        EXPECT_NEAR((hz[0] - hz[2]) * scale, c.steps * step_hz, step_hz * 0.3) << c.fnum << " DT " << (c.dt | 4);
    }
}

TEST(ChipTimers, PeriodsFlagsAndReset) {
    ym3438_reset();
    // Timer A: 1024 - 1000 = 24 samples.
    w(0x24, 1000 >> 2);
    w(0x25, 1000 & 3);
    w(0x27, 0x05);
    run(23);
    EXPECT_EQ(ym3438_status(), 0);
    run(1);
    EXPECT_EQ(ym3438_status(), 1);
    w(0x27, 0x15);  // flag cleared, timer still running
    EXPECT_EQ(ym3438_status(), 0);
    run(23);
    EXPECT_EQ(ym3438_status(), 0);
    run(1);
    EXPECT_EQ(ym3438_status(), 1);
    // Without its enable bit the timer runs but sets no flag.
    w(0x27, 0x11);
    run(100);
    EXPECT_EQ(ym3438_status(), 0);

    // Timer B: 16 x (256 - 250) = 96 samples.
    ym3438_reset();
    w(0x26, 250);
    w(0x27, 0x0a);
    run(95);
    EXPECT_EQ(ym3438_status(), 0);
    run(1);
    EXPECT_EQ(ym3438_status(), 2);
    w(0x27, 0x2a);
    run(95);
    EXPECT_EQ(ym3438_status(), 0);
    run(1);
    EXPECT_EQ(ym3438_status(), 2);
    // Stopped, it sets nothing.
    w(0x27, 0x28);
    run(500);
    EXPECT_EQ(ym3438_status(), 0);
}

TEST(ChipTimers, CsmKeysChannelThreeAtEachTimerAOverflow) {
    auto csm_note = [](int mode) {
        ym3438_reset();
        w(0xb2, 7);
        for (int slot = 0; slot < 4; slot++) {
            w(0x32 + slot * 4, 1);
            w(0x42 + slot * 4, slot == 3 ? 0 : 127);
            w(0x52 + slot * 4, 31);
            w(0x82 + slot * 4, 0x0e);  // 48 dB in some 250 samples
        }
        w(0xa6, (4 << 3) | 4);
        w(0xa2, 0x00);
        w(0x24, 0);  // 1024 samples a period
        w(0x25, 0);
        w(0x27, mode);
        return run(3000);
    };
    const samples csm = csm_note(0x81);
    EXPECT_EQ(peak(csm, 0, 1023), 0) << "silent before the first overflow";
    EXPECT_GT(peak(csm, 1024, 1100), 2000) << "keyed at the overflow";
    EXPECT_LT(peak(csm, 1900, 2047), 100) << "released again before the next";
    EXPECT_GT(peak(csm, 2048, 2100), 2000);
    // The same timer in the split frequency mode keys nothing.
    EXPECT_EQ(peak(csm_note(0x41), 0, 3000), 0);
}

TEST(ChipOutput, ChannelsClipAtFourteenBitsAndPanAndDac) {
    // Algorithm 7 with four carriers at full level: their sum clips at 8191.
    ym3438_reset();
    w(0xb0, 7);
    for (int slot = 0; slot < 4; slot++) {
        w(0x30 + slot * 4, 1);
        w(0x40 + slot * 4, 0);
        w(0x50 + slot * 4, 31);
        w(0x80 + slot * 4, 0x0f);
    }
    w(0xa4, 4 << 3);
    w(0xa0, 0x80);
    w(0x28, 0xf0);
    const samples s = run(2000);
    EXPECT_EQ(*std::max_element(s.begin(), s.end()), 8191);
    EXPECT_EQ(*std::min_element(s.begin(), s.end()), -8192);

    // Pan: left only.
    w(0xb4, 0x80);
    std::vector<int32_t> l(100), r(100);
    ym3438_run(l.data(), r.data(), 100);
    EXPECT_GT(*std::max_element(l.begin(), l.end()), 4000);
    EXPECT_EQ(*std::max_element(r.begin(), r.end()), 0);

    // The DAC takes channel 6, on its pan: (data - 128) x 64.
    ym3438_reset();
    w(0xb6, 0x40, 1);
    w(0x2a, 0xff);
    w(0x2b, 0x80);
    ym3438_run(l.data(), r.data(), 10);
    EXPECT_EQ(l[5], 0);
    EXPECT_EQ(r[5], 127 * 64);
    w(0x2a, 0x00);
    ym3438_run(l.data(), r.data(), 10);
    EXPECT_EQ(r[5], -128 * 64);
}

TEST(ChipModelState, RoundTripAndDamagedStatesRefused) {
    one_operator(1000, 4, 20, 5, 3, 0x47, 0xa, 0x80);
    w(0x22, 0x0d);
    w(0xb4, 0xc0 | 0x33);
    w(0x24, 0x80);
    w(0x27, 0x0f);
    key_on();
    run(1234);
    std::vector<uint8_t> saved;
    ym3438_save_state(saved);
    const samples first = run(5000);
    ASSERT_EQ(ym3438_load_state(saved.data(), saved.size()), 1);
    EXPECT_EQ(run(5000), first);

    ASSERT_EQ(ym3438_load_state(saved.data(), saved.size()), 1);
    std::vector<uint8_t> cut(saved.begin(), saved.end() - 1);
    EXPECT_EQ(ym3438_load_state(cut.data(), cut.size()), 0);
    std::vector<uint8_t> longer = saved;
    longer.push_back(0);
    EXPECT_EQ(ym3438_load_state(longer.data(), longer.size()), 0);
    // Every byte set to 0xff in turn: refused or loaded, never a crash.
    for (size_t i = 0; i < saved.size(); i++) {
        std::vector<uint8_t> bad = saved;
        bad[i] = 0xff;
        if (ym3438_load_state(bad.data(), bad.size())) run(16);
    }
    ASSERT_EQ(ym3438_load_state(saved.data(), saved.size()), 1);
    EXPECT_EQ(run(5000), first) << "a refused state changes nothing";
}
