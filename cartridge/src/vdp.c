/* Register set-up, port transfers and the three DMA operations. */
#include "vdp.h"

u8 vdp_regs[24];

void vdp_set_reg(int reg, int value)
{
    vdp_regs[reg] = (u8)value;
    VDP_CTRL = (u16)(0x8000 | (reg << 8) | (value & 0xFF));
}

static const u8 initial_regs[24] = {
    0x14, /* 0: horizontal interrupt on */
    0x74, /* 1: display, vertical interrupt, DMA on */
    VRAM_PLANE_A >> 10,
    VRAM_WINDOW >> 10,
    VRAM_PLANE_B >> 13,
    VRAM_SPRITES >> 9,
    0x00, 0x00, 0x00, 0x00,
    111,  /* 10: interrupts at lines 111 and 223 */
    0x07, /* 11: column vertical scroll, line horizontal scroll */
    0x81, /* 12: 320 pixels */
    VRAM_HSCROLL >> 10,
    0x00,
    0x02, /* 15: auto-increment 2 */
    0x01, /* 16: planes of 64 x 32 cells */
    0x00,
    0x9A, /* 18: window from row 26 down */
    0x00, 0x00, 0x00, 0x00, 0x00,
};

void vdp_init(void)
{
    int i;
    (void)VDP_CTRL; /* drop any half-written command */
    for (i = 0; i < 24; i++)
        vdp_set_reg(i, initial_regs[i]);
    vdp_dma_fill(0, 0, 0); /* length 0: the whole of video RAM */
    VDP_CTRL_L = 0x40000010; /* vertical scroll RAM */
    for (i = 0; i < 40; i++)
        VDP_DATA = 0;
}

void vdp_write_words(u16 address, const u16 *src, int count)
{
    VDP_CTRL_L = VDP_VRAM_W(address);
    while (count-- > 0)
        VDP_DATA = *src++;
}

void vdp_fill_words(u16 address, u16 value, int count)
{
    VDP_CTRL_L = VDP_VRAM_W(address);
    while (count-- > 0)
        VDP_DATA = value;
}

void vdp_read_words(u16 address, u16 *dst, int count)
{
    VDP_CTRL_L = VDP_VRAM_R(address);
    while (count-- > 0)
        *dst++ = VDP_DATA;
}

static void set_length(u16 length)
{
    vdp_set_reg(19, length & 0xFF);
    vdp_set_reg(20, length >> 8);
}

void vdp_dma_to_vram(u16 address, const void *src, u16 words)
{
    u32 s = (u32)src >> 1;
    set_length(words);
    vdp_set_reg(21, s & 0xFF);
    vdp_set_reg(22, (s >> 8) & 0xFF);
    vdp_set_reg(23, (s >> 16) & 0x7F);
    VDP_CTRL_L = VDP_VRAM_W(address) | 0x80;
}

void vdp_dma_fill(u16 address, u8 value, u16 length)
{
    vdp_set_reg(15, 1);
    set_length(length);
    vdp_set_reg(23, 0x80);
    VDP_CTRL_L = VDP_VRAM_W(address) | 0x80;
    VDP_DATA = (u16)((value << 8) | value);
    vdp_set_reg(15, 2);
}

void vdp_dma_copy(u16 dest, u16 source, u16 length)
{
    vdp_set_reg(15, 1);
    set_length(length);
    vdp_set_reg(21, source & 0xFF);
    vdp_set_reg(22, source >> 8);
    vdp_set_reg(23, 0xC0);
    VDP_CTRL_L = VDP_VRAM_R(dest) | 0x80;
    vdp_set_reg(15, 2);
}

static u16 cell_address(u16 plane, int x, int y)
{
    /* Planes and the window are 64 cells wide in this mode. */
    return (u16)(plane + (((y << 6) + x) << 1));
}

void vdp_put_tile(u16 plane, int x, int y, u16 entry)
{
    VDP_CTRL_L = VDP_VRAM_W(cell_address(plane, x, y));
    VDP_DATA = entry;
}

void vdp_put_text(u16 plane, int x, int y, const char *text, u16 attr)
{
    VDP_CTRL_L = VDP_VRAM_W(cell_address(plane, x, y));
    while (*text) {
        u8 c = (u8)*text++;
        if (c >= 'a' && c <= 'z')
            c -= 32;
        if (c < 0x20 || c > 0x5F)
            c = '?';
        VDP_DATA = (u16)(attr + (c - 0x20));
    }
}

static const char hex_digits[] = "0123456789ABCDEF";

void vdp_put_hex(u16 plane, int x, int y, u8 value, u16 attr)
{
    char text[3];
    text[0] = hex_digits[value >> 4];
    text[1] = hex_digits[value & 15];
    text[2] = 0;
    vdp_put_text(plane, x, y, text, attr);
}
