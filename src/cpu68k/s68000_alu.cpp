// Two-operand arithmetic and logic with a data or address register as
// destination, multiply and divide.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

enum { OR = 0, SUB = 1, CMP = 2, AND = 3, ADD = 4 };

template <int K, int SZI, int S, int R>
struct alu_dn {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        ea<S, SZ> s(op & 7);
        uint32_t v = s.read(), d = ctx.dreg[R] & msk<SZ>;
        constexpr int extra = (SZ == 4 && K != CMP && (S == DN || S == AN || S == IMM)) ? 2 : 0;
        w.rem -= (SZ == 4 ? 6 : 4) + extra + ea_time<S, SZ>();
        if constexpr (K == CMP) {
            do_cmp<SZ>(d, v);
        } else {
            uint32_t r;
            if constexpr (K == OR) set_logic<SZ>(r = d | v);
            else if constexpr (K == AND) set_logic<SZ>(r = d & v);
            else if constexpr (K == ADD) r = do_add<SZ>(d, v);
            else r = do_sub<SZ>(d, v);
            set_dreg<SZ>(R, r);
        }
    }
};

// SUBA (K 0), CMPA (1), ADDA (2): the source is sign-extended to 32 bits.
template <int K, int LONG, int S, int R>
struct alu_an {
    static void run(uint32_t op) {
        constexpr int SZ = LONG ? 4 : 2;
        ea<S, SZ> s(op & 7);
        uint32_t v = sext<SZ>(s.read());
        uint32_t& a = ctx.areg[R];
        if constexpr (K == 1) {
            do_cmp<4>(a, v);
            w.rem -= 6 + ea_time<S, SZ>();
        } else {
            a = K == 2 ? a + v : a - v;
            constexpr int extra = (S == DN || S == AN || S == IMM) ? 2 : 0;
            w.rem -= (LONG ? 6 + extra : 8) + ea_time<S, SZ>();
        }
    }
};

enum { DIVU = 0, DIVS = 1, MULU = 2, MULS = 3 };

template <int K, int S, int R, int>
struct muldiv {
    static void run(uint32_t op) {
        ea<S, 2> s(op & 7);
        uint32_t v = s.read();
        uint32_t& d = ctx.dreg[R];
        if constexpr (K == MULU || K == MULS) {
            d = K == MULU ? (d & 0xFFFF) * v : uint32_t(int32_t(int16_t(d)) * int32_t(int16_t(v)));
            set_logic<4>(d);
            w.rem -= 38 + ea_time<S, 2>();
        } else {
            if (v == 0) {
                w.nzc &= ~fC;
                w.v = 0;
                exception(5);
                w.rem -= 38 + ea_time<S, 2>();
                return;
            }
            int64_t q, r;
            bool fits;
            if constexpr (K == DIVU) {
                q = d / v;
                r = d % v;
                fits = q <= 0xFFFF;
            } else {
                int64_t n = int32_t(d), m = int16_t(v);
                q = n / m;
                r = n % m;
                fits = q >= -0x8000 && q <= 0x7FFF;
            }
            if (fits) {
                d = (uint32_t(r) << 16) | (uint32_t(q) & 0xFFFF);
                set_logic<2>(uint32_t(q));
            } else {
                w.nzc = 0;
                w.v = 1;
            }
            w.rem -= (K == DIVU ? 133 : 150) + ea_time<S, 2>();
        }
    }
};

}  // namespace

handler decode_alu(uint32_t op) {
    int line = op >> 12;
    int f = form_of((op >> 3) & 7, op & 7);
    int r = (op >> 9) & 7;
    int opm = (op >> 6) & 7;
    if (f < 0) return nullptr;
    if (opm == 3 || opm == 7) {
        if (line == 0x8 || line == 0xC) {
            if (f == AN) return nullptr;
            static const grid<muldiv, 4, NFORMS, 8, 1> g;
            int k = (line == 0x8 ? DIVU : MULU) + (opm == 7);
            return g.t[k][f][r][0];
        }
        static const grid<alu_an, 3, 2, NFORMS, 8> g;
        int k = line == 0x9 ? 0 : line == 0xB ? 1 : 2;
        return g.t[k][opm == 7][f][r];
    }
    if (opm >= 4) return decode_alu_mem(op);
    int k = line == 0x8 ? OR : line == 0x9 ? SUB : line == 0xB ? CMP : line == 0xC ? AND : ADD;
    if (f == AN && (opm == 0 || k == OR || k == AND)) return nullptr;
    static const grid<alu_dn, 5, 3, NFORMS, 8> g;
    return g.t[k][opm][f][r];
}

}  // namespace s68k
