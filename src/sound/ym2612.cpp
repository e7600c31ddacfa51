// The FM synthesizer's chip records, register writes, key on/off and reset.
#include <cstdlib>

#include "sound/ym2612_internal.h"

namespace ym {

ym_chip* chips;
int chip_count;

namespace {

const int32_t sustain_levels[16] = {
    0x10000000, 0x10800000, 0x11000000, 0x11800000, 0x12000000, 0x12800000,
    0x13000000, 0x13800000, 0x14000000, 0x14800000, 0x15000000, 0x15800000,
    0x16000000, 0x16800000, 0x17000000, 0x1f800000,
};
const uint32_t am_depths[4] = {0, 59, 251, 503};
const double pm_cents[8] = {0, 3.4, 6.7, 10, 14, 20, 40, 80};

// Phase inputs of operators 2, 3, 4 (slots 1-3) or the output (slot_out);
// operator 4 always goes to the output.
const uint8_t algorithm_connect[8][3] = {
    {1, 2, 3}, {2, 2, 3}, {3, 2, 3}, {1, 3, 3},
    {1, slot_out, 3}, {slot_spread, slot_out, slot_out}, {1, slot_out, slot_out},
    {slot_out, slot_out, slot_out},
};

ym_chip* chip_at(int n) { return chips && n >= 0 && n < chip_count ? &chips[n] : nullptr; }

void mark_stale(ym_channel& ch) { ch.op[0].phase_step = stale; }

void update_irq(ym_chip& chip) {
    uint8_t line = (chip.status & chip.irq_mask) ? 1 : 0;
    if (line != chip.irq) {
        chip.irq = line;
        if (chip.irq_handler) chip.irq_handler(chip.index, line);
    }
}

void build_connections(ym_channel& ch) {
    const uint8_t* c = algorithm_connect[ch.algorithm];
    uint8_t out = static_cast<uint8_t>(slot_out + ch.pan);
    for (int i = 0; i < 3; i++) ch.connect[i] = c[i] == slot_out ? out : c[i];
    ch.connect[3] = out;
}

void key_on(ym_operator& op) {
    if (op.eg_state != eg_release) return;
    op.phase = 0;
    op.eg_state = eg_attack;
    op.env_counter = 0;
    op.env_end = env_attack_end;
    op.env_step = op.step_ar;
}

void key_off(ym_operator& op) {
    if (op.eg_state == eg_release) return;
    // Release continues from the level the attack has reached.
    if (op.env_counter < env_attack_end) {
        op.env_counter = (env_curve[op.env_counter >> 16] << 16) + env_attack_end;
    }
    op.eg_state = eg_release;
    op.env_end = env_silent;
    op.env_step = op.step_rr;
}

uint32_t block_fc(const ym_chip& chip, unsigned fnum, unsigned block) {
    return chip.fnum_table[fnum & 2047] >> (7 - (block & 7));
}

void write_mode(ym_chip& chip, uint8_t v) {
    chip.mode = v;
    if (v & 0x20) chip.status &= ~2u;
    if (v & 0x10) chip.status &= ~1u;
    update_irq(chip);
    if (v & 2) {
        if (chip.tb_count == 0) {
            chip.tb_count = (256 - chip.tb) * 16;
            if (chip.timer_handler) chip.timer_handler(chip.index, 1, chip.tb_count, chip.timer_base);
        }
    } else if (chip.tb_count) {
        chip.tb_count = 0;
        if (chip.timer_handler) chip.timer_handler(chip.index, 1, 0, chip.timer_base);
    }
    if (v & 1) {
        if (chip.ta_count == 0) {
            chip.ta_count = 1024 - chip.ta;
            if (chip.timer_handler) chip.timer_handler(chip.index, 0, chip.ta_count, chip.timer_base);
        }
    } else if (chip.ta_count) {
        chip.ta_count = 0;
        if (chip.timer_handler) chip.timer_handler(chip.index, 0, 0, chip.timer_base);
    }
}

void write_key(ym_chip& chip, uint8_t v) {
    int c = v & 3;
    if (c == 3) return;
    if (v & 4) c += 3;
    ym_channel& ch = chip.channel[c];
    static const int order[4] = {0, 2, 1, 3};  // bits 4-7 key operators 1-4
    for (int b = 0; b < 4; b++) {
        ym_operator& op = ch.op[order[b]];
        if (v & (0x10 << b)) key_on(op);
        else key_off(op);
    }
}

void write_operator(ym_chip& chip, ym_channel& ch, ym_operator& op, int reg, uint8_t v, bool ch3) {
    switch (reg & 0xf0) {
    case 0x30:
        op.mul = multiple_table[v & 15];
        op.detune = chip.detune_table[(v >> 4) & 7];
        mark_stale(ch);
        break;
    case 0x40:
        op.tl = (((v & 127) << 7) | (v & 127)) >> 2;
        if (!(ch3 && (chip.mode & 0x80))) op.tll = op.tl;
        break;
    case 0x50:
        op.ks_shift = static_cast<uint8_t>(3 - (v >> 6));
        op.ar_row = (v & 31) ? chip.attack_table + 2 * (v & 31) : zero_row;
        op.step_ar = op.ar_row[op.ksr];
        if (op.eg_state == eg_attack) op.env_step = op.step_ar;
        mark_stale(ch);
        break;
    case 0x60:
        op.d1r_row = (v & 31) ? chip.decay_table + 2 * (v & 31) : zero_row;
        op.step_d1r = op.d1r_row[op.ksr];
        if (op.eg_state == eg_decay) op.env_step = op.step_d1r;
        op.am_on = v >> 7;
        op.am_depth = ch.ams * op.am_on;
        break;
    case 0x70:
        op.d2r_row = (v & 31) ? chip.decay_table + 2 * (v & 31) : zero_row;
        op.step_d2r = op.d2r_row[op.ksr];
        if (op.eg_state == eg_sustain) op.env_step = op.step_d2r;
        break;
    case 0x80:
        op.sl = sustain_levels[v >> 4];
        op.rr_row = chip.decay_table + 4 * (v & 15) + 2;
        op.step_rr = op.rr_row[op.ksr];
        if (op.eg_state == eg_release) op.env_step = op.step_rr;
        break;
    case 0x90:
        op.ssg_eg = v & 15;
        break;
    }
}

void set_frequency(ym_chip& chip, ym_channel& ch, uint8_t v) {
    ch.fnum = static_cast<uint16_t>(((ch.fnum_latch & 7) << 8) + v);
    ch.block = ch.fnum_latch >> 3;
    ch.kcode = static_cast<uint8_t>(ch.block * 4 + keycode_table[ch.fnum >> 7]);
    ch.fc = block_fc(chip, ch.fnum, ch.block);
    mark_stale(ch);
}

void set_ch3_frequency(ym_chip& chip, int i, uint8_t v) {
    chip.ch3_fnum[i] = static_cast<uint16_t>(((chip.ch3_fnum_latch[i] & 7) << 8) + v);
    chip.ch3_block[i] = chip.ch3_fnum_latch[i] >> 3;
    chip.ch3_kcode[i] = static_cast<uint8_t>(chip.ch3_block[i] * 4 + keycode_table[chip.ch3_fnum[i] >> 7]);
    chip.ch3_fc[i] = block_fc(chip, chip.ch3_fnum[i], chip.ch3_block[i]);
    mark_stale(chip.channel[2]);
}

void write_channel(ym_chip& chip, ym_channel& ch, int reg, uint8_t v, bool first_half) {
    switch (reg) {
    case 0xa0: case 0xa1: case 0xa2:
        set_frequency(chip, ch, v);
        break;
    case 0xa4: case 0xa5: case 0xa6:
        ch.fnum_latch = v & 0x3f;
        break;
    case 0xa8: case 0xa9: case 0xaa:
        if (first_half) set_ch3_frequency(chip, reg & 3, v);
        break;
    case 0xac: case 0xad: case 0xae:
        if (first_half) chip.ch3_fnum_latch[reg & 3] = v & 0x3f;
        break;
    case 0xb0: case 0xb1: case 0xb2: {
        ch.algorithm = v & 7;
        int f = (v >> 3) & 7;
        ch.feedback_shift = static_cast<uint8_t>(f ? 9 - f : 0);
        build_connections(ch);
        break;
    }
    case 0xb4: case 0xb5: case 0xb6:
        ch.pms = static_cast<int32_t>(0.00125 * pm_cents[v & 7] * 1024.0);
        ch.ams = am_depths[(v >> 4) & 3];
        for (ym_operator& op : ch.op) op.am_depth = ch.ams * op.am_on;
        ch.pan = (v >> 6) & 3;
        build_connections(ch);
        break;
    }
}

// reg is 0x000-0x1ff: bit 8 selects the second half.
void write_register(ym_chip& chip, int reg, uint8_t v) {
    const bool first_half = reg < 0x100;
    const int r = reg & 0xff;
    if (first_half && r < 0x30) {
        switch (r) {
        case 0x22:
            chip.lfo_setting = v;
            chip.lfo_step = (v & 8) ? chip.lfo_freq[v & 7] : 0;
            break;
        case 0x24: chip.ta = (chip.ta & 3) | (static_cast<uint32_t>(v) << 2); break;
        case 0x25: chip.ta = (chip.ta & 0x3fc) | (v & 3); break;
        case 0x26: chip.tb = v; break;
        case 0x27: write_mode(chip, v); break;
        case 0x28: write_key(chip, v); break;
        case 0x2a: chip.dac_data = (static_cast<int32_t>(v) - 128) * 0x80000; break;
        case 0x2b: chip.dac_enable = v & 0x80; break;
        }
        return;
    }
    if (r < 0x30 || r > 0xbf || (r & 3) == 3) return;
    const int c = (r & 3) + (first_half ? 0 : 3);
    ym_channel& ch = chip.channel[c];
    if (r < 0xa0) {
        write_operator(chip, ch, ch.op[(r >> 2) & 3], r, v, c == 2);
    } else {
        write_channel(chip, ch, r, v, first_half);
    }
}

}  // namespace

void refresh_increments(ym_chip& chip) {
    for (int c = 0; c < 6; c++) {
        ym_channel& ch = chip.channel[c];
        if (ch.op[0].phase_step != stale) continue;
        const bool special = c == 2 && (chip.mode & 0xc0);
        for (int n = 0; n < 4; n++) {
            ym_operator& op = ch.op[n];
            uint32_t fc = ch.fc;
            uint8_t kc = ch.kcode;
            // op[0], op[2], op[1] are operators 1, 2, 3: tuned by 0xA9, 0xAA, 0xA8.
            if (special && n != 3) {
                static const int entry[3] = {1, 0, 2};
                fc = chip.ch3_fc[entry[n]];
                kc = chip.ch3_kcode[entry[n]];
            }
            op.phase_step = fc * op.mul + static_cast<uint32_t>(op.detune[kc]);
            uint8_t ksr = static_cast<uint8_t>(kc >> op.ks_shift);
            if (ksr != op.ksr) {
                op.ksr = ksr;
                op.step_ar = op.ar_row[ksr];
                op.step_d1r = op.d1r_row[ksr];
                op.step_d2r = op.d2r_row[ksr];
                op.step_rr = op.rr_row[ksr];
            }
        }
    }
}

}  // namespace ym

