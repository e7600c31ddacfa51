// Interrupt requests and acceptance: masks, priorities, vectors, STOP, RTE.
#include <gtest/gtest.h>

#include "cpu68k/cpu_rig.h"

namespace {

using rig::stack_top;
using rig::stub;

constexpr uint32_t frame_sr = stack_top - 6;
constexpr uint32_t frame_pc = stack_top - 4;

uint8_t requested() { return rig::state().irq_block[0] & 0xFE; }
bool stopped() { return rig::state().irq_block[0] & 1; }

TEST(Interrupts, RequestArgumentsAndStoredVectors) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E71, 0x60FE}), 0);  // nop / bra.s .
    EXPECT_EQ(s68000interrupt(0, -1), 2);
    EXPECT_EQ(s68000interrupt(8, -1), 2);
    EXPECT_EQ(s68000interrupt(4, 256), 2);
    EXPECT_EQ(s68000interrupt(4, -3), 2);
    EXPECT_EQ(requested(), 0);

    EXPECT_EQ(m68k_cause_interrupt(4), 0);
    EXPECT_EQ(m68k_cause_interrupt(4), 1);
    EXPECT_EQ(s68000interrupt(4, -2), 1);  // refused: the first vector stays
    EXPECT_EQ(s68000interrupt(3, -2), 0);
    EXPECT_EQ(s68000interrupt(5, 0x40), 0);
    auto s = rig::state();
    EXPECT_EQ(s.irq_block[0] & 0xFE, 0x38);
    EXPECT_EQ(s.irq_block[4], 28);
    EXPECT_EQ(s.irq_block[3], 24);
    EXPECT_EQ(s.irq_block[5], 0x40);

    // Highest level first, each through its stored vector, one per check.
    s.sr = 0x2000;
    rig::set_state(s);
    m68k_execute(0);
    EXPECT_EQ(m68k_readpc(), stub(0x40));
    EXPECT_EQ(requested(), 0x18);
    for (uint32_t expected : {stub(28), stub(24)}) {
        s = rig::state();
        s.sr = 0x2000;
        rig::set_state(s);
        m68k_execute(0);
        EXPECT_EQ(m68k_readpc(), expected);
    }
    EXPECT_EQ(requested(), 0);
}

TEST(Interrupts, PendingLevelTakenBeforeFirstInstructionOfSlice) {
    rig::machine m;
    ASSERT_EQ(m.start({0x46FC, 0x2500,  // move.w #0x2500,sr
                       0x4E71,          // nop
                       0x60FE}),        // bra.s .
              0);
    m68k_execute(0);
    EXPECT_EQ(m68k_clear_cycles(), 16);
    EXPECT_EQ(m68k_cause_interrupt(6), 0);
    EXPECT_EQ(m68k_cause_interrupt(6), 1);
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    auto s = rig::state();
    EXPECT_EQ(s.pc, stub(30));
    EXPECT_EQ(s.sr, 0x2600);
    EXPECT_EQ(s.areg[7], frame_sr);
    EXPECT_EQ(m.ram_long(frame_pc), rig::code + 4);  // the nop never ran
    EXPECT_EQ(m.ram_word(frame_sr), 0x2500);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 44 + 10);
    EXPECT_EQ(requested(), 0);
}

TEST(Interrupts, MaskHoldsLowerLevelUntilLowered) {
    rig::machine m;
    m.set_vector(28, 0x2000);
    m.put(0x2000, {0x4E71,          // nop
                   0x46FC, 0x2200,  // move.w #0x2200,sr
                   0x46FC, 0x2100,  // move.w #0x2100,sr
                   0x60FE});        // bra.s .
    ASSERT_EQ(m.start({0x46FC, 0x2300, 0x4E71, 0x60FE}), 0);
    m68k_execute(0);
    EXPECT_EQ(m68k_cause_interrupt(2), 0);
    EXPECT_EQ(m68k_cause_interrupt(4), 0);

    m68k_execute(0);  // level 4, then the handler's nop
    auto s = rig::state();
    EXPECT_EQ(s.pc, 0x2002u);
    EXPECT_EQ(s.sr, 0x2400);
    EXPECT_EQ(m.ram_word(frame_sr), 0x2300);
    EXPECT_EQ(requested(), 0x04);

    m68k_execute(0);  // mask 2 still holds level 2
    EXPECT_EQ(m68k_readpc(), 0x2006u);
    EXPECT_EQ(requested(), 0x04);

    m68k_execute(0);  // mask 1 lets it in at once
    s = rig::state();
    EXPECT_EQ(s.pc, stub(26));
    EXPECT_EQ(s.sr, 0x2200);
    EXPECT_EQ(s.areg[7], stack_top - 12);
    EXPECT_EQ(m.ram_long(stack_top - 10), 0x200Au);
    EXPECT_EQ(m.ram_word(stack_top - 12), 0x2100);
    EXPECT_EQ(requested(), 0);
}

TEST(Interrupts, LevelSevenIgnoresMaskSeven) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E71, 0x60FE}), 0);
    EXPECT_EQ(m68k_cause_interrupt(7), 0);
    m68k_execute(0);
    auto s = rig::state();
    EXPECT_EQ(s.pc, stub(31));
    EXPECT_EQ(s.sr, 0x2700);
    EXPECT_EQ(m.ram_long(frame_pc), rig::code);
}

void raise_level_3_on_write(uint32_t, uint32_t, memory_handler*) { m68k_cause_interrupt(3); }

