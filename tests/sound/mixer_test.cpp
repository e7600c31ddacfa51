#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "host/display.h"
#include "host/options.h"
#include "machine/board.h"
#include "signal_analysis.h"
#include "sound/mixer.h"
#include "sound/sn76496.h"
#include "sound/sound_sink.h"
#include "sound/sound_stream.h"
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
    samples block(static_cast<size_t>(samples_per_frame));
    for (int i = 0; i < count; i++) {
        render_sound(block.data());
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

struct recorder : sound_sink {
    samples got;
    int blocks = 0;
    void write_block(const int16_t* s, int count) override {
        got.insert(got.end(), s, s + count);
        blocks++;
    }
};

class Mixer : public testing::Test {
protected:
    void SetUp() override {
        std::memset(sample_rom, 0, sample_rom_size);
        channel_mask = 0xffffffffu;
        ASSERT_EQ(audio_init(44100), 1);
        YM2612ResetChip(0);
    }
    void TearDown() override {
        release_sound();
        set_sound_sink(nullptr);
        sound_enabled = 0;
        channel_mask = 0xffffffffu;
        audio_shutdown();
    }
};

}  // namespace

TEST_F(Mixer, BlockSizeFollowsRate) {
    const int expected[3][2] = {{11025, 183}, {22050, 367}, {44100, 735}};
    for (const auto& e : expected) {
        ASSERT_EQ(audio_init(e[0]), 1);
        EXPECT_EQ(samples_per_frame, e[1]);
        EXPECT_EQ(sound_initialised, 1);
    }
    // No rate: nothing changes.
    EXPECT_EQ(audio_init(0), 1);
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
    ASSERT_EQ(audio_init(44100), 1);
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
    ASSERT_EQ(audio_init(22050), 1);
    double at22 = frequency(mix_blocks(30), 22050);
    EXPECT_NEAR(at22, at44, at44 * 0.005);
    EXPECT_NEAR(at44, 265.4, 265.4 * 0.005);
}

TEST_F(Mixer, SinkReceivesEveryBlockWithoutDevice) {
    recorder sink;
    set_sound_sink(&sink);
    fm_tone(3);
    sound_enabled = 0;
    w32_update_audio();
    EXPECT_EQ(sink.blocks, 0) << "nothing while sound is off";
    sound_enabled = 1;
    for (int i = 0; i < 10; i++) w32_update_audio();
    EXPECT_EQ(sink.blocks, 10);
    ASSERT_EQ(sink.got.size(), 7350u);
    EXPECT_NEAR(frequency(sink.got, 44100), 265.4, 1.5);
}

TEST_F(Mixer, StreamLoopsOnDummyDeviceAndSilences) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(init_sound(44100), 1);
    if (!stream_open()) GTEST_SKIP() << "no dummy audio driver in this SDL";
    int length = 0;
    const int16_t* loop = stream_buffer(&length);
    ASSERT_EQ(length, stream_blocks * 735);

    sound_enabled = 1;
    dac(0xff);
    int before = stream_block_index();
    for (int i = 0; i < 3; i++) w32_update_audio();
    EXPECT_EQ(stream_block_index(), (before + 3) % stream_blocks);
    const int16_t* written = loop + stream_block_index() * 735;
    for (int i = 0; i < 735; i++) ASSERT_EQ(written[i], 8128);

    // Every chip off: the next block written is silence, not the old one.
    channel_mask = 0;
    w32_update_audio();
    written = loop + stream_block_index() * 735;
    for (int i = 0; i < 735; i++) ASSERT_EQ(written[i], 0);

    channel_mask = 0xffffffffu;
    w32_update_audio();
    silence_sound();
    EXPECT_EQ(stream_block_index(), 0);
    for (int i = 0; i < length; i++) ASSERT_EQ(loop[i], 0);

    release_sound();
    EXPECT_EQ(stream_open(), 0);
    unsetenv("SDL_AUDIODRIVER");
}

TEST_F(Mixer, SoundErrorReportsAndCloses) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(init_sound(22050), 1);
    int boxes = box_count;
    sound_error("The audio device stopped");
    EXPECT_EQ(box_count, boxes + 1);
    EXPECT_STREQ(last_box_title, "SC sound error");
    EXPECT_EQ(std::strncmp(last_box_text, "The audio device stopped", 24), 0);
    EXPECT_EQ(stream_open(), 0) << "sound stays off until opened again";
    sound_enabled = 1;
    w32_update_audio();  // closed: mixes, writes nothing, does not wait
    unsetenv("SDL_AUDIODRIVER");
}

TEST_F(Mixer, NoAudioAtAllRunsSilently) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(init_sound(44100), 1);
    EXPECT_EQ(stream_open(), 0);
    recorder sink;
    set_sound_sink(&sink);
    sound_enabled = 1;
    for (int i = 0; i < 60; i++) w32_update_audio();  // would hang if it waited on a device
    EXPECT_EQ(sink.blocks, 60);
    silence_sound();
    unsetenv("SDL_AUDIODRIVER");
}

TEST_F(Mixer, ShutdownStopsMixing) {
    audio_shutdown();
    EXPECT_EQ(sound_initialised, 0);
    samples block(735, 123);
    render_sound(block.data());
    EXPECT_EQ(peak(block, 0, block.size()), 0);
    sound_enabled = 1;
    w32_update_audio();  // no buffers: nothing happens
    ASSERT_EQ(audio_init(44100), 1);
}
