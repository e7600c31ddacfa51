// The processor's call interface, the slice loop, exception entry and
// interrupt acceptance.
#include <cstddef>

#include "cpu68k/s68000_internal.h"

namespace s68k {

s68000context ctx;
working w = {0, 0, 0, 0, -1, 0, 0, list_end, 0, 0, 0, 0, false, false, false, false, false, 0};
handler table[65536];

// The last words of a region are run from a copy padded with all-ones words,
// so an instruction that starts there never reads past the host buffer.
static uint16_t tail[8];

uint32_t call_read(read_handler h, uint32_t a, memory_handler* e) {
    w.access = a;
    return h(a, e);
}

void call_write(write_handler h, uint32_t a, uint32_t d, memory_handler* e) {
    w.access = a;
    h(a, d, e);
}

static const fetch_region* find_region(const fetch_region* list, uint32_t a) {
    if (!list) return nullptr;
    for (const fetch_region* f = list;; ++f) {
        if (a >= f->low && a <= f->high) return f;
        if (f->low == list_end) return nullptr;
    }
}

static void fault() {
    w.fault = true;
    w.lo = list_end;
    w.hi = 0;
    w.lim_lo = 1;
    w.lim_hi = 0;
    w.rem -= w.req;
    w.req = 0;
}

void region_lookup(uint32_t pc) {
    const fetch_region* f = find_region(ctx.fetch, pc & 0xFFFFFF);
    if (!f) {
        fault();
        w.base = 0;
        return;
    }
    uint32_t top = pc & 0xFF000000;
    w.lo = f->low | top;
    w.hi = f->high | top;
    w.base = f->offset - top;
    w.lim_lo = w.base + w.lo;
    // room for the longest instruction: ten bytes
    w.lim_hi = (f->high - f->low >= 9) ? w.base + w.hi - 9 : w.lim_lo - 1;
}

// Called when the host PC is outside the part of the region where a whole
// instruction fits. Returns false on a fetch fault.
static bool refetch() {
    uint32_t pc = pc68();
    region_lookup(pc);
    if (w.fault) {
        w.pc = w.base + pc;
        return false;
    }
    w.pc = w.base + pc;
    if (w.pc >= w.lim_lo && w.pc <= w.lim_hi) return true;
    const fetch_region* f = find_region(ctx.fetch, pc & 0xFFFFFF);
    uint32_t a = pc & 0xFFFFFF;
    for (int i = 0; i < 8; i++, a += 2) {
        if (a + 1 <= f->high) std::memcpy(&tail[i], reinterpret_cast<const void*>(f->offset + a), 2);
        else tail[i] = 0xFFFF;
    }
    w.base = reinterpret_cast<uintptr_t>(tail) - pc;
    w.pc = reinterpret_cast<uintptr_t>(tail);
    w.lo = list_end;  // any jump looks the region up again
    w.hi = 0;
    return true;
}

// A set of lists left null (a state block filled by hand) reads as an empty
// map rather than crashing: the other set stands in, or an empty list.
static memory_handler no_entries[1] = {{list_end, list_end, nullptr, nullptr}};

static memory_handler* pick(memory_handler* mine, memory_handler* other) {
    return mine ? mine : other ? other : no_entries;
}

static void select_lists(bool super) {
    if (super) {
        ctx.fetch = ctx.s_fetch ? ctx.s_fetch : ctx.u_fetch;
        ctx.readbyte = pick(ctx.s_readbyte, ctx.u_readbyte);
        ctx.readword = pick(ctx.s_readword, ctx.u_readword);
        ctx.writebyte = pick(ctx.s_writebyte, ctx.u_writebyte);
        ctx.writeword = pick(ctx.s_writeword, ctx.u_writeword);
    } else {
        ctx.fetch = ctx.u_fetch ? ctx.u_fetch : ctx.s_fetch;
        ctx.readbyte = pick(ctx.u_readbyte, ctx.s_readbyte);
        ctx.readword = pick(ctx.u_readword, ctx.s_readword);
        ctx.writebyte = pick(ctx.u_writebyte, ctx.s_writebyte);
        ctx.writeword = pick(ctx.u_writeword, ctx.s_writeword);
    }
}

void set_sr(uint16_t sr) {
    bool was = supervisor(), now = sr & sr_supervisor;
    if (was != now) {
        std::swap(ctx.areg[7], ctx.other_sp);
        select_lists(now);
    }
    ctx.sr = uint16_t((sr & 0xA700) | (sr & 0x1F));
    unpack_ccr(sr);
}

void exception(int vector) {
    ctx.irq_block[0] &= ~1;
    uint32_t target = read_l(uint32_t(vector) * 4);
    uint16_t sr = pack_sr();
    if (!supervisor()) {
        std::swap(ctx.areg[7], ctx.other_sp);
        select_lists(true);
        ctx.sr |= sr_supervisor;
    }
    ctx.sr &= 0x271F;
    w.trace_pending = false;
    uint32_t sp = ctx.areg[7];
    write_l(sp - 4, pc68());
    write_w(sp - 6, sr);
    ctx.areg[7] = sp - 6;
    jump(target);
}

// Unassigned opcodes, line A and line F: the frame holds the opcode's address.
static void opcode_exception(int vector) {
    w.pc -= 2;
    exception(vector);
    w.rem -= 34;
}
void illegal(uint32_t) { opcode_exception(4); }
void line_a(uint32_t) { opcode_exception(10); }
void line_f(uint32_t) { opcode_exception(11); }

// Takes at most one interrupt: the highest requested level above the mask,
// level 7 always. Returns whether one was taken.
static bool accept() {
    uint8_t pending = ctx.irq_block[0];
    int mask = (ctx.sr >> 8) & 7;
    for (int level = 7; level >= 1; --level) {
        if (level <= mask && level != 7) break;
        if (pending & (1 << level)) {
            ctx.irq_block[0] &= uint8_t(~(1 << level));
            exception(ctx.irq_block[level]);
            ctx.sr = uint16_t((ctx.sr & ~0x0700) | (level << 8));
            return true;
        }
    }
    return false;
}

static bool check_interrupts() {
    uint32_t pending = ctx.irq_block[0] & 0xFE;
    int mask = (ctx.sr >> 8) & 7;
    if (!(pending & 0x80) && !(pending >> (mask + 1))) return false;
    if (!accept()) return false;
    w.rem -= 44;
    return true;
}

static void trace_setup() {
    w.trace_pending = ctx.sr & 0x8000;
    if (w.trace_pending) {
        w.deferred += w.rem + 1;
        w.rem = -1;
    }
}

static void run() {
    do {
        if (w.pc < w.lim_lo || w.pc > w.lim_hi) [[unlikely]] {
            if (!refetch()) break;
        }
        uint32_t op = fetch16();
        table[op](op);
    } while (w.rem >= 0);
}

static uint32_t exec_loop() {
    region_lookup(ctx.pc);
    w.pc = w.base + ctx.pc;
    if (w.fault) return S68000_FETCH_FAULT;
    w.deferred = 0;
    if (check_interrupts() && w.fault) return S68000_FETCH_FAULT;
    trace_setup();
    for (;;) {
        run();
        if (w.reset_stop) {
            w.rem += w.deferred;
            w.deferred = 0;
            return pc68() & 0xFFFFFF;
        }
        if (w.recheck) {
            w.recheck = false;
            w.rem += w.deferred;
            w.deferred = 0;
            if (check_interrupts() && w.fault) return S68000_FETCH_FAULT;
            if (w.rem < 0) continue;  // the interrupt used the rest; slice end follows
            trace_setup();
            continue;
        }
        // slice end
        if (w.trace_pending) {
            exception(9);
            w.rem -= 34;
        }
        bool taken = check_interrupts();
        w.rem += w.deferred;
        w.deferred = 0;
        if (taken && w.fault) return S68000_FETCH_FAULT;
        if (ctx.irq_block[0] & 1) {  // stopped: the whole budget counts as used
            if (w.rem >= 0) w.rem = -1;
            break;
        }
        if (w.rem < 0 || w.fault) break;
    }
    return S68000_OK;
}

}  // namespace s68k

