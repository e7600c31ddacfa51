// A small machine for processor tests: 64 KB of code at 0, 64 KB of RAM at
// 0xFF0000, every exception vector pointing at its own "BRA.S *" so a test
// can tell which one was taken from where the PC parks.
#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "cpu68k/m68k.h"

namespace rig {

inline constexpr uint32_t rom_size = 0x10000;
inline constexpr uint32_t ram_base = 0xFF0000;
inline constexpr uint32_t ram_size = 0x10000;
inline constexpr uint32_t stack_top = 0xFF8000;
inline constexpr uint32_t code = 0x1000;
inline constexpr uint32_t stub_base = 0x400;

inline uint32_t stub(int vector) { return stub_base + 2 * vector; }

struct machine {
    std::vector<uint16_t> rom = std::vector<uint16_t>(rom_size / 2);
    std::vector<uint16_t> ram = std::vector<uint16_t>(ram_size / 2);

    // Map ROM and RAM, fill the vectors, but do not reset.
    explicit machine(uint32_t context = 0) {
        m68k_init();
        m68k_switch(context);
        m68k_add_fetch(0, rom_size - 1, rom.data());
        m68k_add_read(0, rom_size - 1, nullptr, rom.data());
        m68k_add_fetch(ram_base, ram_base + ram_size - 1, ram.data());
        m68k_add_readwrite(ram_base, ram_base + ram_size - 1, nullptr, ram.data());
        put_long(0, stack_top);
        put_long(4, code);
        for (int v = 2; v < 256; v++) {
            put_long(4 * v, stub(v));
            put(stub(v), {0x60FE});
        }
    }

    void put(uint32_t address, std::initializer_list<uint16_t> words) {
        for (uint16_t w : words) {
            rom[address / 2] = w;
            address += 2;
        }
    }
    void put_long(uint32_t address, uint32_t value) {
        rom[address / 2] = uint16_t(value >> 16);
        rom[address / 2 + 1] = uint16_t(value);
    }
    void set_vector(int vector, uint32_t address) { put_long(4 * vector, address); }

    // Program at the reset PC, then reset and clear the odometer.
    int32_t start(std::initializer_list<uint16_t> program) {
        put(code, program);
        int32_t r = m68k_reset();
        m68k_clear_cycles();
        return r;
    }

    uint16_t ram_word(uint32_t address) const { return ram[(address - ram_base) / 2]; }
    uint32_t ram_long(uint32_t address) const {
        return uint32_t(ram_word(address)) << 16 | ram_word(address + 2);
    }
};

inline s68000context state() {
    std::vector<unsigned char> block(s68000GetContextSize() + sizeof(s68000context));
    s68000GetContext(block.data());
    s68000context s;
    std::memcpy(&s, block.data(), sizeof s);
    return s;
}

inline void set_state(const s68000context& s) {
    std::vector<unsigned char> block(s68000GetContextSize() + sizeof(s68000context));
    s68000GetContext(block.data());
    std::memcpy(block.data(), &s, sizeof s);
    s68000SetContext(block.data());
}

}  // namespace rig
