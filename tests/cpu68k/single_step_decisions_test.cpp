// The core's own decisions, which the chip's single-step data cannot show:
// unassigned encodings, flat times, register shift counts, divide overflow,
// odd addresses, code at the end of a region, and the odometer when a
// handler both requests an interrupt and trips the counter.
#include <gtest/gtest.h>

#include "cpu68k/cpu_rig.h"

namespace {

constexpr uint16_t SR_C = 1, SR_V = 2, SR_Z = 4, SR_N = 8, SR_X = 16;

uint32_t run_one() {
    m68k_execute(0);
    return uint32_t(m68k_clear_cycles());
}

void set_regs(std::initializer_list<std::pair<int, uint32_t>> regs) {
    s68000context s = rig::state();
    for (auto [r, v] : regs) {
        if (r < 8) s.dreg[r] = v;
        else s.areg[r - 8] = v;
    }
    rig::set_state(s);
}

TEST(CoreDecisions, UnassignedOpcodesAndLinesAAndF) {
    const std::pair<uint16_t, int> cases[] = {
        {0x4AFC, 4}, {0x4E7A, 4}, {0x0008, 4}, {0x4E74, 4}, {0xA123, 10}, {0xF000, 11}};
    for (auto [op, vector] : cases) {
        rig::machine m;
        ASSERT_EQ(m.start({op, 0x4E71}), 0);
        EXPECT_EQ(run_one(), 34u) << std::hex << op;
        s68000context s = rig::state();
        EXPECT_EQ(s.pc, rig::stub(vector)) << std::hex << op;
        EXPECT_EQ(s.areg[7], rig::stack_top - 6);
        EXPECT_EQ(m.ram_long(rig::stack_top - 4), rig::code) << "stacks the opcode's address";
        EXPECT_EQ(m.ram_word(rig::stack_top - 6), 0x2700);
    }
}

TEST(CoreDecisions, ExecutedUnassignedEncodings) {
    rig::machine m;
    // move.b a1,d0 ; btst #11,#$08 ; btst #2,#$08
    ASSERT_EQ(m.start({0x1009, 0x083C, 0x000B, 0x0008, 0x083C, 0x0002, 0x0008}), 0);
    set_regs({{0, 0xAAAAAAAA}, {9, 0x12345680}});
    EXPECT_EQ(run_one(), 4u);
    s68000context s = rig::state();
    EXPECT_EQ(s.dreg[0], 0xAAAAAA80u);
    EXPECT_EQ(s.sr & 0x1F, SR_N);
    EXPECT_EQ(run_one(), 12u);
    EXPECT_EQ(rig::state().sr & SR_Z, 0) << "bit 11 is bit 3 of the byte, which is set";
    EXPECT_EQ(run_one(), 12u);
    EXPECT_EQ(rig::state().sr & SR_Z, SR_Z);
    EXPECT_EQ(rig::state().pc, rig::code + 14);
}

TEST(CoreDecisions, DbtNeverBranches) {
    rig::machine m;
    ASSERT_EQ(m.start({0x50C8, 0xFFFE}), 0);
    set_regs({{0, 0}});
    EXPECT_EQ(run_one(), 12u);
    EXPECT_EQ(rig::state().pc, rig::code + 4);
    EXPECT_EQ(rig::state().dreg[0], 0u);
}

TEST(CoreDecisions, RegisterShiftCountsAreModulo64) {
    rig::machine m;
    // lsl.l d1,d0 three times, then ror.w d1,d2
    ASSERT_EQ(m.start({0xE3A8, 0xE3A8, 0xE3A8, 0xE27A}), 0);
    set_regs({{0, 0x00000001}, {1, 32}});
    EXPECT_EQ(run_one(), 72u);
    s68000context s = rig::state();
    EXPECT_EQ(s.dreg[0], 0u);
    EXPECT_EQ(s.sr & 0x1F, SR_X | SR_Z | SR_C) << "C and X from the lowest bit";
    set_regs({{0, 0x40000001}, {1, 65}});  // counts as 1
    EXPECT_EQ(run_one(), 10u);
    EXPECT_EQ(rig::state().dreg[0], 0x80000002u);
    set_regs({{0, 0x12345678}, {1, 64}});  // counts as 0: flags only, C clear, X kept
    s = rig::state();
    s.sr |= SR_X | SR_C;
    rig::set_state(s);
    EXPECT_EQ(run_one(), 8u);
    s = rig::state();
    EXPECT_EQ(s.dreg[0], 0x12345678u);
    EXPECT_EQ(s.sr & 0x1F, SR_X);
    set_regs({{1, 36}, {2, 0xFFFF1234}});  // rotate a word by 36: by 4
    EXPECT_EQ(run_one(), 6u + 72u);
    EXPECT_EQ(rig::state().dreg[2], 0xFFFF4123u);
}

TEST(CoreDecisions, DivideOverflowLeavesTheDestination) {
    rig::machine m;
    // divs d1,d0 ; divu d1,d2 ; divu d3,d2 (by zero)
    ASSERT_EQ(m.start({0x81C1, 0x84C1, 0x84C3}), 0);
    set_regs({{0, 0x80000000}, {1, 0xFFFF}, {2, 0x7FFFFFFF}, {3, 0}});
    EXPECT_EQ(run_one(), 150u);
    s68000context s = rig::state();
    EXPECT_EQ(s.dreg[0], 0x80000000u);
    EXPECT_EQ(s.sr & 0x0F, SR_V);
    EXPECT_EQ(run_one(), 133u);
    s = rig::state();
    EXPECT_EQ(s.dreg[2], 0x7FFF8000u) << "quotient 0x8000, remainder 0x7FFF";
    EXPECT_EQ(s.sr & 0x0F, SR_N);
    EXPECT_EQ(run_one(), 38u) << "by zero: vector 5";
    EXPECT_EQ(rig::state().pc, rig::stub(5));
    EXPECT_EQ(m.ram_long(rig::stack_top - 4), rig::code + 6) << "stacks the next instruction";
}

TEST(CoreDecisions, FlatMultiplyTimes) {
    rig::machine m;
    ASSERT_EQ(m.start({0xC0C1, 0xC0C1, 0xC1C1}), 0);  // mulu, mulu, muls d1,d0
    set_regs({{0, 0xFFFF}, {1, 0}});
    EXPECT_EQ(run_one(), 38u);
    set_regs({{0, 0xFFFF}, {1, 0xFFFF}});
    EXPECT_EQ(run_one(), 38u);
    EXPECT_EQ(rig::state().dreg[0], 0xFFFE0001u);
    set_regs({{0, 0xFFFF}, {1, 0xFFFF}});
    EXPECT_EQ(run_one(), 38u);
    EXPECT_EQ(rig::state().dreg[0], 1u);
}

TEST(CoreDecisions, OddAddressesRaiseNothing) {
    rig::machine m;
    // move.w (a0),d0 ; move.l d1,(a0)
    ASSERT_EQ(m.start({0x3010, 0x2081, 0x4E71}), 0);
    set_regs({{8, rig::ram_base + 0x101}, {1, 0x11223344}});
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(run_one(), 12u);
    EXPECT_EQ(rig::state().pc, rig::code + 4);
    EXPECT_EQ(rig::state().areg[7], rig::stack_top);
}

TEST(CoreDecisions, CodeAtTheEndOfARegionNeverReadsPastIt) {
    rig::machine m;
    // jmp $fffc: move.l #imm,d0 whose low word lies beyond the region
    m.put(0xFFFC, {0x203C, 0x1234});
    ASSERT_EQ(m.start({0x4EF9, 0x0000, 0xFFFC}), 0);
    EXPECT_EQ(run_one(), 12u);
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    EXPECT_EQ(rig::state().dreg[0], 0x1234FFFFu) << "the missing word reads as all ones";
    EXPECT_EQ(rig::state().pc, 0x10002u);
    EXPECT_EQ(m68k_execute(100), S68000_FETCH_FAULT) << "straight on into no region";
}

TEST(CoreDecisions, BranchOffTheRegionIsAFetchFault) {
    rig::machine m;
    m.put(0xFFF0, {0x6000, 0x0100});  // bra.w to 0x100F2, past the end
    ASSERT_EQ(m.start({0x4EF9, 0x0000, 0xFFF0}), 0);
    EXPECT_EQ(m68k_execute(20), S68000_OK);
    EXPECT_EQ(rig::state().pc, 0x100F2u);
    EXPECT_EQ(m68k_execute(20), S68000_FETCH_FAULT);
}

int32_t tripped;
void request_then_trip(uint32_t, uint32_t, memory_handler*) {
    s68000interrupt(1, -1);  // masked: sets the slice's budget aside
    tripped = s68000tripOdometer();
}

TEST(CoreDecisions, TripAfterARequestInTheSameHandlerCountsOnlyLaterCycles) {
    rig::machine m;
    m68k_add_writeword(0xA00000, 0xA00001, request_then_trip, nullptr);
    for (uint32_t a = rig::code; a < rig::code + 0x200; a += 2) m.put(a, {0x4E71});
    ASSERT_EQ(m.start({0x4E71, 0x4E71, 0x33C0, 0x00A0, 0x0000}), 0);
    m68k_execute(100);
    EXPECT_EQ(tripped, 8);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 100 - 8);
}

