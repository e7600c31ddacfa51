// The video chip's part of a saved machine: its record. The values derived
// from its registers and the renderer's decoded tiles are built again.
#include <cstddef>
#include <cstring>

#include "common/state_bytes.h"
#include "vdp/vdp.h"

void vdp_save_state(std::vector<uint8_t>& out) {
    static_assert(offsetof(vdp_state, vram) == 0, "video RAM leads the record");
    static_assert(sizeof vram_changed_blocks * state_block == sizeof vdp.vram);
    state_writer w{out};
    w.memory(vdp.vram, sizeof vdp.vram, vram_changed_blocks);
    w.bytes(reinterpret_cast<const uint8_t*>(&vdp) + sizeof vdp.vram, sizeof vdp - sizeof vdp.vram);
}

int vdp_load_state(const uint8_t* data, size_t size) {
    state_reader r{data, size};
    vdp_state loaded;
    r.get(loaded);
    if (!r.done()) return 0;
    vdp = loaded;
    // Writing each register again rebuilds the sizes and table bases.
    for (int reg = 0; reg < 24; reg++) vdp_reg_w(static_cast<uint16_t>(0x8000 | (reg << 8) | vdp.reg[reg]));
    // Every tile is decoded again from the loaded video RAM.
    std::memset(vram_dirty_list, 0, sizeof vram_dirty_list);
    vram_dirty_index = 0;
    for (unsigned t = 0; t < vram_tiles; t++) mark_vram_dirty(t << 5);
    return 1;
}
