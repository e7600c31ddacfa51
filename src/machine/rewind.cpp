// The rewind ring: the state after every frame, each kept as its difference
// from the next one (XOR, then runs of unchanged bytes left out), so a frame
// costs a few kilobytes. The newest state is kept whole, as an image: the
// state's bytes without its large memories (work RAM, palette RAM, video
// RAM), then those memories. A frame saves only the small part and compares
// the memories block by block against the image, skipping the video RAM
// blocks that no write has reached since.
#include "machine/rewind.h"

#include <cstring>
#include <deque>
#include <string>

#include "common/state_bytes.h"
#include "machine/core.h"
#include "machine/core_state.h"

namespace {

size_t capacity_frames;     // 0: rewind off
size_t byte_budget;
std::vector<uint8_t> newest;         // the image of the state after the last frame
size_t newest_small;                 // its first bytes: the state without the memories
std::vector<state_memory> layout;    // the memories as the newest image holds them
std::deque<std::vector<uint8_t>> steps;  // steps[i] turns image i+1 back into image i
size_t step_bytes;
std::vector<uint8_t> small;
std::vector<uint8_t> scratch;
state_memories memories;

void put32(std::vector<uint8_t>& out, uint32_t v) {
    const size_t at = out.size();
    out.resize(at + 4);
    std::memcpy(out.data() + at, &v, 4);
}

// A step as pairs of (unchanged bytes, changed bytes, the changed bytes
// XOR-ed), written while the newest image is brought up to date.
struct step_writer {
    std::vector<uint8_t>& out;
    size_t same = 0;  // unchanged bytes since the last changed run

    // Compares old (the image, updated in place) with now over size bytes,
    // eight at a time: a changed run holds whole words, so a few unchanged
    // bytes may go with it (their XOR is 0).
    void compare(uint8_t* old, const uint8_t* now, size_t size) {
        const auto differs = [&](size_t at) {
            if (at + 8 > size) return std::memcmp(old + at, now + at, size - at) != 0;
            uint64_t x, y;
            std::memcpy(&x, old + at, 8);
            std::memcpy(&y, now + at, 8);
            return x != y;
        };
        size_t i = 0;
        while (i < size) {
            size_t from = i;
            while (from < size && !differs(from)) from += 8;
            if (from >= size) {
                same += size - i;
                return;
            }
            size_t to = from;
            while (to < size && differs(to)) to += 8;
            if (to > size) to = size;
            same += from - i;
            put32(out, static_cast<uint32_t>(same));
            put32(out, static_cast<uint32_t>(to - from));
            const size_t at = out.size();
            out.resize(at + (to - from));
            uint8_t* x = out.data() + at;
            for (size_t k = from; k < to; k++) x[k - from] = old[k] ^ now[k];
            std::memcpy(old + from, now + from, to - from);
            same = 0;
            i = to;
        }
    }

    static bool no_flag_set(const uint8_t* flags, size_t count) {
        for (size_t k = 0; k < count; k++)
            if (flags[k]) return false;
        return true;
    }

