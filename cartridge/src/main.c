/* The demo: title over a scrolling backdrop, a live input bar, sprites,
   sound on the buttons, palette and shadow/highlight keys, and the
   self-test page. */
#include "hw.h"
#include "vdp.h"
#include "sound.h"
#include "font.h"
#include "selftest.h"

volatile u32 vblank_count;
volatile u16 hint_count;
volatile u16 hint_reg11;
volatile u16 exc_vector;
volatile u32 exc_pc;
volatile u16 exc_count;

void wait_vblank(void);

#define TILE_BAR 192          /* font, white on the bar's blue */
#define TILE_SHADOW_OP 176    /* 16 solid tiles of colour 15 */
#define TILE_LIGHT_OP 256     /* 16 solid tiles of colour 14 */

#define ATTR_TEXT (TILE_FONT | 0x8000)
#define ATTR_TITLE (TILE_FONT2 | 0x8000)
#define ATTR_BAR TILE_BAR
#define ATTR_PAGE (TILE_BAR | 0x8000)

#define RGB(r, g, b) ((u16)((r) | ((g) << 4) | ((b) << 8)))

static const s8 sine[64] = {
    0, 12, 25, 37, 49, 60, 71, 81, 90, 98, 106, 112, 117, 122, 125, 126,
    127, 126, 125, 122, 117, 112, 106, 98, 90, 81, 71, 60, 49, 37, 25, 12,
    0, -12, -25, -37, -49, -60, -71, -81, -90, -98, -106, -112, -117, -122, -125, -126,
    -127, -126, -125, -122, -117, -112, -106, -98, -90, -81, -71, -60, -49, -37, -25, -12};

static u16 tile_buffer[64 * 16];
static u16 scroll_buffer[224 * 2];
static u16 sprite_buffer[16 * 4];

/* Sixteen tints for the backdrop, one per palette bank and colour set. */
static const u16 tints[16] = {
    RGB(3, 1, 6), RGB(1, 4, 6), RGB(6, 1, 3), RGB(1, 5, 2),
    RGB(5, 4, 1), RGB(2, 2, 7), RGB(6, 2, 6), RGB(1, 6, 6),
    RGB(7, 3, 0), RGB(3, 6, 1), RGB(0, 3, 7), RGB(7, 1, 1),
    RGB(4, 4, 4), RGB(2, 7, 4), RGB(6, 6, 1), RGB(5, 2, 7)};

static u16 brighten(u16 c, int n)
{
    int r = (c & 15) + n, g = ((c >> 4) & 15) + n, b = ((c >> 8) & 15) + n;
    if (r > 15) r = 15;
    if (g > 15) g = 15;
    if (b > 15) b = 15;
    return RGB(r, g, b);
}

static void write_colour_set(int set, u16 tint)
{
    volatile u16 *plane = PALETTE + (set << 6);
    volatile u16 *sprite = PALETTE + 256 + (set << 6);
    int i;
    /* Line 0: text and marks. */
    plane[0] = RGB(0, 0, 3);
    plane[1] = RGB(15, 15, 15);
    plane[2] = RGB(15, 14, 0);
    plane[3] = RGB(0, 14, 14);
    plane[8] = RGB(6, 6, 6);
    plane[9] = RGB(2, 3, 9);
    plane[10] = RGB(2, 14, 2);
    plane[12] = RGB(14, 2, 2);
    plane[14] = RGB(12, 12, 12);
    plane[15] = RGB(15, 15, 15);
    /* Line 1: the backdrop's ramp in this set's tint. */
    for (i = 1; i < 8; i++)
        plane[16 + i] = brighten(tint, i - 1);
    /* Sprites: line 0 the player, line 1 the chain, line 3 the operators. */
    sprite[1] = RGB(15, 8, 0);
    sprite[2] = RGB(12, 4, 0);
    sprite[3] = RGB(15, 15, 15);
    sprite[16 + 1] = RGB(0, 15, 15);
    sprite[16 + 2] = RGB(15, 0, 15);
    sprite[16 + 3] = RGB(15, 15, 15);
    sprite[48 + 14] = RGB(10, 10, 10);
    sprite[48 + 15] = RGB(3, 3, 3);
}

static void palette_init(void)
{
    int bank, set;
    for (bank = 3; bank >= 0; bank--) {
        PAL_BANK = (u8)bank;
        for (set = 0; set < 4; set++)
            write_colour_set(set, tints[(bank << 2) + set]);
    }
    PAL_SELECT = 0;
}

