// Random instruction streams over random memory. Meant to run under the
// address and undefined-behaviour sanitizers: any access outside the host
// buffers, any crash or hang is the failure; the checks below catch the
// quieter faults (bad statuses, handler addresses with the top byte set).
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

#include "cpu68k/m68k.h"

namespace {

// Regions sized exactly like their host buffers, so an overrun leaves them.
constexpr uint32_t rom_size = 0x40000;
constexpr uint32_t ram_base = 0xFF0000;
constexpr uint32_t ram_size = 0x10000;
constexpr uint32_t mirror_base = 0xFE0000;
constexpr uint32_t io_base = 0x800000;  // a quarter of the space, so random code reaches it
constexpr uint32_t io_high = 0xBFFFFF;
constexpr uint32_t small_base = 0x8C0000;  // a tiny direct region: odd edges
constexpr uint32_t small_size = 0x10;

struct fuzz_state {
    std::mt19937 rng;
    uint64_t cycles = 0;
    uint64_t handler_calls = 0;
    uint64_t bad_addresses = 0;
    uint64_t reset_accepted_inside = 0;
    uint32_t pick(uint32_t n) { return rng() % n; }
};
fuzz_state* fuzz;

// The handler region answers random data and now and then does one of the
// things a handler may do in the middle of a slice.
void handler_side_effect() {
    fuzz_state& f = *fuzz;
    f.handler_calls++;
    switch (f.pick(64)) {
        case 0: m68k_cause_interrupt(1 + f.pick(7)); break;
        case 1: s68000interrupt(int32_t(f.pick(10)) - 1, int32_t(f.pick(260)) - 3); break;
        case 2: m68k_stop(); break;
        case 3: f.cycles += uint32_t(m68k_clear_cycles()); break;
        case 4: m68k_readpc(); m68k_get_elapsed_cycles(); break;
        case 5: m68k_fetch(f.rng()); break;
        case 6: if (m68k_reset() != 1) f.reset_accepted_inside++; break;
        default: break;
    }
}

uint32_t io_read(uint32_t address, memory_handler*) {
    if (address >> 24) fuzz->bad_addresses++;
    handler_side_effect();
    return fuzz->rng();
}
void io_write(uint32_t address, uint32_t, memory_handler*) {
    if (address >> 24) fuzz->bad_addresses++;
    handler_side_effect();
}

struct board {
    std::vector<uint16_t> rom = std::vector<uint16_t>(rom_size / 2);
    std::vector<uint16_t> ram = std::vector<uint16_t>(ram_size / 2);
    std::vector<uint16_t> small = std::vector<uint16_t>(small_size / 2);

    void map_current() {
        m68k_add_fetch(0, rom_size - 1, rom.data());
        m68k_add_read(0, rom_size - 1, nullptr, rom.data());
        m68k_add_fetch(ram_base, ram_base + ram_size - 1, ram.data());
        m68k_add_readwrite(ram_base, ram_base + ram_size - 1, nullptr, ram.data());
        m68k_add_fetch(mirror_base, mirror_base + ram_size - 1, ram.data());
        m68k_add_readwrite(mirror_base, mirror_base + ram_size - 1, nullptr, ram.data());
        m68k_add_readwrite(small_base, small_base + small_size - 1, nullptr, small.data());
        m68k_add_read(io_base, io_high, io_read, nullptr);
        m68k_add_write(io_base, io_high, io_write, nullptr);
    }

    uint32_t random_target(fuzz_state& f) {
        switch (f.pick(10)) {
            case 0: return ram_base + (f.pick(ram_size) & ~1u);
            case 1: return f.rng();  // anywhere, odd, top byte set
            default: return f.pick(rom_size) & ~1u;
        }
    }

    void randomise(fuzz_state& f) {
        for (auto& w : rom) w = uint16_t(f.rng());
        for (auto& w : ram) w = uint16_t(f.rng());
        for (auto& w : small) w = uint16_t(f.rng());
        set_long(0, ram_base + 0x8000);
        set_long(4, f.pick(rom_size) & ~1u);
        for (uint32_t v = 2; v < 256; v++) set_long(4 * v, random_target(f));
    }

