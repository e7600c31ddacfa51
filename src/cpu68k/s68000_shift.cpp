// Shifts and rotates, by an immediate count, by a register count (modulo 64)
// and of a memory word by one.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

enum { AS = 0, LS = 1, ROX = 2, RO = 3 };

template <int TT, int LEFT, int SZ>
inline uint32_t shift(uint32_t v, unsigned n) {
    constexpr unsigned B = bits<SZ>;
    constexpr uint64_t M = msk<SZ>;
    v &= msk<SZ>;
    uint64_t r = v;
    uint8_t c = 0;
    w.v = 0;
    if (n == 0) {
        if constexpr (TT == ROX) c = w.x;
    } else if constexpr (TT == AS || TT == LS) {
        if constexpr (LEFT) {
            r = n >= 64 ? 0 : (uint64_t(v) << n);
            c = n <= B ? uint8_t((uint64_t(v) >> (B - n)) & 1) : 0;
            if constexpr (TT == AS) {
                if (n >= B) {
                    w.v = v != 0;
                } else {
                    uint64_t top = (M << (B - n - 1)) & M;
                    w.v = (v & top) != 0 && (v & top) != top;
                }
            }
            r &= M;
        } else if constexpr (TT == LS) {
            r = n >= B ? 0 : v >> n;
            c = n <= B ? uint8_t((v >> (n - 1)) & 1) : 0;
        } else {
            int64_t sv = int64_t(sext<SZ>(v) | (topbit<SZ>(v) ? ~uint64_t(0xFFFFFFFF) : 0));
            unsigned k = n >= B ? B : n;
            r = uint64_t(sv >> k) & M;
            c = uint8_t((sv >> (k - 1)) & 1);
        }
        w.x = c;
    } else if constexpr (TT == RO) {
        unsigned k = n % B;
        if (LEFT) r = ((uint64_t(v) << k) | (uint64_t(v) >> (B - k))) & M;
        else r = ((uint64_t(v) >> k) | (uint64_t(v) << (B - k))) & M;
        c = LEFT ? uint8_t(r & 1) : uint8_t(r >> (B - 1));
    } else {
        unsigned k = n % (B + 1);
        uint64_t wide = (uint64_t(w.x) << B) | v;
        constexpr uint64_t WM = (uint64_t(1) << (B + 1)) - 1;
        if (k) {
            if (LEFT) wide = ((wide << k) | (wide >> (B + 1 - k))) & WM;
            else wide = ((wide >> k) | (wide << (B + 1 - k))) & WM;
        }
        r = wide & M;
        c = w.x = uint8_t(wide >> B);
    }
    w.nzc = uint8_t(nz<SZ>(uint32_t(r)) | c);
    return uint32_t(r);
}

// C: bit 3 set for a register count (bits 0-2 name the register),
// otherwise the immediate count field.
template <int TT, int LEFT, int SZI, int C>
struct shift_reg {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        unsigned n;
        if constexpr (C & 8) n = ctx.dreg[C & 7] & 63;
        else n = (C & 7) ? (C & 7) : 8;
        int r = op & 7;
        set_dreg<SZ>(r, shift<TT, LEFT, SZ>(ctx.dreg[r], n));
        w.rem -= (SZ == 4 ? 8 : 6) + 2 * int(n);
    }
};

template <int TT, int LEFT, int F, int>
struct shift_mem {
    static void run(uint32_t op) {
        ea<F, 2> d(op & 7);
        d.write(shift<TT, LEFT, 2>(d.read(), 1));
        w.rem -= 8 + ea_time<F, 2>();
    }
};

}  // namespace

handler decode_shift(uint32_t op) {
    int left = (op >> 8) & 1;
    int s = (op >> 6) & 3;
    if (s == 3) {
        int f = form_of((op >> 3) & 7, op & 7);
        if ((op & 0x800) || f < 0 || !is_mem_alt(f)) return nullptr;
        static const grid<shift_mem, 4, 2, NFORMS, 1> g;
        return g.t[(op >> 9) & 3][left][f][0];
    }
    static const grid<shift_reg, 4, 2, 3, 16> g;
    int c = ((op >> 9) & 7) | ((op >> 2) & 8);
    return g.t[(op >> 3) & 3][left][s][c];
}

}  // namespace s68k
