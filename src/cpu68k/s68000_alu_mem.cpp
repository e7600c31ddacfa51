// Two-operand arithmetic and logic with a data register as source and memory
// (or, for EOR, a data register) as destination.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

enum { OR = 0, SUB = 1, EOR = 2, AND = 3, ADD = 4 };

template <int K, int SZI, int F, int R>
struct alu_ea {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        if constexpr (F != DN && !is_mem_alt(F)) {
            illegal(op);
        } else {
            ea<F, SZ> d(op & 7);
            uint32_t v = d.read(), s = ctx.dreg[R] & msk<SZ>, r;
            if constexpr (K == OR) set_logic<SZ>(r = v | s);
            else if constexpr (K == AND) set_logic<SZ>(r = v & s);
            else if constexpr (K == EOR) set_logic<SZ>(r = v ^ s);
            else if constexpr (K == ADD) r = do_add<SZ>(v, s);
            else r = do_sub<SZ>(v, s);
            d.write(r);
            if constexpr (F == DN) w.rem -= SZ == 4 ? 8 : 4;
            else w.rem -= (SZ == 4 ? 12 : 8) + ea_time<F, SZ>();
        }
    }
};

}  // namespace

handler decode_alu_mem(uint32_t op) {
    int line = op >> 12;
    int f = form_of((op >> 3) & 7, op & 7);
    int k = line == 0x8 ? OR : line == 0x9 ? SUB : line == 0xB ? EOR : line == 0xC ? AND : ADD;
    if (f < 0 || !(is_mem_alt(f) || (f == DN && k == EOR))) return nullptr;
    static const grid<alu_ea, 5, 3, AL + 1, 8> g;
    return g.t[k][((op >> 6) & 7) - 4][f][(op >> 9) & 7];
}

}  // namespace s68k
