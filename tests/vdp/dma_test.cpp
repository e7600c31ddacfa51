#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cpu68k/m68k.h"
#include "vdp_test_util.h"

using namespace vt;

namespace {

// DMA length (registers 19-20) and the mode/source registers 21-23; source
// is the raw 23-bit register value.
void dma_registers(uint32_t length, uint32_t source, int mode) {
    set_reg(1, 0x54);  // display and DMA on
    set_reg(19, length & 0xFF);
    set_reg(20, (length >> 8) & 0xFF);
    set_reg(21, source & 0xFF);
    set_reg(22, (source >> 8) & 0xFF);
    set_reg(23, ((source >> 16) & 0x7F) | (mode << 6));
}

// A command word pair with the DMA request bit (code bit 5).
void dma_command(int code, uint16_t address) { command(code | 0x20, address); }

class Dma : public testing::Test {
protected:
    void SetUp() override { fresh_vdp(); }
};

}  // namespace

TEST_F(Dma, FillWritesLowByteOnceAndHighByteEachStep) {
    set_reg(15, 2);
    dma_registers(3, 0, 2);
    dma_command(vram_write, 0x1000);
    EXPECT_EQ(vdp.dma_fill_pending, 1);
    vdp_data_w(0xAB12);
    EXPECT_EQ(vdp.dma_fill_pending, 0);
    // Low byte at the start address, then the high byte at addr ^ 1 four times.
    EXPECT_EQ(vdp.vram[0x1000], 0x12);
    for (int a = 0x1001; a <= 0x1007; a += 2) EXPECT_EQ(vdp.vram[a], 0xAB) << a;
    EXPECT_EQ(vdp.vram[0x1002], 0);
    EXPECT_EQ(vdp.vram[0x1009], 0);
    EXPECT_EQ(vdp.addr, 0x1008);
}

TEST_F(Dma, FillOfLengthZeroCoversAllOfVideoRam) {
    set_reg(15, 1);
    dma_registers(0, 0, 2);
    dma_command(vram_write, 0x0000);
    vdp_data_w(0x5512);
    // 65536 steps of one byte: the high byte reaches every address ^ 1, so it
    // lands on all bytes, the first low byte included (written over at step 1).
    int high = 0;
    for (int a = 0; a < 0x10000; a++) high += vdp.vram[a] == 0x55;
    EXPECT_EQ(high, 0x10000);
    EXPECT_EQ(vdp.addr, 0x0000);
    EXPECT_EQ(vram_dirty_index, vram_tiles);
}

TEST_F(Dma, FillWithAnotherCodeStillFillsVideoRam) {
    dma_registers(1, 0, 2);
    dma_command(cram_write, 0x0040);
    vdp_data_w(0x7788);
    EXPECT_EQ(vdp.vram[0x0040], 0x88);
    EXPECT_EQ(vdp.vram[0x0041], 0x77);
    EXPECT_EQ(vdp.vram[0x0043], 0x77);
    EXPECT_EQ(vdp.cram[0x40 & 0x7E], 0);
}

TEST_F(Dma, NothingRunsWithDmaDisabled) {
    dma_registers(4, 0, 2);
    set_reg(1, 0x44);
    dma_command(vram_write, 0x0000);
    EXPECT_EQ(vdp.dma_fill_pending, 0);
    vdp_data_w(0x1234);
    EXPECT_EQ(peek_vram(0x0000), 0x1234);  // a plain write
}

TEST_F(Dma, CopyIsPlainBytesAndMarksTiles) {
    poke_words(vram_write, 0x2000, {0x0102, 0x0304});
    cache_tiles();
    set_reg(15, 1);
    dma_registers(4, 0x2000, 3);
    dma_command(vram_read, 0x3001);
    EXPECT_EQ(vdp.vram[0x3001], 0x01);
    EXPECT_EQ(vdp.vram[0x3002], 0x02);
    EXPECT_EQ(vdp.vram[0x3004], 0x04);
    EXPECT_EQ(vdp.addr, 0x3005);
    EXPECT_EQ(vram_dirty_index, 1);
    EXPECT_EQ(vram_dirty_queue[0], 0x3000 >> 5);
}

