#include <gtest/gtest.h>

#include <vector>

#include "signal_analysis.h"
#include "sound/upd7759.h"

using namespace sound_test;

namespace {

using bytes = std::vector<uint8_t>;

// A sample ROM: header, table, then each sample's bytes in order.
struct sample_rom_image {
    bytes rom = bytes(upd7759_rom_span, 0);

    explicit sample_rom_image(const std::vector<bytes>& samples) {
        const size_t last = samples.size() - 1;
        rom[0] = static_cast<uint8_t>(last);
        rom[1] = 0x5a; rom[2] = 0xa5; rom[3] = 0x69; rom[4] = 0x55;
        size_t pos = (5 + 2 * samples.size() + 1) & ~size_t{1};
        for (size_t n = 0; n < samples.size(); n++) {
            rom[5 + 2 * n] = static_cast<uint8_t>((pos / 2) >> 8);
            rom[6 + 2 * n] = static_cast<uint8_t>(pos / 2);
            std::copy(samples[n].begin(), samples[n].end(), rom.begin() + static_cast<long>(pos));
            pos = (pos + samples[n].size() + 1) & ~size_t{1};
        }
    }
};

bytes run_of(uint8_t head, size_t count, uint8_t fill) {
    bytes b(count, fill);
    b[0] = head;
    return b;
}

bytes concat(bytes a, const bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// At an output rate of 48000 Hz (the chip's own) a nibble at 8000 Hz is 6 samples.
void start_chip(sample_rom_image& image, int output_rate = 48000) {
    upd7759_interface cfg{1, 3840000, {50, 0}, {image.rom.data(), nullptr}, {upd7759_standalone, 0}, output_rate};
    UPD7759_sh_start(&cfg);
}

// What the board does on a write to the chip's port.
void play(int n) {
    UPD7759_reset_w(0, 0);
    UPD7759_message_w(0, n);
    UPD7759_start_w(0, 0);
}

samples render(size_t n, size_t block = 735) {
    samples s(n);
    for (size_t i = 0; i < n; i += block) UPD7759_update(0, s.data() + i, static_cast<int>(std::min(block, n - i)));
    return s;
}

std::vector<size_t> runs(const samples& s, size_t to) {
    std::vector<size_t> r;
    size_t start = 0;
    for (size_t i = 1; i < to; i++) {
        if (s[i] != s[i - 1]) {
            r.push_back(i - start);
            start = i;
        }
    }
    return r;
}

int32_t decayed(int32_t v) { return v - (v + 7) / 8; }

}  // namespace

TEST(Upd7759, RateFromFirstBytesSetsSamplesPerNibble) {
    // 0x7F alternates a rising and a falling nibble, so every nibble is seen.
    const size_t body = 40;
    sample_rom_image image({
        concat({0x00, 0x53}, bytes(body, 0x7f)),  // 0x00 skipped, 0x53: 8000 Hz
        concat({0x59}, bytes(body, 0x7f)),        // 0x59: 6000 Hz
        concat({0x12, 0x33}, bytes(body, 0x7f)),  // 0x12 skipped, 0x33: 8000 Hz
        bytes(body, 0x7f),                        // low bits 31: 5000 Hz
        bytes(4, 0),
    });
    // A sample's range runs to the next one's start, on an even byte.
    struct expect { int rate; size_t bytes; };
    const expect cases[4] = {{8000, body + 2}, {6000, body + 2}, {8000, body + 2}, {5000, body}};
    for (int n = 0; n < 4; n++) {
        start_chip(image);
        play(n);
        samples s = render(1200, 1200);
        std::vector<size_t> r = runs(s, 600);
        ASSERT_GT(r.size(), 30u);
        double per_nibble = 0;
        for (size_t i = 5; i < 25; i++) per_nibble += static_cast<double>(r[i]) / 20.0;
        EXPECT_NEAR(per_nibble, 48000.0 / cases[n].rate, 0.11) << "sample " << n;

        if (48000 % cases[n].rate == 0) {
            // Nibbles 0 to 2 x bytes are decoded; the first is held half as long.
            const size_t each = 48000 / static_cast<size_t>(cases[n].rate);
            const size_t end = (24000 + cases[n].rate - 1) / static_cast<size_t>(cases[n].rate) +
                               2 * cases[n].bytes * each;
            ASSERT_LT(end + 2, s.size());
            EXPECT_EQ(s[end], s[end - 1]) << "sample " << n;
            EXPECT_EQ(s[end + 1], decayed(s[end])) << "sample " << n;
            EXPECT_NE(s[end - each], s[end - each - 1]) << "sample " << n << " last nibble starts";
        }
    }
}

TEST(Upd7759, SampleLastsTheSameTimeAtEveryOutputRate) {
    // 200 nibbles at 8000 Hz are 25 ms of speech at any output rate, so the
    // voice keeps its pitch and speed when the sound rate changes.
    sample_rom_image image({concat({0x00, 0x53}, bytes(98, 0x7f)), bytes(4, 0)});
    for (int rate : {11025, 22050, 44100}) {
        start_chip(image, rate);
        play(0);
        samples s = render(static_cast<size_t>(rate) / 10, 4096);
        // The last change of the signal before it decays is the last nibble.
        size_t last_change = 0;
        for (size_t i = 1; i < s.size(); i++)
            if (s[i] != s[i - 1] && s[i] != decayed(s[i - 1])) last_change = i;
        const double ms = 1000.0 * static_cast<double>(last_change) / rate;
        EXPECT_NEAR(ms, 25.0, 0.25) << "at " << rate << " Hz";
    }
}

TEST(Upd7759, SignalLimitsAndDecayToFixedPoints) {
    sample_rom_image image({
        run_of(0x53, 300, 0x77),                         // climbs to the top
        concat(run_of(0x53, 100, 0x77), bytes(300, 0x9f)),  // then falls to the bottom
        bytes(4, 0),
    });
    start_chip(image);
    play(0);
    samples up = render(20000);
    EXPECT_EQ(*std::max_element(up.begin(), up.end()), 32767);
    EXPECT_EQ(up.back(), 0) << "a positive end decays to silence";

    play(1);
    samples down = render(20000);
    EXPECT_EQ(*std::min_element(down.begin(), down.end()), -32767);
    int16_t rest = down.back();
    EXPECT_LE(rest, -1);
    EXPECT_GE(rest, -14);
    EXPECT_EQ(decayed(rest), rest) << "a small negative value holds";
    samples idle = render(2000);
    for (int16_t v : idle) ASSERT_EQ(v, rest);
}

TEST(Upd7759, RewritingRestartsFromFirstByte) {
    sample_rom_image image({
        concat(run_of(0x53, 60, 0x77), bytes(200, 0x9f)),
        bytes(4, 0),
    });
    start_chip(image);
    play(0);
    samples first = render(3000);
    ASSERT_LT(first.back(), -30000) << "well into the falling part";
    play(0);
    samples again = render(6000);
    EXPECT_GT(*std::max_element(again.begin(), again.begin() + 800), 30000) << "the rising start is heard again";
    // The restarted sample runs its whole length: 3 + 6 x 520 samples, then decays.
    const size_t end = 3 + 6 * 2 * 260;
    EXPECT_EQ(again[end + 1], decayed(again[end]));
    EXPECT_EQ(again[end - 1], again[end]);
}

TEST(Upd7759, NumberAboveLastIsIgnored) {
    sample_rom_image image({run_of(0x53, 200, 0x77), bytes(4, 0)});
    start_chip(image);
    play(0);
    render(500);
    play(2);  // L is 1: the write only stops what played
    samples s = render(3000);
    for (int16_t v : s) ASSERT_EQ(v, s[0]);
    EXPECT_NE(s[0], 0);
}

TEST(Upd7759, EmptyRomPlaysSilenceToItsEnd) {
    sample_rom_image image({bytes(1, 0)});
    std::fill(image.rom.begin(), image.rom.end(), 0);
    start_chip(image);
    play(0);
    // 2 x 0x20000 nibbles at 5000 Hz: 9.6 samples each, well under 3 million.
    samples s = render(2600000, 4096);
    EXPECT_EQ(peak(s, 0, s.size()), 0);
}

TEST(Upd7759, DamagedTableDoesNotReadOutside) {
    sample_rom_image image({bytes(8, 0x77), bytes(8, 0x77)});
    // Sample 1 starts before sample 0, and the last starts at the top of the range.
    image.rom[5] = 0x40; image.rom[6] = 0x00;
    image.rom[7] = 0x01; image.rom[8] = 0x00;
    image.rom[0] = 2;
    image.rom[9] = 0xff; image.rom[10] = 0xff;
    start_chip(image);
    for (int n : {0, 1, 2}) {
        play(n);
        samples s = render(10000);
        EXPECT_LE(peak(s, 0, s.size()), 32767);
    }
}
