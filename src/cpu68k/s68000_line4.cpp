// The miscellaneous group: single-operand operations, MOVEM, CHK, LEA, PEA,
// the SR moves and the program-flow instructions.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

enum { NEGX = 0, CLR = 1, NEG = 2, NOT = 3 };

template <int K, int SZI, int F, int>
struct unary_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        ea<F, SZ> d(op & 7);
        if constexpr (K == CLR) {
            d.write(0);
            w.nzc = fZ;
            w.v = 0;
            if constexpr (F == DN) w.rem -= SZ == 4 ? 8 : 4;
            else w.rem -= (SZ == 4 ? 12 : 6) + ea_time<F, SZ>();
        } else {
            uint32_t v = d.read(), r;
            if constexpr (K == NOT) set_logic<SZ>(r = ~v);
            else if constexpr (K == NEG) r = do_sub<SZ>(0, v);
            else {
                uint8_t z = w.nzc & fZ;
                r = do_sub<SZ>(0, v, w.x);
                if (!r) w.nzc = uint8_t((w.nzc & ~fZ) | z);
            }
            d.write(r);
            if constexpr (F == DN) w.rem -= SZ == 4 ? 6 : 4;
            else w.rem -= (SZ == 4 ? 12 : 8) + ea_time<F, SZ>();
        }
    }
};

template <int SZI, int F, int, int>
struct tst_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        ea<F, SZ> d(op & 7);
        set_logic<SZ>(d.read());
        w.rem -= 4 + ea_time<F, SZ>();
    }
};

template <int F, int, int, int>
struct tas_op {
    static void run(uint32_t op) {
        ea<F, 1> d(op & 7);
        uint32_t v = d.read();
        set_logic<1>(v);
        d.write(v | 0x80);
        w.rem -= F == DN ? 4 : 14 + ea_time<F, 1>();
    }
};

template <int F, int, int, int>
struct nbcd_op {
    static void run(uint32_t op) {
        ea<F, 1> d(op & 7);
        d.write(bcd_sub(0, d.read()));
        w.rem -= F == DN ? 6 : 8 + ea_time<F, 1>();
    }
};

template <int F, int, int, int>
struct move_from_sr {
    static void run(uint32_t op) {
        ea<F, 2> d(op & 7);
        d.write(pack_sr());
        w.rem -= F == DN ? 6 : 8 + ea_time<F, 2>();
    }
};

// TO_SR 0: MOVE to CCR; 1: MOVE to SR.
template <int TO_SR, int F, int, int>
struct move_to_sr {
    static void run(uint32_t op) {
        if constexpr (TO_SR) {
            if (privilege_fails()) return;
        }
        ea<F, 2> s(op & 7);
        uint32_t v = s.read();
        w.rem -= 12 + ea_time<F, 2>();
        if constexpr (TO_SR) {
            set_sr(uint16_t(v));
            recheck();
        } else {
            unpack_ccr(uint16_t(v));
        }
    }
};

template <int R, int F, int, int>
struct chk_op {
    static void run(uint32_t op) {
        ea<F, 2> s(op & 7);
        int32_t bound = int16_t(s.read());
        int32_t v = int16_t(ctx.dreg[R]);
        w.v = 0;
        if (v < 0 || v > bound) {
            w.nzc = v < 0 ? fN : 0;
            exception(6);
            w.rem -= 40 + ea_time<F, 2>();
            return;
        }
        w.nzc = 0;
        w.rem -= 10 + ea_time<F, 2>();
    }
};

template <int F>
constexpr int lea_time() {
    constexpr int t[NFORMS] = {0, 0, 4, 0, 0, 8, 12, 8, 12, 8, 12, 0};
    return t[F];
}

template <int R, int F, int, int>
struct lea_op {
    static void run(uint32_t op) {
        ea<F, 4> s(op & 7);
        ctx.areg[R] = s.a;
        w.rem -= lea_time<F>();
    }
};

template <int F, int, int, int>
struct pea_op {
    static void run(uint32_t op) {
        ea<F, 4> s(op & 7);
        ctx.areg[7] -= 4;
        write_l(ctx.areg[7], s.a);
        w.rem -= lea_time<F>() + 8;
    }
};

// JSR (K 0) and JMP (K 1).
template <int K, int F, int, int>
struct jump_op {
    static void run(uint32_t op) {
        ea<F, 4> s(op & 7);
        if constexpr (K == 0) {
            ctx.areg[7] -= 4;
            write_l(ctx.areg[7], pc68());
            constexpr int t[NFORMS] = {0, 0, 16, 0, 0, 18, 22, 18, 20, 18, 22, 0};
            w.rem -= t[F];
        } else {
            constexpr int t[NFORMS] = {0, 0, 8, 0, 0, 10, 14, 10, 12, 10, 14, 0};
            w.rem -= t[F];
        }
        jump(s.a);
    }
};

