// The chip model in the machine's time: a write takes effect where in the
// frame it was made, the frames' samples follow both rates exactly, and a
// state round-trips between frames.
#include <gtest/gtest.h>

#include <vector>

#include "sound/ym3438_stream.h"

namespace {

void w(int reg, int value, uint32_t at) {
    ym3438_stream_write(0, static_cast<uint8_t>(reg), at);
    ym3438_stream_write(1, static_cast<uint8_t>(value), at);
}

std::vector<int16_t> frame(int count) {
    std::vector<int16_t> l(static_cast<size_t>(count)), r(static_cast<size_t>(count));
    ym3438_stream_frame(l.data(), r.data(), count);
    return l;
}

class ChipStream : public testing::Test {
protected:
    void SetUp() override {
        ym3438_stream_stop();
        ym3438_stream_start(44100);
    }
    void TearDown() override { ym3438_stream_stop(); }
};

}  // namespace

TEST_F(ChipStream, AWriteIsHeardWhereInTheFrameItWasMade) {
    w(0x2b, 0x80, 0);
    w(0x2a, 0x80, 0);
    frame(735);
    // The DAC steps up at half the frame: so does the host's block.
    w(0x2a, 0xc0, whole_frame / 2);
    const std::vector<int16_t> block = frame(735);
    EXPECT_EQ(block[300], 0);
    EXPECT_EQ(block[430], 64 * 64);
    int rise = 0;
    while (rise < 735 && block[static_cast<size_t>(rise)] < 32 * 64) rise++;
    EXPECT_NEAR(rise, 367, 20);
}

TEST_F(ChipStream, BusyBitAfterADataWriteOnly) {
    ym3438_stream_write(0, 0x30, 1000);
    EXPECT_EQ(ym3438_stream_status(1000) & 0x80, 0) << "an address write does not make it busy";
    ym3438_stream_write(1, 0x01, 1000);
    EXPECT_EQ(ym3438_stream_status(1000) & 0x80, 0x80);
    // 32 cycles of the chip's 6 clocks: 1.33 samples, some 98 of 65536 of a frame.
    EXPECT_EQ(ym3438_stream_status(1080) & 0x80, 0x80);
    EXPECT_EQ(ym3438_stream_status(1110) & 0x80, 0);
}

TEST_F(ChipStream, StatesRoundTripBetweenFramesAndDamagedOnesChangeNothing) {
    w(0x22, 0x0b, 0);
    w(0xb4, 0xc0 | 0x37, 0);
    for (int slot = 0; slot < 4; slot++) {
        w(0x30 + slot * 4, 1 + slot, 0);
        w(0x40 + slot * 4, 10 * slot, 0);
        w(0x50 + slot * 4, 31, 0);
        w(0x80 + slot * 4, 0x25, 0);
    }
    w(0xa4, 4 << 3, 0);
    w(0xa0, 0x90, 0);
    w(0x28, 0xf0, 0);
    for (int f = 0; f < 7; f++) frame(735 + (f % 3 == 0));
    std::vector<uint8_t> saved;
    ym3438_stream_save_state(saved);
    std::vector<int16_t> first;
    for (int f = 0; f < 20; f++) {
        const std::vector<int16_t> b = frame(735);
        first.insert(first.end(), b.begin(), b.end());
    }
    ASSERT_EQ(ym3438_stream_load_state(saved.data(), saved.size()), 1);
    std::vector<int16_t> again;
    for (int f = 0; f < 20; f++) {
        const std::vector<int16_t> b = frame(735);
        again.insert(again.end(), b.begin(), b.end());
    }
    EXPECT_EQ(again, first);

    ASSERT_EQ(ym3438_stream_load_state(saved.data(), saved.size()), 1);
    for (size_t cut : {size_t(0), size_t(10), saved.size() - 1}) {
        EXPECT_EQ(ym3438_stream_load_state(saved.data(), cut), 0) << cut;
    }
    for (size_t i = 0; i < saved.size(); i += 3) {
        std::vector<uint8_t> bad = saved;
        bad[i] ^= 0xa5;
        if (ym3438_stream_load_state(bad.data(), bad.size())) frame(735);
    }
    ASSERT_EQ(ym3438_stream_load_state(saved.data(), saved.size()), 1);
    std::vector<int16_t> third;
    for (int f = 0; f < 20; f++) {
        const std::vector<int16_t> b = frame(735);
        third.insert(third.end(), b.begin(), b.end());
    }
    EXPECT_EQ(third, first);

    // A state of another host rate does not fit.
    ym3438_stream_start(22050);
    EXPECT_EQ(ym3438_stream_load_state(saved.data(), saved.size()), 0);
}
