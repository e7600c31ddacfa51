// The interface layer's bookkeeping: contexts, list slots, appends, modifies.
#include <gtest/gtest.h>

#include "cpu68k/cpu_rig.h"

namespace {

uint32_t dummy_read(uint32_t, memory_handler*) { return 0; }
void dummy_write(uint32_t, uint32_t, memory_handler*) {}

bool is_terminator(const memory_handler& e) {
    return e.low == list_end && e.high == list_end && !e.handler && !e.user_data;
}

TEST(InterfaceLayer, InitGivesEmptyListsAndBlocksThatPointAtThem) {
    ASSERT_EQ(m68k_init(), 1);
    EXPECT_EQ(m68k_context_index, 0u);
    for (auto& c : m68k_context) {
        ASSERT_NE(c.state, nullptr);
        EXPECT_EQ(c.fetch_count + c.read_byte_count + c.read_word_count + c.write_byte_count +
                      c.write_word_count,
                  0);
        for (int i = 0; i < list_slots; i++) {
            EXPECT_EQ(c.fetch[i].low, list_end);
            EXPECT_EQ(c.fetch[i].high, list_end);
            EXPECT_EQ(c.fetch[i].offset, 0u);
            EXPECT_TRUE(is_terminator(c.read_byte[i]) && is_terminator(c.read_word[i]) &&
                        is_terminator(c.write_byte[i]) && is_terminator(c.write_word[i]));
        }
        EXPECT_EQ(c.state->fetch, c.fetch);
        EXPECT_EQ(c.state->s_readword, c.read_word);
        EXPECT_EQ(c.state->u_writebyte, c.write_byte);
        EXPECT_EQ(c.state->writeword, c.write_word);
    }
    // A second init (the next game) starts again from empty lists.
    m68k_add_fetch(0, 0xFF, nullptr);
    ASSERT_EQ(m68k_init(), 1);
    EXPECT_EQ(m68k_context[0].fetch_count, 0);
    EXPECT_EQ(m68k_context[0].fetch[0].low, list_end);
}

TEST(InterfaceLayer, AppendsFillSlotsInOrder) {
    ASSERT_EQ(m68k_init(), 1);
    static uint16_t rom[0x100];
    auto& c = m68k_context[0];
    ASSERT_EQ(m68k_add_fetch(0x100, 0x2FF, rom), 1);
    EXPECT_EQ(c.fetch[0].offset + 0x100, reinterpret_cast<uintptr_t>(rom));
    EXPECT_EQ(c.fetch[0].high, 0x2FFu);
    EXPECT_EQ(c.fetch[1].low, list_end);

    ASSERT_EQ(m68k_add_read(0x10, 0x1F, dummy_read, rom), 1);
    ASSERT_EQ(m68k_add_readword(0x20, 0x2F, nullptr, nullptr), 1);
    EXPECT_EQ(c.read_byte_count, 1);
    EXPECT_EQ(c.read_word_count, 2);
    EXPECT_EQ(c.read_word[0].handler, reinterpret_cast<void*>(dummy_read));
    EXPECT_EQ(c.read_word[0].user_data, rom);
    EXPECT_EQ(c.read_word[1].low, 0x20u);
    EXPECT_TRUE(is_terminator(c.read_word[2]));
    EXPECT_EQ(c.write_byte_count + c.write_word_count, 0);

    ASSERT_EQ(m68k_add_readwrite(0x40, 0x4F, nullptr, rom), 1);
    EXPECT_EQ(c.write_byte[0].low, 0x40u);
    EXPECT_EQ(c.write_word[0].user_data, rom);
    EXPECT_EQ(c.read_byte[1].low, 0x40u);
    EXPECT_EQ(c.read_word[2].low, 0x40u);
}

TEST(InterfaceLayer, SeventeenthAppendIsRefusedAndTerminatorKept) {
    ASSERT_EQ(m68k_init(), 1);
    auto& c = m68k_context[0];
    for (uint32_t i = 0; i < 16; i++) {
        ASSERT_EQ(m68k_add_writeword(i * 0x10, i * 0x10 + 0xF, dummy_write, nullptr), 1);
        ASSERT_EQ(m68k_add_fetch(i * 0x10, i * 0x10 + 0xF, nullptr), 1);
    }
    EXPECT_EQ(m68k_add_writeword(0x1000, 0x1FFF, dummy_write, nullptr), 0);
    EXPECT_EQ(m68k_add_fetch(0x1000, 0x1FFF, nullptr), 0);
    EXPECT_EQ(c.write_word_count, 16);
    EXPECT_EQ(c.fetch_count, 16);
    EXPECT_TRUE(is_terminator(c.write_word[16]));
    EXPECT_EQ(c.fetch[16].low, list_end);
    EXPECT_EQ(c.fetch[16].high, list_end);
    // Nothing spilled into the next context's lists either.
    EXPECT_TRUE(is_terminator(m68k_context[1].read_byte[0]));
    EXPECT_EQ(m68k_context[1].fetch[0].low, list_end);

    // A combined append with one full list writes to none of them.
    EXPECT_EQ(m68k_add_write(0x2000, 0x2FFF, dummy_write, nullptr), 0);
    EXPECT_EQ(m68k_add_readwrite(0x2000, 0x2FFF, nullptr, nullptr), 0);
    EXPECT_EQ(c.write_byte_count, 0);
    EXPECT_EQ(c.read_byte_count, 0);
    EXPECT_TRUE(is_terminator(c.write_byte[0]));
}

TEST(InterfaceLayer, SwitchSelectsListsAndRefusesBadIndex) {
    ASSERT_EQ(m68k_init(), 1);
    m68k_switch(2);
    EXPECT_EQ(m68k_context_index, 2u);
    ASSERT_EQ(m68k_add_readbyte(0x10, 0x20, dummy_read, nullptr), 1);
    EXPECT_EQ(m68k_context[2].read_byte_count, 1);
    EXPECT_EQ(m68k_context[0].read_byte_count, 0);

    m68k_switch(3);
    EXPECT_EQ(m68k_context_index, 2u);
    m68k_switch(0xFFFFFFFFu);
    EXPECT_EQ(m68k_context_index, 2u);
    ASSERT_EQ(m68k_add_readbyte(0x30, 0x40, dummy_read, nullptr), 1);
    EXPECT_EQ(m68k_context[2].read_byte_count, 2);

    m68k_switch(0);
    EXPECT_EQ(m68k_context_index, 0u);
    // Each block still points at its own lists after the round trip.
    EXPECT_EQ(m68k_context[2].state->readbyte, m68k_context[2].read_byte);
    EXPECT_EQ(m68k_context[0].state->readbyte, m68k_context[0].read_byte);
}

TEST(InterfaceLayer, ModifyDataChangesEveryExactMatch) {
    ASSERT_EQ(m68k_init(), 1);
    static uint16_t a[0x80], b[0x80];
    auto& c = m68k_context[0];
    m68k_add_fetch(0x100, 0x1FF, a);
    m68k_add_fetch(0x100, 0x2FF, a);
    m68k_add_fetch(0x100, 0x1FF, a);
    m68k_modify_fetch_data(0x100, 0x1FF, b);
    EXPECT_EQ(c.fetch[0].offset + 0x100, reinterpret_cast<uintptr_t>(b));
    EXPECT_EQ(c.fetch[1].offset + 0x100, reinterpret_cast<uintptr_t>(a));
    EXPECT_EQ(c.fetch[2].offset + 0x100, reinterpret_cast<uintptr_t>(b));

    m68k_add_readwrite(0x10, 0x1F, nullptr, a);
    m68k_add_readwrite(0x10, 0x2F, nullptr, a);
    m68k_modify_read_data(0x10, 0x1F, reinterpret_cast<void*>(dummy_read), b);
    EXPECT_EQ(c.read_byte[0].handler, reinterpret_cast<void*>(dummy_read));
    EXPECT_EQ(c.read_word[0].user_data, b);
    EXPECT_EQ(c.read_word[1].user_data, a);
    EXPECT_EQ(c.write_word[0].user_data, a);
    m68k_modify_readwrite_data(0x10, 0x2F, nullptr, b);
    EXPECT_EQ(c.write_byte[1].user_data, b);
    EXPECT_EQ(c.read_word[1].user_data, b);
    EXPECT_EQ(c.write_byte[0].user_data, a);
    EXPECT_EQ(c.state->readword, c.read_word);
}

TEST(InterfaceLayer, ModifyAddrMovesEntriesFoundByTarget) {
    ASSERT_EQ(m68k_init(), 1);
    static uint16_t a[0x80], b[0x80];
    auto& c = m68k_context[0];
    m68k_add_fetch(0x100, 0x1FF, a);
    m68k_add_fetch(0x400, 0x4FF, b);
    m68k_modify_fetch_addr(0x800, 0x8FF, a);
    EXPECT_EQ(c.fetch[0].low, 0x800u);
    EXPECT_EQ(c.fetch[0].high, 0x8FFu);
    EXPECT_EQ(c.fetch[0].offset + 0x800, reinterpret_cast<uintptr_t>(a));
    EXPECT_EQ(c.fetch[1].low, 0x400u);

    m68k_add_write(0x10, 0x1F, dummy_write, a);
    m68k_add_write(0x20, 0x2F, dummy_write, b);
    m68k_add_readbyte(0x30, 0x3F, nullptr, a);
    m68k_modify_readwrite_addr(0x50, 0x5F, reinterpret_cast<void*>(dummy_write), a);
    EXPECT_EQ(c.write_byte[0].low, 0x50u);
    EXPECT_EQ(c.write_word[0].high, 0x5Fu);
    EXPECT_EQ(c.write_word[1].low, 0x20u);
    EXPECT_EQ(c.read_byte[0].low, 0x30u);
    // A null handler and user data never match the terminators behind the entries.
    m68k_modify_readword_addr(0x60, 0x6F, nullptr, nullptr);
    EXPECT_TRUE(is_terminator(c.read_word[0]));
}

TEST(InterfaceLayer, EachContextKeepsItsOwnStateAndLists) {
    rig::machine m;
    ASSERT_EQ(m.start({0x7007, 0x60FE}), 0);  // moveq #7,d0 / bra.s .
    EXPECT_EQ(m68k_execute(0), S68000_OK);
    m68k_switch(1);  // nothing mapped there: PC 0 is in no region
    EXPECT_EQ(m68k_execute(100), S68000_FETCH_FAULT);
    EXPECT_EQ(rig::state().dreg[0], 0u);
    m68k_switch(0);
    EXPECT_EQ(rig::state().dreg[0], 7u);
    EXPECT_EQ(m68k_execute(100), S68000_OK);
    EXPECT_EQ(m68k_readpc(), rig::code + 2);
}

TEST(InterfaceLayer, ModifiedEntryServesTheNextAccess) {
    rig::machine m;
    static uint16_t first[8] = {0x1111}, second[8] = {0x2222};
    m68k_add_readwrite(0x600000, 0x60000F, nullptr, first);
    ASSERT_EQ(m.start({0x3039, 0x0060, 0x0000,  // move.w 0x600000,d0
                       0x3239, 0x0060, 0x0000,  // move.w 0x600000,d1
                       0x60FE}),
              0);
    m68k_execute(0);
    m68k_modify_readwrite_data(0x600000, 0x60000F, nullptr, second);
    m68k_execute(0);
    auto s = rig::state();
    EXPECT_EQ(s.dreg[0], 0x1111u);
    EXPECT_EQ(s.dreg[1], 0x2222u);
}

}  // namespace