    // A memory a block at a time: blocks that no write reached, or whose
    // bytes are equal, are unchanged as a whole. Sixteen blocks are first
    // looked at together (their flags, or their bytes in an untracked
    // memory), as most of a memory stays the same.
    void compare_memory(uint8_t* old, const state_memory& m) {
        constexpr size_t stretch = 16 * state_block;
        for (size_t at = 0; at < m.size; at += stretch) {
            const size_t n = m.size - at < stretch ? m.size - at : stretch;
            if (m.changed ? no_flag_set(m.changed + at / state_block, (n + state_block - 1) / state_block)
                          : std::memcmp(old + at, m.data + at, n) == 0) {
                same += n;
                continue;
            }
            for (size_t b = at; b < at + n; b += state_block) {
                const size_t k = at + n - b < state_block ? at + n - b : state_block;
                uint8_t* flag = m.changed ? m.changed + b / state_block : nullptr;
                if ((flag && !*flag) || std::memcmp(old + b, m.data + b, k) == 0) {
                    same += k;
                } else {
                    compare(old + b, m.data + b, k);
                }
                if (flag) *flag = 0;
            }
        }
    }
};

void apply_difference(const std::vector<uint8_t>& step, std::vector<uint8_t>& image) {
    size_t at = 0, pos = 0;
    while (at + 8 <= step.size()) {
        uint32_t same, differ;
        std::memcpy(&same, step.data() + at, 4);
        std::memcpy(&differ, step.data() + at + 4, 4);
        at += 8;
        pos += same;
        for (uint32_t k = 0; k < differ && pos < image.size(); k++) image[pos++] ^= step[at + k];
        at += differ;
    }
}

bool same_layout() {
    if (small.size() != newest_small || memories.list.size() != layout.size()) return false;
    for (size_t i = 0; i < layout.size(); i++) {
        const state_memory &a = layout[i], &b = memories.list[i];
        if (a.at != b.at || a.data != b.data || a.size != b.size) return false;
    }
    return true;
}

// The image taken whole: the small part, then each memory.
void start_image() {
    newest.assign(small.begin(), small.end());
    newest_small = small.size();
    layout = memories.list;
    for (const state_memory& m : layout) {
        newest.insert(newest.end(), m.data, m.data + m.size);
        if (m.changed) std::memset(m.changed, 0, (m.size + state_block - 1) / state_block);
    }
}

// The state's bytes from an image of the newest layout.
std::vector<uint8_t> state_of(const std::vector<uint8_t>& image) {
    std::vector<uint8_t> state;
    state.reserve(image.size());
    size_t small_at = 0, memory_at = newest_small;
    for (const state_memory& m : layout) {
        state.insert(state.end(), image.begin() + small_at, image.begin() + m.at);
        state.insert(state.end(), image.begin() + memory_at, image.begin() + memory_at + m.size);
        small_at = m.at;
        memory_at += m.size;
    }
    state.insert(state.end(), image.begin() + small_at, image.begin() + newest_small);
    return state;
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
    newest_small = 0;
    layout.clear();
    steps.clear();
    step_bytes = 0;
}

void rewind_record() {
    if (!capacity_frames) return;
    save_state_leaving_out(small, memories);
    if (newest.empty() || !same_layout()) {
        // The first state, or the sound was switched on or off: older states no longer fit.
        rewind_clear();
        start_image();
        return;
    }
    // Written into a buffer kept between frames, then kept at its exact size:
    // growing a new one run by run costs more than the compare.
    scratch.clear();
    step_writer w{scratch};
    w.compare(newest.data(), small.data(), small.size());
    size_t at = newest_small;
    for (const state_memory& m : memories.list) {
        w.compare_memory(newest.data() + at, m);
        at += m.size;
    }
    steps.emplace_back(scratch.begin(), scratch.end());
    step_bytes += scratch.size();
    while (!steps.empty() && (steps.size() > capacity_frames || step_bytes > byte_budget)) drop_oldest();
}

int rewind_back(int (*run_frame)()) {
    // The picture of the frame before needs the state two frames back.
    if (steps.size() < 2) return 0;
    std::vector<uint8_t> previous = newest;
    apply_difference(steps.back(), previous);
    std::vector<uint8_t> before_previous = previous;
    apply_difference(steps[steps.size() - 2], before_previous);
    const std::vector<uint8_t> state = state_of(before_previous);
    std::string error;
    if (!load_state_bytes(state.data(), state.size(), error, false)) return 0;
    run_frame();
    step_bytes -= steps.back().size();
    steps.pop_back();
    newest.swap(previous);
    return 1;
}

size_t rewind_frames() { return newest.empty() ? 0 : steps.size() + 1; }
size_t rewind_memory() { return newest.capacity() + step_bytes + steps.size() * sizeof(std::vector<uint8_t>); }
