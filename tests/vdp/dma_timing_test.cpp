// DMA as a program on the machine sees it: a transfer from 68000 memory
// holds the processor, a fill or copy runs while it goes on, and the next
// transfer waits for the running one.
#include <gtest/gtest.h>

#include "machine/scheduler.h"
#include "machine_program.h"
#include "vdp_test_util.h"

using namespace vt;

namespace {

// Position within the frame of an HV counter value read on a displayed line
// in 256-pixel mode (576 cycles a line, H counts 4 cycles).
int cycles_at(uint32_t hv) { return static_cast<int>((hv >> 8) & 0xFF) * 576 + static_cast<int>(hv & 0xFF) * 4; }

constexpr int line = 576;

}  // namespace

TEST(DmaTiming, TransferFrom68000MemoryHoldsTheProcessor) {
    start_program(image_of({
        0x00FF, 0xFF00, 0x0000, 0x0008,
        0x41F9, 0x00C0, 0x0004,  // lea 0xC00004,a0: control port
        0x43F9, 0x00C0, 0x0008,  // lea 0xC00008,a1: HV counter
        0x30BC, 0x8114,          // move.w #0x8114,(a0): DMA on, display off
        0x30BC, 0x93E8,          // move.w #0x93E8,(a0): 1000 words
        0x30BC, 0x9403,          // move.w #0x9403,(a0)
        0x30BC, 0x9700,          // move.w #0x9700,(a0): from 68000 address 0
        0x3211,                  // move.w (a1),d1
        0x20BC, 0x4000, 0x0080,  // move.l #0x40000080,(a0): into video RAM at 0
        0x3411,                  // move.w (a1),d2
        0x60FE,                  // bra.s *
    }));
    genesis_frame(1);
    const s68000context cpu = live_cpu();
    // 2000 bytes at 167 a line (blank rate, 256 pixels): the processor loses
    // some twelve lines between the two reads.
    const int held = cycles_at(cpu.dreg[2]) - cycles_at(cpu.dreg[1]);
    EXPECT_GT(held, 11 * line);
    EXPECT_LT(held, 13 * line);
    EXPECT_EQ(peek_vram(0x0000), 0x00FF);  // the program itself
    EXPECT_EQ(peek_vram(0x002E), 0x60FE);
    EXPECT_EQ(vdp_ctrl_r() & 0x0002, 0);
}

TEST(DmaTiming, FillAndCopyRunWhileTheProcessorGoesOnAndTheNextWaits) {
    start_program(image_of({
        0x00FF, 0xFF00, 0x0000, 0x0008,
        0x41F9, 0x00C0, 0x0004,  // lea 0xC00004,a0: control port
        0x43F9, 0x00C0, 0x0008,  // lea 0xC00008,a1: HV counter
        0x45F9, 0x00C0, 0x0000,  // lea 0xC00000,a2: data port
        0x30BC, 0x8114,          // move.w #0x8114,(a0): DMA on, display off
        0x30BC, 0x8F01,          // move.w #0x8F01,(a0): increment 1
        0x30BC, 0x9300,          // move.w #0x9300,(a0): 0x2000 bytes
        0x30BC, 0x9420,          // move.w #0x9420,(a0)
        0x30BC, 0x9780,          // move.w #0x9780,(a0): fill
        0x3211,                  // move.w (a1),d1
        0x20BC, 0x4000, 0x0080,  // move.l #0x40000080,(a0): video RAM from 0
        0x34BC, 0x5A5A,          // move.w #0x5A5A,(a2): starts the fill
        0x3411,                  // move.w (a1),d2
        0x3610,                  // move.w (a0),d3: status
        0x30BC, 0x97C0,          // move.w #0x97C0,(a0): copy from 0
        0x20BC, 0x0000, 0x00C2,  // move.l #0x000000C2,(a0): to 0x8000
        0x3811,                  // move.w (a1),d4
        0x3A10,                  // move.w (a0),d5: status
        0x60FE,                  // bra.s *
    }));
    genesis_frame(1);
    const s68000context cpu = live_cpu();
    // The fill runs in the chip: the next instructions follow at once, and
    // the status shows it busy.
    EXPECT_LT(cycles_at(cpu.dreg[2]) - cycles_at(cpu.dreg[1]), 100);
    EXPECT_EQ(cpu.dreg[3] & 0x0002, 2u);
    // The copy command waits for the fill: 8193 bytes at 166 a line.
    const int waited = cycles_at(cpu.dreg[4]) - cycles_at(cpu.dreg[1]);
    EXPECT_GT(waited, 48 * line);
    EXPECT_LT(waited, 51 * line);
    EXPECT_EQ(cpu.dreg[5] & 0x0002, 2u);
    // 8192 bytes at 83 a line end the copy near line 150: done by frame end.
    EXPECT_EQ(vdp_ctrl_r() & 0x0002, 0);
    for (int a = 0x8000; a < 0xA000; a++) ASSERT_EQ(vdp.vram[a], 0x5A) << a;
}

// benchmarks/programs/dma_loop.s: a pattern in the lower half of video RAM,
// then a 64 KB copy from 0 to 0x8000 restarted for ever, D7 counting them.
TEST(DmaTiming, RestartedCopyKeepsItsResultAndTheChipsPace) {
    const std::vector<uint8_t> image = read_image(DMA_LOOP_PROGRAM);
    ASSERT_FALSE(image.empty()) << DMA_LOOP_PROGRAM;
    start_program(image);
    for (int f = 0; f < 60; f++) genesis_frame(1);
    // Every byte of the upper half copies the lower half, which holds the
    // pattern (word k is k x 0x0103).
    for (int a = 0; a < 0x10000; a++) {
        const unsigned k = (a & 0x7FFF) >> 1;
        const uint16_t word = static_cast<uint16_t>(k * 0x0103);
        ASSERT_EQ(vdp.vram[a], (a & 1) ? (word & 0xFF) : (word >> 8)) << a;
    }
    // A displayed frame of 256 pixels copies 224 x 8 + 38 x 83 bytes, so
    // each copy lasts some 13 frames; after the pattern (3 frames) five start
    // within 60 frames.
    const uint32_t copies = live_cpu().dreg[7];
    EXPECT_GE(copies, 4u);
    EXPECT_LE(copies, 6u);
}