void pulse() { ++tripped; }

TEST(CoreDecisions, ResetWithAHandlerCallsItAndGoesOn) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E70, 0x4E71}), 0);
    s68000context s = rig::state();
    s.reset_handler = pulse;
    rig::set_state(s);
    tripped = 0;
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    EXPECT_EQ(tripped, 1);
    EXPECT_EQ(m68k_clear_cycles(), 132);
    EXPECT_EQ(rig::state().pc, rig::code + 2);
}

}  // namespace

namespace {

TEST(CoreDecisions, ExtremeBudgetsCountOnlyWhatRan) {
    rig::machine m;
    // nop, then divu d1,d0 ; bra.s back: 143 cycles a turn
    ASSERT_EQ(m.start({0x4E71, 0x80C1, 0x60FC}), 0);
    EXPECT_EQ(m68k_execute(INT32_MIN), S68000_OK);
    EXPECT_EQ(m68k_clear_cycles(), 4);
    set_regs({{1, 1}});
    EXPECT_EQ(m68k_execute(INT32_MAX), S68000_OK);
    int32_t ran = m68k_clear_cycles();
    EXPECT_GE(ran, 0x40000000) << "a budget is capped at 2^30 cycles";
    EXPECT_LT(ran, 0x40000000 + 133);
}

}  // namespace

namespace {

TEST(CoreDecisions, MissingDataListsReadAsAnEmptyMap) {
    rig::machine m;
    // move.l d0,-(a7) ; move.l (a7)+,d1 ; move #0,sr (to user mode) ; move.w (a0),d2
    ASSERT_EQ(m.start({0x2F00, 0x221F, 0x46FC, 0x0000, 0x3410}), 0);
    s68000context s = rig::state();
    s.readbyte = s.readword = s.writebyte = s.writeword = nullptr;
    s.s_readword = s.s_writeword = nullptr;  // supervisor word lists missing: the user set stands in
    s.u_readbyte = s.u_readword = s.u_writebyte = s.u_writeword = nullptr;
    s.dreg[0] = 0x12345678;
    rig::set_state(s);
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    EXPECT_EQ(rig::state().dreg[1], 0xFFFFFFFFu) << "no word list anywhere: reads all ones";
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    EXPECT_EQ(rig::state().dreg[2] & 0xFFFF, 0xFFFFu);
}

}  // namespace
