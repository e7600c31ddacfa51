// Emulated 68000 cycles per host second on a mixed workload, run the way the
// frame scheduler runs it: 576-cycle slices through m68k_execute.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "cpu68k/m68k.h"

namespace {

// benchmarks/programs/cpu_mix.s, assembled at 0x200.
const uint16_t program[] = {
    0x41F9, 0x00FF, 0x0000,         // lea ff0000,%a0
    0x43FA, 0x0088,                 // lea %pc@(90),%a1
    0x7E00,                         // moveq #0,%d7
    0x7200,                         // moveq #0,%d1
    0x7400,                         // moveq #0,%d2
    0x7800,                         // moveq #0,%d4
    0x3C3C, 0x00FF,                 // movew #255,%d6
    0x2448,                         // moveal %a0,%a2
    0x2649,                         // moveal %a1,%a3
    0x301B,                         // movew %a3@+,%d0
    0xD240,                         // addw %d0,%d1
    0xB342,                         // eorw %d1,%d2
    0xE74A,                         // lslw #3,%d2
    0x24C2,                         // movel %d2,%a2@+
    0x0C40, 0x1234,                 // cmpiw #4660,%d0
    0x6602,                         // bnes 2c
    0x5243,                         // addqw #1,%d3
    0x0282, 0x0F0F, 0x0F0F,         // andil #252645135,%d2
    0x8840,                         // orw %d0,%d4
    0xE48C,                         // lsrl #2,%d4
    0x1A2A, 0xFFFD,                 // moveb %a2@(-3),%d5
    0x4885,                         // extw %d5
    0x9845,                         // subw %d5,%d4
    0x52AA, 0xFFFC,                 // addql #1,%a2@(-4)
    0x4A05,                         // tstb %d5
    0x6B02,                         // bmis 48
    0x4444,                         // negw %d4
    0xEA7A,                         // rorw %d5,%d2
    0x51CE, 0xFFCE,                 // dbf %d6,1a
    0xC2C0,                         // muluw %d0,%d1
    0x82FC, 0x0007,                 // divuw #7,%d1
    0x4841,                         // swap %d1
    0xC9C3,                         // mulsw %d3,%d4
    0x5287,                         // addql #1,%d7
    0x2F07,                         // movel %d7,%sp@-
    0x610C,                         // bsrs 6a
    0x2A1F,                         // movel %sp@+,%d5
    0xBE85,                         // cmpl %d5,%d7
    0x6700, 0xFFAE,                 // beqw 12
    0x6000, 0xFF98,                 // braw 0
    0x48E7, 0xE080,                 // moveml %d0-%d2/%a0,%sp@-
    0x3039, 0x00FF, 0x0010,         // movew ff0010,%d0
    0xD079, 0x00FF, 0x0012,         // addw ff0012,%d0
    0x33C0, 0x00FF, 0x0400,         // movew %d0,ff0400
    0x4281,                         // clrl %d1
    0x740F,                         // moveq #15,%d2
    0xD282,                         // addl %d2,%d1
    0x51CA, 0xFFFC,                 // dbf %d2,84
    0x4CDF, 0x0107,                 // moveml %sp@+,%d0-%d2/%a0
    0x4E75,                         // rts
};

constexpr uint32_t program_base = 0x200;
constexpr uint32_t table_base = program_base + sizeof program;
constexpr uint32_t prologue = 0x100;  // lowers the mask, then jumps to the program
constexpr uint32_t interrupt_handler = 0x180;

std::vector<uint16_t> rom(0x200000 / 2);
std::vector<uint16_t> ram(0x10000 / 2);

uint32_t catch_read(uint32_t, memory_handler*) { return 0xFFFF; }
void catch_write(uint32_t, uint32_t, memory_handler*) {}

void put_long(uint32_t address, uint32_t value) {
    rom[address / 2] = uint16_t(value >> 16);
    rom[address / 2 + 1] = uint16_t(value);
}

// The board's order: ROM and work RAM first, catch-all handlers last.
void set_up(bool interrupts) {
    for (size_t i = 0; i < sizeof program / 2; i++) rom[program_base / 2 + i] = program[i];
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < 256; i++) {
        seed = seed * 1103515245u + 12345u;
        rom[table_base / 2 + i] = uint16_t(seed >> 16);
    }
    rom[table_base / 2 + 77] = 0x1234;
    put_long(0, 0xFFFF00);
    put_long(4, interrupts ? prologue : program_base);
    const uint16_t lower_mask[] = {0x46FC, 0x2000, 0x4EF9, 0x0000, uint16_t(program_base)};
    for (size_t i = 0; i < 5; i++) rom[prologue / 2 + i] = lower_mask[i];
    rom[interrupt_handler / 2] = 0x4E73;  // rte
    put_long(28 * 4, interrupt_handler);
    put_long(30 * 4, interrupt_handler);

    m68k_init();
    m68k_switch(0);
    m68k_add_fetch(0, 0x1FFFFF, rom.data());
    m68k_add_read(0, 0x1FFFFF, nullptr, rom.data());
    m68k_add_fetch(0xFF0000, 0xFFFFFF, ram.data());
    m68k_add_readwrite(0xFF0000, 0xFFFFFF, nullptr, ram.data());
    m68k_add_read(0, 0xFFFFFF, catch_read, nullptr);
    m68k_add_write(0, 0xFFFFFF, catch_write, nullptr);
    m68k_reset();
    m68k_clear_cycles();
}

void run(benchmark::State& state, bool interrupts) {
    set_up(interrupts);
    int64_t cycles = 0;
    int line = 0;
    for (auto _ : state) {
        if (interrupts) {
            if (line == 224) m68k_cause_interrupt(6);
            else m68k_cause_interrupt(4);
            line = line == 261 ? 0 : line + 1;
        }
        uint32_t status = m68k_execute(576);
        cycles += m68k_clear_cycles();
        if (status != S68000_OK) {
            state.SkipWithError("the program left its loop");
            break;
        }
    }
    // The work must really be the program's loops, not an exception spin.
    std::vector<unsigned char> block(s68000GetContextSize() + sizeof(s68000context));
    s68000GetContext(block.data());
    const auto* live = reinterpret_cast<const s68000context*>(block.data());
    // An outer round of the program takes some 25000 cycles.
    if (live->pc < prologue || live->pc >= table_base || (cycles > 100000 && live->dreg[7] == 0))
        state.SkipWithError("the program is not running its loops");
    state.counters["outer_loops"] = double(live->dreg[7]);
    state.counters["emulated_cycles_per_second"] =
        benchmark::Counter(double(cycles), benchmark::Counter::kIsRate);
}

void BM_mixed_program(benchmark::State& state) { run(state, false); }
void BM_mixed_program_with_line_interrupts(benchmark::State& state) { run(state, true); }

}  // namespace

BENCHMARK(BM_mixed_program);
BENCHMARK(BM_mixed_program_with_line_interrupts);
BENCHMARK_MAIN();
