// The three DMA operations. Each moves its data inside the port write that
// starts it; how long the chip takes is kept by dma_begin.
#include "common/debug_log.h"
#include "cpu68k/m68k.h"
#include "vdp/vdp.h"

uint32_t dma_length() {
    const uint32_t n = vdp.reg[19] | (vdp.reg[20] << 8);
    return n == 0 ? 0xFFFF : n;
}

void vdp_dma_68k() {
    const uint32_t n = dma_length();
    uint32_t s = (((vdp.reg[23] & 0x7F) << 17) | (vdp.reg[22] << 9) | (vdp.reg[21] << 1)) & 0xFFFFFE;
    dma_begin(dma_from_68k, 2 * n);
    for (uint32_t i = 0; i < n; i++) {
        vdp_data_w(static_cast<uint16_t>(m68k_fetch(s)));
        s += 2;
    }
}

void vdp_dma_fill(uint16_t value) {
    const uint32_t n = dma_length();
    if ((vdp.code & 0x0F) != 1)
        debug_log("Bad vdp->code for VRAM fill (C:%02X A:%04X L:%04X %08X)\n", vdp.code, vdp.addr, n,
                  m68k_readpc());
    dma_begin(dma_fill, n + 1);
    vdp.vram[vdp.addr] = value & 0xFF;
    const uint8_t hi = value >> 8;
    for (uint32_t i = 0; i <= n; i++) {
        vdp.vram[vdp.addr ^ 1] = hi;
        mark_vram_dirty(vdp.addr);
        vdp.addr = static_cast<uint16_t>(vdp.addr + vdp.reg[15]);
    }
}

void vdp_dma_copy() {
    const uint32_t n = dma_length();
    uint32_t s = vdp.reg[21] | (vdp.reg[22] << 8);
    if ((vdp.code & 0x0F) != 0)
        debug_log("Bad vdp->code for VRAM copy (S:%04X D:%04X L:%04X C:%02X I:%02X %08X)\n", s, vdp.addr, n,
                  vdp.code, vdp.reg[15], m68k_readpc());
    dma_begin(dma_copy, n);
    for (uint32_t i = 0; i < n; i++) {
        // The source wraps within video RAM rather than running off its end.
        vdp.vram[vdp.addr] = vdp.vram[s & 0xFFFF];
        mark_vram_dirty(vdp.addr);
        s++;
        vdp.addr = static_cast<uint16_t>(vdp.addr + vdp.reg[15]);
    }
}
