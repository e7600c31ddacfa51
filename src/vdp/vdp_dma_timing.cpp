// How long the three DMA operations take. The bytes of a transfer move at
// once; what is timed is the chip's bus. A transfer from 68000 memory keeps
// the processor off its bus until it ends; a fill or copy runs inside the
// chip while the processor goes on (the status shows it busy); a transfer
// starts only when the one before it has ended, and the processor is held
// until then. So no program can make the chip move more bytes in a frame
// than the chip could.
#include <algorithm>

#include "common/frame_timing.h"
#include "cpu68k/m68k.h"
#include "vdp/vdp.h"

namespace {

// Bytes a transfer moves in one line: few access slots are free while a
// line is displayed, most in blanking or with the display off. Transfers
// from 68000 memory into colour and scroll RAM count as into video RAM.
// By kind, then 256/320-pixel mode, then displayed/blank line.
constexpr uint32_t bytes_per_line[3][2][2] = {
    {{16, 167}, {18, 205}},  // from 68000 memory
    {{15, 166}, {17, 204}},  // fill
    {{8, 83}, {9, 102}},     // copy
};

uint32_t line_rate(dma_kind kind, uint32_t line) {
    const bool blank = line >= visible_lines || (vdp.reg[1] & 0x40) == 0;
    return bytes_per_line[kind][vdp.reg[12] & 1][blank];
}

void let_pass(uint32_t cycles) {
    vdp.dma_busy -= std::min(vdp.dma_busy, cycles);
    vdp.dma_hold -= std::min(vdp.dma_hold, cycles);
}

// Up to the processor's cycle count in the current line.
void catch_up() {
    const int32_t now = m68k_get_elapsed_cycles();
    if (now > vdp.dma_clock) let_pass(static_cast<uint32_t>(now - vdp.dma_clock));
    vdp.dma_clock = now;
}

// Cycles a transfer of `bytes` takes when it starts `delay` cycles from
// now: each line it spans moves its share at that line's rate.
uint32_t transfer_cycles(dma_kind kind, uint32_t bytes, uint32_t delay) {
    uint32_t line = vdp.line % lines_per_frame;
    uint32_t pos = static_cast<uint32_t>(std::max(vdp.dma_clock, 0)) + delay;
    while (pos >= line_cycles(line)) {
        pos -= line_cycles(line);
        line = (line + 1) % lines_per_frame;
    }
    uint32_t cycles = 0;
    for (;;) {
        const uint32_t length = line_cycles(line);
        const uint32_t rate = line_rate(kind, line);
        const uint32_t room = (length - pos) * rate / length;
        if (bytes <= room) return cycles + (bytes * length + rate - 1) / rate;
        bytes -= room;
        cycles += length - pos;
        pos = 0;
        line = (line + 1) % lines_per_frame;
    }
}

}  // namespace

void dma_begin(dma_kind kind, uint32_t bytes) {
    catch_up();
    const uint32_t wait = vdp.dma_busy;
    vdp.dma_busy = wait + transfer_cycles(kind, bytes, wait);
    vdp.dma_hold = kind == dma_from_68k ? vdp.dma_busy : wait;
    // What does not fit in the running slice is held over by the scheduler.
    m68k_charge(static_cast<int32_t>(vdp.dma_hold));
}

bool dma_running() {
    catch_up();
    return vdp.dma_busy != 0;
}

void vdp_dma_new_line(int32_t last_line_cycles) {
    if (last_line_cycles > vdp.dma_clock) let_pass(static_cast<uint32_t>(last_line_cycles - vdp.dma_clock));
    vdp.dma_clock = 0;
}

int32_t vdp_dma_held(int32_t slice_cycles) {
    catch_up();
    return static_cast<int32_t>(std::min<uint32_t>(vdp.dma_hold, static_cast<uint32_t>(std::max(slice_cycles, 0))));
}