TEST(Interrupts, RequestFromHandlerTakenAfterThatInstructionAndSliceGoesOn) {
    rig::machine m;
    m68k_add_writeword(0xA00000, 0xA00001, raise_level_3_on_write, nullptr);
    m.set_vector(27, 0x2000);
    m.put(0x2000, {0x7E01, 0x60FE});  // moveq #1,d7 / bra.s .
    ASSERT_EQ(m.start({0x46FC, 0x2000,          // move.w #0x2000,sr
                       0x33C0, 0x00A0, 0x0000,  // move.w d0,0xa00000
                       0x4E71, 0x4E71, 0x60FE}),
              0);
    EXPECT_EQ(m68k_execute(1000), S68000_OK);
    auto s = rig::state();
    EXPECT_EQ(s.dreg[7], 1u);
    EXPECT_EQ(s.pc, 0x2002u);
    EXPECT_EQ(m.ram_long(frame_pc), rig::code + 10);
    int32_t ran = m68k_get_elapsed_cycles();
    EXPECT_GE(ran, 1000);  // the rest of the budget was still spent
    EXPECT_LT(ran, 1010);
}

TEST(Interrupts, StopWithNothingWaitingCountsWholeSlices) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E72, 0x2000,  // stop #0x2000
                       0x4E71, 0x60FE}),
              0);
    EXPECT_EQ(m68k_execute(1000), S68000_OK);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 1000);
    EXPECT_TRUE(stopped());
    EXPECT_EQ(m68k_readpc(), rig::code + 4);
    EXPECT_EQ(m68k_execute(500), S68000_OK);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 1500);
    EXPECT_EQ(m68k_readpc(), rig::code + 4);

    EXPECT_EQ(m68k_cause_interrupt(6), 0);
    EXPECT_FALSE(stopped());
    m68k_execute(0);
    EXPECT_EQ(m68k_readpc(), stub(30));
    EXPECT_EQ(m.ram_long(frame_pc), rig::code + 4);
    EXPECT_EQ(m.ram_word(frame_sr), 0x2000);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 1500 + 44 + 10);
}

TEST(Interrupts, StopWithInterruptWaitingTakesItAtOnce) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E72, 0x2000, 0x4E71, 0x60FE}), 0);
    EXPECT_EQ(m68k_cause_interrupt(6), 0);  // masked until the stop
    EXPECT_EQ(m68k_execute(1000), S68000_OK);
    auto s = rig::state();
    EXPECT_EQ(s.pc, stub(30));
    EXPECT_FALSE(s.irq_block[0] & 1);
    EXPECT_EQ(m.ram_long(frame_pc), rig::code + 4);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 1000 + 44);
}

TEST(Interrupts, StopThenMaskedRequestRunsOnWithoutTakingIt) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E72, 0x2700,  // stop #0x2700
                       0x4E71,          // nop
                       0x7005,          // moveq #5,d0
                       0x60FE}),
              0);
    m68k_execute(100);
    EXPECT_TRUE(stopped());
    EXPECT_EQ(m68k_cause_interrupt(4), 0);
    m68k_execute(100);
    auto s = rig::state();
    EXPECT_EQ(s.dreg[0], 5u);
    EXPECT_EQ(s.pc, rig::code + 8);
    EXPECT_EQ(s.irq_block[0], 0x10);
}

TEST(Interrupts, RteLoweringMaskLetsWaitingLevelInBeforeNextInstruction) {
    rig::machine m;
    m.put(0x1100, {0x4E71, 0x60FE});
    ASSERT_EQ(m.start({0x4878, 0x1100,  // pea (0x1100).w
                       0x3F3C, 0x2000,  // move.w #0x2000,-(a7)
                       0x4E73}),        // rte
              0);
    EXPECT_EQ(m68k_cause_interrupt(5), 0);
    m68k_execute(1000);
    auto s = rig::state();
    EXPECT_EQ(s.pc, stub(29));
    EXPECT_EQ(s.sr, 0x2500);
    EXPECT_EQ(s.areg[7], frame_sr);
    EXPECT_EQ(m.ram_long(frame_pc), 0x1100u);
    EXPECT_EQ(m.ram_word(frame_sr), 0x2000);
}

TEST(Interrupts, FlushTakesOneUnmaskedLevelOutsideASlice) {
    rig::machine m;
    ASSERT_EQ(m.start({0x46FC, 0x2300, 0x4E71, 0x60FE}), 0);  // move.w #0x2300,sr
    m68k_execute(0);
    m68k_clear_cycles();
    EXPECT_EQ(m68k_cause_interrupt(2), 0);
    m68k_flush_interrupts();  // level 2 is masked
    EXPECT_EQ(m68k_readpc(), rig::code + 4);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 0);
    EXPECT_EQ(m68k_cause_interrupt(5), 0);
    m68k_flush_interrupts();
    auto s = rig::state();
    EXPECT_EQ(s.pc, stub(29));
    EXPECT_EQ(s.sr, 0x2500);
    EXPECT_EQ(s.irq_block[0] & 0xFE, 0x04);
    EXPECT_EQ(m.ram_long(frame_pc), rig::code + 4);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 44);
}

TEST(Interrupts, VectorOutsideEveryRegionFaultsTheSlice) {
    rig::machine m;
    m.set_vector(31, 0x500000);
    ASSERT_EQ(m.start({0x4E71, 0x60FE}), 0);
    EXPECT_EQ(m68k_cause_interrupt(7), 0);
    EXPECT_EQ(m68k_execute(100), S68000_FETCH_FAULT);
    EXPECT_EQ(m68k_readpc(), 0x500000u);
    EXPECT_EQ(m.ram_long(frame_pc), rig::code);
    EXPECT_EQ(m68k_execute(100), S68000_FETCH_FAULT);
}

}  // namespace
