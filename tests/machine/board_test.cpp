#include <gtest/gtest.h>

#include <cstring>

#include "cpu68k/m68k.h"
#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "vdp/vdp.h"

namespace {

uint8_t read8(uint32_t a) { return static_cast<uint8_t>(m68k_read_memory_8(a, nullptr)); }
void write8(uint32_t a, uint8_t v) { m68k_write_memory_8(a, v, nullptr); }

class Ports : public testing::Test {
protected:
    void SetUp() override { input_p1 = input_p2 = input_system = 0; }
    void TearDown() override { input_p1 = input_p2 = input_system = 0; }
};

TEST_F(Ports, PlayerPortsAreActiveLowInTheirOwnBitOrder) {
    EXPECT_EQ(read8(0x840001), 0xFF);
    EXPECT_EQ(read8(0x840003), 0xFF);
    EXPECT_EQ(read8(0x840009), 0xFF);

    const struct { uint32_t input; uint8_t port; } one_control[] = {
        {input_left, 0x7F}, {input_right, 0xBF}, {input_up, 0xDF}, {input_down, 0xEF},
        {input_a, 0xFB}, {input_b, 0xFD}, {input_c, 0xFE}};
    for (const auto& c : one_control) {
        input_p1 = c.input;
        input_p2 = 0;
        EXPECT_EQ(read8(0x840001), c.port) << "p1 input " << c.input;
        EXPECT_EQ(read8(0x840003), 0xFF);
        input_p1 = 0;
        input_p2 = c.input;
        EXPECT_EQ(read8(0x840003), c.port) << "p2 input " << c.input;
        EXPECT_EQ(read8(0x840001), 0xFF);
    }
    input_p2 = 0;
    input_p1 = input_left | input_a;
    EXPECT_EQ(read8(0x840001), 0x7B);
    input_p1 = 0x7F;  // everything held: only the unused bit 3 stays high
    EXPECT_EQ(read8(0x840001), 0x08);
    input_p1 = 0xFFFFFF80;  // bits beyond the controls change nothing
    EXPECT_EQ(read8(0x840001), 0xFF);
}

TEST_F(Ports, SystemPort) {
    const struct { uint32_t input; uint8_t port; } one_key[] = {
        {input_key1, 0xEF}, {input_key2, 0xDF}, {input_key3, 0xFE},
        {input_key4, 0xFD}, {input_service, 0xF7}, {input_test, 0xFB}};
    for (const auto& k : one_key) {
        input_system = k.input;
        EXPECT_EQ(read8(0x840009), k.port) << "key " << k.input;
    }
    input_system = input_key1 | input_key2 | input_test;
    EXPECT_EQ(read8(0x840009), 0xCB);
    input_system = 0;  // the players' words do not reach it
    input_p1 = 0x7F;
    EXPECT_EQ(read8(0x840009), 0xFF);
}

TEST_F(Ports, SignatureDipsAndUnmappedAddresses) {
    EXPECT_EQ(read8(0x840011), 'S');
    EXPECT_EQ(read8(0x840013), 'E');
    EXPECT_EQ(read8(0x840015), 'G');
    EXPECT_EQ(read8(0x840017), 'A');
    dip_switch[0] = 0x12;
    dip_switch[1] = 0x34;
    EXPECT_EQ(read8(0x84000B), 0x12);
    EXPECT_EQ(read8(0x84000D), 0x34);
    dip_reset();
    EXPECT_EQ(read8(0x84000B), 0xFF);

    // Only odd addresses are ports; word reads see nothing of the chip.
    input_p1 = input_left;
    EXPECT_EQ(read8(0x840000), 0xFF);
    EXPECT_EQ(read8(0x840010), 0xFF);
    EXPECT_EQ(read8(0x800201), 0xFF);
    EXPECT_EQ(read8(0x123457), 0xFF);
    for (uint32_t a : {0x840000u, 0x840010u, 0x840100u, 0x000000u})
        EXPECT_EQ(m68k_read_memory_16(a, nullptr), 0xFFFFu) << std::hex << a;
}

TEST_F(Ports, FmStatusToggleRestartsAtReset) {
    genesis_reset();
    EXPECT_EQ(read8(0x840101), 0xFF);
    EXPECT_EQ(read8(0x840101), 0x00);
    EXPECT_EQ(read8(0x840101), 0xFF);
    genesis_reset();
    EXPECT_EQ(read8(0x840101), 0xFF);
}

class PaletteBanks : public testing::Test {
protected:
    void SetUp() override {
        saved_enable = pal_bank_enable;
        pal_bank_enable = 1;
        genesis_reset();
    }
    void TearDown() override {
        pal_bank_enable = saved_enable;
        genesis_reset();
    }
    int saved_enable = 1;
};

TEST_F(PaletteBanks, SwitchingSavesAndRestoresTheFirstKilobyte) {
    std::memset(palette_ram, 0x11, 0x400);
    std::memset(palette_ram + 0x400, 0x77, 0xC00);
    write8(0x84000F, 1);
    EXPECT_EQ(pal_bank, 1);
    EXPECT_EQ(palette_ram[0], 0);  // bank 1 was never written
    std::memset(palette_ram, 0x22, 0x400);
    write8(0x84000F, 0);
    EXPECT_EQ(palette_ram[0], 0x11);
    EXPECT_EQ(palette_ram[0x3FF], 0x11);
    write8(0x84000F, 5);  // only the low two bits choose the bank
    EXPECT_EQ(pal_bank, 1);
    EXPECT_EQ(palette_ram[0x200], 0x22);
    // Re-selecting the current bank keeps what was written since.
    palette_ram[3] = 0x33;
    write8(0x84000F, 1);
    EXPECT_EQ(palette_ram[3], 0x33);
    for (int i = 0x400; i < 0x1000; i++) ASSERT_EQ(palette_ram[i], 0x77) << i;
}

TEST_F(PaletteBanks, IgnoredWhenTheGameHasNoBanks) {
    pal_bank_enable = 0;
    palette_ram[0] = 0x44;
    write8(0x84000F, 2);
    EXPECT_EQ(pal_bank, 0);
    EXPECT_EQ(palette_ram[0], 0x44);
}

TEST_F(PaletteBanks, SelectRegisterAndResetState) {
    write8(0x800001, 10);
    EXPECT_EQ(pal_select, 10);
    write8(0x84000F, 3);
    palette_ram[0x800] = 9;
    genesis_reset();
    EXPECT_EQ(pal_select, 0);
    EXPECT_EQ(pal_bank, 0);
    EXPECT_EQ(palette_ram[0x800], 0);
    EXPECT_EQ(palette_bank_store[3][0], 0);
}

// The core's lookup: first entry whose range holds the address, up to the terminator.
const memory_handler* find(const memory_handler* list, uint32_t a) {
    for (int i = 0; i < list_slots && list[i].low != list_end; i++)
        if (list[i].low <= a && a <= list[i].high) return &list[i];
    return nullptr;
}
uint8_t* direct_byte(const memory_handler* e, uint32_t a) {
    return static_cast<uint8_t*>(e->user_data) + ((a - e->low) ^ 1);
}

class MemoryMap : public testing::Test {
protected:
    void SetUp() override {
        game_driver = nullptr;
        std::memset(program_rom, 0, sizeof program_rom);
        program_rom[0x100] = 0x12;  // 68000 order before the map is built
        program_rom_host_order = 0;
        program_rom[0x101] = 0x34;
        std::memset(work_ram, 0x55, sizeof work_ram);
        genesis_init();
    }
    void TearDown() override { std::memset(program_rom, 0, sizeof program_rom); }
    const m68k_context_entry& map() const { return m68k_context[0]; }
};

TEST_F(MemoryMap, EntriesInOrderWithTheCatchAllLast) {
    EXPECT_EQ(m68k_context_index, 0u);
    EXPECT_EQ(work_ram[0], 0);  // cleared by the start
    EXPECT_EQ(program_rom[0x100], 0x34);  // swapped into the core's order
    EXPECT_EQ(program_rom[0x101], 0x12);

    ASSERT_EQ(map().fetch_count, 3);
    const uint32_t fetch_low[3] = {0x000000, 0xFF0000, 0xFE0000};
    const uint8_t* fetch_base[3] = {program_rom, work_ram, work_ram};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(map().fetch[i].low, fetch_low[i]);
        EXPECT_EQ(map().fetch[i].offset + fetch_low[i], reinterpret_cast<uintptr_t>(fetch_base[i]));
    }
    EXPECT_EQ(map().fetch[3].low, list_end);