using namespace ym;

int YM2612Init(int count, int clock, int rate, ym_timer_handler timer, ym_irq_handler irq) {
    if (chips || count <= 0) return -1;
    chips = static_cast<ym_chip*>(std::calloc(static_cast<size_t>(count), sizeof(ym_chip)));
    if (!chips) return -1;
    if (!build_shared_tables()) {
        std::free(chips);
        chips = nullptr;
        return -1;
    }
    chip_count = count;
    for (int i = 0; i < count; i++) {
        ym_chip& chip = chips[i];
        chip.index = static_cast<uint8_t>(i);
        chip.type = 28;
        chip.clock = clock;
        chip.rate = rate;
        chip.timer_model = 1;
        chip.timer_handler = timer;
        chip.irq_handler = irq;
        chip.channels = chip.channel;
        YM2612ResetChip(i);
    }
    return 0;
}

void YM2612ResetChip(int n) {
    ym_chip* p = chip_at(n);
    if (!p) return;
    ym_chip& chip = *p;
    build_rate_tables(chip);
    chip.irq_mask = 3;
    update_irq(chip);
    write_mode(chip, 0x30);
    chip.mode = chip.status = 0;
    chip.ta = chip.ta_count = chip.tb = chip.tb_count = 0;
    for (ym_channel& ch : chip.channel) {
        ch.fc = 0;
        ch.pan = 3;
        for (ym_operator& op : ch.op) {
            op.ssg_eg = 0;
            op.eg_state = eg_release;
            op.env_counter = env_silent;
            op.env_end = env_never;
            op.env_step = 0;
        }
    }
    for (int half = 0; half < 0x200; half += 0x100) {
        for (int r = 0xb6; r >= 0xb4; r--) write_register(chip, half + r, 0xc0);
        for (int r = 0xb2; r >= 0x30; r--) {
            if (half && r >= 0xa8 && r <= 0xae) continue;
            write_register(chip, half + r, 0);
        }
    }
    chip.dac_enable = 0;
}

