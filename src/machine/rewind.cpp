// The rewind ring: the state after every frame, each kept as its difference
// from the next one (XOR, then runs of unchanged bytes left out), so a frame
// costs a few kilobytes. The newest state is kept whole.
#include "machine/rewind.h"

#include <cstring>
#include <deque>
#include <string>

#include "machine/core.h"
#include "machine/core_state.h"

namespace {

size_t capacity_frames;     // 0: rewind off
size_t byte_budget;
std::vector<uint8_t> newest;         // the state after the last frame
std::deque<std::vector<uint8_t>> steps;  // steps[i] turns state i+1 back into state i
size_t step_bytes;
std::vector<uint8_t> scratch;

void put32(std::vector<uint8_t>& out, uint32_t v) {
    const size_t at = out.size();
    out.resize(at + 4);
    std::memcpy(out.data() + at, &v, 4);
}

// Pairs of (unchanged bytes, changed bytes, the changed bytes XOR-ed).
void encode_difference(const uint8_t* a, const uint8_t* b, size_t size, std::vector<uint8_t>& out) {
    out.clear();
    size_t i = 0;
    while (i < size) {
        size_t same = i;
        // Through the long unchanged stretches a block at a time, then eight bytes.
        constexpr size_t block = 256;
        while (same + block <= size && std::memcmp(a + same, b + same, block) == 0) same += block;
        while (same + 8 <= size) {
            uint64_t x, y;
            std::memcpy(&x, a + same, 8);
            std::memcpy(&y, b + same, 8);
            if (x != y) break;
            same += 8;
        }
        while (same < size && a[same] == b[same]) same++;
        size_t differ = same;
        while (differ < size && a[differ] != b[differ]) differ++;
        put32(out, static_cast<uint32_t>(same - i));
        put32(out, static_cast<uint32_t>(differ - same));
        const size_t at = out.size();
        out.resize(at + (differ - same));
        for (size_t k = same; k < differ; k++) out[at + k - same] = a[k] ^ b[k];
        i = differ;
    }
}

void apply_difference(const std::vector<uint8_t>& step, std::vector<uint8_t>& state) {
    size_t at = 0, pos = 0;
    while (at + 8 <= step.size()) {
        uint32_t same, differ;
        std::memcpy(&same, step.data() + at, 4);
        std::memcpy(&differ, step.data() + at + 4, 4);
        at += 8;
        pos += same;
        for (uint32_t k = 0; k < differ && pos < state.size(); k++) state[pos++] ^= step[at + k];
        at += differ;
    }
}

void drop_oldest() {
    step_bytes -= steps.front().size();
    steps.pop_front();
}

}  // namespace

void rewind_configure(int seconds, size_t budget) {
    capacity_frames = seconds > 0 ? static_cast<size_t>(seconds) * 60 : 0;
    byte_budget = budget;
    rewind_clear();
}

void rewind_clear() {
    newest.clear();
    steps.clear();
    step_bytes = 0;
}

void rewind_record() {
    if (!capacity_frames) return;
    save_state_bytes(scratch, false);
    if (newest.size() != scratch.size()) {
        // The sound was switched on or off: older states no longer fit.
        rewind_clear();
    } else {
        std::vector<uint8_t> step;
        encode_difference(newest.data(), scratch.data(), newest.size(), step);
        step_bytes += step.size();
        steps.push_back(std::move(step));
        while (!steps.empty() && (steps.size() > capacity_frames || step_bytes > byte_budget)) drop_oldest();
    }
    newest.swap(scratch);
}

int rewind_back(int (*run_frame)()) {
    // The picture of the frame before needs the state two frames back.
    if (steps.size() < 2) return 0;
    std::vector<uint8_t> previous = newest;
    apply_difference(steps.back(), previous);
    std::vector<uint8_t> before_previous = previous;
    apply_difference(steps[steps.size() - 2], before_previous);
    std::string error;
    if (!load_state_bytes(before_previous.data(), before_previous.size(), error, false)) return 0;
    run_frame();
    step_bytes -= steps.back().size();
    steps.pop_back();
    newest.swap(previous);
    return 1;
}

size_t rewind_frames() { return newest.empty() ? 0 : steps.size() + 1; }
size_t rewind_memory() { return newest.capacity() + step_bytes + steps.size() * sizeof(std::vector<uint8_t>); }
