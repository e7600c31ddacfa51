// Sample generation of the FM synthesizer: envelopes, operators, channels.
#include <cstring>

#include "sound/ym2612_internal.h"

using namespace ym;

namespace {

inline void end_of_phase(ym_operator& op) {
    switch (op.eg_state) {
    case eg_attack:
        op.eg_state = eg_decay;
        op.env_counter = env_attack_end;
        op.env_end = op.sl;
        op.env_step = op.step_d1r;
        break;
    case eg_decay:
        op.eg_state = eg_sustain;
        op.env_counter = op.sl;
        op.env_end = env_silent;
        op.env_step = op.step_d2r;
        break;
    default:  // sustain or release ran out: hold silent until a key on
        op.env_counter = env_silent;
        op.env_end = env_never;
        op.env_step = 0;
        break;
    }
}

// One sample of the envelope; returns the operator's attenuation.
inline uint32_t envelope(ym_operator& op, uint32_t amd) {
    op.env_counter += op.env_step;
    if (op.env_counter >= op.env_end) end_of_phase(op);
    uint32_t e = static_cast<uint32_t>(op.tll + env_curve[op.env_counter >> 16]);
    if (op.am_depth) e += (op.am_depth * amd) >> 16;
    return e;
}

inline uint32_t advance_phase(ym_operator& op, int32_t p) {
    op.phase += op.phase_step;
    // Widened so that deep vibrato on a high note cannot wrap the product.
    if (p) op.phase += static_cast<uint32_t>(static_cast<int64_t>(p) * op.phase_step / 1024);
    return op.phase;
}

inline int32_t op_output(uint32_t phase_in, uint32_t e) {
    int32_t pos = (static_cast<int32_t>(phase_in) / 8192) & 2047;
    return tl_table[sin_table[pos] + static_cast<int32_t>(e)];
}

// slot: phase inputs of operators 1-4, then the output accumulators by pan.
inline void channel_step(ym_channel& ch, uint32_t* slot, int32_t pmd, uint32_t amd) {
    const int32_t p = (pmd * ch.pms) / 65536;
    ym_operator& o1 = ch.op[0];
    ym_operator& o2 = ch.op[2];
    ym_operator& o3 = ch.op[1];
    ym_operator& o4 = ch.op[3];
    slot[0] = advance_phase(o1, p);
    slot[1] = advance_phase(o2, p);
    slot[2] = advance_phase(o3, p);
    slot[3] = advance_phase(o4, p);
    const uint32_t e1 = envelope(o1, amd);
    const uint32_t e2 = envelope(o2, amd);
    const uint32_t e3 = envelope(o3, amd);
    const uint32_t e4 = envelope(o4, amd);

    if (e1 < level_silent) {
        if (ch.feedback_shift) {
            slot[0] += static_cast<uint32_t>((ch.op1_out[0] + ch.op1_out[1]) >> ch.feedback_shift);
            ch.op1_out[1] = ch.op1_out[0];
        }
        ch.op1_out[0] = op_output(slot[0], e1);
        const uint32_t out = static_cast<uint32_t>(ch.op1_out[0]);
        if (ch.connect[0] == slot_spread) {
            slot[1] += out;
            slot[2] += out;
            slot[3] += out;
        } else {
            slot[ch.connect[0]] += out;
        }
    }
    if (e2 < level_silent) slot[ch.connect[1]] += static_cast<uint32_t>(op_output(slot[1], e2));
    if (e3 < level_silent) slot[ch.connect[2]] += static_cast<uint32_t>(op_output(slot[2], e3));
    if (e4 < level_silent) slot[ch.connect[3]] += static_cast<uint32_t>(op_output(slot[3], e4));
}

inline int16_t to_sample(int32_t v) {
    if (v < -0x10000000) v = -0x10000000;
    if (v > 0x0fffffff) v = 0x0fffffff;
    return static_cast<int16_t>(v >> 13);
}

}  // namespace

void YM2612UpdateOne(int n, int16_t** buffers, int length) {
    if (!buffers || !buffers[0] || !buffers[1] || length <= 0) return;
    if (!chips || n < 0 || n >= chip_count || !tl_table) {
        std::memset(buffers[0], 0, sizeof(int16_t) * static_cast<size_t>(length));
        std::memset(buffers[1], 0, sizeof(int16_t) * static_cast<size_t>(length));
        return;
    }
    ym_chip& chip = chips[n];
    refresh_increments(chip);
    const bool lfo = chip.lfo_step != 0;
    int32_t pmd = 0;
    uint32_t amd = 0;
    for (int i = 0; i < length; i++) {
        if (lfo) {
            chip.lfo_counter += chip.lfo_step;
            amd = static_cast<uint32_t>(lfo_wave[chip.lfo_counter >> 23]);
            pmd = static_cast<int32_t>(amd) - 32768;
        }
        uint32_t slot[8] = {};
        for (int c = 0; c < 5; c++) channel_step(chip.channel[c], slot, pmd, amd);
        if (chip.dac_enable) {
            slot[slot_out + chip.channel[5].pan] += static_cast<uint32_t>(chip.dac_data);
        } else {
            channel_step(chip.channel[5], slot, pmd, amd);
        }
        const int32_t both = static_cast<int32_t>(slot[slot_out + 3]);
        buffers[0][i] = to_sample(static_cast<int32_t>(slot[slot_out + 2]) + both);
        buffers[1][i] = to_sample(static_cast<int32_t>(slot[slot_out + 1]) + both);
    }
}
