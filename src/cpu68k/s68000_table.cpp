// The dispatch table: every opcode word to the handler specialised for it.
#include <vector>

#include "cpu68k/s68000_internal.h"

namespace s68k {

static handler decode(uint32_t op) {
    handler h = nullptr;
    switch (op >> 12) {
        case 0x0: h = decode_line0(op); break;
        case 0x1: case 0x2: case 0x3: case 0x7: h = decode_move(op); break;
        case 0x4: h = decode_line4(op); break;
        case 0x5: h = decode_line5(op); break;
        case 0x6: h = decode_branch(op); break;
        case 0x8: case 0x9: case 0xB: case 0xC: case 0xD:
            h = decode_extra(op);
            if (!h) h = decode_alu(op);
            break;
        case 0xE: h = decode_shift(op); break;
        case 0xA: return &line_a;
        case 0xF: return &line_f;
        default: break;
    }
    return h ? h : &illegal;
}

// The table is filled from a compact list of runs of equal handlers, in
// ascending opcode order.
void build_table(handler* table) {
    struct run_entry {
        uint32_t count;
        handler h;
    };
    std::vector<run_entry> runs;
    for (uint32_t op = 0; op < 0x10000; op++) {
        handler h = decode(op);
        if (!runs.empty() && runs.back().h == h) runs.back().count++;
        else runs.push_back({1, h});
    }
    uint32_t op = 0;
    for (const run_entry& r : runs)
        for (uint32_t i = 0; i < r.count; i++) table[op++] = r.h;
}

}  // namespace s68k
