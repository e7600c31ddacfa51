/* Runs every check, compares its results with the values the processor
   and the VDP must give, and lists them as PASS or FAIL. */
#include "selftest.h"
#include "vdp.h"

typedef void (*check_fn)(u32 *results);
void check_add(u32 *r);
void check_sub(u32 *r);
void check_bcd(u32 *r);
void check_shift(u32 *r);
void check_muldiv(u32 *r);
void check_movem(u32 *r);
void check_trap(u32 *r);
void check_divzero(u32 *r);
void check_chk_trapv(u32 *r);
void check_illegal(u32 *r);
void check_privilege(u32 *r);
void check_bits(u32 *r);
void check_movep(u32 *r);
void check_flow(u32 *r);

struct check {
    const char *name;
    check_fn run;
    u8 count;
    u32 expected[8];
};

static const struct check cpu_checks[] = {
    {"ADD ADDX", check_add, 4, {0x80000000, 0x0A, 2, 0}},
    {"SUB NEG CMP", check_sub, 4, {0x0000FFFF, 0x19, 0x1B, 0x19}},
    {"ABCD SBCD NBCD", check_bcd, 6, {0x47, 0x00, 0x11, 0x27, 0x99, 0x11}},
    {"SHIFTS ROTATES", check_shift, 8, {0x8000, 0x0A, 0xF8000000, 0x40, 0x34567812, 0x8001, 0x08, 0}},
    {"MUL DIV", check_muldiv, 6, {0xFFFE0001, 0xFFFFFFFA, 0x000537CD, 0xFFFEFFF2, 0x00010000, 0x02}},
    {"BIT OPERATIONS", check_bits, 6, {0x20, 0x04, 0, 0, 0, 0x0002}},
    {"MOVEP", check_movep, 4, {0x11A522A5, 0x33A544A5, 0xA5A5, 0x11223344}},
    {"DBRA SCC BSR LINK", check_flow, 6, {10, 0x0000FFFF, 0xFF, 0, 0, 16}},
    {"MOVEM", check_movem, 7, {0xFFFFFFEC, 0x11111111, 0x44444444, 0x11111111, 0x55555555, 0, 0xFFFF8000}},
    {"TRAP", check_trap, 3, {37, 0, 1}},
    {"DIVIDE BY ZERO", check_divzero, 4, {5, 0, 1234, 1}},
    {"CHK TRAPV", check_chk_trapv, 5, {6, 0, 7, 0, 2}},
    {"ILLEGAL LINE A F", check_illegal, 7, {4, 0, 10, 0, 11, 0, 3}},
    {"USER MODE PRIVILEGE", check_privilege, 6, {0, 0x2000, 8, 0, 0, 0}},
};
#define CPU_CHECKS (sizeof cpu_checks / sizeof cpu_checks[0])

static u16 dma_source[16];
static u16 readback[40];

/* Fill 64 bytes, then copy them elsewhere; the words around stay. */
static int check_dma_fill(void)
{
    int i;
    vdp_fill_words(VRAM_SCRATCH, 0x1111, 256);
    vdp_dma_fill(VRAM_SCRATCH, 0xAB, 63);
    vdp_read_words(VRAM_SCRATCH, readback, 33);
    for (i = 0; i < 32; i++)
        if (readback[i] != 0xABAB)
            return 0;
    return readback[32] == 0x1111;
}

static int check_dma_copy(void)
{
    int i;
    vdp_dma_copy(VRAM_SCRATCH + 0x100, VRAM_SCRATCH, 64);
    vdp_read_words(VRAM_SCRATCH + 0x100, readback, 33);
    for (i = 0; i < 32; i++)
        if (readback[i] != 0xABAB)
            return 0;
    return readback[32] == 0x1111;
}

static int check_dma_transfer(void)
{
    int i;
    for (i = 0; i < 16; i++)
        dma_source[i] = (u16)(0x0102 + (i << 8) + (i << 4) + i);
    vdp_dma_to_vram(VRAM_SCRATCH + 0x180, dma_source, 16);
    vdp_read_words(VRAM_SCRATCH + 0x180, readback, 17);
    for (i = 0; i < 16; i++)
        if (readback[i] != dma_source[i])
            return 0;
    return readback[16] == 0x1111;
}

#define PAGE_MARK 2
#define PAGE_NAME 4
#define PAGE_RESULT 26

static void show(int row, const char *name, int pass)
{
    vdp_put_tile(VRAM_PLANE_A, PAGE_MARK, row, (u16)(0x8000 | (TILE_SOLID + (pass ? 10 : 12))));
    vdp_put_text(VRAM_PLANE_A, PAGE_NAME, row, name, (u16)(0x8000 | 192));
    vdp_put_text(VRAM_PLANE_A, PAGE_RESULT, row, pass ? "PASS" : "FAIL", (u16)(0x8000 | 192));
}

void selftest_run_page(void)
{
    u32 results[8];
    unsigned i;
    int row = 3, failures = 0;
    /* An opaque page hides the backdrop. */
    vdp_fill_words(VRAM_PLANE_A, (u16)(0x8000 | 192), PLANE_WIDTH * 32);
    vdp_put_text(VRAM_PLANE_A, 2, 1, "SELF TEST", (u16)(0x8000 | 192));
    for (i = 0; i < CPU_CHECKS; i++) {
        const struct check *c = &cpu_checks[i];
        int k, pass = 1;
        for (k = 0; k < 8; k++)
            results[k] = 0xDEADBEEF;
        c->run(results);
        for (k = 0; k < c->count; k++)
            if (results[k] != c->expected[k])
                pass = 0;
        failures += !pass;
        show(row++, c->name, pass);
    }
    {
        int pass = check_dma_fill();
        failures += !pass;
        show(row++, "VRAM FILL DMA", pass);
        pass = check_dma_copy();
        failures += !pass;
        show(row++, "VRAM COPY DMA", pass);
        pass = check_dma_transfer();
        failures += !pass;
        show(row++, "68000 TO VRAM DMA", pass);
    }
    row++;
    vdp_put_text(VRAM_PLANE_A, PAGE_NAME, row, failures ? "SOME CHECKS FAILED" : "ALL CHECKS PASSED",
                 (u16)(0x8000 | 192));
}
