// The FM synthesizer's state. Table pointers are kept as rows and offsets;
// the tables themselves and the handlers come from init at the same clock
// and rate, so a state of another rate is refused.
#include <algorithm>

#include "sound/state_fields.h"
#include "sound/ym2612_internal.h"

using namespace ym;

namespace {

// A rate row as its offset in attack_table or decay_table, or no_row for
// zero_row; an operator reads 32 entries from it, one per key-scale step.
constexpr int16_t no_row = -1;
constexpr int32_t operator_out_limit = 1 << 26;  // above every tl_table entry
constexpr int32_t deepest_pms = 102;             // 80 cents
constexpr uint32_t deepest_ams = 503;

struct operator_rows {
    int16_t detune, ar, d1r, d2r, rr;
};

int16_t row_offset(const int32_t* row, const int32_t* table) {
    return row == zero_row ? no_row : static_cast<int16_t>(row - table);
}

operator_rows rows_of(const ym_chip& chip, const ym_operator& op) {
    operator_rows rows{};
    for (int16_t d = 0; d < 8; d++) {
        if (op.detune == chip.detune_table[d]) rows.detune = d;
    }
    rows.ar = row_offset(op.ar_row, chip.attack_table);
    rows.d1r = row_offset(op.d1r_row, chip.decay_table);
    rows.d2r = row_offset(op.d2r_row, chip.decay_table);
    rows.rr = row_offset(op.rr_row, chip.decay_table);
    return rows;
}

bool row_fits(int16_t offset) { return offset == no_row || (offset >= 0 && offset <= rate_rows - 32); }

const int32_t* row_at(const int32_t* table, int16_t offset) { return offset == no_row ? zero_row : table + offset; }

template <class F>
void row_fields(operator_rows& rows, F&& f) {
    f(rows.detune);
    f(rows.ar);
    f(rows.d1r);
    f(rows.d2r);
    f(rows.rr);
}

template <class Op, class F>
void operator_fields(Op& op, F&& f) {
    f(op.tl);
    f(op.ks_shift);
    f(op.sl);
    f(op.ssg_eg);
    f(op.ksr);
    f(op.mul);
    f(op.phase);
    f(op.phase_step);
    f(op.eg_state);
    f(op.env_counter);
    f(op.env_end);
    f(op.env_step);
    f(op.step_ar);
    f(op.step_d1r);
    f(op.step_d2r);
    f(op.step_rr);
    f(op.tll);
    f(op.am_on);
    f(op.am_depth);
}

template <class Ch, class F>
void channel_fields(Ch& ch, F&& f) {
    f(ch.pan);
    f(ch.algorithm);
    f(ch.feedback_shift);
    f(ch.op1_out);
    f(ch.connect);
    f(ch.pms);
    f(ch.ams);
    f(ch.fc);
    f(ch.fnum_latch);
    f(ch.kcode);
    f(ch.fnum);
    f(ch.block);
}

template <class Chip, class F>
void chip_fields(Chip& chip, F&& f) {
    f(chip.address);
    f(chip.irq);
    f(chip.irq_mask);
    f(chip.status);
    f(chip.mode);
    f(chip.ta);
    f(chip.ta_count);
    f(chip.tb);
    f(chip.tb_count);
    f(chip.ch3_fc);
    f(chip.ch3_fnum_latch);
    f(chip.ch3_kcode);
    f(chip.ch3_fnum);
    f(chip.ch3_block);
    f(chip.lfo_counter);
    f(chip.lfo_step);
    f(chip.lfo_setting);
    f(chip.addr_hi);
    f(chip.dac_enable);
    f(chip.dac_data);
}

bool within(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; }

bool step_valid(int32_t step) { return within(step, 0, env_attack_end); }

// The envelope indexes env_curve with its counter and adds its step to it:
// the counter stays in 0..env_silent below its end, the steps within one
// envelope section.
bool operator_valid(const ym_operator& op) {
    return within(op.tl, 0, 4095) && within(op.tll, 0, 4095) && op.ks_shift <= 3 &&
           within(op.sl, env_attack_end, env_silent) && op.ssg_eg <= 15 && op.ksr <= 31 && op.mul <= 30 &&
           op.eg_state <= eg_release && within(op.env_counter, 0, env_silent) &&
           within(op.env_end, env_attack_end, env_never) && step_valid(op.env_step) && step_valid(op.step_ar) &&
           step_valid(op.step_d1r) && step_valid(op.step_d2r) && step_valid(op.step_rr) && op.am_on <= 1 &&
           op.am_depth <= deepest_ams;
}

bool frequency_valid(uint8_t latch, uint8_t kcode, uint16_t fnum, uint8_t block) {
    return latch <= 0x3f && kcode <= 31 && fnum <= 2047 && block <= 7;
}

bool channel_valid(const ym_channel& ch) {
    bool outputs = within(ch.op1_out[0], -operator_out_limit, operator_out_limit) &&
                   within(ch.op1_out[1], -operator_out_limit, operator_out_limit);
    bool slots = ch.connect[0] <= slot_spread && ch.connect[1] < slot_spread && ch.connect[2] < slot_spread &&
                 ch.connect[3] < slot_spread;
    return ch.pan <= 3 && ch.algorithm <= 7 && ch.feedback_shift <= 8 && outputs && slots &&
           within(ch.pms, 0, deepest_pms) && ch.ams <= deepest_ams &&
           frequency_valid(ch.fnum_latch, ch.kcode, ch.fnum, ch.block);
}

bool chip_valid(const ym_chip& chip) {
    for (int i = 0; i < 3; i++) {
        if (!frequency_valid(chip.ch3_fnum_latch[i], chip.ch3_kcode[i], chip.ch3_fnum[i], chip.ch3_block[i])) {
            return false;
        }
    }
    return chip.irq <= 1 && chip.irq_mask <= 3 && chip.status <= 3 && chip.mode <= 0xff && chip.ta <= 1023 &&
           chip.ta_count <= 1024 && chip.tb <= 255 && chip.tb_count <= 256 * 16 && chip.addr_hi <= 0xff &&
           (chip.dac_enable == 0 || chip.dac_enable == 0x80) && within(chip.dac_data, -128 * 0x80000, 127 * 0x80000);
}

void save_chip(state_writer& out, const ym_chip& chip) {
    out.put(chip.clock);
    out.put(chip.rate);
    save_field f{out};
    chip_fields(chip, f);
    for (const ym_channel& ch : chip.channel) {
        channel_fields(ch, f);
        for (const ym_operator& op : ch.op) {
            operator_rows rows = rows_of(chip, op);
            row_fields(rows, f);
            operator_fields(op, f);
        }
    }
}

// Reads into `loaded`, a copy of `live`, whose table pointers are made to
// point into the live chip's tables.
bool load_chip(state_reader& in_state, ym_chip& loaded, const ym_chip& live) {
    int32_t clock = 0, rate = 0;
    in_state.get(clock);
    in_state.get(rate);
    load_field f{in_state};
    chip_fields(loaded, f);
    bool valid = clock == live.clock && rate == live.rate && chip_valid(loaded);
    for (ym_channel& ch : loaded.channel) {
        channel_fields(ch, f);
        valid = valid && channel_valid(ch);
        for (ym_operator& op : ch.op) {
            operator_rows rows{};
            row_fields(rows, f);
            operator_fields(op, f);
            valid = valid && operator_valid(op) && within(rows.detune, 0, 7) && row_fits(rows.ar) &&
                    row_fits(rows.d1r) && row_fits(rows.d2r) && row_fits(rows.rr);
            if (!valid) return false;
            op.detune = live.detune_table[rows.detune];
            op.ar_row = row_at(live.attack_table, rows.ar);
            op.d1r_row = row_at(live.decay_table, rows.d1r);
            op.d2r_row = row_at(live.decay_table, rows.d2r);
            op.rr_row = row_at(live.decay_table, rows.rr);
        }
    }
    return valid && in_state.ok;
}

}  // namespace

void ym2612_save_state(std::vector<uint8_t>& out) {
    state_writer writer{out};
    writer.put(static_cast<int32_t>(chip_count));
    for (int i = 0; i < chip_count; i++) save_chip(writer, chips[i]);
}

int ym2612_load_state(const uint8_t* data, size_t size) {
    state_reader reader{data, size};
    int32_t count = 0;
    reader.get(count);
    if (!reader.ok || count != chip_count) return 0;
    std::vector<ym_chip> loaded(chips, chips + chip_count);
    for (int i = 0; i < chip_count; i++) {
        if (!load_chip(reader, loaded[i], chips[i])) return 0;
    }
    if (!reader.done()) return 0;
    std::copy(loaded.begin(), loaded.end(), chips);
    return 1;
}