    ASSERT_EQ(map().read_byte_count, 6);
    ASSERT_EQ(map().read_word_count, 6);
    ASSERT_EQ(map().write_byte_count, 5);
    ASSERT_EQ(map().write_word_count, 5);
    const uint32_t read_low[6] = {0x000000, 0xFF0000, 0xC00000, 0x8C0000, 0xFE0000, 0x000000};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(map().read_byte[i].low, read_low[i]) << i;
        EXPECT_EQ(map().read_word[i].low, read_low[i]) << i;
    }
    EXPECT_EQ(map().read_byte[5].high, 0xFFFFFFu);
    EXPECT_EQ(map().read_byte[5].handler, reinterpret_cast<void*>(m68k_read_memory_8));
    EXPECT_EQ(map().read_word[5].handler, reinterpret_cast<void*>(m68k_read_memory_16));
    EXPECT_EQ(map().write_byte[4].handler, reinterpret_cast<void*>(m68k_write_memory_8));
    EXPECT_EQ(map().write_word[4].handler, reinterpret_cast<void*>(m68k_write_memory_16));
    EXPECT_EQ(map().read_byte[2].handler, reinterpret_cast<void*>(vdp_r_8));
    EXPECT_EQ(map().read_word[2].handler, reinterpret_cast<void*>(vdp_r_16));
    EXPECT_EQ(map().write_byte[1].handler, reinterpret_cast<void*>(vdp_w_8));
    EXPECT_EQ(map().write_word[1].handler, reinterpret_cast<void*>(vdp_w_16));
}

