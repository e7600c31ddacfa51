// MOVE and MOVEA handlers, shared by the files that instantiate them one
// operand size each (so that they compile in parallel).
#pragma once
#include "cpu68k/s68000_internal.h"

namespace s68k {

template <int F, int SZ>
constexpr int move_dst_time() {
    if constexpr (F == DN) return 0;
    else if constexpr (F == AI || F == PI || F == PD) return SZ == 4 ? 8 : 4;
    else if constexpr (F == DI || F == AW) return SZ == 4 ? 12 : 8;
    else if constexpr (F == IX) return SZ == 4 ? 14 : 10;
    else return SZ == 4 ? 16 : 12;  // AL
}

// SZI: 0 byte, 1 word, 2 long; D: destination form; DR: destination register.
template <int SZI, int S, int D, int DR>
struct move_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        if constexpr ((D == AN && SZ == 1) || (D >= AW && DR != 0) || D > AL) {
            illegal(op);
        } else if constexpr (D == AN) {
            ea<S, SZ> s(op & 7);
            ctx.areg[DR] = sext<SZ>(s.read());
            w.rem -= 4 + ea_time<S, SZ>();
        } else {
            ea<S, SZ> s(op & 7);
            uint32_t v = s.read();
            ea<D, SZ> d(DR);
            d.write(v);
            set_logic<SZ>(v);
            w.rem -= 4 + ea_time<S, SZ>() + move_dst_time<D, SZ>();
        }
    }
};

// The handler of a MOVE of one size (0 byte, 1 word, 2 long); S source
// form, D destination form, DR destination register (0 for the absolute forms).
handler move_handler_b(int s, int d, int dr);
handler move_handler_w(int s, int d, int dr);
handler move_handler_l(int s, int d, int dr);

template <int SZI>
struct move_sized {
    template <int S, int D, int DR, int>
    struct op : move_op<SZI, S, D, DR> {};
};

}  // namespace s68k
