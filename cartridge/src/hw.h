/* The board as the program sees it: addresses of its ports and RAM. */
#ifndef HW_H
#define HW_H

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
typedef signed char s8;
typedef short s16;
typedef int s32;

#define VDP_DATA (*(volatile u16 *)0xC00000)
#define VDP_CTRL (*(volatile u16 *)0xC00004)
#define VDP_CTRL_L (*(volatile u32 *)0xC00004)
#define PSG_PORT (*(volatile u8 *)0xC00011)

#define PALETTE ((volatile u16 *)0x8C0000)
#define PAL_SELECT (*(volatile u8 *)0x800001)
#define PAL_BANK (*(volatile u8 *)0x84000F)

/* The I/O chip answers byte reads at odd addresses only. */
#define PORT_P1 (*(volatile u8 *)0x840001)
#define PORT_P2 (*(volatile u8 *)0x840003)
#define PORT_SYS (*(volatile u8 *)0x840009)
#define PORT_DIP0 (*(volatile u8 *)0x84000B)
#define PORT_DIP1 (*(volatile u8 *)0x84000D)

#define YM_ADDR0 (*(volatile u8 *)0x840101)
#define YM_DATA0 (*(volatile u8 *)0x840103)
#define YM_ADDR1 (*(volatile u8 *)0x840105)
#define YM_DATA1 (*(volatile u8 *)0x840107)
#define UPD_PORT (*(volatile u8 *)0x880001)

/* Player port bits, active low. */
#define PAD_LEFT 0x80
#define PAD_RIGHT 0x40
#define PAD_UP 0x20
#define PAD_DOWN 0x10
#define PAD_A 0x04
#define PAD_B 0x02
#define PAD_C 0x01
/* System port bits, active low. */
#define SYS_KEY2 0x20
#define SYS_KEY1 0x10
#define SYS_SERVICE 0x08
#define SYS_TEST 0x04
#define SYS_KEY4 0x02
#define SYS_KEY3 0x01

/* Video RAM layout, 320-pixel mode. */
#define VRAM_SPRITES 0xA800
#define VRAM_HSCROLL 0xAC00
#define VRAM_WINDOW 0xB000
#define VRAM_PLANE_A 0xC000
#define VRAM_PLANE_B 0xE000
#define VRAM_SCRATCH 0xA000 /* self-test DMA area, 0xA000-0xA1FF */
#define PLANE_WIDTH 64

/* Tile numbers. */
#define TILE_FONT 0      /* 0x20..0x5F in colour 1 on transparent */
#define TILE_FONT2 64    /* the same glyphs in colour 2 */
#define TILE_SOLID 128   /* tiles 128..143: solid colour n */
#define TILE_BG 144      /* plane B pattern, 4 tiles */
#define TILE_SPRITE 160  /* sprite art */

#endif
