#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "signal_analysis.h"
#include "sound/sn76496.h"
#include "sound/upd7759.h"
#include "sound/ym2612.h"

using namespace sound_test;

namespace {

using bytes = std::vector<uint8_t>;

constexpr int rate = 44100;
constexpr int block = rate / 60;

// One sound chip as its state is seen from outside: a way to set it playing
// mid-note, to render it, to save it and load it.
struct chip_case {
    const char* name;
    std::function<void()> start_mid_note;
    std::function<void(int rate)> restart_at;
    std::function<samples(size_t)> render;
    std::function<void(bytes&)> save;
    std::function<int(const uint8_t*, size_t)> load;
};

bytes saved(const chip_case& c) {
    bytes b;
    c.save(b);
    return b;
}

// --- FM: a two-carrier voice in decay with LFO vibrato and tremolo, a
// second voice released, the DAC on channel 6 and timer A running.

void fm_reg(int r, int v) {
    const int port = r >= 0x100 ? 2 : 0;
    YM2612Write(0, port, static_cast<uint8_t>(r & 0xff));
    YM2612Write(0, port + 1, static_cast<uint8_t>(v));
}

void fm_voice(int ch, int fnum, int block_number) {
    static const int op_offset[4] = {0, 8, 4, 12};  // operators 1-4
    const int base = (ch % 3) + (ch / 3) * 0x100;
    fm_reg(base + 0xb0, (5 << 3) | 4);       // feedback 5, algorithm 4
    fm_reg(base + 0xb4, 0xc0 | 0x20 | 0x05); // both sides, AMS 2, PMS 5
    for (int o = 0; o < 4; o++) {
        const int at = base + op_offset[o];
        fm_reg(at + 0x30, ((o + 1) << 4) | (o + 1));
        fm_reg(at + 0x40, o % 2 ? 0 : 24);
        fm_reg(at + 0x50, 0x40 | 31);
        fm_reg(at + 0x60, 0x80 | 9);
        fm_reg(at + 0x70, 4);
        fm_reg(at + 0x80, 0x57);
    }
    fm_reg(base + 0xa4, (block_number << 3) | (fnum >> 8));
    fm_reg(base + 0xa0, fnum & 0xff);
    fm_reg(0x28, 0xf0 | (ch < 3 ? ch : ch + 1));
}

samples fm_render(size_t n) {
    samples left(n), right(n);
    for (size_t i = 0; i < n; i += block) {
        int16_t* b[2] = {left.data() + i, right.data() + i};
        YM2612UpdateOne(0, b, static_cast<int>(std::min<size_t>(block, n - i)));
    }
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

void fm_start() {
    YM2612Shutdown();
    ASSERT_EQ(YM2612Init(1, 7670442, rate, nullptr, nullptr), 0);
    fm_reg(0x22, 0x08 | 3);
    fm_reg(0x24, 0x80);
    fm_reg(0x27, 0x05);  // timer A loaded and flagging
    fm_voice(0, 0x400, 4);
    fm_voice(1, 0x2d0, 3);
    fm_render(300);
    fm_reg(0x28, 0x01);  // channel 2 into release
    fm_reg(0x2b, 0x80);
    fm_reg(0x2a, 0xc0);
    fm_render(1500);
}

// --- PSG: three tones and white noise, the shift register well past its seed.

void psg_tone(int channel, int period, int attenuation) {
    SN76496Write(0, 0x80 | (channel << 5) | (period & 15));
    SN76496Write(0, (period >> 4) & 0x3f);
    SN76496Write(0, 0x90 | (channel << 5) | attenuation);
}

samples psg_render(size_t n) {
    samples s(n);
    for (size_t i = 0; i < n; i += block) {
        SN76496Update(0, s.data() + i, static_cast<int>(std::min<size_t>(block, n - i)));
    }
    return s;
}

void psg_start() {
    SN76496_init(0, 3579545, 255, rate);
    psg_tone(0, 254, 2);
    psg_tone(1, 101, 4);
    psg_tone(2, 57, 6);
    SN76496Write(0, 0xe0 | 4 | 1);  // white noise, 1024 clocks a shift
    SN76496Write(0, 0xf3);
    psg_render(3000);
}

// --- Speech: one long sample, half played.

bytes speech_rom = [] {
    bytes rom(upd7759_rom_span, 0);
    rom[0] = 0;  // one sample
    rom[1] = 0x5a; rom[2] = 0xa5; rom[3] = 0x69; rom[4] = 0x55;
    rom[5] = 0;
    rom[6] = 4;  // at byte 8
    rom[8] = 0x53;  // 8000 Hz
    uint32_t x = 12345;
    for (size_t i = 9; i < 8 + 2000; i++) {
        x = x * 1103515245u + 12345u;
        rom[i] = static_cast<uint8_t>(x >> 16);
    }
    return rom;
}();

upd7759_interface speech_config(int output_rate) {
    return {1, 3840000, {50, 0}, {speech_rom.data(), nullptr}, {upd7759_standalone, 0}, output_rate};
}

samples speech_render(size_t n) {
    samples s(n);
    for (size_t i = 0; i < n; i += block) {
        UPD7759_update(0, s.data() + i, static_cast<int>(std::min<size_t>(block, n - i)));
    }
    return s;
}

void speech_start() {
    upd7759_interface cfg = speech_config(rate);
    UPD7759_sh_start(&cfg);
    UPD7759_reset_w(0, 0);
    UPD7759_message_w(0, 0);
    UPD7759_start_w(0, 0);
    speech_render(11000);  // of about 22000
}

std::vector<chip_case> chips() {
    return {
        {"FM", fm_start, [](int r) { YM2612SetRate(0, r); }, fm_render, ym2612_save_state, ym2612_load_state},
        {"PSG", psg_start, [](int r) { SN76496_init(0, 3579545, 255, r); }, psg_render, sn76496_save_state,
         sn76496_load_state},
        {"speech", speech_start,
         [](int r) {
             upd7759_interface cfg = speech_config(r);
             UPD7759_sh_start(&cfg);
         },
         speech_render, upd7759_save_state, upd7759_load_state},
    };
}

class ChipState : public testing::Test {
protected:
    void TearDown() override { YM2612Shutdown(); }
};

}  // namespace

TEST_F(ChipState, LoadReplaysTheSameSamples) {
    const size_t n = 8192;
    for (const chip_case& c : chips()) {
        c.start_mid_note();
        const bytes state = saved(c);
        const samples first = c.render(n);
        EXPECT_GT(rms(first), 100.0) << c.name << " is playing";
        const samples went_on = c.render(n);

        ASSERT_EQ(c.load(state.data(), state.size()), 1) << c.name;
        EXPECT_EQ(saved(c), state) << c.name << " saves what it loaded";
        const samples again = c.render(n);
        EXPECT_EQ(again, first) << c.name;
        EXPECT_NE(went_on, first) << c.name << ": the replay must differ from what followed";
    }
}

TEST_F(ChipState, StateOfAnotherRateIsRefused) {
    for (const chip_case& c : chips()) {
        c.start_mid_note();
        const bytes state = saved(c);
        c.restart_at(22050);
        const bytes before = saved(c);
        EXPECT_EQ(c.load(state.data(), state.size()), 0) << c.name;
        EXPECT_EQ(saved(c), before) << c.name << " untouched";
    }
}

TEST_F(ChipState, ShortLongAndCorruptStatesNeverHalfLoad) {
    std::mt19937 random(11);
    for (const chip_case& c : chips()) {
        c.start_mid_note();
        const bytes state = saved(c);
        c.render(500);
        const bytes live = saved(c);

        for (size_t size = 0; size < state.size(); size++) {
            ASSERT_EQ(c.load(state.data(), size), 0) << c.name << " cut to " << size;
        }
        bytes longer = state;
        longer.push_back(0);
        EXPECT_EQ(c.load(longer.data(), longer.size()), 0) << c.name;
        EXPECT_EQ(saved(c), live) << c.name << " untouched";

        // Every byte in turn takes random values: the load is refused and
        // leaves the chip as it was, or the chip plays on within its tables.
        int refused = 0;
        for (size_t at = 0; at < state.size(); at++) {
            for (int k = 0; k < 3; k++) {
                bytes bad = state;
                bad[at] = static_cast<uint8_t>(bad[at] ^ (1 + random() % 255));
                const bytes before = saved(c);
                if (c.load(bad.data(), bad.size())) {
                    c.render(64);
                } else {
                    refused++;
                    ASSERT_EQ(saved(c), before) << c.name << " byte " << at;
                }
            }
        }
        EXPECT_GT(refused, 0) << c.name;
        EXPECT_EQ(c.load(state.data(), state.size()), 1) << c.name;
    }
}
