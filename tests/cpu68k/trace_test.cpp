// Trace mode across slices and exceptions, and entering supervisor mode.
#include <gtest/gtest.h>

#include "cpu68k/cpu_rig.h"

namespace {

// Traced: three nops and the move that clears T; d6 counts trace exceptions.
void load_traced_program(rig::machine& m) {
    m.set_vector(9, 0x2000);
    m.put(0x2000, {0x5286, 0x4E73});  // addq.l #1,d6 / rte
    m.put(rig::code, {0x46FC, 0xA700,  // move.w #0xa700,sr
                      0x4E71, 0x4E71, 0x4E71,
                      0x46FC, 0x2700,  // move.w #0x2700,sr
                      0x60FE});
    ASSERT_EQ(m68k_reset(), 0);
}

TEST(Trace, OneExceptionPerTracedInstructionWhateverTheSlices) {
    for (int32_t slice : {10000, 0, 7, 40, 66}) {
        SCOPED_TRACE(slice);
        rig::machine m;
        load_traced_program(m);
        for (int i = 0; i < 400 && m68k_readpc() != rig::code + 14; i++)
            m68k_execute(slice);
        m68k_execute(slice);
        auto s = rig::state();
        EXPECT_EQ(s.dreg[6], 4u);
        EXPECT_EQ(s.pc, rig::code + 14);
        EXPECT_EQ(s.sr, 0x2700);
        EXPECT_EQ(s.areg[7], rig::stack_top);
    }
}

TEST(Trace, InstructionRaisingAnExceptionIsNotTracedHandlerRunsUntraced) {
    rig::machine m;
    m.set_vector(9, 0x2000);
    m.put(0x2000, {0x5286, 0x4E73});  // addq.l #1,d6 / rte
    m.set_vector(32, 0x2100);
    m.put(0x2100, {0x5285, 0x4E73});  // addq.l #1,d5 / rte
    ASSERT_EQ(m.start({0x46FC, 0xA700,  // move.w #0xa700,sr
                       0x4E71,          // nop      traced
                       0x4E40,          // trap #0  not traced
                       0x4E71,          // nop      traced again after the rte
                       0x46FC, 0x2700,  // move.w #0x2700,sr  traced
                       0x60FE}),
              0);
    m68k_execute(5000);
    auto s = rig::state();
    EXPECT_EQ(s.dreg[5], 1u);
    EXPECT_EQ(s.dreg[6], 3u);
    EXPECT_EQ(s.pc, rig::code + 14);
    EXPECT_EQ(s.sr, 0x2700);
}

TEST(Trace, TrapStacksNextAddressAndUsesItsVector) {
    rig::machine m;
    m.set_vector(35, 0x2200);
    m.put(0x2200, {0x60FE});
    ASSERT_EQ(m.start({0x4E71, 0x4E43, 0x60FE}), 0);  // nop / trap #3
    m68k_execute(0);
    m68k_execute(0);
    EXPECT_EQ(m68k_readpc(), 0x2200u);
    EXPECT_EQ(m.ram_long(rig::stack_top - 4), rig::code + 4);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 4 + 34);
}

TEST(Trace, IllegalInUserModeSwitchesStacksAndClearsTrace) {
    rig::machine m;
    ASSERT_EQ(m.start({0x41F9, 0x00FF, 0x7000,  // lea 0xff7000,a0
                       0x4E60,                  // move.l a0,usp
                       0x46FC, 0x8000,          // move.w #0x8000,sr  user, traced
                       0x200F,                  // move.l a7,d0
                       0x4AFC}),                // illegal
              0);
    m68k_execute(1000);
    auto s = rig::state();
    EXPECT_EQ(s.dreg[0], 0xFF7000u);  // the user stack was live at once
    // Trace of the move above went through vector 9's stub.
    EXPECT_EQ(s.pc, rig::stub(9));
    EXPECT_EQ(s.sr, 0x2000);
    EXPECT_EQ(s.areg[7], rig::stack_top - 6);
    EXPECT_EQ(s.other_sp, 0xFF7000u);
    EXPECT_EQ(m.ram_long(rig::stack_top - 4), rig::code + 14);
    EXPECT_EQ(m.ram_word(rig::stack_top - 6), 0x8000);

    rig::machine u;
    ASSERT_EQ(u.start({0x41F9, 0x00FF, 0x7000, 0x4E60,
                       0x46FC, 0x0000,  // move.w #0,sr  user
                       0x200F, 0x4AFC}),
              0);
    m68k_execute(1000);
    s = rig::state();
    EXPECT_EQ(s.dreg[0], 0xFF7000u);
    EXPECT_EQ(s.pc, rig::stub(4));
    EXPECT_EQ(s.sr, 0x2000);
    EXPECT_EQ(s.areg[7], rig::stack_top - 6);
    EXPECT_EQ(s.other_sp, 0xFF7000u);
    EXPECT_EQ(u.ram_long(rig::stack_top - 4), rig::code + 14);
    EXPECT_EQ(u.ram_word(rig::stack_top - 6), 0x0000);
}

}  // namespace
