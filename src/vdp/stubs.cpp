// Minimal bodies until the video chip is written; remove each as it lands.
#include "vdp/palette.h"
#include "vdp/render.h"
#include "vdp/vdp.h"

vdp_state vdp;
int vp_width = 256, vp_height = 224;
uint16_t plane_a_base, window_base, plane_b_base, sprite_table_base, hscroll_base;
int pf_shift = 6, pf_column_mask = 31, pf_row_mask = 255;
uint8_t vram_dirty_list[vram_tiles];
uint16_t vram_dirty_queue[vram_tiles];
uint16_t vram_dirty_index;
void mark_vram_dirty(uint32_t) {}
uint32_t vdp_r_8(uint32_t, memory_handler*) { return 0xFF; }
uint32_t vdp_r_16(uint32_t, memory_handler*) { return 0xFFFF; }
void vdp_w_8(uint32_t, uint32_t, memory_handler*) {}
void vdp_w_16(uint32_t, uint32_t, memory_handler*) {}
void vdp_data_w(uint16_t) {}
void vdp_ctrl_w(uint16_t) {}
uint16_t vdp_data_r() { return 0; }
uint16_t vdp_ctrl_r() { return 0; }
uint16_t vdp_hv_counter() { return 0; }
void vdp_reset() {}

void render_line(int) {}
void make_table() {}

uint8_t* frame_buffer;
int frame_width, frame_height, frame_depth, frame_pitch;
uint16_t conv_pal[256];
int pixel_format_555;
void init_machine() {}
void update_conv_pal() {}
void convert_frame() {}
void gui_manage_palette(int) {}
void reset_video() {}
void set_palette_m13() {}
