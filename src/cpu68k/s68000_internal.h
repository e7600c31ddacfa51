// Working state and building blocks shared by the core's instruction files.
// Everything here is inline: handlers are specialised per opcode pattern and
// these helpers fold into them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "cpu68k/s68000.h"

namespace s68k {

using handler = void (*)(uint32_t op);

// Working values of a running slice. rem doubles as the saved remaining
// budget that memory handlers see (-1 outside exec): the state lives in
// globals, so it is always current when a handler is called.
struct working {
    uintptr_t pc;       // host location of the next program word
    uintptr_t base;     // host pc = base + 68000 pc
    uintptr_t lim_lo;   // host pcs at which a whole instruction fits in the region
    uintptr_t lim_hi;
    int32_t rem;        // remaining budget
    int32_t req;        // requested budget
    int32_t deferred;   // budget set aside while a check is forced
    uint32_t lo, hi;    // fetch region bounds, with the PC's top byte
    uint8_t nzc;        // N 0x80, Z 0x40, C 0x01
    uint8_t v, x;
    bool executing, fault, trace_pending, recheck, reset_stop;
    uint32_t access;    // address of the access in progress
};

extern s68000context ctx;
extern working w;

constexpr uint8_t fN = 0x80, fZ = 0x40, fC = 0x01;

// ---- registers ----
inline uint32_t* regs() { return ctx.dreg; }  // D0-D7 then A0-A7, consecutive
static_assert(offsetof(s68000context, areg) == offsetof(s68000context, dreg) + 32);

// ---- condition codes ----
inline uint16_t pack_sr() {
    return uint16_t((ctx.sr & 0xA700) | (w.x << 4) | ((w.nzc & fN) ? 8 : 0) |
                    ((w.nzc & fZ) ? 4 : 0) | (w.v << 1) | (w.nzc & fC));
}
inline void unpack_ccr(uint16_t sr) {
    w.x = (sr >> 4) & 1;
    w.nzc = uint8_t(((sr & 8) ? fN : 0) | ((sr & 4) ? fZ : 0) | (sr & 1));
    w.v = (sr >> 1) & 1;
}

template <int CC>
inline bool cond() {
    const bool c = w.nzc & fC, z = w.nzc & fZ, n = w.nzc & fN, v = w.v;
    if constexpr (CC == 0) return true;
    else if constexpr (CC == 1) return false;
    else if constexpr (CC == 2) return !c && !z;
    else if constexpr (CC == 3) return c || z;
    else if constexpr (CC == 4) return !c;
    else if constexpr (CC == 5) return c;
    else if constexpr (CC == 6) return !z;
    else if constexpr (CC == 7) return z;
    else if constexpr (CC == 8) return !v;
    else if constexpr (CC == 9) return v;
    else if constexpr (CC == 10) return !n;
    else if constexpr (CC == 11) return n;
    else if constexpr (CC == 12) return n == v;
    else if constexpr (CC == 13) return n != v;
    else if constexpr (CC == 14) return !z && n == v;
    else return z || n != v;
}

// ---- sizes ----
template <int SZ> constexpr uint32_t msk = SZ == 1 ? 0xFFu : SZ == 2 ? 0xFFFFu : 0xFFFFFFFFu;
template <int SZ> constexpr int bits = SZ * 8;
template <int SZ> inline uint32_t sext(uint32_t v) {
    if constexpr (SZ == 1) return uint32_t(int32_t(int8_t(v)));
    else if constexpr (SZ == 2) return uint32_t(int32_t(int16_t(v)));
    else return v;
}
template <int SZ> inline uint32_t topbit(uint32_t v) { return (v >> (bits<SZ> - 1)) & 1; }
template <int SZ> inline uint8_t nz(uint32_t res) {
    res &= msk<SZ>;
    return uint8_t((topbit<SZ>(res) ? fN : 0) | (res ? 0 : fZ));
}
template <int SZ> inline void set_logic(uint32_t res) {
    w.nzc = nz<SZ>(res);
    w.v = 0;
}
template <int SZ> inline uint32_t do_add(uint32_t d, uint32_t s, uint32_t x = 0) {
    uint32_t r = (d + s + x) & msk<SZ>;
    uint32_t c = topbit<SZ>((s & d) | (~r & (s | d)));
    w.v = uint8_t(topbit<SZ>((s ^ r) & (d ^ r)));
    w.nzc = uint8_t(nz<SZ>(r) | c);
    w.x = uint8_t(c);
    return r;
}
template <int SZ> inline uint32_t do_sub(uint32_t d, uint32_t s, uint32_t x = 0) {
    uint32_t r = (d - s - x) & msk<SZ>;
    uint32_t c = topbit<SZ>((s & ~d) | (r & ~d) | (s & r));
    w.v = uint8_t(topbit<SZ>((s ^ d) & (r ^ d)));
    w.nzc = uint8_t(nz<SZ>(r) | c);
    w.x = uint8_t(c);
    return r;
}
template <int SZ> inline void do_cmp(uint32_t d, uint32_t s) {
    uint32_t r = (d - s) & msk<SZ>;
    uint32_t c = topbit<SZ>((s & ~d) | (r & ~d) | (s & r));
    w.v = uint8_t(topbit<SZ>((s ^ d) & (r ^ d)));
    w.nzc = uint8_t(nz<SZ>(r) | c);
}

// Decimal arithmetic: X in, X and C out; Z only cleared; N from bit 7, V clear.
inline void bcd_flags(int32_t res, bool carry) {
    uint32_t r = uint32_t(res) & 0xFF;
    w.x = carry;
    w.v = 0;
    w.nzc = uint8_t((r & 0x80 ? fN : 0) | (r ? 0 : (w.nzc & fZ)) | carry);
}
inline uint8_t bcd_add(uint32_t d, uint32_t s) {
    int32_t bin = int32_t((d & 0xFF) + (s & 0xFF) + w.x);
    int32_t res = bin;
    if (int32_t((d & 0x0F) + (s & 0x0F) + w.x) > 9) res += 6;
    bool carry = bin > 0x99;
    if (carry) res += 0x60;
    bcd_flags(res, carry);
    return uint8_t(res);
}
inline uint8_t bcd_sub(uint32_t d, uint32_t s) {
    int32_t bin = int32_t(d & 0xFF) - int32_t(s & 0xFF) - w.x;
    int32_t res = bin;
    if (int32_t(d & 0x0F) - int32_t(s & 0x0F) - w.x < 0) res -= 6;
    if (bin < 0) res -= 0x60;
    bcd_flags(res, res < 0);
    return uint8_t(res);
}

// ---- memory ----
uint32_t call_read(read_handler h, uint32_t a, memory_handler* e);
void call_write(write_handler h, uint32_t a, uint32_t d, memory_handler* e);

inline uint8_t* host(const memory_handler* e, uint32_t a) {
    return static_cast<uint8_t*>(e->user_data) + (a - e->low);
}

inline uint32_t read_b(uint32_t a) {
    a &= 0xFFFFFF;
    for (memory_handler* e = ctx.readbyte;; ++e) {
        if (a >= e->low && a <= e->high) {
            if (!e->handler) return static_cast<uint8_t*>(e->user_data)[(a - e->low) ^ 1];
            return call_read(read_handler(e->handler), a, e) & 0xFF;
        }
        if (e->low == list_end) return 0xFF;
    }
}
// Word and long accesses at odd addresses use the word that holds the byte.
inline uint32_t read_w_at(memory_handler* e, uint32_t a) {
    if (!e->handler) {
        uint16_t v;
        std::memcpy(&v, host(e, a), 2);
        return v;
    }
    return call_read(read_handler(e->handler), a, e) & 0xFFFF;
}
inline uint32_t read_w(uint32_t a) {
    a &= 0xFFFFFE;
    for (memory_handler* e = ctx.readword;; ++e) {
        if (a >= e->low && a <= e->high) return read_w_at(e, a);
        if (e->low == list_end) return 0xFFFF;
    }
}
inline uint32_t read_l(uint32_t a) {
    a &= 0xFFFFFE;
    for (memory_handler* e = ctx.readword;; ++e) {
        if (a >= e->low && a <= e->high) {
            if (a + 2 > e->high) {
                uint32_t hi = read_w_at(e, a);
                return (hi << 16) | read_w(a + 2);
            }
            if (!e->handler) {
                uint32_t v;
                std::memcpy(&v, host(e, a), 4);
                return (v << 16) | (v >> 16);
            }
            uint32_t hi = call_read(read_handler(e->handler), a, e) & 0xFFFF;
            return (hi << 16) | (call_read(read_handler(e->handler), a + 2, e) & 0xFFFF);
        }
        if (e->low == list_end) return 0xFFFFFFFF;
    }
}
inline void write_b(uint32_t a, uint32_t d) {
    a &= 0xFFFFFF;
    for (memory_handler* e = ctx.writebyte;; ++e) {
        if (a >= e->low && a <= e->high) {
            if (!e->handler) static_cast<uint8_t*>(e->user_data)[(a - e->low) ^ 1] = uint8_t(d);
            else call_write(write_handler(e->handler), a, d & 0xFF, e);
            return;
        }
        if (e->low == list_end) return;
    }
}
inline void write_w_at(memory_handler* e, uint32_t a, uint32_t d) {
    if (!e->handler) {
        uint16_t v = uint16_t(d);
        std::memcpy(host(e, a), &v, 2);
    } else {
        call_write(write_handler(e->handler), a, d & 0xFFFF, e);
    }
}
inline void write_w(uint32_t a, uint32_t d) {
    a &= 0xFFFFFE;
    for (memory_handler* e = ctx.writeword;; ++e) {
        if (a >= e->low && a <= e->high) return write_w_at(e, a, d);
        if (e->low == list_end) return;
    }
}
inline void write_l(uint32_t a, uint32_t d) {
    a &= 0xFFFFFE;
    for (memory_handler* e = ctx.writeword;; ++e) {
        if (a >= e->low && a <= e->high) {
            if (a + 2 > e->high) {
                write_w_at(e, a, d >> 16);
                return write_w(a + 2, d);
            }
            if (!e->handler) {
                uint32_t v = (d << 16) | (d >> 16);
                std::memcpy(host(e, a), &v, 4);
                return;
            }
            call_write(write_handler(e->handler), a, d >> 16, e);
            call_write(write_handler(e->handler), a + 2, d & 0xFFFF, e);
            return;
        }
        if (e->low == list_end) return;
    }
}
template <int SZ> inline uint32_t rd(uint32_t a) {
    if constexpr (SZ == 1) return read_b(a);
    else if constexpr (SZ == 2) return read_w(a);
    else return read_l(a);
}
template <int SZ> inline void wr(uint32_t a, uint32_t d) {
    if constexpr (SZ == 1) write_b(a, d);
    else if constexpr (SZ == 2) write_w(a, d);
    else write_l(a, d);
}

// ---- program flow ----
inline uint32_t pc68() { return uint32_t(w.pc - w.base); }
inline uint32_t fetch16() {
    uint16_t v;
    std::memcpy(&v, reinterpret_cast<const void*>(w.pc), 2);
    w.pc += 2;
    return v;
}
inline uint32_t fetch32() {
    uint32_t hi = fetch16();
    return (hi << 16) | fetch16();
}
void region_lookup(uint32_t pc);
// Loads a new PC; the fetch list is searched only when it leaves the region.
inline void jump(uint32_t pc) {
    if (pc < w.lo || pc > w.hi) region_lookup(pc);
    w.pc = w.base + pc;
}

void exception(int vector);
void set_sr(uint16_t sr);
void illegal(uint32_t op);
void line_a(uint32_t op);
void line_f(uint32_t op);
inline constexpr uint16_t sr_supervisor = 0x2000;  // the S bit
inline bool supervisor() { return ctx.sr & sr_supervisor; }
// Privileged instructions in user mode: vector 8 at the opcode.
inline bool privilege_fails() {
    if (supervisor()) return false;
    w.pc -= 2;
    exception(8);
    w.rem -= 34;
    return true;
}
// After a write of SR: let the slice loop look at interrupts and trace
// before the next instruction.
inline void recheck() {
    if (w.rem >= 0) {
        w.deferred += w.rem + 1;
        w.rem = -1;
        w.recheck = true;
    }
}

// ---- effective addresses ----
// Forms: modes 0-6, then mode 7's absolute short/long, (d16,PC), (d8,PC,Xn), #imm.
enum : int { DN, AN, AI, PI, PD, DI, IX, AW, AL, PCD, PCX, IMM, NFORMS };

constexpr int form_of(int mode, int reg) {
    if (mode < 7) return mode;
    return reg <= 4 ? AW + reg : -1;
}
constexpr bool is_mem(int f) { return f >= AI; }
constexpr bool is_alterable(int f) { return f <= AL; }
constexpr bool is_data_alt(int f) { return f != AN && f <= AL; }
constexpr bool is_mem_alt(int f) { return f >= AI && f <= AL; }
constexpr bool is_control(int f) { return f == AI || (f >= DI && f <= PCX); }

template <int F, int SZ>
constexpr int ea_time() {
    constexpr int t[2][NFORMS] = {{0, 0, 4, 4, 6, 8, 10, 8, 12, 8, 10, 4},
                                  {0, 0, 8, 8, 10, 12, 14, 12, 16, 12, 14, 8}};
    return t[SZ == 4][F];
}

inline uint32_t index_ext(uint32_t base) {
    uint32_t e = fetch16();
    uint32_t x = regs()[e >> 12];
    if (!(e & 0x800)) x = uint32_t(int32_t(int16_t(x)));
    return base + x + uint32_t(int32_t(int8_t(e)));
}

// An operand: address computed (with its side effects) on construction,
// then read and/or written.
template <int F, int SZ>
struct ea {
    uint32_t a;
    int r;
    explicit ea(int reg) : a(0), r(reg) {
        if constexpr (F == AI) a = ctx.areg[r];
        else if constexpr (F == PI) {
            a = ctx.areg[r];
            ctx.areg[r] += (SZ == 1 && r == 7) ? 2 : SZ;
        } else if constexpr (F == PD) {
            ctx.areg[r] -= (SZ == 1 && r == 7) ? 2 : SZ;
            a = ctx.areg[r];
        } else if constexpr (F == DI) a = ctx.areg[r] + uint32_t(int32_t(int16_t(fetch16())));
        else if constexpr (F == IX) a = index_ext(ctx.areg[r]);
        else if constexpr (F == AW) a = uint32_t(int32_t(int16_t(fetch16())));
        else if constexpr (F == AL) a = fetch32();
        else if constexpr (F == PCD) {
            uint32_t b = pc68();
            a = b + uint32_t(int32_t(int16_t(fetch16())));
        } else if constexpr (F == PCX) a = index_ext(pc68());
        else if constexpr (F == IMM) {
            if constexpr (SZ == 4) a = fetch32();
            else a = fetch16() & msk<SZ>;
        }
    }
    uint32_t read() const {
        if constexpr (F == DN) return ctx.dreg[r] & msk<SZ>;
        else if constexpr (F == AN) return ctx.areg[r] & msk<SZ>;
        else if constexpr (F == IMM) return a;
        else return rd<SZ>(a);
    }
    void write(uint32_t v) const {
        if constexpr (F == DN) {
            if constexpr (SZ == 4) ctx.dreg[r] = v;
            else ctx.dreg[r] = (ctx.dreg[r] & ~msk<SZ>) | (v & msk<SZ>);
        } else if constexpr (F == AN) {
            ctx.areg[r] = v;
        } else {
            wr<SZ>(a, v);
        }
    }
};

template <int SZ> inline void set_dreg(int r, uint32_t v) {
    if constexpr (SZ == 4) ctx.dreg[r] = v;
    else ctx.dreg[r] = (ctx.dreg[r] & ~msk<SZ>) | (v & msk<SZ>);
}

// ---- building the dispatch table ----
// A grid of handler specialisations over four small template parameters.
template <template <int, int, int, int> class H, int N0, int N1, int N2, int N3>
struct grid {
    handler t[N0][N1][N2][N3];
    template <std::size_t... I>
    explicit grid(std::index_sequence<I...>) {
        ((t[I / (N1 * N2 * N3)][(I / (N2 * N3)) % N1][(I / N3) % N2][I % N3] =
              &H<int(I / (N1 * N2 * N3)), int((I / (N2 * N3)) % N1), int((I / N3) % N2),
                 int(I % N3)>::run),
         ...);
    }
    grid() : grid(std::make_index_sequence<N0 * N1 * N2 * N3>{}) {}
};

// Per-family decoders: the handler for an opcode, or null when the family
// does not define it.
handler decode_line0(uint32_t op);
handler decode_move(uint32_t op);
handler decode_line4(uint32_t op);
handler decode_line5(uint32_t op);
handler decode_branch(uint32_t op);
handler decode_alu(uint32_t op);
handler decode_alu_mem(uint32_t op);
handler decode_extra(uint32_t op);
handler decode_shift(uint32_t op);
void build_table(handler* table);

}  // namespace s68k
