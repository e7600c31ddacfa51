#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "machine/board.h"
#include "signal_analysis.h"
#include "sound/mixer.h"
#include "sound/sn76496.h"
#include "sound/upd7759.h"
#include "sound/ym2612.h"

using namespace sound_test;

namespace {

void fm(int r, int v) {
    int port = r >= 0x100 ? 2 : 0;
    YM2612Write(0, port, static_cast<uint8_t>(r & 0xff));
    YM2612Write(0, port + 1, static_cast<uint8_t>(v));
}

// Channel 1 as one sine of operator 1 at fnum 653, block 4 (265 Hz), with a pan.
void fm_tone(int pan) {
    fm(0xb0, 7);
    for (int op = 0; op < 16; op += 4) {
        fm(0x30 + op, 1);
        fm(0x40 + op, op == 0 ? 0 : 127);
        fm(0x50 + op, 31);
        fm(0x80 + op, 0x0f);
    }
    fm(0xb4, pan << 6);
    fm(0xa4, (4 << 3) | (653 >> 8));
    fm(0xa0, 653 & 0xff);
    fm(0x28, 0xf0);
}

void dac(int value) {
    fm(0x2a, value);
    fm(0x2b, 0x80);
}

samples mix_blocks(int count) {
    samples out;
    samples block(static_cast<size_t>(samples_per_frame) + 1);
    for (int i = 0; i < count; i++) {
        const int n = render_sound(block.data());
        out.insert(out.end(), block.begin(), block.begin() + n);
    }
    return out;
}

class Mixer : public testing::Test {
protected:
    void SetUp() override {
        std::memset(sample_rom, 0, sample_rom_size);
        channel_mask = 0xffffffffu;
        fm_model = fm_model_classic;  // these tests write to the classic model
        ASSERT_EQ(audio_init(44100, sample_rom), 1);
        YM2612ResetChip(0);
    }
    void TearDown() override {
        channel_mask = 0xffffffffu;
        audio_shutdown();
        fm_model = fm_model_chip;
    }
};

}  // namespace

TEST_F(Mixer, BlockSizeFollowsRate) {
    const int expected[3][2] = {{11025, 183}, {22050, 367}, {44100, 735}};
    for (const auto& e : expected) {
        ASSERT_EQ(audio_init(e[0], sample_rom), 1);
        EXPECT_EQ(samples_per_frame, e[1]);
        EXPECT_EQ(sound_initialised(), 1);
    }
    // No rate: nothing changes.
    EXPECT_EQ(audio_init(0, sample_rom), 1);
    EXPECT_EQ(samples_per_frame, 735);
}

TEST_F(Mixer, FmIsHeardFromEitherSideWithOtherChipsOn) {
    for (int pan : {1, 2}) {
        YM2612ResetChip(0);
        fm_tone(pan);
        samples s = mix_blocks(20);
        EXPECT_NEAR(frequency(s, 44100), 265.4, 1.5) << "pan " << pan;
        EXPECT_NEAR(peak(s, 0, s.size()), 8191 / 2, 2) << "half of one side";
    }
}

TEST_F(Mixer, SumsSaturateInsteadOfWrapping) {
    for (int c = 0; c < 3; c++) {
        SN76496Write(0, 0x80 | (c << 5) | 0x0f);
        SN76496Write(0, 0x3f);
        SN76496Write(0, 0x90 | (c << 5));
    }
    dac(0xff);
    samples s = mix_blocks(30);
    EXPECT_EQ(*std::max_element(s.begin(), s.end()), 32767);
    EXPECT_GT(*std::min_element(s.begin(), s.end()), 0) << "a wrapped sum would turn negative";

    // The bottom: the DAC at its lowest and a falling ADPCM sample.
    sample_rom[0] = 1;
    sample_rom[5] = 0x00; sample_rom[6] = 0x08;   // sample 0 at 0x10
    sample_rom[7] = 0x10; sample_rom[8] = 0x00;   // sample 1 at 0x2000
    sample_rom[0x10] = 0x53;
    std::memset(sample_rom + 0x11, 0x9f, 0x1000);  // falls to the bottom
    ASSERT_EQ(audio_init(44100, sample_rom), 1);
    channel_mask = channel_fm | channel_adpcm;
    dac(0x00);
    UPD7759_reset_w(0, 0);
    UPD7759_message_w(0, 0);
    UPD7759_start_w(0, 0);
    s = mix_blocks(30);
    EXPECT_EQ(*std::min_element(s.begin(), s.end()), -32768);
    EXPECT_LT(*std::max_element(s.begin() + 2000, s.end()), 0);
}