// MOVEM: TO_REG 0 registers to memory, 1 memory to registers.
template <int TO_REG, int SZI, int F, int>
struct movem_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 2 : 4;
        uint32_t mask = fetch16();
        int r = op & 7;
        uint32_t* R = regs();
        int n = 0;
        if constexpr (F == PD) {
            uint32_t a = ctx.areg[r];
            for (int i = 0; i < 16; i++) {
                if (mask & (1u << i)) {
                    a -= SZ;
                    wr<SZ>(a, R[15 - i]);
                    n++;
                }
            }
            ctx.areg[r] = a;
        } else {
            ea<F == PI ? AI : F, SZ> e(r);
            uint32_t a = e.a;
            for (int i = 0; i < 16; i++) {
                if (mask & (1u << i)) {
                    if constexpr (TO_REG) R[i] = sext<SZ>(rd<SZ>(a));
                    else wr<SZ>(a, R[i]);
                    a += SZ;
                    n++;
                }
            }
            if constexpr (F == PI) ctx.areg[r] = a;
        }
        constexpr int base_t[2][NFORMS] = {{0, 0, 8, 0, 8, 12, 14, 12, 16, 0, 0, 0},
                                           {0, 0, 12, 12, 0, 16, 18, 16, 20, 16, 18, 0}};
        w.rem -= base_t[TO_REG][F] + n * (SZ == 4 ? 8 : 4);
    }
};

// Register-only operations; K selects, R is the register of bits 0-2 known
// at run time.
enum { SWAP, EXTW, EXTL, LINK, UNLK, TO_USP, FROM_USP };

template <int K, int, int, int>
struct reg_op {
    static void run(uint32_t op) {
        int r = op & 7;
        if constexpr (K == SWAP) {
            uint32_t& d = ctx.dreg[r];
            d = (d >> 16) | (d << 16);
            set_logic<4>(d);
            w.rem -= 4;
        } else if constexpr (K == EXTW) {
            set_dreg<2>(r, sext<1>(ctx.dreg[r]));
            set_logic<2>(ctx.dreg[r]);
            w.rem -= 4;
        } else if constexpr (K == EXTL) {
            ctx.dreg[r] = sext<2>(ctx.dreg[r]);
            set_logic<4>(ctx.dreg[r]);
            w.rem -= 4;
        } else if constexpr (K == LINK) {
            uint32_t disp = sext<2>(fetch16());
            uint32_t sp = ctx.areg[7] - 4;
            write_l(sp, ctx.areg[r]);  // LINK A7 stores A7 as it was
            ctx.areg[r] = sp;
            ctx.areg[7] = sp + disp;
            w.rem -= 16;
        } else if constexpr (K == UNLK) {
            uint32_t a = ctx.areg[r];
            uint32_t v = read_l(a);
            ctx.areg[7] = a + 4;
            ctx.areg[r] = v;
            w.rem -= 12;
        } else if constexpr (K == TO_USP || K == FROM_USP) {
            if (privilege_fails()) return;
            if constexpr (K == TO_USP) ctx.other_sp = ctx.areg[r];
            else ctx.areg[r] = ctx.other_sp;
            w.rem -= 4;
        }
    }
};

template <int N, int, int, int>
struct trap_op {
    static void run(uint32_t) {
        exception(32 + N);
        w.rem -= 34;
    }
};

enum { RESET, NOP, STOP, RTE, RTS, TRAPV, RTR };

template <int K, int, int, int>
struct flow_op {
    static void run(uint32_t) {
        if constexpr (K == NOP) {
            w.rem -= 4;
        } else if constexpr (K == RESET) {
            if (privilege_fails()) return;
            if (ctx.reset_handler) {
                ctx.reset_handler();
                w.rem -= 132;
            } else {
                // stuck at the instruction: the slice ends without its cycles
                w.pc -= 2;
                w.reset_stop = true;
                w.deferred += w.rem + 1;
                w.rem = -1;
            }
        } else if constexpr (K == STOP) {
            if (privilege_fails()) return;
            set_sr(uint16_t(fetch16()));
            ctx.irq_block[0] |= 1;
            w.rem -= 4;
            if (w.rem >= 0) w.rem = -1;
        } else if constexpr (K == RTE) {
            if (privilege_fails()) return;
            uint32_t sp = ctx.areg[7];
            uint16_t sr = uint16_t(read_w(sp));
            set_sr(sr);
            if (sr & sr_supervisor) ctx.areg[7] += 6;
            else ctx.other_sp += 6;
            uint32_t pc = read_l(sp + 2);
            w.rem -= 20;
            jump(pc);
            recheck();
        } else if constexpr (K == RTS) {
            uint32_t pc = read_l(ctx.areg[7]);
            ctx.areg[7] += 4;
            w.rem -= 16;
            jump(pc);
        } else if constexpr (K == TRAPV) {
            if (w.v) {
                exception(7);
                w.rem -= 38;
            } else {
                w.rem -= 4;
            }
        } else {
            uint32_t sp = ctx.areg[7];
            unpack_ccr(uint16_t(read_w(sp)));
            uint32_t pc = read_l(sp + 2);
            ctx.areg[7] = sp + 6;
            w.rem -= 20;
            jump(pc);
        }
    }
};

}  // namespace

