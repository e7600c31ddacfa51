// MOVE, MOVEA and MOVEQ.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

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

template <int R, int, int, int>
struct moveq_op {
    static void run(uint32_t op) {
        ctx.dreg[R] = uint32_t(int32_t(int8_t(op)));
        set_logic<4>(ctx.dreg[R]);
        w.rem -= 4;
    }
};

}  // namespace

handler decode_move(uint32_t op) {
    if ((op >> 12) == 7) {
        static const grid<moveq_op, 8, 1, 1, 1> q;
        if (op & 0x100) return nullptr;
        return q.t[(op >> 9) & 7][0][0][0];
    }
    static const grid<move_op, 3, NFORMS, AL + 1, 8> g;
    int szi = (op >> 12) == 1 ? 0 : (op >> 12) == 3 ? 1 : 2;
    int s = form_of((op >> 3) & 7, op & 7);
    int dreg = (op >> 9) & 7;
    int d = form_of((op >> 6) & 7, dreg);
    if (s < 0 || d < 0 || d > AL || (d == AN && szi == 0)) return nullptr;
    return g.t[szi][s][d][d >= AW ? 0 : dreg];
}

}  // namespace s68k
