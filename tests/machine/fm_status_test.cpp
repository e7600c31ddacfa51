// The FM chip's status at 0x840101 and its saved state, with each model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpu68k/m68k.h"
#include "machine/board.h"
#include "machine/core.h"
#include "sound/mixer.h"
#include "vdp/vdp.h"

namespace {

uint8_t read8(uint32_t a) { return static_cast<uint8_t>(m68k_read_memory_8(a, nullptr)); }
void write8(uint32_t a, uint8_t v) { m68k_write_memory_8(a, v, nullptr); }
void fm(uint8_t reg, uint8_t value) {
    write8(0x840101, reg);
    write8(0x840103, value);
}

// Places the 68000 at the start of a line of the frame being run.
void at_line(uint32_t line) {
    vdp.line = line;
    m68k_clear_cycles();
}

class FmModel : public testing::Test {
protected:
    void load(int model) {
        core_set_fm_model(model);
        testing::internal::CaptureStdout();
        ASSERT_EQ(core_load("demo", 44100), 1);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(core_fm_model(), model);
    }
    void TearDown() override {
        core_unload();
        core_set_fm_model(fm_model_chip);
    }
    // The machine between frames, as the frame's end leaves it.
    void end_frame() {
        int16_t block[800];
        render_sound(block);
    }
};

}  // namespace

TEST_F(FmModel, ChipStatusShowsTimerFlagsWhereTheFrameHasGot) {
    load(fm_model_chip);
    end_frame();
    // Timer A over 1024 - 724 = 300 chip samples, a third of a frame (888
    // samples): some 87 of the frame's lines.
    at_line(0);
    fm(0x24, 724 >> 2);
    fm(0x25, 724 & 3);
    fm(0x27, 0x05);
    EXPECT_EQ(read8(0x840101) & 0x80, 0x80) << "busy right after a write";
    at_line(1);
    EXPECT_EQ(read8(0x840101), 0x00) << "not busy a line later";
    at_line(80);
    EXPECT_EQ(read8(0x840101), 0x00);
    at_line(95);
    EXPECT_EQ(read8(0x840101), 0x01);
    EXPECT_EQ(read8(0x840101), 0x01) << "the flag stays until reset";
    fm(0x27, 0x15);
    at_line(96);
    EXPECT_EQ(read8(0x840101), 0x00);
    // The next overflow 300 samples after the first: line 87 + 87 or so.
    at_line(170);
    EXPECT_EQ(read8(0x840101), 0x00);
    at_line(182);
    EXPECT_EQ(read8(0x840101), 0x01);

    // Timer B across frames: 16 x (256 - 199) = 912 samples, a frame and a bit
    // (less up to 15 for its first count, which its free-running divider cuts).
    fm(0x27, 0x30);
    fm(0x26, 199);
    at_line(0);
    end_frame();
    at_line(0);
    fm(0x27, 0x0a);
    end_frame();
    at_line(0);
    EXPECT_EQ(read8(0x840101), 0x00);
    at_line(20);
    EXPECT_EQ(read8(0x840101), 0x02);
}

TEST_F(FmModel, ClassicStatusIsTheToggle) {
    load(fm_model_classic);
    fm(0x24, 0xff);
    fm(0x27, 0x05);
    EXPECT_EQ(read8(0x840101), 0xFF);
    EXPECT_EQ(read8(0x840101), 0x00);
    EXPECT_EQ(read8(0x840101), 0xFF);
}

TEST_F(FmModel, StatesLoadOnlyWithTheirOwnModel) {
    std::vector<uint8_t> states[2];
    for (int model : {fm_model_chip, fm_model_classic}) {
        load(model);
        for (int i = 0; i < 50; i++) core_run_frame(0);
        ASSERT_EQ(core_save_state(states[model]), 1);
        std::string error;
        EXPECT_EQ(core_load_state(states[model].data(), states[model].size(), error), 1) << error;
        core_unload();
    }
    load(fm_model_chip);
    std::string error;
    EXPECT_EQ(core_load_state(states[fm_model_classic].data(), states[fm_model_classic].size(), error), 0);
    EXPECT_EQ(error, "it was saved with the classic FM model; switch the FM model to classic to load it");
    core_unload();
    load(fm_model_classic);
    EXPECT_EQ(core_load_state(states[fm_model_chip].data(), states[fm_model_chip].size(), error), 0);
    EXPECT_EQ(error, "it was saved with the chip FM model; switch the FM model to chip to load it");
}

TEST_F(FmModel, StateSizeStaysTheSameFromFrameToFrame) {
    load(fm_model_chip);
    std::vector<uint8_t> s;
    core_save_state(s);
    const size_t size = s.size();
    for (int i = 0; i < 200; i++) {
        core_set_input(i % 40 < 3 ? uint32_t{input_a} : 0u, 0, 0);
        core_run_frame(0);
        core_save_state(s);
        ASSERT_EQ(s.size(), size) << "frame " << i;
    }
}