TEST_F(Dma, CopyOfLengthZeroMoves65535BytesAndSourceStaysInVideoRam) {
    for (int a = 0; a < 0x10000; a += 2) poke_words(vram_write, static_cast<uint16_t>(a), {static_cast<uint16_t>(a)});
    std::vector<uint8_t> before(vdp.vram, vdp.vram + 0x10000);
    set_reg(15, 1);
    dma_registers(0, 0xFF00, 3);
    dma_command(vram_read, 0x0000);
    // 65535 bytes from 0xFF00 up, wrapping to 0x0000 after 0xFFFF, where it
    // meets its own output: the first 256 bytes repeat all the way up.
    for (int i = 0; i < 0xFFFF; i++) ASSERT_EQ(vdp.vram[i], before[0xFF00 + (i & 0xFF)]) << i;
    EXPECT_EQ(vdp.addr, 0xFFFF);
    EXPECT_EQ(vdp.vram[0xFFFF], before[0xFFFF]);
}

TEST_F(Dma, CopyWithAnotherCodeStillCopies) {
    poke_words(vram_write, 0x0100, {0xCAFE});
    set_reg(15, 1);
    dma_registers(2, 0x0100, 3);
    dma_command(vram_write, 0x0200);
    EXPECT_EQ(peek_vram(0x0200), 0xCAFE);
}

TEST(Dma68k, TransferThroughFetchRegions) {
    fresh_vdp();
    ASSERT_EQ(m68k_init(), 1);
    m68k_switch(0);
    static uint16_t ram[0x100];  // 68000 words in host order
    for (int i = 0; i < 0x100; i++) ram[i] = static_cast<uint16_t>(0x1000 + i);
    ASSERT_EQ(m68k_add_fetch(0xFF0000, 0xFF01FF, ram), 1);
    if (static_cast<uint16_t>(m68k_fetch(0xFF0002)) != 0x1001) GTEST_SKIP() << "68000 core fetch not available";
    // The source registers hold a word address.
    auto from = [](uint32_t byte_address) { return byte_address >> 1; };

    dma_registers(3, from(0xFF0002), 0);
    dma_command(vram_write, 0x4000);
    EXPECT_EQ(peek_vram(0x4000), 0x1001);
    EXPECT_EQ(peek_vram(0x4002), 0x1002);
    EXPECT_EQ(peek_vram(0x4004), 0x1003);
    EXPECT_EQ(peek_vram(0x4006), 0);
    EXPECT_EQ(vdp.addr, 0x4006);
    EXPECT_EQ(vdp.reg[19], 3);  // registers are left as they are

    // Into colour RAM, with the source running off its region (reads 0xFFFF).
    dma_registers(2, from(0xFF01FE), 0);
    dma_command(cram_write, 0x0000);
    EXPECT_EQ(vdp.cram[0], 0x10);
    EXPECT_EQ(vdp.cram[1], 0xFF);
    EXPECT_EQ(vdp.cram[2], 0xFF);
    EXPECT_EQ(vdp.cram[3], 0xFF);

    // Length 0 moves 65535 words. With increment 2 the second lap over video
    // RAM overwrites all but the last word, which only the first lap reached.
    static uint16_t big[0x10000];
    for (int i = 0; i < 0x10000; i++) big[i] = static_cast<uint16_t>(i ^ 0x5A5A);
    ASSERT_EQ(m68k_add_fetch(0xFC0000, 0xFDFFFF, big), 1);
    set_reg(15, 2);
    dma_registers(0, from(0xFC0000), 0);
    dma_command(vram_write, 0x0000);
    EXPECT_EQ(vdp.addr, 0xFFFE);
    EXPECT_EQ(peek_vram(0x0000), big[0x8000]);
    EXPECT_EQ(peek_vram(0xFFFC), big[0xFFFE]);
    EXPECT_EQ(peek_vram(0xFFFE), big[0x7FFF]);
}
