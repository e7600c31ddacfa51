// The processor's part of a saved machine: its registers and interrupt
// state. The memory-map lists are the board's and are built again by it.
#include <cstring>

#include "common/state_bytes.h"
#include "cpu68k/m68k.h"

namespace {

// The context's values, without its list and handler pointers.
struct cpu_values {
    uint32_t dreg[8];
    uint32_t areg[8];
    uint32_t other_sp;
    uint32_t pc;
    int32_t odometer;
    uint8_t irq_block[8];
    uint16_t sr;
};

}  // namespace

void m68k_save_state(std::vector<uint8_t>& out) {
    s68000context live{};
    s68000GetContext(&live);
    cpu_values v;
    std::memset(&v, 0, sizeof v);  // padding too: equal machines give equal bytes
    std::memcpy(v.dreg, live.dreg, sizeof v.dreg);
    std::memcpy(v.areg, live.areg, sizeof v.areg);
    v.other_sp = live.other_sp;
    v.pc = live.pc;
    v.odometer = live.odometer;
    std::memcpy(v.irq_block, live.irq_block, sizeof v.irq_block);
    v.sr = live.sr;
    state_writer w{out};
    w.put(v);
}

int m68k_load_state(const uint8_t* data, size_t size) {
    state_reader r{data, size};
    cpu_values v{};
    r.get(v);
    if (!r.done()) return 0;
    s68000context live{};
    s68000GetContext(&live);
    std::memcpy(live.dreg, v.dreg, sizeof v.dreg);
    std::memcpy(live.areg, v.areg, sizeof v.areg);
    live.other_sp = v.other_sp;
    live.pc = v.pc & 0xFFFFFF;
    live.odometer = v.odometer;
    std::memcpy(live.irq_block, v.irq_block, sizeof v.irq_block);
    live.sr = v.sr;
    s68000SetContext(&live);
    return 1;
}