/* 8 x 8 pixel colours into one 4-bit tile. */
static void make_tile(u16 *out, const u8 *pixels)
{
    int row;
    for (row = 0; row < 8; row++, pixels += 8) {
        out[row * 2] = (u16)((pixels[0] << 12) | (pixels[1] << 8) | (pixels[2] << 4) | pixels[3]);
        out[row * 2 + 1] = (u16)((pixels[4] << 12) | (pixels[5] << 8) | (pixels[6] << 4) | pixels[7]);
    }
}

/* Glyph rows as bits (bit 7 = pixel 0), made once from the font's text. */
static u8 glyph_bits[FONT_COUNT][8];

static void make_glyph_bits(void)
{
    int g, r, x;
    for (g = 0; g < FONT_COUNT; g++)
        for (r = 0; r < FONT_ROWS; r++) {
            u8 bits = 0;
            for (x = 0; x < FONT_COLUMNS; x++)
                if (font_glyphs[g][r][x] == '#')
                    bits |= (u8)(0x40 >> x);
            glyph_bits[g][r] = bits;
        }
}

static void make_font(u16 first_tile, u8 fg, u8 bg)
{
    u16 expand[16];
    int n, g, r;
    u16 *out = tile_buffer;
    /* Four bits of a row to four pixels, so a row is two lookups. */
    for (n = 0; n < 16; n++)
        expand[n] = (u16)(((n & 8 ? fg : bg) << 12) | ((n & 4 ? fg : bg) << 8) |
                          ((n & 2 ? fg : bg) << 4) | (n & 1 ? fg : bg));
    for (g = 0; g < FONT_COUNT; g++)
        for (r = 0; r < 8; r++) {
            u8 bits = glyph_bits[g][r];
            *out++ = expand[bits >> 4];
            *out++ = expand[bits & 15];
        }
    vdp_dma_to_vram((u16)(first_tile << 5), tile_buffer, 64 * 16);
}

static void make_solid(u16 tile, u8 colour, int count)
{
    int i;
    u16 w = (u16)(colour * 0x1111);
    for (i = 0; i < count; i++)
        vdp_fill_words((u16)((tile + i) << 5), w, 16);
}

/* Art as rows of hex colour digits. */
static void make_art(u16 first_tile, const char *const *rows, int cells_w, int cells_h)
{
    int cx, cy, r, x;
    u8 pixels[64];
    u16 tile = first_tile;
    for (cx = 0; cx < cells_w; cx++)
        for (cy = 0; cy < cells_h; cy++) {
            for (r = 0; r < 8; r++)
                for (x = 0; x < 8; x++) {
                    char c = rows[(cy << 3) + r][(cx << 3) + x];
                    pixels[(r << 3) + x] = (u8)(c >= 'A' ? c - 'A' + 10 : c == '.' ? 0 : c - '0');
                }
            make_tile(tile_buffer, pixels);
            vdp_write_words((u16)(tile << 5), tile_buffer, 16);
            tile++;
        }
}

static const char *const player_art[16] = {
    ".......33.......", "......3113......", "......3113......", ".....311113.....",
    ".....311113.....", "....31122113....", "...3112222113...", "..311222222113..",
    ".31112222221113.", "3111112222111113", "3111111221111113", ".31111111111113.",
    "..3113....3113..", "..313......313..", "..33........33..", "................"};
static const char *const arrow_art[8] = {
    "1111....", "12221...", ".122221.", "..122221", "..122221", ".122221.", "12221...", "1111...."};
static const char *const backdrop_art[16] = {
    "1111111111111111", "1222222112222221", "1233332112333321", "1234432112344321",
    "1234432112344321", "1233332112333321", "1222222112222221", "1111111111111111",
    "5555555566666666", "5777777566777776", "5766667566766676", "5765567566765676",
    "5765567566765676", "5766667566766676", "5777777566777776", "5555555566666666"};

static void tiles_init(void)
{
    make_glyph_bits();
    make_font(TILE_FONT, 1, 0);
    make_font(TILE_FONT2, 2, 0);
    make_font(TILE_BAR, 1, 9);
    {
        int c;
        for (c = 0; c < 16; c++)
            make_solid((u16)(TILE_SOLID + c), (u8)c, 1);
    }
    make_solid(TILE_SHADOW_OP, 15, 16);
    make_solid(TILE_LIGHT_OP, 14, 16);
    make_art(TILE_BG, backdrop_art, 2, 2);
    make_art(TILE_SPRITE, player_art, 2, 2);
    make_art(TILE_SPRITE + 4, arrow_art, 1, 1);
}

