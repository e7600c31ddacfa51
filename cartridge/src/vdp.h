/* Video display processor access. */
#ifndef VDP_H
#define VDP_H
#include "hw.h"

#define VDP_VRAM_W(a) (0x40000000u | (((u32)(a) & 0x3FFF) << 16) | ((u32)(a) >> 14))
#define VDP_VRAM_R(a) ((((u32)(a) & 0x3FFF) << 16) | ((u32)(a) >> 14))
#define VDP_VSRAM_W(a) (0x40000010u | ((u32)(a) << 16))

extern u8 vdp_regs[24];

void vdp_set_reg(int reg, int value);
void vdp_init(void);
void vdp_write_words(u16 address, const u16 *src, int count);
void vdp_fill_words(u16 address, u16 value, int count);
void vdp_read_words(u16 address, u16 *dst, int count);
void vdp_dma_to_vram(u16 address, const void *src, u16 words);
void vdp_dma_fill(u16 address, u8 value, u16 length);
void vdp_dma_copy(u16 dest, u16 source, u16 length);
void vdp_put_text(u16 plane, int x, int y, const char *text, u16 attr);
void vdp_put_tile(u16 plane, int x, int y, u16 entry);
void vdp_put_hex(u16 plane, int x, int y, u8 value, u16 attr);

#endif
