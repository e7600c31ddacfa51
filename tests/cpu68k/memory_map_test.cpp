// How the core finds an operand's address in the memory-map lists.
#include <gtest/gtest.h>

#include <vector>

#include "cpu68k/cpu_rig.h"

namespace {

struct access {
    char kind;  // 'r' or 'w'
    uint32_t address;
    uint32_t data;
    const memory_handler* entry;
};
std::vector<access> log;

uint32_t read_tag(uint32_t address, memory_handler* entry) {
    log.push_back({'r', address, 0, entry});
    // Upper bits set so the core must cut the value to the access size.
    return 0xABCD0000u | reinterpret_cast<uintptr_t>(entry->user_data);
}
uint32_t read_counter(uint32_t address, memory_handler* entry) {
    log.push_back({'r', address, 0, entry});
    return 0x1110u * uint32_t(log.size());
}
void write_log(uint32_t address, uint32_t data, memory_handler* entry) {
    log.push_back({'w', address, data, entry});
}

void* tag(uintptr_t t) { return reinterpret_cast<void*>(t); }

TEST(MemoryMap, UnmappedReadsAllOnesAndAbsorbsWrites) {
    rig::machine m;
    ASSERT_EQ(m.start({
                  0x7000, 0x7200, 0x7400,  // moveq #0,d0 / d1 / d2
                  0x1039, 0x0050, 0x0000,  // move.b 0x500000,d0
                  0x3239, 0x0050, 0x0000,  // move.w 0x500000,d1
                  0x2439, 0x0050, 0x0000,  // move.l 0x500000,d2
                  0x33C0, 0x0050, 0x0000,  // move.w d0,0x500000
                  0x60FE,                  // bra.s .
              }),
              0);
    auto before = m.ram;
    EXPECT_EQ(m68k_execute(200), S68000_OK);
    auto s = rig::state();
    EXPECT_EQ(s.dreg[0], 0xFFu);
    EXPECT_EQ(s.dreg[1], 0xFFFFu);
    EXPECT_EQ(s.dreg[2], 0xFFFFFFFFu);
    EXPECT_EQ(s.pc, rig::code + 0x1E);
    EXPECT_EQ(m.ram, before);
}

TEST(MemoryMap, FirstMatchWinsAndHandlersSeeTwentyFourBitAddresses) {
    rig::machine m;  // ROM and RAM are already ahead of the entries below
    m68k_add_readword(0xA00000, 0xA000FF, read_tag, tag(0x1111));
    m68k_add_readword(0xA00000, 0xA0FFFF, read_tag, tag(0x2222));
    m68k_add_readword(0, 0xFFFFFF, read_tag, tag(0x3333));
    m.ram[0x10 / 2] = 0x4444;
    ASSERT_EQ(m.start({
                  0x3039, 0x00A0, 0x0010,  // move.w 0xa00010,d0
                  0x3239, 0x00A0, 0x0100,  // move.w 0xa00100,d1
                  0x3439, 0xFFA0, 0x0020,  // move.w 0xffa00020,d2
                  0x3639, 0x00FF, 0x0010,  // move.w 0xff0010,d3
                  0x3839, 0x0050, 0x0000,  // move.w 0x500000,d4
                  0x60FE,                  // bra.s .
              }),
              0);
    log.clear();
    m68k_execute(200);
    auto s = rig::state();
    EXPECT_EQ(s.dreg[0] & 0xFFFF, 0x1111u);
    EXPECT_EQ(s.dreg[1] & 0xFFFF, 0x2222u);
    EXPECT_EQ(s.dreg[2] & 0xFFFF, 0x1111u);
    EXPECT_EQ(s.dreg[3] & 0xFFFF, 0x4444u);
    EXPECT_EQ(s.dreg[4] & 0xFFFF, 0x3333u);
    EXPECT_EQ(s.dreg[0] >> 16, 0u);  // word result only, upper half of d0 kept
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].address, 0xA00020u);
    EXPECT_EQ(log[3].address, 0x500000u);
    // The handler receives the very entry it matched, in the live list.
    EXPECT_EQ(log[0].entry, &m68k_context[0].read_word[m68k_context[0].read_word_count - 3]);
    EXPECT_EQ(log[3].entry->low, 0u);
}

