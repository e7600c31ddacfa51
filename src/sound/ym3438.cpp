// The chip model's registers, keys, timers and reset.
#include <cstring>

#include "sound/ym3438_internal.h"

namespace opn {

fm_chip chip;

uint8_t key_code(uint16_t fnum, uint8_t block) {
    const unsigned top = (fnum >> 10) & 1;
    const unsigned b9 = (fnum >> 9) & 1, b8 = (fnum >> 8) & 1, b7 = (fnum >> 7) & 1;
    const unsigned low = top ? (b9 | b8 | b7) : (b9 & b8 & b7);
    return static_cast<uint8_t>((block << 2) | (top << 1) | low);
}

namespace {

uint32_t phase_step(const fm_operator& op, uint16_t fnum, uint8_t block, uint8_t pms) {
    uint32_t f = fnum;
    const uint8_t pm = chip.pm_step;
    if (pms && pm) {
        const int s = (pm & 8) ? 7 - (pm & 7) : (pm & 7);
        const uint32_t offset = (fnum * pm_factor[pms][s]) >> 20;
        f = (pm & 16) ? f - offset : f + offset;
    }
    uint32_t base = (f << block) >> 1;
    const uint32_t d = detune_steps[op.detune & 3][op.key_code];
    base = (op.detune & 4) ? base - d : base + d;
    // The adder is 17 bits wide: a negative detune on the lowest notes wraps.
    base &= 0x1ffff;
    return op.multiple ? base * op.multiple : base >> 1;
}

void key_on(fm_operator& op) {
    op.eg_state = eg_attack;
    op.phase = 0;
    op.held = 0;
    op.inverted = (op.ssg & 0x0c) == 0x0c;
    const int rate = op.attack_rate ? 2 * op.attack_rate + (op.key_code >> (3 - op.key_scale)) : 0;
    if (rate >= 62) op.level = 0;
    refresh_attenuation(op);
}

void key_off(fm_operator& op) {
    // Release goes on from the level heard, not the one counted.
    if ((op.ssg & 8) && op.inverted) op.level = static_cast<uint16_t>((ssg_turn - op.level) & level_max);
    op.inverted = 0;
    op.eg_state = eg_release;
    refresh_attenuation(op);
}

void write_mode(uint8_t v) {
    if ((v & 1) && !(chip.mode & 1)) chip.timer_a_count = chip.timer_a;
    if ((v & 2) && !(chip.mode & 2)) chip.timer_b_count = chip.timer_b;
    if (v & 0x10) chip.status &= ~1u;
    if (v & 0x20) chip.status &= ~2u;
    const bool split_before = chip.mode & 0xc0;
    chip.mode = v;
    if (split_before != static_cast<bool>(v & 0xc0)) refresh_steps(2);
}

void write_key(uint8_t v) {
    int c = v & 3;
    if (c == 3) return;
    if (v & 4) c += 3;
    fm_channel& ch = chip.channel[c];
    ch.register_keys = v >> 4;
    update_keys(ch, static_cast<uint8_t>(ch.register_keys | (c == 2 && chip.csm_key ? 0x0f : 0)));
}

void write_global(int reg, uint8_t v) {
    switch (reg) {
    case 0x22:
        chip.lfo_on = (v >> 3) & 1;
        chip.lfo_rate = v & 7;
        if (!chip.lfo_on) {
            // Held at the start of its period while off.
            chip.lfo_count = 0;
            chip.lfo_divider = 0;
            set_pm_step(0);
        }
        break;
    case 0x24: chip.timer_a = static_cast<uint16_t>((chip.timer_a & 3) | (v << 2)); break;
    case 0x25: chip.timer_a = static_cast<uint16_t>((chip.timer_a & 0x3fc) | (v & 3)); break;
    case 0x26: chip.timer_b = v; break;
    case 0x27: write_mode(v); break;
    case 0x28: write_key(v); break;
    case 0x2a: chip.dac_value = v; break;
    case 0x2b: chip.dac_on = v >> 7; break;
    default: break;
    }
}

void write_operator(int reg, int c, uint8_t v) {
    // Register slots hold operators 1, 3, 2, 4.
    static const int slot_operator[4] = {0, 2, 1, 3};
    fm_operator& op = chip.channel[c].op[slot_operator[(reg >> 2) & 3]];
    switch (reg & 0xf0) {
    case 0x30:
        op.detune = (v >> 4) & 7;
        op.multiple = v & 15;
        refresh_steps(c);
        break;
    case 0x40:
        op.total_level = v & 0x7f;
        refresh_attenuation(op);
        break;
    case 0x50:
        op.key_scale = v >> 6;
        op.attack_rate = v & 31;
        break;
    case 0x60:
        op.am_on = v >> 7;
        op.decay_rate = v & 31;
        break;
    case 0x70: op.sustain_rate = v & 31; break;
    case 0x80:
        op.sustain_level = v >> 4;
        op.release_rate = v & 15;
        break;
    case 0x90: op.ssg = v & 15; break;
    default: break;
    }
}

void write_channel(int reg, int c, int half, uint8_t v) {
    fm_channel& ch = chip.channel[c];
    const int ch3 = reg & 3;  // 0xA8-0xAE: channel 3's operator frequencies
    switch (reg & 0xfc) {
    case 0xa0:
        ch.fnum = static_cast<uint16_t>(((ch.fnum_latch & 7) << 8) | v);
        ch.block = (ch.fnum_latch >> 3) & 7;
        refresh_steps(c);
        break;
    case 0xa4: ch.fnum_latch = v & 0x3f; break;
    case 0xa8:
        if (half) break;
        chip.ch3_fnum[ch3] = static_cast<uint16_t>(((chip.ch3_latch[ch3] & 7) << 8) | v);
        chip.ch3_block[ch3] = (chip.ch3_latch[ch3] >> 3) & 7;
        refresh_steps(2);
        break;
    case 0xac:
        if (!half) chip.ch3_latch[ch3] = v & 0x3f;
        break;
    case 0xb0:
        ch.feedback = (v >> 3) & 7;
        ch.algorithm = v & 7;
        break;
    case 0xb4:
        ch.pan = v >> 6;
        ch.ams = (v >> 4) & 3;
        ch.pms = v & 7;
        refresh_steps(c);
        break;
    default: break;
    }
}

}  // namespace

void update_keys(fm_channel& ch, uint8_t keys) {
    for (int n = 0; n < 4; n++) {
        fm_operator& op = ch.op[n];
        const uint8_t on = (keys >> n) & 1;
        if (on && !op.key) key_on(op);
        if (!on && op.key) key_off(op);
        op.key = on;
    }
}

void refresh_steps(int index) {
    fm_channel& ch = chip.channel[index];
    // In the split mode channel 3's operators 1-3 have frequencies of their own.
    static const int split_source[3] = {1, 2, 0};
    const bool split = index == 2 && (chip.mode & 0xc0);
    for (int n = 0; n < 4; n++) {
        fm_operator& op = ch.op[n];
        uint16_t fnum = ch.fnum;
        uint8_t block = ch.block;
        if (split && n < 3) {
            fnum = chip.ch3_fnum[split_source[n]];
            block = chip.ch3_block[split_source[n]];
        }
        op.key_code = key_code(fnum, block);
        op.step = phase_step(op, fnum, block, ch.pms);
    }
}

void set_pm_step(uint8_t step) {
    if (step == chip.pm_step) return;
    chip.pm_step = step;
    for (int c = 0; c < 6; c++) {
        if (chip.channel[c].pms) refresh_steps(c);
    }
}

}  // namespace opn

using namespace opn;

void ym3438_reset() {
    build_tables();
    std::memset(&chip, 0, sizeof chip);
    for (fm_channel& ch : chip.channel) {
        ch.pan = 3;
        for (fm_operator& op : ch.op) {
            op.level = level_max;
            op.eg_state = eg_release;
            refresh_attenuation(op);
        }
    }
    for (int c = 0; c < 6; c++) refresh_steps(c);
}

void ym3438_write(int port, uint8_t value) {
    switch (port & 3) {
    case 0:
    case 2:
        chip.address = value;
        chip.address_high = (port & 2) ? 1 : 0;
        return;
    default: break;
    }
    const int reg = chip.address;
    const int half = chip.address_high;
    // Data goes to the half its address came through, at either data port.
    if (reg < 0x30) {
        if (!half) write_global(reg, value);
        return;
    }
    const int slot = reg & 3;
    if (slot == 3) return;
    const int c = slot + 3 * half;
    if (reg < 0xa0) write_operator(reg, c, value);
    else if (reg < 0xb8) write_channel(reg, c, half, value);
}

uint8_t ym3438_status() { return chip.status & 3; }