using namespace s68k;

// The odometer wraps rather than overflowing when it is never tripped.
static void add_odometer(int32_t n) { ctx.odometer = int32_t(uint32_t(ctx.odometer) + uint32_t(n)); }

uint32_t s68000exec(int32_t cycles) {
    if (w.executing) return S68000_OK;  // not re-entrant: a call from a handler does nothing
    if (ctx.irq_block[0] & 1) {
        if (ctx.pc & 1) return S68000_HALTED;
        add_odometer(cycles);
        return S68000_OK;
    }
    // every budget up to 0 runs one instruction and counts the same; the
    // top is kept clear of the arithmetic's overflow (2^30 cycles is minutes)
    if (cycles < 0) cycles = 0;
    if (cycles > 0x40000000) cycles = 0x40000000;
    w.req = cycles;
    w.rem = cycles - 1;
    w.deferred = 0;
    unpack_ccr(ctx.sr);
    w.executing = true;
    w.fault = false;
    w.recheck = false;
    w.reset_stop = false;
    w.lo = list_end;
    w.hi = 0;
    if (!ctx.readbyte || !ctx.readword || !ctx.writebyte || !ctx.writeword)
        select_lists(supervisor());
    uint32_t status = exec_loop();
    ctx.sr = pack_sr();
    ctx.pc = pc68();
    add_odometer(w.req - w.rem - 1);
    w.executing = false;
    w.fault = false;
    w.reset_stop = false;
    w.trace_pending = false;
    w.req = 0;
    w.rem = -1;
    w.deferred = 0;
    return status;
}