handler decode_line4(uint32_t op) {
    int mode = (op >> 3) & 7;
    int f = form_of(mode, op & 7);
    int r = (op >> 9) & 7;
    int s = (op >> 6) & 3;
    if (f < 0) return nullptr;
    if (op & 0x100) {
        if (s == 2) {  // CHK.W
            if (f == AN) return nullptr;
            static const grid<chk_op, 8, NFORMS, 1, 1> g;
            return g.t[r][f][0][0];
        }
        if (s == 3) {
            if (!is_control(f)) return nullptr;
            static const grid<lea_op, 8, NFORMS, 1, 1> g;
            return g.t[r][f][0][0];
        }
        return nullptr;
    }
    switch (r) {
        case 0: case 1: case 2: case 3:
            if (s == 3) {
                if (r == 0 && is_data_alt(f)) {
                    static const grid<move_from_sr, NFORMS, 1, 1, 1> g;
                    return g.t[f][0][0][0];
                }
                if ((r == 2 || r == 3) && f != AN) {
                    static const grid<move_to_sr, 2, NFORMS, 1, 1> g;
                    return g.t[r - 2][f][0][0];
                }
                return nullptr;
            }
            if (!is_data_alt(f)) return nullptr;
            {
                static const grid<unary_op, 4, 3, NFORMS, 1> g;
                return g.t[r][s][f][0];
            }
        case 4:
            if (s == 0) {
                if (!is_data_alt(f)) return nullptr;
                static const grid<nbcd_op, NFORMS, 1, 1, 1> g;
                return g.t[f][0][0][0];
            }
            if (s == 1) {
                static const grid<reg_op, 7, 1, 1, 1> g;
                if (f == DN) return g.t[SWAP][0][0][0];
                if (!is_control(f)) return nullptr;
                static const grid<pea_op, NFORMS, 1, 1, 1> p;
                return p.t[f][0][0][0];
            }
            if (f == DN) {
                static const grid<reg_op, 7, 1, 1, 1> g;
                return g.t[s == 2 ? EXTW : EXTL][0][0][0];
            }
            if (!(is_control(f) && is_alterable(f)) && f != PD) return nullptr;
            {
                static const grid<movem_op, 2, 2, NFORMS, 1> g;
                return g.t[0][s - 2][f][0];
            }
        case 5:
            if (s == 3) {
                if (op == 0x4AFC || !is_data_alt(f)) return nullptr;
                static const grid<tas_op, NFORMS, 1, 1, 1> g;
                return g.t[f][0][0][0];
            }
            if (!is_data_alt(f)) return nullptr;
            {
                static const grid<tst_op, 3, NFORMS, 1, 1> g;
                return g.t[s][f][0][0];
            }
        case 6:
            if (s < 2 || (!is_control(f) && f != PI)) return nullptr;
            {
                static const grid<movem_op, 2, 2, NFORMS, 1> g;
                return g.t[1][s - 2][f][0];
            }
        case 7:
            if (s == 1) {
                static const grid<reg_op, 7, 1, 1, 1> g;
                static const grid<flow_op, 7, 1, 1, 1> fl;
                switch ((op >> 3) & 7) {
                    case 0: case 1: {
                        static const grid<trap_op, 16, 1, 1, 1> t;
                        return t.t[op & 15][0][0][0];
                    }
                    case 2: return g.t[LINK][0][0][0];
                    case 3: return g.t[UNLK][0][0][0];
                    case 4: return g.t[TO_USP][0][0][0];
                    case 5: return g.t[FROM_USP][0][0][0];
                    case 6: {
                        static const int k[8] = {RESET, NOP, STOP, RTE, -1, RTS, TRAPV, RTR};
                        int x = k[op & 7];
                        return x < 0 ? nullptr : fl.t[x][0][0][0];
                    }
                    default: return nullptr;
                }
            }
            if (s >= 2 && is_control(f)) {
                static const grid<jump_op, 2, NFORMS, 1, 1> g;
                return g.t[s - 2][f][0][0];
            }
            return nullptr;
    }
    return nullptr;
}

}  // namespace s68k
