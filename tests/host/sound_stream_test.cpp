// The host's sound stream: frames' samples into the looping device buffer
// and the sink, on SDL's dummy driver or with no audio at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/display.h"
#include "host/sound_sink.h"
#include "host/sound_stream.h"

namespace {

using samples = std::vector<int16_t>;

struct recorder : sound_sink {
    samples got;
    int blocks = 0;
    void write_block(const int16_t* s, int count) override {
        got.insert(got.end(), s, s + count);
        blocks++;
    }
};

samples block_of(int16_t value) { return samples(735, value); }

class SoundStream : public testing::Test {
protected:
    void TearDown() override {
        release_sound();
        set_sound_sink(nullptr);
        unsetenv("SDL_AUDIODRIVER");
    }
};

}  // namespace

TEST_F(SoundStream, LoopsOnDummyDeviceAndSilences) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(init_sound(44100), 1);
    if (!stream_open()) GTEST_SKIP() << "no dummy audio driver in this SDL";
    int length = 0;
    const int16_t* loop = stream_buffer(&length);
    ASSERT_EQ(length, stream_blocks * 735);

    const samples loud = block_of(8128), quiet = block_of(0);
    int before = stream_block_index();
    for (int i = 0; i < 3; i++) w32_update_audio(loud.data(), 735);
    EXPECT_EQ(stream_block_index(), (before + 3) % stream_blocks);
    const int16_t* written = loop + stream_block_index() * 735;
    for (int i = 0; i < 735; i++) ASSERT_EQ(written[i], 8128);

    // A short frame leaves silence after it, not the old samples.
    w32_update_audio(loud.data(), 100);
    written = loop + stream_block_index() * 735;
    EXPECT_EQ(written[99], 8128);
    for (int i = 100; i < 735; i++) ASSERT_EQ(written[i], 0);

    w32_update_audio(quiet.data(), 735);
    silence_sound();
    EXPECT_EQ(stream_block_index(), 0);
    for (int i = 0; i < length; i++) ASSERT_EQ(loop[i], 0);

    release_sound();
    EXPECT_EQ(stream_open(), 0);
}

TEST_F(SoundStream, ErrorReportsAndCloses) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(init_sound(22050), 1);
    int boxes = box_count;
    sound_error("The audio device stopped");
    EXPECT_EQ(box_count, boxes + 1);
    EXPECT_STREQ(last_box_title, "SC sound error");
    EXPECT_EQ(std::strncmp(last_box_text, "The audio device stopped", 24), 0);
    EXPECT_EQ(stream_open(), 0) << "sound stays off until opened again";
    const samples s = block_of(1);
    w32_update_audio(s.data(), 367);  // closed: writes nothing, does not wait
}

TEST_F(SoundStream, NoAudioAtAllStillFeedsTheSink) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(init_sound(44100), 1);
    EXPECT_EQ(stream_open(), 0);
    recorder sink;
    set_sound_sink(&sink);
    const samples s = block_of(5);
    for (int i = 0; i < 60; i++) w32_update_audio(s.data(), 735);  // would hang if it waited on a device
    EXPECT_EQ(sink.blocks, 60);
    EXPECT_EQ(sink.got.size(), 60u * 735);
    w32_update_audio(s.data(), 0);  // an empty frame is no block
    EXPECT_EQ(sink.blocks, 60);
    silence_sound();
}
