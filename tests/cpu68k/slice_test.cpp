// Slices and their cycle accounting, what a handler may do in the middle of
// one, fetch faults, halts and the RESET stop.
#include <gtest/gtest.h>

#include <functional>

#include "cpu68k/cpu_rig.h"

namespace {

std::function<void()> on_write;
void call_on_write(uint32_t, uint32_t, memory_handler*) { on_write(); }

// Three nops (12 cycles), a word write to the handler (16), then nops.
void start_with_handler_write(rig::machine& m) {
    m68k_add_writeword(0xA00000, 0xA00001, call_on_write, nullptr);
    for (uint32_t a = rig::code; a < rig::code + 0x200; a += 2) m.put(a, {0x4E71});
    ASSERT_EQ(m.start({0x4E71, 0x4E71, 0x4E71, 0x33C0, 0x00A0, 0x0000}), 0);
}

TEST(Slices, BudgetAndOvershoot) {
    rig::machine m;
    ASSERT_EQ(m.start({0x60FE}), 0);  // bra.s . (10 cycles)
    EXPECT_EQ(m68k_execute(512), S68000_OK);
    EXPECT_EQ(m68k_clear_cycles(), 520);
    EXPECT_EQ(m68k_execute(0), S68000_OK);  // one instruction always runs
    EXPECT_EQ(m68k_clear_cycles(), 10);
    m68k_execute(-40);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 10);
    m68k_execute(10);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 20);
}

TEST(Slices, TripFromHandlerLeavesOnlyLaterCycles) {
    rig::machine m;
    int32_t tripped = -1;
    on_write = [&] { tripped = m68k_clear_cycles(); };
    start_with_handler_write(m);
    m68k_execute(100);
    EXPECT_EQ(tripped, 12);  // the write in progress is not counted yet
    EXPECT_EQ(m68k_get_elapsed_cycles(), 100 - 12);
    on_write = [] {};
    m68k_execute(50);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 88 + 52);
}

TEST(Slices, ReleaseFromHandlerEndsSliceAfterThatInstruction) {
    rig::machine m;
    on_write = [] { m68k_stop(); };
    start_with_handler_write(m);
    EXPECT_EQ(m68k_execute(1000), S68000_OK);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 12 + 16);
    EXPECT_EQ(m68k_readpc(), rig::code + 12);
    on_write = [] {};
    m68k_execute(8);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 12 + 16 + 8);
}

TEST(Slices, HandlerSeesPcCyclesAndFetchWithoutDisturbingTheSlice) {
    rig::machine m;
    uint32_t pc = 0;
    int32_t elapsed = -1, unmapped = 0, mapped = 0, reset = 0;
    on_write = [&] {
        pc = m68k_readpc();
        elapsed = m68k_get_elapsed_cycles();
        unmapped = m68k_fetch(0x500000);
        mapped = m68k_fetch(rig::code + 6);
        reset = m68k_reset();
    };
    m68k_add_writeword(0xA00000, 0xA00001, call_on_write, nullptr);
    for (uint32_t a = rig::code; a < rig::code + 0x200; a += 2) m.put(a, {0x4E71});
    ASSERT_EQ(m.start({0x4E71, 0x33FC, 0x1234, 0x00A0, 0x0000}), 0);  // move.w #$1234,$a00000
    EXPECT_EQ(m68k_execute(100), S68000_OK);
    EXPECT_EQ(pc, rig::code + 10);  // after the immediate and the address
    EXPECT_EQ(elapsed, 4);
    EXPECT_EQ(unmapped, -1);
    EXPECT_EQ(mapped, 0x00A0);
    EXPECT_EQ(reset, 1);  // refused inside a slice
    // 4 + 20 for the two instructions, then nops up to the budget.
    EXPECT_EQ(m68k_get_elapsed_cycles(), 100);
    EXPECT_EQ(m68k_readpc(), rig::code + 10 + 76 / 4 * 2);
}

TEST(Slices, FetchFaultAtEntry) {
    ASSERT_EQ(m68k_init(), 1);
    m68k_switch(0);
    EXPECT_EQ(m68k_execute(100), S68000_FETCH_FAULT);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 0);

    rig::machine m;
    ASSERT_EQ(m.start({0x4E71}), 0);
    auto s = rig::state();
    s.pc = 0x500000;
    rig::set_state(s);
    EXPECT_EQ(m68k_execute(100), S68000_FETCH_FAULT);
    EXPECT_EQ(m68k_readpc(), 0x500000u);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 0);
}

TEST(Slices, FetchFaultMidSliceEndsItThenEveryCallFaults) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E71, 0x4EF9, 0x0050, 0x0000}), 0);  // nop / jmp 0x500000
    EXPECT_EQ(m68k_execute(1000), S68000_OK);
    EXPECT_EQ(m68k_readpc(), 0x500000u);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 4 + 12);
    EXPECT_EQ(m68k_cause_interrupt(7), 0);
    for (int i = 0; i < 3; i++) EXPECT_EQ(m68k_execute(1000), S68000_FETCH_FAULT);
    auto s = rig::state();
    EXPECT_EQ(s.irq_block[0] & 0x80, 0x80);  // not taken
    EXPECT_EQ(s.areg[7], rig::stack_top);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 16);
    EXPECT_EQ(m68k_reset(), 0);
    EXPECT_EQ(m68k_execute(0), S68000_OK);
}

TEST(Slices, HaltedAfterBadResetUntilGoodOne) {
    ASSERT_EQ(m68k_init(), 1);
    m68k_switch(0);
    EXPECT_EQ(m68k_reset(), 1);  // no supervisor fetch region at 0
    EXPECT_EQ(m68k_execute(100), S68000_HALTED);

    rig::machine m;
    m.put_long(4, rig::code + 1);
    EXPECT_EQ(m.start({0x4E71, 0x60FE}), -1);
    EXPECT_EQ(m68k_execute(100), S68000_HALTED);
    EXPECT_EQ(m68k_execute(100), S68000_HALTED);
    EXPECT_EQ(m68k_get_elapsed_cycles(), 0);

    m.put_long(4, rig::code);
    EXPECT_EQ(m68k_reset(), 0);
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    EXPECT_EQ(m68k_readpc(), rig::code + 2);
}

TEST(Slices, ResetInstructionWithoutHandlerStopsThereForGood) {
    rig::machine m;
    ASSERT_EQ(m.start({0x4E71, 0x4E70, 0x7005}), 0);  // nop / reset / moveq #5,d0
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(m68k_execute(100), rig::code + 2);
        EXPECT_EQ(m68k_readpc(), rig::code + 2);
    }
    EXPECT_EQ(rig::state().dreg[0], 0u);
}

}  // namespace
