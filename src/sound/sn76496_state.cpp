// The tone generator's state. The volume table and the step come from init
// at the same clock and rate, so a state of another rate is refused.
#include "sound/sn76496_internal.h"
#include "sound/state_fields.h"

using namespace sn;

namespace {

constexpr uint32_t rng_limit = 0x10000;  // the shift register's 16 bits
// Earlier versions kept a 17-bit register and these feedback masks; their
// states still load, the noise starting again from the seed.
constexpr int32_t earlier_white = 0x12000;
constexpr int32_t earlier_periodic = 0x8000;

void take_earlier_noise(sn_chip& c) {
    if (c.noise_fb != earlier_white && c.noise_fb != earlier_periodic && c.rng < rng_limit) return;
    if (c.noise_fb == earlier_white) c.noise_fb = white_noise;
    if (c.noise_fb == earlier_periodic) c.noise_fb = periodic_noise;
    c.rng = noise_seed;
    c.output[3] = 0;
}

template <class Chip, class F>
void chip_fields(Chip& c, F&& f) {
    f(c.reg);
    f(c.last_register);
    f(c.volume);
    f(c.rng);
    f(c.noise_fb);
    f(c.period);
    f(c.count);
    f(c.output);
}

bool is_volume(const sn_chip& live, int32_t v) {
    for (int32_t level : live.vol_table) {
        if (v == level) return true;
    }
    return false;
}

// Every counter is past its edge (above 0) between updates and every period
// at least one unit of a tone register: the edge loops of an update end.
bool chip_valid(const sn_chip& c, const sn_chip& live) {
    if (c.last_register < 0 || c.last_register > 7) return false;
    if (c.rng >= rng_limit) return false;
    if (c.noise_fb != 0 && c.noise_fb != periodic_noise && c.noise_fb != white_noise) return false;
    for (int r = 0; r < 8; r++) {
        int32_t top = r == 0 || r == 2 || r == 4 ? 0x3ff : 15;
        if (c.reg[r] < 0 || c.reg[r] > top) return false;
    }
    const int32_t shortest = live.update_step > 1 ? live.update_step : 1;
    for (int i = 0; i < 4; i++) {
        if (!is_volume(live, c.volume[i]) || c.period[i] < shortest || c.count[i] < 1) return false;
        if (c.output[i] != 0 && c.output[i] != 1) return false;
    }
    return true;
}

}  // namespace

void sn76496_save_state(std::vector<uint8_t>& out) {
    state_writer writer{out};
    writer.put(chips[0].sample_rate);
    writer.put(chips[0].update_step);
    chip_fields(chips[0], save_field{writer});
}

int sn76496_load_state(const uint8_t* data, size_t size) {
    const sn_chip& live = chips[0];
    state_reader reader{data, size};
    int32_t rate = 0, step = 0;
    reader.get(rate);
    reader.get(step);
    sn_chip loaded = live;
    chip_fields(loaded, load_field{reader});
    if (reader.done()) take_earlier_noise(loaded);
    if (!reader.done() || rate != live.sample_rate || step != live.update_step || !chip_valid(loaded, live)) return 0;
    chips[0] = loaded;
    return 1;
}
