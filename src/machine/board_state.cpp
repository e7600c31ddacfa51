// The board's part of a saved machine: its RAMs, palette banks and
// registers, the input words, the DIP switches and the game's board flags.
#include <cstring>

#include "common/state_bytes.h"
#include "machine/board.h"
#include "machine/dip.h"
#include "machine/drivers.h"
#include "machine/scheduler.h"
#include "vdp/palette.h"

namespace {

struct board_registers {
    uint8_t pal_bank;
    int32_t pal_select;
    uint8_t ym_status_toggle;
    uint32_t input_p1, input_p2, input_system;
    uint8_t dip_switch[2];
    uint8_t dip_bank;
    int32_t palette_mode, pal_select_enable, pal_bank_enable;
    uint64_t frames_run;
};

}  // namespace

void board_save_state(std::vector<uint8_t>& out) {
    state_writer w{out};
    w.memory(work_ram, sizeof work_ram);
    w.memory(palette_ram, sizeof palette_ram);
    w.memory(&palette_bank_store[0][0], sizeof palette_bank_store);
    board_registers regs;
    std::memset(&regs, 0, sizeof regs);  // padding too: equal machines give equal bytes
    regs.pal_bank = pal_bank;
    regs.pal_select = pal_select;
    regs.ym_status_toggle = ym_status_toggle;
    regs.input_p1 = input_p1;
    regs.input_p2 = input_p2;
    regs.input_system = input_system;
    regs.dip_switch[0] = dip_switch[0];
    regs.dip_switch[1] = dip_switch[1];
    regs.dip_bank = dip_bank;
    regs.palette_mode = palette_mode;
    regs.pal_select_enable = pal_select_enable;
    regs.pal_bank_enable = pal_bank_enable;
    regs.frames_run = frames_run;
    w.put(regs);
}

int board_load_state(const uint8_t* data, size_t size) {
    const size_t rams = sizeof work_ram + sizeof palette_ram + sizeof palette_bank_store;
    if (size != rams + sizeof(board_registers)) return 0;
    state_reader r{data + rams, size - rams};
    board_registers regs{};
    r.get(regs);
    if (!r.done() || regs.pal_bank > 3 || regs.dip_bank > 1 || (regs.palette_mode & ~1) != 0)
        return 0;
    state_reader rams_reader{data, rams};
    rams_reader.bytes(work_ram, sizeof work_ram);
    rams_reader.bytes(palette_ram, sizeof palette_ram);
    rams_reader.bytes(palette_bank_store, sizeof palette_bank_store);
    pal_bank = regs.pal_bank;
    pal_select = regs.pal_select;
    ym_status_toggle = regs.ym_status_toggle;
    input_p1 = regs.input_p1;
    input_p2 = regs.input_p2;
    input_system = regs.input_system;
    dip_switch[0] = regs.dip_switch[0];
    dip_switch[1] = regs.dip_switch[1];
    dip_bank = regs.dip_bank;
    palette_mode = regs.palette_mode;
    pal_select_enable = regs.pal_select_enable;
    pal_bank_enable = regs.pal_bank_enable;
    frames_run = regs.frames_run;
    return 1;
}
