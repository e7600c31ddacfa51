#include "machine/scheduler.h"

#include "cpu68k/m68k.h"
#include "vdp/render.h"
#include "vdp/vdp.h"

constexpr frame_calls default_frame_hooks = {m68k_clear_cycles, m68k_execute,
                                             m68k_cause_interrupt, render_line};
constinit frame_calls frame_hooks = default_frame_hooks;
uint64_t frames_run;

namespace {

// While a transfer from 68000 memory runs (or the processor waits for one to
// start) the processor is off the bus; the cycles it is held count as run.
void run_slice(int32_t cycles) {
    const int32_t held = vdp_dma_held(cycles);
    if (held > 0) m68k_charge(held);
    if (held < cycles) frame_hooks.execute(cycles - held);
}

}  // namespace

void genesis_frame(int skip) {
    vdp.status = 0x3600;
    for (int line = 0; line < lines_per_frame; line++) {
        vdp.line = static_cast<uint32_t>(line);
        // The HV counter measures from the start of the current line; the
        // cycles the last line ran pass for a running transfer.
        vdp_dma_new_line(frame_hooks.clear_cycles());
        run_slice(cycles_per_line);
        if (line < visible_lines) {
            if (line == 0) vdp.hint_counter = vdp.reg[10];
            if (vdp.hint_counter != 0) {
                vdp.hint_counter--;
            } else {
                vdp.hint_counter = vdp.reg[10];
                if (vdp.reg[0] & 0x10) frame_hooks.cause_interrupt(hint_level);
            }
            // The interrupt routine starts inside this horizontal-blank slice.
            vdp.status |= 0x0004;
            run_slice(hblank_cycles);
            vdp.status &= ~0x0004;
            if (!skip) frame_hooks.render(line);
        }
        if (line == visible_lines) {
            vdp.status |= 0x0088;
            frame_hooks.cause_interrupt(vint_level);
        }
    }
}
