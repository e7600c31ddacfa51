// ADDQ, SUBQ, Scc, DBcc and the branches.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

// D is the 3-bit data field (0 means 8).
template <int SUB, int SZI, int F, int D>
struct quick_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        constexpr uint32_t n = D == 0 ? 8 : D;
        if constexpr (F == AN) {
            uint32_t& a = ctx.areg[op & 7];
            a = SUB ? a - n : a + n;
            w.rem -= (SZ == 2 && !SUB) ? 4 : 8;
        } else {
            ea<F, SZ> d(op & 7);
            uint32_t v = d.read();
            d.write(SUB ? do_sub<SZ>(v, n) : do_add<SZ>(v, n));
            if constexpr (F == DN) w.rem -= SZ == 4 ? 8 : 4;
            else w.rem -= (SZ == 4 ? 12 : 8) + ea_time<F, SZ>();
        }
    }
};

template <int CC, int F, int, int>
struct scc_op {
    static void run(uint32_t op) {
        ea<F, 1> d(op & 7);
        bool t = cond<CC>();
        d.write(t ? 0xFF : 0);
        if constexpr (F == DN) w.rem -= t ? 6 : 4;
        else w.rem -= 8 + ea_time<F, 1>();
    }
};

template <int CC, int, int, int>
struct dbcc_op {
    static void run(uint32_t op) {
        if (cond<CC>()) {
            w.pc += 2;
            w.rem -= 12;
            return;
        }
        uint32_t& d = ctx.dreg[op & 7];
        uint32_t c = (d - 1) & 0xFFFF;
        d = (d & 0xFFFF0000) | c;
        if (c == 0xFFFF) {
            w.pc += 2;
            w.rem -= 14;
            return;
        }
        uintptr_t at = w.pc;
        w.pc = at + uintptr_t(intptr_t(int16_t(fetch16())));
        w.rem -= 10;
    }
};

template <int CC, int, int, int>
struct bcc_op {
    static void run(uint32_t op) {
        uintptr_t at = w.pc;
        int32_t disp = int8_t(op);
        bool word = disp == 0;
        if (word) disp = int16_t(fetch16());
        if constexpr (CC == 1) {
            ctx.areg[7] -= 4;
            write_l(ctx.areg[7], pc68());
            w.pc = at + uintptr_t(intptr_t(disp));
            w.rem -= 18;
        } else {
            if (cond<CC>()) {
                w.pc = at + uintptr_t(intptr_t(disp));
                w.rem -= 10;
            } else {
                w.rem -= word ? 12 : 8;
            }
        }
    }
};

}  // namespace

handler decode_line5(uint32_t op) {
    int f = form_of((op >> 3) & 7, op & 7);
    int s = (op >> 6) & 3;
    int cc = (op >> 8) & 15;
    if (f < 0) return nullptr;
    if (s == 3) {
        if (f == AN) {
            static const grid<dbcc_op, 16, 1, 1, 1> g;
            return g.t[cc][0][0][0];
        }
        if (!is_data_alt(f)) return nullptr;
        static const grid<scc_op, 16, NFORMS, 1, 1> g;
        return g.t[cc][f][0][0];
    }
    if (!is_alterable(f) || (f == AN && s == 0)) return nullptr;
    static const grid<quick_op, 2, 3, NFORMS, 8> g;
    return g.t[(op >> 8) & 1][s][f][(op >> 9) & 7];
}

handler decode_branch(uint32_t op) {
    static const grid<bcc_op, 16, 1, 1, 1> g;
    return g.t[(op >> 8) & 15][0][0][0];
}

}  // namespace s68k
