// The speech chip's state. The ROM is the running game's: a voice keeps its
// place in it as offsets, checked to stay within the sample data. A state
// of another output rate or clock is refused.
#include <cstdint>

#include "sound/state_fields.h"
#include "sound/upd7759_internal.h"

using namespace upd;

namespace {

constexpr int32_t fastest_rate = 8000;

template <class Voice, class F>
void voice_fields(Voice& v, F&& f) {
    f(v.playing);
    f(v.data);
    f(v.position);
    f(v.rate);
    f(v.nibbles);
    f(v.signal);
    f(v.step);
    f(v.counter);
}

bool within(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; }

// A playing voice reads bytes data .. data + nibbles / 2 of its ROM, and its
// counter takes one more nibble's credit without overflowing.
bool voice_valid(const voice& v, int chip) {
    const bool rate_known = v.rate == 0 || v.rate == 5000 || v.rate == 6000 || v.rate == fastest_rate;
    const bool inside = v.nibbles >= 0 && static_cast<int64_t>(v.data) + v.nibbles / 2 <= last_sample_end &&
                        within(v.position, 0, static_cast<int64_t>(v.nibbles) + (v.playing ? 0 : 1));
    const bool playable = !v.playing || (v.rate != 0 && config.region[chip]);
    return (v.playing == 0 || v.playing == 1) && rate_known && inside && playable &&
           within(v.signal, -32767, 32767) && within(v.step, 0, 32) &&
           within(v.counter, 1 - fastest_rate, static_cast<int64_t>(INT32_MAX) - nibble_credit);
}

}  // namespace

void upd7759_save_state(std::vector<uint8_t>& out) {
    state_writer writer{out};
    writer.put(config.num);
    writer.put(config.clock_rate);
    writer.put(config.output_rate);
    for (int chip = 0; chip < config.num; chip++) {
        voice_fields(voices[chip], save_field{writer});
        writer.put(latched[chip]);
    }
}

int upd7759_load_state(const uint8_t* data, size_t size) {
    state_reader reader{data, size};
    int num = 0, clock = 0, rate = 0;
    reader.get(num);
    reader.get(clock);
    reader.get(rate);
    if (!reader.ok || num != config.num || clock != config.clock_rate || rate != config.output_rate) return 0;
    voice loaded[max_chips];
    int loaded_latch[max_chips];
    for (int chip = 0; chip < num; chip++) {
        loaded[chip] = voices[chip];
        voice_fields(loaded[chip], load_field{reader});
        reader.get(loaded_latch[chip]);
        if (!voice_valid(loaded[chip], chip) || !within(loaded_latch[chip], 0, 0xff)) return 0;
    }
    if (!reader.done()) return 0;
    for (int chip = 0; chip < num; chip++) {
        voices[chip] = loaded[chip];
        latched[chip] = loaded_latch[chip];
    }
    return 1;
}