/* Plane B: the backdrop motif over the whole plane, palette line 1. */
static void backdrop_init(void)
{
    int x, y;
    for (y = 0; y < 32; y++) {
        VDP_CTRL_L = VDP_VRAM_W(VRAM_PLANE_B + (y << 7));
        for (x = 0; x < PLANE_WIDTH; x++)
            VDP_DATA = (u16)(0x2000 | (TILE_BG + ((x & 1) << 1) + (y & 1)));
    }
}

static void clear_plane_a(u16 entry)
{
    vdp_fill_words(VRAM_PLANE_A, entry, PLANE_WIDTH * 32);
}

static void draw_title(void)
{
    clear_plane_a(0);
    vdp_put_text(VRAM_PLANE_A, 9, 2, "VORTAN DEMO CARTRIDGE", ATTR_TITLE);
    vdp_put_text(VRAM_PLANE_A, 12, 4, "0123456789ABCDEF", ATTR_TEXT);
    vdp_put_text(VRAM_PLANE_A, 2, 19, "A: FM JINGLE  B: PSG  C: VOICE", ATTR_TEXT);
    vdp_put_text(VRAM_PLANE_A, 2, 20, "1: PALETTE  2: SHADOW  3: MUTE", ATTR_TEXT);
    vdp_put_text(VRAM_PLANE_A, 2, 21, "4: DRUM  6: SELF TEST", ATTR_TEXT);
    vdp_put_text(VRAM_PLANE_A, 2, 22, "DIP 1-1 ON: NO MUSIC", ATTR_TEXT);
}

static void bar_init(void)
{
    int y;
    for (y = 26; y < 28; y++)
        vdp_fill_words((u16)(VRAM_WINDOW + (y << 7)), ATTR_BAR, 40);
    vdp_put_text(VRAM_WINDOW, 1, 26, "P1    P2    SY    D0    D1", ATTR_BAR);
}

/* Game state. */
static s16 player_x = 152, player_y = 100;
static u16 player_flip;
static u8 palette_state;
static u8 shadow_mode;
static u8 test_page;
static u8 last_p1, last_sys;
static u16 frame;

static const char *const palette_names[4] = {"00", "05", "10", "15"};

static void bar_update(u8 p1, u8 p2, u8 sys, u8 dip0, u8 dip1)
{
    vdp_put_hex(VRAM_WINDOW, 4, 26, p1, ATTR_BAR);
    vdp_put_hex(VRAM_WINDOW, 10, 26, p2, ATTR_BAR);
    vdp_put_hex(VRAM_WINDOW, 16, 26, sys, ATTR_BAR);
    vdp_put_hex(VRAM_WINDOW, 22, 26, dip0, ATTR_BAR);
    vdp_put_hex(VRAM_WINDOW, 28, 26, dip1, ATTR_BAR);
    {
        char text[] = "BANK 0 SEL 00 S/H OFF SOUND ON ";
        text[5] = (char)('0' + (palette_state & 3));
        text[11] = palette_names[palette_state >> 2][0];
        text[12] = palette_names[palette_state >> 2][1];
        if (shadow_mode) {
            text[19] = 'N';
            text[20] = ' ';
        }
        if (sound_muted) {
            text[28] = 'F';
            text[29] = 'F';
        }
        vdp_put_text(VRAM_WINDOW, 1, 27, text, ATTR_BAR);
    }
}

static void set_sprite(int n, s16 x, s16 y, u8 size, u16 attr)
{
    u16 *s = sprite_buffer + (n << 2);
    s[0] = (u16)(y + 128);
    s[1] = (u16)((size << 8) | (n + 1));
    s[2] = attr;
    s[3] = (u16)(x + 128);
}

#define CHAIN 6

static void sprites_update(void)
{
    int i;
    if (test_page) {
        set_sprite(0, 0, -128, 0, 0);
        sprite_buffer[1] = 0; /* end of the chain */
    } else {
        u8 t = (u8)(frame & 63);
        /* The player first: in front of every other sprite. */
        set_sprite(0, player_x, player_y, 0x05, (u16)(TILE_SPRITE | 0x8000 | player_flip));
        for (i = 0; i < CHAIN; i++) {
            u8 a = (u8)((t + (i << 3) + (i << 1)) & 63);
            s16 ox = (s16)(player_x + 4 + (sine[(a + 16) & 63] >> 2));
            s16 oy = (s16)(player_y + 4 + (sine[a] >> 2));
            /* Flips by position in the chain; every other one behind
               the title's high-priority text. */
            u16 attr = (u16)((TILE_SPRITE + 4) | 0x2000 | ((i & 3) << 11) | ((i & 1) ? 0 : 0x8000));
            set_sprite(1 + i, ox, oy, 0x00, attr);
        }
        /* Shadow and highlight operators: palette line 3, colours 15 and 14. */
        set_sprite(1 + CHAIN, (s16)(40 + (sine[(frame >> 1) & 63] >> 1)), 120, 0x0F,
                   (u16)(TILE_SHADOW_OP | 0x6000));
        set_sprite(2 + CHAIN, (s16)(216 - (sine[(frame >> 1) & 63] >> 1)), 120, 0x0F,
                   (u16)(TILE_LIGHT_OP | 0x6000));
        sprite_buffer[((2 + CHAIN) << 2) + 1] &= 0xFF00;
    }
    vdp_dma_to_vram(VRAM_SPRITES, sprite_buffer, (3 + CHAIN) * 4);
}

