// The host's sound stream on SDL's dummy and disk drivers: how far the
// writer runs ahead of the play cursor, whether the device ever runs dry,
// and whether every sample reaches it in order.
#include <gtest/gtest.h>
#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/video/display.h"
#include "host/settings/options.h"
#include "host/audio/sound_sink.h"
#include "host/audio/sound_stream.h"
#include "program_support.h"

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

// The samples a frame hands out at a rate: rate/60, and one more whenever
// the carried remainder fills a sample.
struct frame_counts {
    int rate, carried = 0;
    int next() {
        carried += rate % 60;
        const int extra = carried >= 60;
        if (extra) carried -= 60;
        return rate / 60 + extra;
    }
};

class SoundStream : public testing::Test {
protected:
    void SetUp() override {
        latency_ms = 50;
        volume = 100;
    }
    void TearDown() override {
        release_sound();
        set_sound_sink(nullptr);
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        latency_ms = 50;
        volume = 100;
    }
};

}  // namespace

// The figure of the stream: VORTAN_STREAM_FRAMES=3600 measures a minute.
TEST_F(SoundStream, WriterStaysWithinTheLatencyAndTheDeviceNeverRunsDry) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(init_sound(44100), 1);
    if (!stream_open()) GTEST_SKIP() << "no dummy audio driver in this SDL";
    const int room = stream_latency_samples();
    EXPECT_EQ(room, 44100 * 50 / 1000);

    const char* asked = std::getenv("VORTAN_STREAM_FRAMES");
    const int frames = asked ? std::atoi(asked) : 600;
    frame_counts counts{44100};
    samples tone(800);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = int16_t(i % 64 < 32 ? 3000 : -3000);
    int64_t total = 0;
    for (int f = 0; f < frames; ++f) {
        const int n = counts.next();
        queue_frame_sound(tone.data(), n);
        total += n;
    }
    const stream_stats stats = sound_stream_stats();
    std::printf("latency %.1f ms at most (room %.1f ms), %d underruns in %d frames\n",
                stats.max_ahead * 1000.0 / 44100, room * 1000.0 / 44100, stats.underruns, frames);
    EXPECT_EQ(stats.written, total);
    EXPECT_LE(stats.max_ahead, room);
    // It does run ahead: more than the frame being written, so the device
    // always has the next one.
    EXPECT_GT(stats.max_ahead, room - 736);
    EXPECT_EQ(stats.underruns, 0);
}

TEST_F(SoundStream, EverySampleReachesTheDeviceInOrderAtTheVolume) {
    char pattern[] = "/tmp/vortan_disk_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, file = dir + "/out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    volume = 50;
    ASSERT_EQ(init_sound(22050), 1);
    if (!stream_open()) GTEST_SKIP() << "no disk audio driver in this SDL";

    // 367 and 368 samples in turn, numbered so that a gap or a repeat shows.
    frame_counts counts{22050};
    samples sent;
    for (int f = 0; f < 40; ++f) {
        samples frame(size_t(counts.next()));
        for (int16_t& s : frame) s = int16_t(2 * (sent.size() % 10000) + 2), sent.push_back(s);
        queue_frame_sound(frame.data(), int(frame.size()));
    }
    EXPECT_EQ(sound_stream_stats().underruns, 0);
    SDL_Delay(150);  // the device plays what is left, then silence
    release_sound();

    const std::string raw = read_file(file);
    samples played(raw.size() / 2);
    std::memcpy(played.data(), raw.data(), played.size() * 2);
    // The paused device wrote silence until the first frame came.
    size_t start = 0;
    while (start < played.size() && played[start] == 0) ++start;
    ASSERT_GE(played.size() - start, sent.size());
    for (size_t i = 0; i < sent.size(); ++i)
        ASSERT_EQ(played[start + i], sent[i] / 2) << "sample " << i;
    for (size_t i = start + sent.size(); i < played.size(); ++i) ASSERT_EQ(played[i], 0) << "sample " << i;
    std::system(("rm -rf '" + dir + "'").c_str());
}

TEST_F(SoundStream, SilenceDropsWhatWasNotPlayedYet) {
    char pattern[] = "/tmp/vortan_disk_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, file = dir + "/out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    ASSERT_EQ(init_sound(44100), 1);
    if (!stream_open()) GTEST_SKIP() << "no disk audio driver in this SDL";
    const samples before(735, 100), after(735, 200);
    for (int i = 0; i < 3; i++) queue_frame_sound(before.data(), 735);
    silence_sound();  // a menu opened
    for (int i = 0; i < 3; i++) queue_frame_sound(after.data(), 735);
    SDL_Delay(150);
    release_sound();

    const std::string raw = read_file(file);
    samples played(raw.size() / 2);
    std::memcpy(played.data(), raw.data(), played.size() * 2);
    // Silence while the device is paused, before and after the old frames.
    size_t old = 0, i = 0;
    while (i < played.size() && played[i] == 0) ++i;
    while (i < played.size() && played[i] == 100) ++old, ++i;
    EXPECT_LT(old, 3u * 735) << "what was not played yet is dropped";
    while (i < played.size() && played[i] == 0) ++i;
    size_t fresh = 0;
    while (i < played.size() && played[i] == 200) ++fresh, ++i;
    EXPECT_EQ(fresh, 3u * 735) << "the new frames play whole, right after";
    for (; i < played.size(); ++i) ASSERT_EQ(played[i], 0) << "sample " << i;
    std::system(("rm -rf '" + dir + "'").c_str());
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
    const samples s(367, 1);
    queue_frame_sound(s.data(), 367);  // closed: writes nothing, does not wait
}

TEST_F(SoundStream, NoAudioAtAllStillFeedsTheSink) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(init_sound(44100), 1);
    EXPECT_EQ(stream_open(), 0);
    recorder sink;
    set_sound_sink(&sink);
    const samples s(735, 5);
    for (int i = 0; i < 60; i++) queue_frame_sound(s.data(), 735);  // would hang if it waited on a device
    EXPECT_EQ(sink.blocks, 60);
    EXPECT_EQ(sink.got.size(), 60u * 735);
    queue_frame_sound(s.data(), 0);  // an empty frame is no block
    feed_sound_sink(s.data(), 10);   // a frame stepped while paused
    EXPECT_EQ(sink.blocks, 61);
    silence_sound();
}