TEST_F(Mixer, DisabledChipIsSilentAndItsTimeStandsStill) {
    // Chip 1 is a reference tone generator, run only when the mixed one is.
    SN76496_init(1, 3579545, 255, 44100);
    for (int chip : {0, 1}) {
        SN76496Write(chip, 0x80 | 0x0d);
        SN76496Write(chip, 0x11);
        SN76496Write(chip, 0x90);
    }
    channel_mask = channel_psg;
    samples block(735), ref(735);
    render_sound(block.data());
    SN76496Update(1, ref.data(), 735);
    EXPECT_EQ(block, ref);

    channel_mask = channel_fm | channel_adpcm;
    fm_tone(3);
    samples other = mix_blocks(5);
    EXPECT_GT(peak(other, 0, other.size()), 1000) << "FM is heard";

    channel_mask = channel_psg;
    YM2612ResetChip(0);
    render_sound(block.data());
    SN76496Update(1, ref.data(), 735);
    EXPECT_EQ(block, ref) << "the tone carries on where it stopped";

    channel_mask = 0;
    fm_tone(3);
    samples none = mix_blocks(3);
    EXPECT_EQ(peak(none, 0, none.size()), 0);
}

TEST_F(Mixer, NewRateKeepsFmPitch) {
    fm_tone(3);
    double at44 = frequency(mix_blocks(30), 44100);
    ASSERT_EQ(audio_init(22050, sample_rom), 1);
    double at22 = frequency(mix_blocks(30), 22050);
    EXPECT_NEAR(at22, at44, at44 * 0.005);
    EXPECT_NEAR(at44, 265.4, 265.4 * 0.005);
}

TEST_F(Mixer, ShutdownStopsMixing) {
    audio_shutdown();
    EXPECT_EQ(sound_initialised(), 0);
    samples block(735, 123);
    render_sound(block.data());
    EXPECT_EQ(peak(block, 0, block.size()), 0);
    ASSERT_EQ(audio_init(44100, sample_rom), 1);
}

// Frames carry the remainder of rate / 60, so a second holds exactly the rate.
TEST_F(Mixer, FramesKeepExactTimeAtEveryRate) {
    for (int rate : {11025, 22050, 44100, 48000}) {
        ASSERT_EQ(audio_init(rate, sample_rom), 1);
        EXPECT_EQ(mix_blocks(600).size(), static_cast<size_t>(rate) * 10) << rate;
    }
}

// The speech chip plays from the samples the mixer is given, not from the
// board's sample ROM (cleared by the fixture); given none, it stays silent.
TEST_F(Mixer, SpeechPlaysTheSamplesItIsGiven) {
    std::vector<uint8_t> own(upd7759_rom_span, 0);
    own[0] = 1;
    own[5] = 0x00; own[6] = 0x08;   // sample 0 at 0x10
    own[7] = 0x10; own[8] = 0x00;   // sample 1 at 0x2000
    own[0x10] = 0x53;
    std::memset(own.data() + 0x11, 0x9f, 0x1000);
    auto play_first_sample = [] {
        channel_mask = channel_adpcm;
        UPD7759_reset_w(0, 0);
        UPD7759_message_w(0, 0);
        UPD7759_start_w(0, 0);
        return mix_blocks(10);
    };
    ASSERT_EQ(audio_init(44100, own.data()), 1);
    samples heard = play_first_sample();
    EXPECT_GT(peak(heard, 0, heard.size()), 1000);

    ASSERT_EQ(audio_init(44100, nullptr), 1);
    samples none = play_first_sample();
    EXPECT_EQ(peak(none, 0, none.size()), 0);
}