int YM2612Write(int n, int port, uint8_t value) {
    ym_chip* p = chip_at(n);
    if (!p) return 0;
    ym_chip& chip = *p;
    switch (port & 3) {
    case 0: chip.address = value; break;
    case 1: write_register(chip, chip.address, value); break;
    case 2: chip.addr_hi = value; break;
    case 3: write_register(chip, 0x100 + chip.addr_hi, value); break;
    }
    return chip.irq;
}

int YM2612SetRate(int n, int rate) {
    ym_chip* p = chip_at(n);
    if (!p) return 0;
    ym_chip& chip = *p;
    chip.rate = rate;
    build_rate_tables(chip);
    if (chip.lfo_setting & 8) chip.lfo_step = chip.lfo_freq[chip.lfo_setting & 7];
    for (int i = 0; i < 3; i++) chip.ch3_fc[i] = block_fc(chip, chip.ch3_fnum[i], chip.ch3_block[i]);
    for (ym_channel& ch : chip.channel) {
        ch.fc = block_fc(chip, ch.fnum, ch.block);
        mark_stale(ch);
        for (ym_operator& op : ch.op) {
            op.ksr = 0xff;  // no key code matches: the rate rows are read again
        }
    }
    refresh_increments(chip);
    // A running envelope phase takes its new step at once.
    for (ym_channel& ch : chip.channel) {
        for (ym_operator& op : ch.op) {
            bool resting = op.env_step == 0 && op.env_end == env_never;
            if (resting) continue;
            switch (op.eg_state) {
            case eg_attack: op.env_step = op.step_ar; break;
            case eg_decay: op.env_step = op.step_d1r; break;
            case eg_sustain: op.env_step = op.step_d2r; break;
            case eg_release: op.env_step = op.step_rr; break;
            }
        }
    }
    return 1;
}

void YM2612Shutdown() {
    std::free(chips);
    chips = nullptr;
    chip_count = 0;
    free_shared_tables();
}