/* Plane B sways line by line and column by column; plane A stays put. */
static void scroll_update(void)
{
    int line, col;
    u16 *s = scroll_buffer;
    u8 t = (u8)frame;
    for (line = 0; line < 224; line++) {
        *s++ = 0;
        *s++ = (u16)((sine[(line + t) & 63] >> 3) - (t >> 1));
    }
    vdp_dma_to_vram(VRAM_HSCROLL, scroll_buffer, 224 * 2);
    VDP_CTRL_L = VDP_VSRAM_W(0);
    for (col = 0; col < 20; col++) {
        VDP_DATA = 0;
        VDP_DATA = (u16)((sine[((col << 2) + t) & 63] >> 4) + (t >> 2));
    }
}

static void palette_step(void)
{
    palette_state = (u8)((palette_state + 1) & 15);
    PAL_BANK = (u8)(palette_state & 3);
    PAL_SELECT = (u8)((palette_state >> 2) * 5);
}

static void shadow_toggle(void)
{
    shadow_mode ^= 1;
    vdp_set_reg(12, shadow_mode ? 0x89 : 0x81);
}

static void enter_test_page(void)
{
    test_page = 1;
    selftest_run_page();
}

static void leave_test_page(void)
{
    test_page = 0;
    draw_title();
}

int main(void)
{
    vdp_init();
    hint_reg11 = 0x8B03;
    palette_init();
    tiles_init();
    backdrop_init();
    draw_title();
    bar_init();
    sound_init();
    last_p1 = 0;
    last_sys = 0;
    for (;;) {
        u8 p1raw, p2raw, sysraw, dip0, dip1, p1, sys, p1_new, sys_new;
        wait_vblank();
        frame++;
        p1raw = PORT_P1;
        p2raw = PORT_P2;
        sysraw = PORT_SYS;
        dip0 = PORT_DIP0;
        dip1 = PORT_DIP1;
        p1 = (u8)~p1raw;
        sys = (u8)~sysraw;
        p1_new = (u8)(p1 & ~last_p1);
        sys_new = (u8)(sys & ~last_sys);
        last_p1 = p1;
        last_sys = sys;
        music_enabled = (u8)(dip0 & 1);

        if (!test_page) {
            /* Button A doubles the speed; B and C flip the ship. */
            s16 speed = (p1 & PAD_A) ? 4 : 2;
            if (p1 & PAD_RIGHT) player_x += speed;
            if (p1 & PAD_LEFT) player_x -= speed;
            if (p1 & PAD_DOWN) player_y += speed;
            if (p1 & PAD_UP) player_y -= speed;
            player_flip = (u16)(((p1 & PAD_B) ? 0x0800 : 0) | ((p1 & PAD_C) ? 0x1000 : 0));
            if (player_x < 0) player_x = 0;
            if (player_x > 320 - 16) player_x = 320 - 16;
            if (player_y < 0) player_y = 0;
            if (player_y > 208 - 16) player_y = 208 - 16;
        }
        if (p1_new & PAD_A) sound_request |= REQ_JINGLE;
        if (p1_new & PAD_B) sound_request |= REQ_PSG;
        if (p1_new & PAD_C) sound_request |= REQ_VOICE;
        if (sys_new & SYS_KEY3) sound_request |= REQ_MUTE;
        if (sys_new & SYS_KEY4) sound_request |= REQ_DRUM;
        if (sys_new & SYS_KEY1) palette_step();
        if (sys_new & SYS_KEY2) shadow_toggle();
        if (sys_new & SYS_TEST) {
            if (test_page)
                leave_test_page();
            else
                enter_test_page();
        }
        /* Column scroll for the upper part; the horizontal interrupt
           turns it off halfway down. */
        vdp_set_reg(11, test_page ? 0x03 : 0x07);
        sprites_update();
        scroll_update();
        bar_update(p1raw, p2raw, sysraw, dip0, dip1);
    }
    return 0;
}
