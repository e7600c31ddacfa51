// The video chip's part of a saved machine: its record. The values derived
// from its registers and the renderer's decoded tiles are built again.
#include <cstddef>

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
    vdp_rebuild();
    return 1;
}
