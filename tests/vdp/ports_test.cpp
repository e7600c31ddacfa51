#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cpu68k/m68k.h"
#include "sound/mixer.h"
#include "vdp_test_util.h"

using namespace vt;

namespace {

std::vector<int> psg_bytes;
void record_psg(int chip, int data) { psg_bytes.push_back(chip << 8 | data); }

class Ports : public testing::Test {
protected:
    void SetUp() override { fresh_vdp(); }
};

}  // namespace

TEST_F(Ports, ResetLeavesDefaults) {
    EXPECT_EQ(vdp_ctrl_r(), 0);
    EXPECT_EQ(vp_width, 256);
    EXPECT_EQ(vp_height, 224);
    EXPECT_EQ(plane_a_base, 0xC000);
    EXPECT_EQ(window_base, 0xF000);
    EXPECT_EQ(plane_b_base, 0xE000);
    EXPECT_EQ(sprite_table_base, 0xD800);
    EXPECT_EQ(hscroll_base, 0xDC00);
    EXPECT_EQ(vdp.reg[15], 2);
    EXPECT_EQ(pf_column_mask, 63);
    EXPECT_EQ(pf_row_mask, 255);
    EXPECT_EQ(pf_shift, 7);
}

TEST_F(Ports, ByteWritesAreDoubledIntoWords) {
    command(vram_write, 0x0100);
    vdp_w_8(0xC00001, 0x12, nullptr);
    EXPECT_EQ(peek_vram(0x0100), 0x1212);
    EXPECT_EQ(vdp.addr, 0x0102);

    // 0x1212 to the control port is a first command word: code 0, address 0x1212.
    vdp_w_8(0xC00005, 0x12, nullptr);
    EXPECT_EQ(vdp.pending, 1);
    EXPECT_EQ(vdp.addr & 0x3FFF, 0x1212);
    EXPECT_EQ(vdp.code & 3, 0);

    // A register write by byte: 0x8F doubled is register 15 = 0x8F.
    fresh_vdp();
    vdp_w_8(0xC00004, 0x8F, nullptr);
    EXPECT_EQ(vdp.reg[15], 0x8F);
}

TEST_F(Ports, ToneGeneratorPortOnlyWhileSoundRuns) {
    auto* saved_hook = vdp_psg_write;
    const int was_running = sound_initialised();
    vdp_psg_write = record_psg;
    psg_bytes.clear();

    audio_shutdown();
    vdp_w_8(0xC00011, 0x9F, nullptr);
    EXPECT_TRUE(psg_bytes.empty());

    ASSERT_EQ(audio_init(44100, nullptr), 1);
    vdp_w_8(0xC00011, 0x9F, nullptr);
    vdp_w_8(0xC00017, 0x80, nullptr);
    vdp_w_8(0xC00010, 0x81, nullptr);        // even address: nothing
    vdp_w_16(0xC00010, 0x00BF, nullptr);     // word writes never reach it
    EXPECT_EQ(psg_bytes, (std::vector<int>{0x9F, 0x80}));

    vdp_psg_write = saved_hook;
    if (!was_running) audio_shutdown();
}

TEST_F(Ports, RegisterWriteAgainstSecondCommandWord) {
    vdp.code = 0x05;
    vdp_ctrl_w(0x8F04);
    EXPECT_EQ(vdp.reg[15], 4);
    EXPECT_EQ(vdp.pending, 0);
    EXPECT_EQ(vdp.code, 0);

    // The same word after a first word is the second word: address bits 15-14
    // from bits 1-0 (10), code bits 5-2 from bits 7-4 (0000).
    vdp_ctrl_w(0x4123);  // first word: code 01, address 0x0123
    EXPECT_EQ(vdp.pending, 1);
    vdp_ctrl_w(0x8F02);
    EXPECT_EQ(vdp.pending, 0);
    EXPECT_EQ(vdp.reg[15], 4);  // not a register write
    EXPECT_EQ(vdp.addr, 0x8123);
    EXPECT_EQ(vdp.code, 0x01);

    // Second word sets the top address bits and the upper code bits.
    vdp_ctrl_w(0x4000);
    vdp_ctrl_w(0x0013);
    EXPECT_EQ(vdp.addr, 0xC000);
    EXPECT_EQ(vdp.code, 0x05);
}

TEST_F(Ports, DataOrStatusAccessEndsAPendingCommand) {
    vdp_ctrl_w(0x4000);
    EXPECT_EQ(vdp.pending, 1);
    vdp_ctrl_r();
    EXPECT_EQ(vdp.pending, 0);
    vdp_ctrl_w(0x4000);
    vdp_hv_counter();
    EXPECT_EQ(vdp.pending, 1);  // the HV counter leaves it
    vdp_data_r();
    EXPECT_EQ(vdp.pending, 0);
    // The code the first word set survives; a register write now works again.
    EXPECT_EQ(vdp.code & 3, 1);
    vdp_ctrl_w(0x8F01);
    EXPECT_EQ(vdp.reg[15], 1);
}

