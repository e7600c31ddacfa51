// The chip model's samples: timers, LFO, envelopes every third sample, then
// the operators of the six channels.
#include "sound/ym3438_internal.h"

using namespace opn;

namespace {

void tick_timers() {
    if (chip.csm_key) {
        // The timer's key lasts one sample; the register's keys stay.
        chip.csm_key = 0;
        update_keys(chip.channel[2], chip.channel[2].register_keys);
    }
    if ((chip.mode & 1) && ++chip.timer_a_count >= 1024) {
        chip.timer_a_count = chip.timer_a;
        if (chip.mode & 4) chip.status |= 1;
        if ((chip.mode & 0xc0) == 0x80) {
            chip.csm_key = 1;
            update_keys(chip.channel[2], 0x0f);
        }
    }
    chip.timer_b_prescale = (chip.timer_b_prescale + 1) & 15;
    if (chip.timer_b_prescale == 0 && (chip.mode & 2) && ++chip.timer_b_count == 0) {
        chip.timer_b_count = chip.timer_b;
        if (chip.mode & 8) chip.status |= 2;
    }
}

void tick_lfo() {
    if (!chip.lfo_on) return;
    if (++chip.lfo_divider < lfo_periods[chip.lfo_rate]) return;
    chip.lfo_divider = 0;
    chip.lfo_count = (chip.lfo_count + 1) & 127;
    set_pm_step(chip.lfo_count >> 2);
}

int rate_of(const fm_operator& op, int rate) {
    if (rate == 0) return 0;
    const int r = 2 * rate + (op.key_code >> (3 - op.key_scale));
    return r < 63 ? r : 63;
}

// An SSG-EG shape at its turn: hold, or start again (mirrored when it alternates).
void ssg_turn_point(fm_operator& op) {
    if (op.eg_state == eg_release) {
        op.level = level_max;
        return;
    }
    if (op.ssg & 1) {
        if (!op.held && (op.ssg & 2)) op.inverted ^= 1;
        op.held = 1;
        op.level = op.inverted ? ssg_turn : level_max;
        return;
    }
    if (op.ssg & 2) op.inverted ^= 1;
    else op.phase = 0;
    op.eg_state = eg_attack;
    if (rate_of(op, op.attack_rate) >= 62) op.level = 0;
}

void eg_step(fm_operator& op, uint32_t counter) {
    const bool ssg = op.ssg & 8;
    // Silent and staying so: nothing moves.
    if (op.level == level_max && op.eg_state >= eg_sustain && !ssg) return;
    // The turn is looked for outside the attack, which is how a shape starts again.
    if (ssg && op.level >= ssg_turn && op.eg_state != eg_attack && !(op.held && op.eg_state != eg_release)) {
        ssg_turn_point(op);
        refresh_attenuation(op);
    }
    if (ssg && op.held && op.eg_state != eg_release) return;
    if (op.eg_state == eg_attack) {
        if (op.level == 0) {
            op.eg_state = eg_decay;
        } else {
            const int rate = rate_of(op, op.attack_rate);
            if (rate >= 62) {
                op.level = 0;
            } else {
                const int inc = static_cast<int>(eg_increment(rate, counter));
                // Each step closes a sixteenth of the distance (times the increment).
                const int level = op.level;
                op.level = static_cast<uint16_t>(level + ((~level * inc) >> 4));
            }
            refresh_attenuation(op);
            return;
        }
    }
    int rate = 0;
    switch (op.eg_state) {
    case eg_decay: rate = op.decay_rate; break;
    case eg_sustain: rate = op.sustain_rate; break;
    default: rate = 2 * op.release_rate + 1; break;
    }
    uint32_t inc = eg_increment(rate_of(op, rate), counter);
    if (ssg) inc = op.level < ssg_turn ? inc << 2 : 0;
    const uint32_t level = op.level + inc;
    op.level = static_cast<uint16_t>(level < level_max ? level : level_max);
    if (op.eg_state == eg_decay) {
        const int sustain = op.sustain_level == 15 ? 31 : op.sustain_level;
        if ((op.level >> 5) >= sustain) op.eg_state = eg_sustain;
    }
    refresh_attenuation(op);
}


// One operator's 14-bit output for a phase offset (in sine steps) of mod.
inline int32_t operator_out(fm_operator& op, int32_t mod, uint32_t am) {
    const uint32_t phase = op.phase;
    op.phase = (phase + op.step) & 0xfffff;
    const uint32_t e = op.attenuation + (op.am_on ? am : 0);
    if (e >= level_mute) return 0;
    const uint32_t p = ((phase >> 10) + static_cast<uint32_t>(mod)) & 0x3ff;
    const uint32_t l = log_sine[p & 0x1ff] + (e << 2);
    const int32_t v = exp_table[l & 0xff] >> (l >> 8);
    return (p & 0x200) ? -v : v;
}

int32_t channel_out(fm_channel& ch, uint32_t am_wave) {
    static const uint8_t am_shift[4] = {0, 3, 1, 0};
    const uint32_t am = ch.ams ? am_wave >> am_shift[ch.ams] : 0;
    fm_operator* op = ch.op;
    const int32_t fb = ch.feedback ? (ch.feedback_out[0] + ch.feedback_out[1]) >> (10 - ch.feedback) : 0;
    const int32_t o1 = operator_out(op[0], fb, am);
    ch.feedback_out[1] = ch.feedback_out[0];
    ch.feedback_out[0] = static_cast<int16_t>(o1);
    int32_t o2, o3, o4, sum;
    switch (ch.algorithm) {
    case 0:
        o2 = operator_out(op[1], o1 >> 1, am);
        o3 = operator_out(op[2], o2 >> 1, am);
        sum = operator_out(op[3], o3 >> 1, am);
        break;
    case 1:
        o2 = operator_out(op[1], 0, am);
        o3 = operator_out(op[2], (o1 + o2) >> 1, am);
        sum = operator_out(op[3], o3 >> 1, am);
        break;
    case 2:
        o2 = operator_out(op[1], 0, am);
        o3 = operator_out(op[2], o2 >> 1, am);
        sum = operator_out(op[3], (o1 + o3) >> 1, am);
        break;
    case 3:
        o2 = operator_out(op[1], o1 >> 1, am);
        o3 = operator_out(op[2], 0, am);
        sum = operator_out(op[3], (o2 + o3) >> 1, am);
        break;
    case 4:
        o2 = operator_out(op[1], o1 >> 1, am);
        o3 = operator_out(op[2], 0, am);
        o4 = operator_out(op[3], o3 >> 1, am);
        sum = o2 + o4;
        break;
    case 5:
        o2 = operator_out(op[1], o1 >> 1, am);
        o3 = operator_out(op[2], o1 >> 1, am);
        o4 = operator_out(op[3], o1 >> 1, am);
        sum = o2 + o3 + o4;
        break;
    case 6:
        o2 = operator_out(op[1], o1 >> 1, am);
        o3 = operator_out(op[2], 0, am);
        o4 = operator_out(op[3], 0, am);
        sum = o2 + o3 + o4;
        break;
    default:
        o2 = operator_out(op[1], 0, am);
        o3 = operator_out(op[2], 0, am);
        o4 = operator_out(op[3], 0, am);
        sum = o1 + o2 + o3 + o4;
        break;
    }
    // The channel's accumulator holds 14 bits: loud chords clip, not wrap.
    return sum < -8192 ? -8192 : sum > 8191 ? 8191 : sum;
}

}  // namespace

void ym3438_run(int32_t* left, int32_t* right, int count) {
    for (int i = 0; i < count; i++) {
        tick_timers();
        tick_lfo();
        if (++chip.eg_divider == 3) {
            chip.eg_divider = 0;
            const uint32_t counter = ++chip.eg_counter;
            for (fm_channel& ch : chip.channel) {
                for (fm_operator& op : ch.op) eg_step(op, counter);
            }
        }
        // A triangle of 0-126 steps over the LFO's period.
        const uint32_t lfo = chip.lfo_count;
        const uint32_t am_wave = ((lfo & 64) ? 63 - (lfo & 63) : (lfo & 63)) << 1;
        int32_t l = 0, r = 0;
        for (int c = 0; c < 6; c++) {
            fm_channel& ch = chip.channel[c];
            int32_t out;
            if (c == 5 && chip.dac_on) {
                for (fm_operator& op : ch.op) op.phase = (op.phase + op.step) & 0xfffff;
                out = (static_cast<int32_t>(chip.dac_value) - 128) << 6;
            } else {
                out = channel_out(ch, am_wave);
            }
            if (ch.pan & 2) l += out;
            if (ch.pan & 1) r += out;
        }
        left[i] = l;
        right[i] = r;
    }
}
