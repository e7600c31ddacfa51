// The video display processor as the 68000 sees it: ports, registers,
// video/colour/scroll RAM, DMA, and the values derived from the registers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "cpu68k/s68000.h"

struct vdp_state {
    uint8_t vram[65536];  // big-endian words
    uint8_t cram[128];
    uint8_t vsram[128];
    uint8_t reg[32];
    uint8_t pending;
    uint8_t code;
    uint16_t addr;
    uint16_t status;
    uint8_t dma_fill_pending;
    uint32_t line;
    uint32_t hint_counter;
    // DMA timing, in 68000 cycles (the bytes of a transfer move at once).
    uint32_t dma_busy;  // until the running transfer ends
    uint32_t dma_hold;  // until the processor may use its bus again
    int32_t dma_clock;  // elapsed cycles of the current line already counted
};
extern vdp_state vdp;

// 40 columns (320 pixels) rather than 32.
inline bool wide_mode() { return (vdp.reg[12] & 1) != 0; }

extern int vp_width;
extern int vp_height;
extern uint16_t plane_a_base;
extern uint16_t window_base;
extern uint16_t plane_b_base;
extern uint16_t sprite_table_base;
extern uint16_t hscroll_base;
extern int pf_shift;
extern int pf_column_mask;
extern int pf_row_mask;

inline constexpr int vram_tiles = 2048;
extern uint8_t vram_dirty_list[vram_tiles];
extern uint16_t vram_dirty_queue[vram_tiles];
extern uint16_t vram_dirty_index;
void mark_vram_dirty(uint32_t address);
// Set with the tile marks, one flag per 256 bytes of video RAM; cleared
// only by the rewind once it has kept those bytes.
extern uint8_t vram_changed_blocks[65536 / 256];

// Port handlers for 0xC00000-0xC0001F, in the memory-list handler form.
uint32_t vdp_r_8(uint32_t address, memory_handler* entry);
uint32_t vdp_r_16(uint32_t address, memory_handler* entry);
void vdp_w_8(uint32_t address, uint32_t data, memory_handler* entry);
void vdp_w_16(uint32_t address, uint32_t data, memory_handler* entry);

void vdp_data_w(uint16_t value);
void vdp_ctrl_w(uint16_t value);
uint16_t vdp_data_r();
uint16_t vdp_ctrl_r();
uint16_t vdp_hv_counter();

void vdp_reset();

// The chip's record; a load rebuilds what its registers decide. 0 when the
// bytes are not a whole record (nothing changed).
void vdp_save_state(std::vector<uint8_t>& out);
int vdp_load_state(const uint8_t* data, size_t size);

// For the frame scheduler: the cycles the last line ran pass for a running
// transfer, and how many cycles of the next slice the processor is held.
void vdp_dma_new_line(int32_t last_line_cycles);
int32_t vdp_dma_held(int32_t slice_cycles);

// Below: used by the board's own pieces (DMA, renderer) and by tests.
extern const uint8_t vdp_register_defaults[24];
extern uint16_t vcounter_table[512];
void vdp_reg_w(uint16_t value);
void table_sync();
// After the record was replaced whole (a reset or a loaded state): the
// values its registers decide, and every tile queued to be decoded again.
void vdp_rebuild();
void vdp_dma_68k();
void vdp_dma_fill(uint16_t value);
void vdp_dma_copy();
uint32_t dma_length();  // registers 19-20; 0 counts as 65535
enum dma_kind : uint8_t { dma_from_68k, dma_fill, dma_copy };
// Times a transfer starting now: it waits for the running one.
void dma_begin(dma_kind kind, uint32_t bytes);
bool dma_running();

// Where byte writes to the tone generator's port go; replaceable so the
// port logic can be watched without the sound chip.
extern void (*vdp_psg_write)(int chip, int data);