TEST_F(Ports, OddVramAddressSwapsTheBytes) {
    poke_words(vram_write, 0x0101, {0xABCD});
    EXPECT_EQ(vdp.vram[0x0100], 0xCD);
    EXPECT_EQ(vdp.vram[0x0101], 0xAB);
    // Reading ignores the low address bit.
    command(vram_read, 0x0101);
    EXPECT_EQ(vdp_data_r(), 0xCDAB);
}

TEST_F(Ports, EachRamReadsBackThroughItsOwnCode) {
    poke_words(vram_write, 0x2000, {0x1234, 0x5678});
    poke_words(cram_write, 0x0006, {0x0EEE});
    poke_words(vsram_write, 0x0004, {0x03FF});
    // Colour and scroll RAM wrap at 128 bytes.
    poke_words(cram_write, 0x0086, {0x0222});

    command(vram_read, 0x2000);
    EXPECT_EQ(vdp_data_r(), 0x1234);
    EXPECT_EQ(vdp_data_r(), 0x5678);
    command(cram_read, 0x0006);
    EXPECT_EQ(vdp_data_r(), 0x0222);
    command(vsram_read, 0x0004);
    EXPECT_EQ(vdp_data_r(), 0x03FF);
    EXPECT_EQ(vdp.vsram[4], 0x03);
}

TEST_F(Ports, BadCodesStoreNothingButAdvance) {
    command(vram_write, 0x0200);
    EXPECT_EQ(vdp_data_r(), 0xFFFF);  // reading with a write code
    EXPECT_EQ(vdp.addr, 0x0202);

    command(0x0F, 0x0300);  // code 15 names no RAM
    vdp_data_w(0xBEEF);
    EXPECT_EQ(vdp.addr, 0x0302);
    EXPECT_EQ(peek_vram(0x0300), 0);

    command(vram_read, 0x0400);
    vdp_data_w(0x1111);  // code 0: a write stores nothing, silently
    EXPECT_EQ(peek_vram(0x0400), 0);
    EXPECT_EQ(vdp.addr, 0x0402);
}

TEST_F(Ports, AddressAdvancesByRegister15AndWraps) {
    set_reg(15, 0x80);
    poke_words(vram_write, 0xFFC0, {0x1111, 0x2222});
    EXPECT_EQ(peek_vram(0xFFC0), 0x1111);
    EXPECT_EQ(peek_vram(0x0040), 0x2222);
    EXPECT_EQ(vdp.addr, 0x00C0);
}

TEST_F(Ports, BytePortReadsAreWholeAccesses) {
    poke_words(vram_write, 0x1000, {0xA1B2, 0xC3D4});
    command(vram_read, 0x1000);
    EXPECT_EQ(vdp_r_8(0xC00000, nullptr), 0xA1u);  // high byte of the first word
    EXPECT_EQ(vdp_r_8(0xC00001, nullptr), 0xD4u);  // low byte of the second
    EXPECT_EQ(vdp.addr, 0x1004);

    vdp.status = 0x3608;
    EXPECT_EQ(vdp_r_16(0xC00004, nullptr), 0x3608u);
    EXPECT_EQ(vdp_r_8(0xC00007, nullptr), 0x08u);
    EXPECT_EQ(vdp_r_8(0xC00010, nullptr), 0xFFu);
    EXPECT_EQ(vdp_r_16(0xC00012, nullptr), 0xFFFFu);
    EXPECT_EQ(vdp_r_16(0xC00001, nullptr), 0xFFFFu);
}

TEST_F(Ports, WordWritesOnlyOnEvenPortAddresses) {
    command(vram_write, 0x0000);
    vdp_w_16(0xC00002, 0x1357, nullptr);
    vdp_w_16(0xC00008, 0x2468, nullptr);  // HV counter: not writable
    EXPECT_EQ(peek_vram(0x0000), 0x1357);
    EXPECT_EQ(peek_vram(0x0002), 0);
    vdp_w_16(0xC00006, 0x8C81, nullptr);
    EXPECT_EQ(vp_width, 320);
}

TEST_F(Ports, HvCounter) {
    vdp.line = 240;
    EXPECT_EQ(vdp_hv_counter() >> 8, 0xEA);
    vdp.line = 235;
    EXPECT_EQ(vdp_hv_counter() >> 8, 0xE5);
    vdp.line = 234;
    EXPECT_EQ(vdp_hv_counter() >> 8, 0xEA);
    vdp.line = 100;
    EXPECT_EQ(vdp_hv_counter() >> 8, 100);
    vdp.line = 300;
    EXPECT_EQ(vdp_hv_counter() >> 8, 0);
    vdp.line = 261;
    EXPECT_EQ(vdp_hv_counter() >> 8, 0xFF);
}

