// Immediate arithmetic and logic, the CCR/SR immediates, bit operations and MOVEP.
#include "cpu68k/s68000_internal.h"

namespace s68k {
namespace {

enum { ORI = 0, ANDI = 1, SUBI = 2, ADDI = 3, EORI = 5, CMPI = 6 };

template <int OPI, int SZI, int F, int>
struct imm_op {
    static void run(uint32_t op) {
        constexpr int SZ = SZI == 0 ? 1 : SZI == 1 ? 2 : 4;
        if constexpr (!is_data_alt(F)) {
            illegal(op);
        } else {
            uint32_t s = SZ == 4 ? fetch32() : fetch16() & msk<SZ>;
            ea<F, SZ> d(op & 7);
            uint32_t v = d.read();
            if constexpr (OPI == CMPI) {
                do_cmp<SZ>(v, s);
                if constexpr (F == DN) w.rem -= SZ == 4 ? 14 : 8;
                else w.rem -= (SZ == 4 ? 12 : 8) + ea_time<F, SZ>();
                return;
            } else {
                uint32_t r;
                if constexpr (OPI == ORI) set_logic<SZ>(r = v | s);
                else if constexpr (OPI == ANDI) set_logic<SZ>(r = v & s);
                else if constexpr (OPI == EORI) set_logic<SZ>(r = v ^ s);
                else if constexpr (OPI == ADDI) r = do_add<SZ>(v, s);
                else r = do_sub<SZ>(v, s);
                d.write(r);
                if constexpr (F == DN) w.rem -= SZ == 4 ? 16 : 8;
                else w.rem -= (SZ == 4 ? 20 : 12) + ea_time<F, SZ>();
            }
        }
    }
};

// ORI, ANDI, EORI to CCR (TO_SR 0) and to SR (TO_SR 1).
template <int OPI, int TO_SR, int, int>
struct ccr_op {
    static void run(uint32_t op) {
        (void)op;
        if constexpr (TO_SR) {
            if (privilege_fails()) return;
        }
        uint32_t s = fetch16();
        if constexpr (!TO_SR) s &= 0xFF;
        uint32_t sr = pack_sr();
        if constexpr (OPI == ORI) sr |= s;
        else if constexpr (OPI == ANDI) sr &= s | (TO_SR ? 0 : 0xFF00);
        else sr ^= s;
        w.rem -= 20;
        if constexpr (TO_SR) {
            set_sr(uint16_t(sr));
            recheck();
        } else {
            unpack_ccr(uint16_t(sr));
        }
    }
};

enum { BTST = 0, BCHG = 1, BCLR = 2, BSET = 3 };

// STATIC 1: bit number in an extension word; otherwise in Dn of bits 9-11.
template <int T, int STATIC, int R, int F>
struct bit_op {
    static void run(uint32_t op) {
        uint32_t n = STATIC ? fetch16() : ctx.dreg[R];
        if constexpr (F == DN) {
            n &= 31;
            uint32_t& d = ctx.dreg[op & 7];
            uint32_t m = 1u << n;
            w.nzc = uint8_t((w.nzc & ~fZ) | ((d & m) ? 0 : fZ));
            if constexpr (T == BCHG) d ^= m;
            else if constexpr (T == BCLR) d &= ~m;
            else if constexpr (T == BSET) d |= m;
            int t;
            if constexpr (T == BTST) t = STATIC ? 10 : 6;
            else if constexpr (T == BCLR) t = (STATIC ? 12 : 8) + (n >= 16 ? 2 : 0);
            else t = (STATIC ? 10 : 6) + (n >= 16 ? 2 : 0);
            w.rem -= t;
        } else {
            n &= 7;
            ea<F, 1> d(op & 7);
            uint32_t v = d.read();
            uint32_t m = 1u << n;
            w.nzc = uint8_t((w.nzc & ~fZ) | ((v & m) ? 0 : fZ));
            if constexpr (T == BTST) {
                w.rem -= (STATIC ? 8 : (F == IMM ? 6 : 4)) + ea_time<F, 1>();
                return;
            } else {
                if constexpr (T == BCHG) v ^= m;
                else if constexpr (T == BCLR) v &= ~m;
                else v |= m;
                d.write(v);
                w.rem -= (STATIC ? 12 : 8) + ea_time<F, 1>();
            }
        }
    }
};

// MOVEP: OPM 0 word to Dn, 1 long to Dn, 2 word from Dn, 3 long from Dn.
template <int OPM, int R, int, int>
struct movep_op {
    static void run(uint32_t op) {
        uint32_t a = ctx.areg[op & 7] + uint32_t(int32_t(int16_t(fetch16())));
        uint32_t& d = ctx.dreg[R];
        if constexpr (OPM == 0) {
            uint32_t v = read_b(a) << 8;
            v |= read_b(a + 2);
            d = (d & 0xFFFF0000) | v;
            w.rem -= 16;
        } else if constexpr (OPM == 1) {
            uint32_t v = read_b(a) << 24;
            v |= read_b(a + 2) << 16;
            v |= read_b(a + 4) << 8;
            v |= read_b(a + 6);
            d = v;
            w.rem -= 24;
        } else if constexpr (OPM == 2) {
            write_b(a, d >> 8);
            write_b(a + 2, d);
            w.rem -= 16;
        } else {
            write_b(a, d >> 24);
            write_b(a + 2, d >> 16);
            write_b(a + 4, d >> 8);
            write_b(a + 6, d);
            w.rem -= 24;
        }
    }
};

}  // namespace

handler decode_line0(uint32_t op) {
    int mode = (op >> 3) & 7;
    int f = form_of(mode, op & 7);
    int r = (op >> 9) & 7;
    int t = (op >> 6) & 3;
    if (op & 0x100) {
        if (mode == 1) {
            static const grid<movep_op, 4, 8, 1, 1> g;
            return g.t[t][r][0][0];
        }
        if (f < 0) return nullptr;
        if (t == BTST ? f == AN : !is_data_alt(f)) return nullptr;
        static const grid<bit_op, 4, 1, 8, NFORMS> g;
        return g.t[t][0][r][f];
    }
    if (r == 4) {
        if (f < 0 || (op & 0xF00) != 0x800) return nullptr;
        // BTST #n,#imm is run as well: the bit of the immediate's low byte
        if (t == BTST ? f == AN : !is_data_alt(f)) return nullptr;
        static const grid<bit_op, 4, 2, 1, NFORMS> g;
        return g.t[t][1][0][f];
    }
    if (r == ORI || r == ANDI || r == EORI) {
        static const grid<ccr_op, 6, 2, 1, 1> g;
        if ((op & 0xFF) == 0x3C) return g.t[r][0][0][0];
        if ((op & 0xFF) == 0x7C) return g.t[r][1][0][0];
    }
    if (r == 4 || r == 7 || t == 3 || f < 0 || !is_data_alt(f)) return nullptr;
    static const grid<imm_op, 7, 3, NFORMS, 1> g;
    return g.t[r][t][f][0];
}

}  // namespace s68k
