#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "machine/board.h"
#include "vdp_test_util.h"

using namespace vt;

// Whatever a runaway program writes to the ports, every line and the
// conversion stay inside their buffers (checked under the sanitizers).
TEST(Garbage, RandomPortTrafficThenDrawing) {
    fresh_vdp();
    std::vector<uint8_t> bytes(static_cast<size_t>(1024) * 512);
    frame_buffer = bytes.data();
    frame_pitch = 1024;
    std::vector<uint16_t> staging(512 * 224);

    std::mt19937 rng(1234);
    for (int round = 0; round < 40; round++) {
        for (int i = 0; i < 3000; i++) {
            const uint32_t address = 0xC00000 | (rng() & 0x1F);
            const uint32_t value = rng();
            switch (rng() % 6) {
            case 0: vdp_w_8(address, value & 0xFF, nullptr); break;
            case 1: vdp_w_16(address & ~1u, value & 0xFFFF, nullptr); break;
            case 2: vdp_r_8(address, nullptr); break;
            case 3: vdp_r_16(address & ~1u, nullptr); break;
            default:
                // Registers more often, with short DMA lengths so a round stays quick.
                const int r = rng() % 24;
                set_reg(r, (r == 20) ? (value & 0x01) : static_cast<int>(value & 0xFF));
                break;
            }
            ASSERT_LE(vram_dirty_index, vram_tiles);
        }
        set_reg(1, (vdp.reg[1] | 0x40) & ~0x10);  // display on, DMA off
        for (int line = 0; line < 224; line++) render_line(line);
        update_conv_pal(board_palette());
        convert_frame(staging.data(), 512);
    }
    // The display was on for the last frame, so its first line drained the queue.
    EXPECT_EQ(vram_dirty_index, 0);

    frame_buffer = nullptr;
}
