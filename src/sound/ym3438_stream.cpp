// The chip model's frame clock: chip samples per frame with their carry, the
// samples waiting for the resampler, and the busy time after a write.
#include "sound/ym3438_stream.h"

#include "common/state_bytes.h"
#include "sound/resampler.h"
#include "sound/ym3438.h"

namespace {

constexpr uint32_t fm_clock = 7670442;
constexpr uint32_t frames_per_second = 60;
constexpr uint32_t frame_divider = frames_per_second * ym3438_clocks_per_sample;
// A data write keeps the chip busy for 32 of its internal cycles (6 clocks each).
constexpr uint32_t busy_fine = 32 * 6 * 256 / ym3438_clocks_per_sample;
// Room for one frame's chip samples and the few the resampler leaves over.
constexpr int capacity = 1024;
// A state keeps this many waiting samples, always, so its size stays the same
// from frame to frame; between frames no more than a few wait.
constexpr int kept_in_state = 16;

struct stream_clock {
    int32_t rate;         // host rate the resampler serves
    uint32_t carry;       // 1/frame_divider of a chip sample owed to the coming frames
    int32_t frame_samples;  // chip samples in the frame being run
    int32_t done;         // of them, already run
    int32_t waiting;      // samples in the buffer, left over ones first
    uint32_t busy_until;  // 1/256 chip samples into the frame
};

bool running;
stream_clock clock_state;
int32_t left[capacity], right[capacity];
resampler filter;

void next_frame() {
    const uint32_t total = clock_state.carry + fm_clock;
    clock_state.frame_samples = static_cast<int32_t>(total / frame_divider);
    clock_state.carry = total % frame_divider;
    clock_state.done = 0;
}

// Runs the chip up to the frame's fraction; never backwards.
void catch_up(uint32_t frame_fraction) {
    if (frame_fraction > whole_frame) frame_fraction = whole_frame;
    const int32_t target = static_cast<int32_t>((static_cast<uint64_t>(frame_fraction) * clock_state.frame_samples) / whole_frame);
    int32_t count = target - clock_state.done;
    if (count > capacity - clock_state.waiting) count = capacity - clock_state.waiting;
    if (count <= 0) return;
    ym3438_run(left + clock_state.waiting, right + clock_state.waiting, count);
    clock_state.waiting += count;
    clock_state.done += count;
}

uint32_t fine_time(uint32_t frame_fraction) {
    if (frame_fraction > whole_frame) frame_fraction = whole_frame;
    return static_cast<uint32_t>((static_cast<uint64_t>(frame_fraction) * clock_state.frame_samples * 256) / whole_frame);
}

}  // namespace

void ym3438_stream_start(int rate) {
    if (!running) ym3438_reset();
    running = true;
    clock_state = {};
    clock_state.rate = rate;
    filter.configure(fm_clock, ym3438_clocks_per_sample, static_cast<uint32_t>(rate));
    next_frame();
}

void ym3438_stream_stop() { running = false; }

void ym3438_stream_reset() {
    ym3438_reset();
    clock_state.busy_until = 0;
}

void ym3438_stream_write(int port, uint8_t value, uint32_t frame_fraction) {
    catch_up(frame_fraction);
    ym3438_write(port, value);
    if (port & 1) clock_state.busy_until = fine_time(frame_fraction) + busy_fine;
}

uint8_t ym3438_stream_status(uint32_t frame_fraction) {
    catch_up(frame_fraction);
    const bool busy = fine_time(frame_fraction) < clock_state.busy_until;
    return static_cast<uint8_t>(ym3438_status() | (busy ? 0x80 : 0));
}

void ym3438_stream_frame(int16_t* out_left, int16_t* out_right, int count) {
    catch_up(whole_frame);
    const int used = filter.inputs_for(count);
    filter.run(left, right, clock_state.waiting, out_left, out_right, count);
    const int kept = used < clock_state.waiting ? clock_state.waiting - used : 0;
    for (int i = 0; i < kept; i++) {
        left[i] = left[used + i];
        right[i] = right[used + i];
    }
    clock_state.waiting = kept;
    const uint32_t frame_fine = static_cast<uint32_t>(clock_state.frame_samples) * 256;
    clock_state.busy_until = clock_state.busy_until > frame_fine ? clock_state.busy_until - frame_fine : 0;
    next_frame();
}

void ym3438_stream_save_state(std::vector<uint8_t>& out) {
    state_writer w{out};
    stream_clock saved = clock_state;
    if (saved.waiting > kept_in_state) saved.waiting = kept_in_state;
    w.put(saved);
    int32_t l[kept_in_state] = {}, r[kept_in_state] = {};
    for (int i = 0; i < saved.waiting; i++) {
        l[i] = left[i];
        r[i] = right[i];
    }
    w.bytes(l, sizeof l);
    w.bytes(r, sizeof r);
    filter.save_state(out);
    ym3438_save_state(out);
}

int ym3438_stream_load_state(const uint8_t* data, size_t size) {
    state_reader r{data, size};
    stream_clock loaded{};
    r.get(loaded);
    const int32_t fewest = static_cast<int32_t>(fm_clock / frame_divider);
    if (!r.ok || loaded.rate != clock_state.rate || loaded.carry >= frame_divider ||
        loaded.frame_samples < fewest || loaded.frame_samples > fewest + 1 || loaded.done < 0 ||
        loaded.done > loaded.frame_samples || loaded.waiting < 0 || loaded.waiting > kept_in_state ||
        loaded.busy_until > static_cast<uint32_t>(loaded.frame_samples) * 256 + busy_fine) {
        return 0;
    }
    int32_t l[kept_in_state], rt[kept_in_state];
    r.bytes(l, sizeof l);
    r.bytes(rt, sizeof rt);
    if (!r.ok) return 0;
    for (int i = 0; i < loaded.waiting; i++) {
        if (l[i] < -65536 || l[i] > 65536 || rt[i] < -65536 || rt[i] > 65536) return 0;
    }
    // The filter and the chip check their own parts; nothing changes unless all fit.
    resampler filter_copy = filter;
    const uint8_t* rest = r.data;
    size_t left_over = r.left;
    if (!filter_copy.load_state(rest, left_over)) return 0;
    if (!ym3438_load_state(rest, left_over)) return 0;
    filter = filter_copy;
    clock_state = loaded;
    for (int i = 0; i < loaded.waiting; i++) {
        left[i] = l[i];
        right[i] = rt[i];
    }
    return 1;
}