TEST_F(MemoryMap, MirrorRomWritesAndPaletteGoWhereTheyShould) {
    // The same work RAM byte seen through both ranges.
    const memory_handler* w = find(map().write_byte, 0xFE1234);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->handler, nullptr);
    *direct_byte(w, 0xFE1234) = 0x5A;
    const memory_handler* r = find(map().read_byte, 0xFF1234);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(*direct_byte(r, 0xFF1234), 0x5A);
    EXPECT_EQ(direct_byte(r, 0xFF1234), &work_ram[0x1235]);

    // ROM reads are direct, ROM writes fall to the catch-all and change nothing.
    EXPECT_EQ(*direct_byte(find(map().read_byte, 0x000100), 0x000100), 0x12);
    const memory_handler* rom_write = find(map().write_byte, 0x000100);
    ASSERT_NE(rom_write->handler, nullptr);
    reinterpret_cast<write_handler>(rom_write->handler)(0x000100, 0xEE, const_cast<memory_handler*>(rom_write));
    EXPECT_EQ(program_rom[0x101], 0x12);
    EXPECT_EQ(program_rom[0x100], 0x34);

    const memory_handler* pal = find(map().write_word, 0x8C0FFE);
    ASSERT_EQ(pal->handler, nullptr);
    EXPECT_EQ(pal->user_data, palette_ram);
    EXPECT_EQ(find(map().write_word, 0x8C1000)->handler, reinterpret_cast<void*>(m68k_write_memory_16));
    EXPECT_EQ(find(map().read_byte, 0xC00020)->handler, reinterpret_cast<void*>(m68k_read_memory_8));
    EXPECT_EQ(find(map().read_byte, 0x840001)->handler, reinterpret_cast<void*>(m68k_read_memory_8));
}


// A short program run by the processor through the board's map.
TEST(BoardProgram, PortsMirrorPaletteEdgeAndRomWrites) {
    const uint16_t program[] = {
        0x13F9, 0x0084, 0x0001, 0x00FF, 0x0000,  // move.b $840001,$FF0000
        0x33FC, 0xABCD, 0x008C, 0x0FFE,          // move.w #$ABCD,$8C0FFE
        0x23F9, 0x008C, 0x0FFE, 0x00FF, 0x0010,  // move.l $8C0FFE,$FF0010 (ends past palette RAM)
        0x13FC, 0x005A, 0x00FE, 0x1234,          // move.b #$5A,$FE1234
        0x33FC, 0x1234, 0x0000, 0x0200,          // move.w #$1234,$000200
        0x60FE};                                 // bra.s *
    std::memset(program_rom, 0, sizeof program_rom);
    const uint8_t vectors[8] = {0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x00};
    std::memcpy(program_rom, vectors, 8);
    for (size_t i = 0; i < sizeof program / 2; i++) {
        program_rom[0x100 + 2 * i] = static_cast<uint8_t>(program[i] >> 8);
        program_rom[0x101 + 2 * i] = static_cast<uint8_t>(program[i]);
    }
    program_rom[0x200] = 0x4E;
    program_rom[0x201] = 0x71;
    program_rom_host_order = 0;  // a fresh image, as the loader leaves it
    game_driver = nullptr;
    ASSERT_EQ(system_init(0), 1);
    input_p1 = input_left;
    m68k_execute(2000);
    input_p1 = 0;

    auto ram = [](uint32_t a) { return work_ram[(a - 0xFF0000) ^ 1]; };
    EXPECT_EQ(ram(0xFF0000), 0x7F);
    EXPECT_EQ(ram(0xFF0010), 0xAB);
    EXPECT_EQ(ram(0xFF0011), 0xCD);
    EXPECT_EQ(ram(0xFF0012), 0xFF);  // the low word came from the catch-all
    EXPECT_EQ(ram(0xFF0013), 0xFF);
    EXPECT_EQ(ram(0xFF1234), 0x5A);
    EXPECT_EQ(program_rom[0x200 ^ 1], 0x4E);
    EXPECT_EQ(program_rom[0x201 ^ 1], 0x71);
    std::memset(program_rom, 0, sizeof program_rom);
}

}  // namespace