int32_t s68000reset() {
    if (w.executing || !ctx.s_fetch) return 1;
    w.executing = false;
    w.fault = false;
    for (auto& d : ctx.dreg) d = 0;
    for (auto& a : ctx.areg) a = 0;
    ctx.other_sp = 0;
    ctx.sr = 0x2700;
    select_lists(true);
    ctx.pc = 1;
    ctx.irq_block[0] = 1;
    const fetch_region* f = find_region(ctx.s_fetch, 0);
    if (!f) return 1;
    auto word = [f](uint32_t a) {
        uint16_t v;
        std::memcpy(&v, reinterpret_cast<const void*>(f->offset + a), 2);
        return uint32_t(v);
    };
    // the vectors may lie in a region shorter than 8 bytes only in a broken map
    if (f->high < 7) return 1;
    ctx.areg[7] = (word(0) << 16) | word(2);
    ctx.pc = (word(4) << 16) | word(6);
    ctx.irq_block[0] = uint8_t(ctx.pc & 1);
    return (ctx.pc & 1) ? -1 : 0;
}

int32_t s68000interrupt(int32_t level, int32_t vector) {
    if (level < 1 || level > 7 || vector < -2 || vector > 255) return 2;
    if (vector == -2) vector = 24;
    else if (vector < 0) vector = 24 + level;
    if (ctx.irq_block[0] & (1 << level)) return 1;
    ctx.irq_block[0] = uint8_t((ctx.irq_block[0] | (1 << level)) & ~1);
    ctx.irq_block[level] = uint8_t(vector);
    w.deferred += w.rem + 1;
    w.rem = -1;
    return 0;
}

void s68000flushInterrupts() {
    if (w.executing) return;
    unpack_ccr(ctx.sr);
    // the vector's region is looked up by the next exec
    w.lo = list_end;
    w.hi = 0;
    w.base = 0;
    w.pc = ctx.pc;
    w.req = 0;
    w.rem = -1;
    bool taken = accept();
    w.fault = false;
    w.rem = -1;
    w.deferred = 0;
    if (taken) add_odometer(44);
    ctx.pc = pc68();
    ctx.sr = pack_sr();
}

uint32_t s68000GetContextSize() { return sizeof(s68000context); }

int32_t s68000GetContext(void* block) {
    std::memcpy(block, &ctx, sizeof ctx);
    return 0;
}

int32_t s68000SetContext(const void* block) {
    std::memcpy(&ctx, block, sizeof ctx);
    return 0;
}

int32_t s68000fetch(uint32_t address) {
    uint32_t a = address & 0xFFFFFF;
    const fetch_region* f = find_region(ctx.s_fetch, a);
    if (!f || a + 1 > f->high) return -1;
    uint16_t v;
    std::memcpy(&v, reinterpret_cast<const void*>(f->offset + a), 2);
    return v;
}

uint32_t s68000readPC() { return w.executing ? pc68() : ctx.pc; }

int32_t s68000readOdometer() {
    return int32_t(uint32_t(ctx.odometer) + uint32_t(w.req - w.rem - 1 - w.deferred));
}

int32_t s68000tripOdometer() {
    add_odometer(w.req - w.rem - 1 - w.deferred);
    // cycles set aside for a forced check are still to run
    w.req = w.rem + 1 + w.deferred;
    int32_t r = ctx.odometer;
    ctx.odometer = 0;
    return r;
}

int32_t s68000controlOdometer(int32_t trip) { return trip ? s68000tripOdometer() : s68000readOdometer(); }

void s68000releaseTimeslice() {
    w.rem -= w.req;
    w.req = 0;
}

int32_t s68000init() {
    // every game start calls it again; the table never changes
    static bool built = false;
    if (!built) build_table(table);
    built = true;
    return 0;
}