    void set_long(uint32_t address, uint32_t value) {
        rom[address / 2] = uint16_t(value >> 16);
        rom[address / 2 + 1] = uint16_t(value);
    }
};

bool valid_status(uint32_t s) {
    return s == S68000_OK || s == S68000_FETCH_FAULT || s == S68000_HALTED || s <= 0xFFFFFF;
}

struct run_result {
    uint64_t cycles, sampled_instructions, sampled_cycles;
};

run_result run_seed(uint32_t seed, uint64_t cycle_target) {
    fuzz_state f;
    f.rng.seed(seed);
    fuzz = &f;
    board b;
    b.randomise(f);
    EXPECT_EQ(m68k_init(), 1);
    for (uint32_t c = 0; c < m68k_context_count; c++) {
        m68k_switch(c);
        b.map_current();
        EXPECT_EQ(m68k_reset(), 0);
    }
    m68k_switch(0);
    m68k_clear_cycles();

    uint64_t sampled_instructions = 0, sampled_cycles = 0;
    uint64_t bad_statuses = 0;
    std::vector<unsigned char> block(s68000GetContextSize() + sizeof(s68000context));
    while (f.cycles < cycle_target) {
        // Cycles counted while stopped run nothing; they are left out of the
        // target, and a stopped processor is usually woken at once.
        s68000GetContext(block.data());
        bool was_stopped = reinterpret_cast<s68000context*>(block.data())->irq_block[0] & 1;
        if (was_stopped && f.pick(2)) {
            m68k_cause_interrupt(1 + f.pick(7));
            was_stopped = false;
        }
        bool single = f.pick(16) == 0;
        int32_t budget = single ? 0 : f.pick(4) ? 576 : int32_t(f.pick(3000));
        uint32_t status = m68k_execute(budget);
        if (!valid_status(status)) bad_statuses++;
        int32_t ran = m68k_clear_cycles();
        if (ran < 0) bad_statuses++;
        if (!was_stopped) f.cycles += uint32_t(ran);
        if (single && !was_stopped && status == S68000_OK && ran > 0) {
            sampled_instructions++;
            sampled_cycles += uint32_t(ran);
        }
        if (status != S68000_OK || f.pick(20000) == 0) {
            // Stuck at a fault, a halt or a RESET: start the program again,
            // sometimes on fresh memory.
            if (f.pick(8) == 0) b.randomise(f);
            EXPECT_EQ(m68k_reset(), 0);
        }
        switch (f.pick(32)) {
            case 0: m68k_cause_interrupt(1 + f.pick(7)); break;  // also wakes a STOP
            case 1: s68000interrupt(1 + f.pick(7), int32_t(f.pick(258)) - 2); break;
            case 2: m68k_flush_interrupts(); break;
            case 3: m68k_switch(f.pick(4)); break;  // 3 is refused
            case 4: m68k_fetch(f.rng()); break;
            case 5: b.rom[4 + f.pick(rom_size / 2 - 4)] = uint16_t(f.rng()); break;  // not the reset vectors
            default: break;
        }
    }
    EXPECT_EQ(bad_statuses, 0u);
    EXPECT_EQ(f.bad_addresses, 0u);
    EXPECT_EQ(f.reset_accepted_inside, 0u);
    EXPECT_GT(f.handler_calls, 0u);
    fuzz = nullptr;
    m68k_init();  // leave no list pointing at this board's buffers
    return {f.cycles, sampled_instructions, sampled_cycles};
}

TEST(Robustness, RandomStreamsOverRandomMemory) {
    // Emulated cycles per seed; the whole run is sized to stay well inside
    // the sanitizer build's time.
    constexpr uint64_t cycles_per_seed = 240'000'000;
    uint64_t cycles = 0, instructions = 0, sample_cycles = 0;
    for (uint32_t seed : {1u, 2u, 3u, 0xC0FFEEu, 0x5EED5u}) {
        SCOPED_TRACE(seed);
        run_result r = run_seed(seed, cycles_per_seed);
        cycles += r.cycles;
        instructions += r.sampled_instructions;
        sample_cycles += r.sampled_cycles;
    }
    ASSERT_GT(instructions, 0u);
    double per_instruction = double(sample_cycles) / double(instructions);
    std::printf("random streams: %llu cycles, about %.0f instructions (%.1f cycles each)\n",
                static_cast<unsigned long long>(cycles), double(cycles) / per_instruction,
                per_instruction);
}

}  // namespace
