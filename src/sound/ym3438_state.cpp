// The chip model's state: every field of its record, checked on the way in.
#include "sound/state_fields.h"
#include "sound/ym3438_internal.h"

using namespace opn;

namespace {

template <class Op, class F>
void operator_fields(Op& op, F&& f) {
    f(op.detune);
    f(op.multiple);
    f(op.total_level);
    f(op.key_scale);
    f(op.attack_rate);
    f(op.am_on);
    f(op.decay_rate);
    f(op.sustain_rate);
    f(op.sustain_level);
    f(op.release_rate);
    f(op.ssg);
    f(op.phase);
    f(op.step);
    f(op.key_code);
    f(op.level);
    f(op.eg_state);
    f(op.key);
    f(op.inverted);
    f(op.held);
    f(op.attenuation);
}

template <class Ch, class F>
void channel_fields(Ch& ch, F&& f) {
    for (auto& op : ch.op) operator_fields(op, f);
    f(ch.fnum);
    f(ch.block);
    f(ch.fnum_latch);
    f(ch.algorithm);
    f(ch.feedback);
    f(ch.pan);
    f(ch.ams);
    f(ch.pms);
    f(ch.register_keys);
    f(ch.feedback_out);
}

template <class Chip, class F>
void chip_fields(Chip& c, F&& f) {
    for (auto& ch : c.channel) channel_fields(ch, f);
    f(c.ch3_fnum);
    f(c.ch3_block);
    f(c.ch3_latch);
    f(c.address);
    f(c.address_high);
    f(c.mode);
    f(c.status);
    f(c.lfo_on);
    f(c.lfo_rate);
    f(c.lfo_count);
    f(c.lfo_divider);
    f(c.pm_step);
    f(c.timer_a);
    f(c.timer_a_count);
    f(c.timer_b);
    f(c.timer_b_count);
    f(c.timer_b_prescale);
    f(c.csm_key);
    f(c.dac_on);
    f(c.dac_value);
    f(c.eg_divider);
    f(c.eg_counter);
}

// Every field that indexes a table or bounds a loop is in its range.
bool operator_valid(const fm_operator& op) {
    return op.detune <= 7 && op.multiple <= 15 && op.total_level <= 127 && op.key_scale <= 3 &&
           op.attack_rate <= 31 && op.am_on <= 1 && op.decay_rate <= 31 && op.sustain_rate <= 31 &&
           op.sustain_level <= 15 && op.release_rate <= 15 && op.ssg <= 15 && op.phase <= 0xfffff &&
           op.step <= 0x1ffff * 15 && op.key_code <= 31 && op.level <= level_max && op.eg_state <= eg_release &&
           op.key <= 1 && op.inverted <= 1 && op.held <= 1 &&
           op.attenuation <= level_max + (127 << 3);
}

bool channel_valid(const fm_channel& ch) {
    for (const fm_operator& op : ch.op) {
        if (!operator_valid(op)) return false;
    }
    return ch.fnum <= 2047 && ch.block <= 7 && ch.fnum_latch <= 0x3f && ch.algorithm <= 7 && ch.feedback <= 7 &&
           ch.pan <= 3 && ch.ams <= 3 && ch.pms <= 7 && ch.register_keys <= 15 && ch.feedback_out[0] >= -8192 &&
           ch.feedback_out[0] <= 8191 && ch.feedback_out[1] >= -8192 && ch.feedback_out[1] <= 8191;
}

bool chip_valid(const fm_chip& c) {
    for (const fm_channel& ch : c.channel) {
        if (!channel_valid(ch)) return false;
    }
    for (int i = 0; i < 3; i++) {
        if (c.ch3_fnum[i] > 2047 || c.ch3_block[i] > 7 || c.ch3_latch[i] > 0x3f) return false;
    }
    return c.address_high <= 1 && c.status <= 3 && c.lfo_on <= 1 && c.lfo_rate <= 7 && c.lfo_count <= 127 &&
           c.lfo_divider < lfo_periods[c.lfo_rate] && c.pm_step == c.lfo_count >> 2 && c.timer_a <= 1023 &&
           c.timer_a_count <= 1023 && c.timer_b_prescale <= 15 && c.csm_key <= 1 && c.dac_on <= 1 &&
           c.eg_divider <= 2;
}

}  // namespace

void ym3438_save_state(std::vector<uint8_t>& out) {
    state_writer w{out};
    save_field f{w};
    chip_fields(chip, f);
}

int ym3438_load_state(const uint8_t* data, size_t size) {
    state_reader r{data, size};
    fm_chip loaded{};
    load_field f{r};
    chip_fields(loaded, f);
    if (!r.done() || !chip_valid(loaded)) return 0;
    chip = loaded;
    return 1;
}
