// Windowed-sinc rows for the phases between two inputs, linearly blended.
#include "sound/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/state_bytes.h"

namespace {

constexpr int phases = 256;
constexpr double kaiser_beta = 7.0;  // stop band some 70 dB down

// Modified Bessel function of the first kind, order 0.
double bessel0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 40; k++) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
        if (term < sum * 1e-12) break;
    }
    return sum;
}

typedef float four __attribute__((vector_size(16)));

four load(const float* p) {
    four v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

int16_t to_sample(float v) {
    const float r = std::nearbyint(v);
    return static_cast<int16_t>(r < -32768.0f ? -32768 : r > 32767.0f ? 32767 : static_cast<int>(r));
}

}  // namespace

void resampler::configure(uint32_t in_clock, uint32_t in_divider, uint32_t out_rate) {
    if (in_divider == 0) in_divider = 1;
    if (out_rate == 0) out_rate = 1;
    step_ = in_clock;
    period_ = static_cast<uint64_t>(in_divider) * out_rate;
    const double in_rate = static_cast<double>(in_clock) / in_divider;
    const double ratio = in_rate / out_rate;
    // A transition band about a sixth of the output rate wide, centred on
    // the lower half rate.
    taps_ = std::clamp(8 * static_cast<int>(std::ceil(25.4 * ratio / 8)), 32, 256);
    const double cutoff = 0.5 * std::min(1.0, 1.0 / ratio);  // in cycles per input sample
    const double half = taps_ / 2.0;
    const double pi = std::acos(-1.0);
    rows_.assign(static_cast<size_t>(phases + 1) * taps_, 0.0f);
    for (int p = 0; p <= phases; p++) {
        float* row = &rows_[static_cast<size_t>(p) * taps_];
        double sum = 0;
        std::vector<double> h(static_cast<size_t>(taps_));
        for (int i = 0; i < taps_; i++) {
            // Input i of the window lies this far (in inputs) before the output.
            const double t = (taps_ - 1 - i) + static_cast<double>(p) / phases - half;
            const double x = 2 * cutoff * t;
            const double sinc = std::fabs(x) < 1e-12 ? 1.0 : std::sin(pi * x) / (pi * x);
            const double w = t / half;
            const double window = std::fabs(w) >= 1 ? 0.0 : bessel0(kaiser_beta * std::sqrt(1 - w * w)) / bessel0(kaiser_beta);
            h[static_cast<size_t>(i)] = sinc * window;
            sum += h[static_cast<size_t>(i)];
        }
        // Every row passes a constant level unchanged.
        for (int i = 0; i < taps_; i++) row[i] = static_cast<float>(h[static_cast<size_t>(i)] / sum);
    }
    clear();
}

void resampler::clear() {
    phase_ = 0;
    write_ = 0;
    left_.assign(static_cast<size_t>(2 * taps_), 0.0f);
    right_.assign(static_cast<size_t>(2 * taps_), 0.0f);
}

int resampler::inputs_for(int count) const {
    if (count <= 0) return 0;
    return static_cast<int>((phase_ + static_cast<uint64_t>(count) * step_) / period_);
}

void resampler::push(float l, float r) {
    left_[static_cast<size_t>(write_)] = left_[static_cast<size_t>(write_ + taps_)] = l;
    right_[static_cast<size_t>(write_)] = right_[static_cast<size_t>(write_ + taps_)] = r;
    if (++write_ == taps_) write_ = 0;
}

void resampler::run(const int32_t* left, const int32_t* right, int available, int16_t* out_left,
                    int16_t* out_right, int count) {
    int taken = 0;
    for (int k = 0; k < count; k++) {
        phase_ += step_;
        while (phase_ >= period_) {
            phase_ -= period_;
            const int at = taken < available ? taken : available - 1;
            if (at >= 0) push(static_cast<float>(left[at]), static_cast<float>(right[at]));
            taken++;
        }
        const double position = static_cast<double>(phase_) * phases / static_cast<double>(period_);
        const int p = static_cast<int>(position);
        const float blend = static_cast<float>(position - p);
        const float* a = &rows_[static_cast<size_t>(p) * taps_];
        const float* b = a + taps_;
        const float* hl = &left_[static_cast<size_t>(write_)];
        const float* hr = &right_[static_cast<size_t>(write_)];
        // Four taps at a time (taps_ is a multiple of 8).
        four sl = {}, sr = {};
        for (int i = 0; i < taps_; i += 4) {
            const four c = load(a + i) + blend * (load(b + i) - load(a + i));
            sl += load(hl + i) * c;
            sr += load(hr + i) * c;
        }
        out_left[k] = to_sample((sl[0] + sl[1]) + (sl[2] + sl[3]));
        out_right[k] = to_sample((sr[0] + sr[1]) + (sr[2] + sr[3]));
    }
}

void resampler::save_state(std::vector<uint8_t>& out) const {
    state_writer w{out};
    w.put(static_cast<int32_t>(taps_));
    w.put(phase_);
    w.put(static_cast<int32_t>(write_));
    w.bytes(left_.data(), sizeof(float) * static_cast<size_t>(taps_));
    w.bytes(right_.data(), sizeof(float) * static_cast<size_t>(taps_));
}

bool resampler::load_state(const uint8_t*& data, size_t& size) {
    state_reader r{data, size};
    int32_t taps = 0, write = 0;
    uint64_t phase = 0;
    r.get(taps);
    r.get(phase);
    r.get(write);
    if (!r.ok || taps != taps_ || phase >= period_ || write < 0 || write >= taps_) return false;
    std::vector<float> l(static_cast<size_t>(taps_)), rt(static_cast<size_t>(taps_));
    r.bytes(l.data(), sizeof(float) * l.size());
    r.bytes(rt.data(), sizeof(float) * rt.size());
    if (!r.ok) return false;
    for (size_t i = 0; i < l.size(); i++) {
        // The saved levels are chip sums: anything else is a damaged state.
        if (!(std::fabs(l[i]) <= 65536.0f) || !(std::fabs(rt[i]) <= 65536.0f)) return false;
    }
    phase_ = phase;
    write_ = write;
    for (int i = 0; i < taps_; i++) {
        left_[static_cast<size_t>(i)] = left_[static_cast<size_t>(i + taps_)] = l[static_cast<size_t>(i)];
        right_[static_cast<size_t>(i)] = right_[static_cast<size_t>(i + taps_)] = rt[static_cast<size_t>(i)];
    }
    data = r.data;
    size = r.left;
    return true;
}