TEST_F(Ports, RegisterDerivedValues) {
    set_reg(16, 0x12);
    EXPECT_EQ(pf_column_mask, 127);
    EXPECT_EQ(pf_row_mask, 511);
    EXPECT_EQ(pf_shift, 8);
    set_reg(16, 0x30);
    EXPECT_EQ(pf_column_mask, 31);
    EXPECT_EQ(pf_row_mask, 1023);
    EXPECT_EQ(pf_shift, 6);

    set_reg(1, 0x4C);
    EXPECT_EQ(vp_height, 240);

    // The low bit of the window and sprite bases is dropped in 320-pixel mode,
    // and the bases follow a later change of width.
    set_reg(3, 0x3F);
    set_reg(5, 0x7F);
    EXPECT_EQ(window_base, 0xFC00);
    EXPECT_EQ(sprite_table_base, 0xFE00);
    set_reg(12, 0x81);
    EXPECT_EQ(window_base, 0xF800);
    EXPECT_EQ(sprite_table_base, 0xFC00);

    set_reg(2, 0xFF);
    set_reg(4, 0xFF);
    set_reg(13, 0xFF);
    EXPECT_EQ(plane_a_base, 0xE000);
    EXPECT_EQ(plane_b_base, 0xE000);
    EXPECT_EQ(hscroll_base, 0xFC00);

    set_reg(0x1F, 0x55);  // registers 24-31 are stored
    EXPECT_EQ(vdp.reg[31], 0x55);
}

TEST(DirtyTiles, QueueHoldsEachTileOnceUnderArbitraryWrites) {
    fresh_vdp();
    std::mt19937 rng(7);
    for (int round = 0; round < 3; round++) {
        for (int i = 0; i < 20000; i++) {
            const int kind = rng() % 4;
            if (kind == 0) set_reg(15, rng() & 0xFF);
            else if (kind == 1) command(vram_write, static_cast<uint16_t>(rng()));
            else vdp_data_w(static_cast<uint16_t>(rng()));
            ASSERT_LE(vram_dirty_index, vram_tiles);
        }
        std::vector<int> seen(vram_tiles, 0);
        for (int i = 0; i < vram_dirty_index; i++) {
            const int t = vram_dirty_queue[i];
            EXPECT_EQ(seen[t]++, 0) << "tile " << t << " queued twice";
            EXPECT_EQ(vram_dirty_list[t], 1);
        }
        cache_tiles();
        EXPECT_EQ(vram_dirty_index, 0);
    }
}

TEST(DirtyTiles, ResetRequeuesEveryTile) {
    fresh_vdp();
    solid_tile(5, 9);
    cache_tiles();
    EXPECT_EQ(tile_cache[5 * 64], 9);
    vdp_reset();
    EXPECT_EQ(vram_dirty_index, vram_tiles);
    cache_tiles();
    EXPECT_EQ(tile_cache[5 * 64], 0);  // decoded tiles follow the cleared video RAM
}

TEST(HvCounter, HorizontalPartFollowsTheCyclesOfTheLine) {
    fresh_vdp();
    // A program of NOPs (4 cycles each) behind the reset vectors.
    static uint16_t rom[0x400];
    for (uint16_t& w : rom) w = 0x4E71;
    rom[0] = 0x00FF, rom[1] = 0x0000;  // stack
    rom[2] = 0x0000, rom[3] = 0x0100;  // start
    ASSERT_EQ(m68k_init(), 1);
    m68k_switch(0);
    ASSERT_EQ(m68k_add_fetch(0, sizeof rom - 1, rom), 1);
    ASSERT_EQ(m68k_add_readwrite(0, sizeof rom - 1, nullptr, rom), 1);
    m68k_reset();
    m68k_clear_cycles();
    m68k_execute(200);
    const int elapsed = m68k_get_elapsed_cycles();
    ASSERT_EQ(elapsed, 200) << "NOPs divide 200 cycles evenly";

    vdp.line = 10;
    set_reg(12, 0x81);
    EXPECT_EQ(vdp_hv_counter(), (10 << 8) | 100);
    set_reg(12, 0x00);
    EXPECT_EQ(vdp_hv_counter(), (10 << 8) | 50);

    // The cycle count is taken modulo 1024: 1200 reads as 176.
    m68k_execute(1000);
    ASSERT_EQ(m68k_get_elapsed_cycles(), 1200);
    set_reg(12, 0x81);
    EXPECT_EQ(vdp_hv_counter() & 0xFF, 88);
}
