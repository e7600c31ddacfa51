// The demo cartridge on the machine itself, without the front end: each
// sound chip switched off by the mixer's channel toggles stays silent
// while the cartridge plays on it, and the others still sound.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/scheduler.h"
#include "sound/mixer.h"

namespace {

struct demo_machine {
    std::vector<int16_t> out;
    demo_machine() {
        EXPECT_EQ(load_driver("demo"), 1);
        dip_switch[0] = 0xFE;  // switch 1 on: no background music
        // The classic FM model hears the frame's key on and off together, so
        // the demo's first note (before it reads the switch) stays unheard.
        fm_model = fm_model_classic;
        EXPECT_EQ(system_init(44100), 1);
    }
    ~demo_machine() {
        system_shutdown();
        free_driver();
        channel_mask = channel_fm | channel_psg | channel_adpcm;
        fm_model = fm_model_chip;
    }
    // Runs frames with player 1's controls held, keeping the mix.
    void run(int frames, uint32_t p1 = 0) {
        std::vector<int16_t> block(static_cast<size_t>(samples_per_frame));
        for (int f = 0; f < frames; f++) {
            input_p1 = p1;
            input_p2 = input_system = 0;
            genesis_frame(1);
            render_sound(block.data());
            out.insert(out.end(), block.begin(), block.end());
        }
    }
    double rms_from(size_t frame) const {
        double sum = 0;
        size_t first = frame * size_t(samples_per_frame);
        for (size_t i = first; i < out.size(); i++) sum += double(out[i]) * out[i];
        return out.size() > first ? std::sqrt(sum / double(out.size() - first)) : 0;
    }
};

// Presses a button (two frames) and listens for 30 frames.
double loudness_of(uint32_t button, uint32_t mask) {
    demo_machine m;
    channel_mask = mask;
    m.run(20);
    size_t from = m.out.size() / size_t(samples_per_frame);
    m.run(2, button);
    m.run(28);
    return m.rms_from(from + 2);
}

}  // namespace

TEST(DemoMachine, BuiltInEntryAfterTheSeventeenOutsideTheMenuNumbers) {
    int count = 0;
    while (driver_list[count]) count++;
    ASSERT_EQ(count, game_count + 1);
    EXPECT_EQ(driver_list[game_count], &demo_driver);
    EXPECT_EQ(game_by_menu_number(game_count + 1), nullptr);
    // Placed like any game, with nothing on disk; the name in any letter case.
    ASSERT_EQ(load_driver("DEMO"), 1);
    EXPECT_EQ(sample_rom[1], 0x5A);  // the speech chip's signature
    EXPECT_EQ(sample_rom[4], 0x55);
    EXPECT_EQ(program_rom[3], 0x00);  // initial stack pointer 0x00FFFF00, 68000 byte order
    EXPECT_EQ(program_rom[1], 0xFF);
    free_driver();
    EXPECT_EQ(sample_rom[1], 0);
}

TEST(DemoMachine, EachChipToggledOffIsSilent) {
    const uint32_t all = channel_fm | channel_psg | channel_adpcm;
    // Button A: the FM jingle; B: PSG tones; C: the spoken sample.
    EXPECT_GT(loudness_of(input_a, all), 1000.0);
    EXPECT_LT(loudness_of(input_a, all & ~channel_fm), 1.0);
    EXPECT_GT(loudness_of(input_b, all), 1000.0);
    EXPECT_LT(loudness_of(input_b, all & ~channel_psg), 1.0);
    EXPECT_GT(loudness_of(input_c, all), 1000.0);
    EXPECT_LT(loudness_of(input_c, all & ~channel_adpcm), 1.0);
}
