// The register-pair forms of lines 8 to D: ABCD, SBCD, ADDX, SUBX, CMPM, EXG.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

inline int step(int r, int sz) { return (sz == 1 && r == 7) ? 2 : sz; }

// K 0 SBCD, 1 ABCD; MEM selects -(Ay),-(Ax).
template <int K, int MEM, int X, int>
struct bcd_op {
    static void run(uint32_t op) {
        int y = op & 7;
        if constexpr (MEM) {
            ctx.areg[y] -= step(y, 1);
            uint32_t s = read_b(ctx.areg[y]);
            ctx.areg[X] -= step(X, 1);
            uint32_t d = read_b(ctx.areg[X]);
            write_b(ctx.areg[X], K ? bcd_add(d, s) : bcd_sub(d, s));
            w.rem -= 18;
        } else {
            uint32_t s = ctx.dreg[y] & 0xFF, d = ctx.dreg[X] & 0xFF;
            set_dreg<1>(X, K ? bcd_add(d, s) : bcd_sub(d, s));
            w.rem -= 6;
        }
    }
};

// K 0 SUBX, 1 ADDX.
template <int K, int SZI, int MEM, int X>
struct addx_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        int y = op & 7;
        uint8_t z = w.nzc & fZ;
        if constexpr (MEM) {
            ctx.areg[y] -= step(y, SZ);
            uint32_t s = rd<SZ>(ctx.areg[y]);
            ctx.areg[X] -= step(X, SZ);
            uint32_t d = rd<SZ>(ctx.areg[X]);
            uint32_t r = K ? do_add<SZ>(d, s, w.x) : do_sub<SZ>(d, s, w.x);
            if (!r) w.nzc = uint8_t((w.nzc & ~fZ) | z);
            wr<SZ>(ctx.areg[X], r);
            w.rem -= SZ == 4 ? 30 : 18;
        } else {
            uint32_t s = ctx.dreg[y] & msk<SZ>, d = ctx.dreg[X] & msk<SZ>;
            uint32_t r = K ? do_add<SZ>(d, s, w.x) : do_sub<SZ>(d, s, w.x);
            if (!r) w.nzc = uint8_t((w.nzc & ~fZ) | z);
            set_dreg<SZ>(X, r);
            w.rem -= SZ == 4 ? 8 : 4;
        }
    }
};

template <int SZI, int X, int, int>
struct cmpm_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        int y = op & 7;
        uint32_t s = rd<SZ>(ctx.areg[y]);
        ctx.areg[y] += step(y, SZ);
        uint32_t d = rd<SZ>(ctx.areg[X]);
        ctx.areg[X] += step(X, SZ);
        do_cmp<SZ>(d, s);
        w.rem -= SZ == 4 ? 20 : 12;
    }
};

// K 0 Dx,Dy; 1 Ax,Ay; 2 Dx,Ay.
template <int K, int X, int, int>
struct exg_op {
    static void run(uint32_t op) {
        int y = op & 7;
        uint32_t& a = K == 1 ? ctx.areg[X] : ctx.dreg[X];
        uint32_t& b = K == 0 ? ctx.dreg[y] : ctx.areg[y];
        std::swap(a, b);
        w.rem -= 6;
    }
};

}  // namespace

handler decode_extra(uint32_t op) {
    int line = op >> 12;
    int x = (op >> 9) & 7;
    int opm = (op >> 6) & 7;
    int mode = (op >> 3) & 7;
    if (opm < 4 || opm == 7 || mode > 1) return nullptr;
    bool mem = mode == 1;
    switch (line) {
        case 0x8:
        case 0xC:
            if (opm == 4) {
                static const grid<bcd_op, 2, 2, 8, 1> g;
                return g.t[line == 0xC][mem][x][0];
            }
            if (line == 0x8) return nullptr;  // not a 68000 encoding
            if (opm == 5) {
                static const grid<exg_op, 3, 8, 1, 1> g;
                return g.t[mem ? 1 : 0][x][0][0];
            }
            if (opm == 6 && mem) {
                static const grid<exg_op, 3, 8, 1, 1> g;
                return g.t[2][x][0][0];
            }
            return nullptr;
        case 0x9:
        case 0xD: {
            static const grid<addx_op, 2, 3, 2, 8> g;
            return g.t[line == 0xD][opm - 4][mem][x];
        }
        case 0xB:
            if (!mem) return nullptr;  // EOR Dn,Dn
            {
                static const grid<cmpm_op, 3, 8, 1, 1> g;
                return g.t[opm - 4][x][0][0];
            }
    }
    return nullptr;
}

}  // namespace s68k