TEST(MemoryMap, LongAccessesSplitAcrossEntriesHighWordFirst) {
    rig::machine m;
    std::vector<uint16_t> a(0x800), b(0x800);
    m68k_add_readwrite(0x200000, 0x200FFF, nullptr, a.data());
    m68k_add_readwrite(0x201000, 0x201FFF, nullptr, b.data());
    m68k_add_readword(0x202000, 0x202FFF, read_counter, nullptr);
    m68k_add_writeword(0x202000, 0x202FFF, write_log, nullptr);
    a[0x7FF] = 0x1234;
    b[0] = 0x5678;
    a[0] = 0x9A00 | 0xBC;  // byte at 0x200000 is the high half
    ASSERT_EQ(m.start({
                  0x2039, 0x0020, 0x0FFE,  // move.l 0x200ffe,d0
                  0x23C1, 0x0020, 0x1FFE,  // move.l d1,0x201ffe
                  0x1439, 0x0020, 0x0001,  // move.b 0x200001,d2
                  0x13C3, 0x0020, 0x0000,  // move.b d3,0x200000
                  0x2839, 0x0020, 0x1FFE,  // move.l 0x201ffe,d4
                  0x60FE,                  // bra.s .
              }),
              0);
    auto s = rig::state();
    s.dreg[1] = 0xCAFEF00D;
    s.dreg[2] = 0;
    s.dreg[3] = 0x77;
    rig::set_state(s);
    log.clear();
    m68k_execute(300);
    s = rig::state();
    EXPECT_EQ(s.dreg[0], 0x12345678u);
    EXPECT_EQ(b[0x7FF], 0xCAFE);
    EXPECT_EQ(s.dreg[2], 0xBCu);
    EXPECT_EQ(a[0], 0x77BC);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, 'w');
    EXPECT_EQ(log[0].address, 0x202000u);
    EXPECT_EQ(log[0].data, 0xF00Du);
    EXPECT_EQ(log[1].kind, 'r');
    EXPECT_EQ(log[1].address, 0x202000u);
    EXPECT_EQ(s.dreg[4], 0xCAFE0000u | (0x1110u * 2));
}

TEST(MemoryMap, LongThroughHandlerCallsItTwiceHighWordFirst) {
    rig::machine m;
    m68k_add_readword(0xA00000, 0xA0FFFF, read_counter, nullptr);
    m68k_add_writeword(0xA00000, 0xA0FFFF, write_log, nullptr);
    ASSERT_EQ(m.start({
                  0x2039, 0x00A0, 0x0010,  // move.l 0xa00010,d0
                  0x23C1, 0x00A0, 0x0020,  // move.l d1,0xa00020
                  0x60FE,                  // bra.s .
              }),
              0);
    auto s = rig::state();
    s.dreg[1] = 0x11223344;
    rig::set_state(s);
    log.clear();
    m68k_execute(100);
    s = rig::state();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].address, 0xA00010u);
    EXPECT_EQ(log[1].address, 0xA00012u);
    EXPECT_EQ(s.dreg[0], 0x11102220u);
    EXPECT_EQ(log[2].address, 0xA00020u);
    EXPECT_EQ(log[2].data, 0x1122u);
    EXPECT_EQ(log[3].address, 0xA00022u);
    EXPECT_EQ(log[3].data, 0x3344u);
}

TEST(MemoryMap, SearchStopsAtTheLastSlotOfAFullList) {
    // Context 2's write-word list is the last array of the layer's storage,
    // so a search running past its terminator would leave the object.
    rig::machine m(2);
    while (m68k_add_writeword(0x600000, 0x600001, write_log, nullptr)) {
    }
    EXPECT_EQ(m68k_context[2].write_word_count, 16);
    ASSERT_EQ(m.start({
                  0x33C0, 0x0050, 0x0000,  // move.w d0,0x500000
                  0x23C0, 0x0050, 0x0000,  // move.l d0,0x500000
                  0x60FE,                  // bra.s .
              }),
              0);
    log.clear();
    EXPECT_EQ(m68k_execute(100), S68000_OK);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(rig::state().pc, rig::code + 12);
}

}  // namespace
