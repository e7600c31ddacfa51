// Packing a module's state into bytes and reading it back. Values are kept
// in host byte order: a state is for this build's machine, and its header
// says which version wrote it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

// A large memory of a machine's state. A save made for the rewind leaves
// it out of the bytes and lists it, with where it goes, so that the rewind
// can follow it a block at a time instead of copying it every frame.
inline constexpr size_t state_block = 256;
struct state_memory {
    size_t at;             // offset in the bytes saved without the memories
    const uint8_t* data;
    size_t size;
    uint8_t* changed;      // one flag per block, set by every write; null: not kept
};
struct state_memories {
    std::vector<state_memory> list;
    size_t bytes = 0;  // their sizes together
};
// Set only while the rewind saves.
inline state_memories* state_memories_left_out = nullptr;

struct state_writer {
    std::vector<uint8_t>& out;

    void bytes(const void* data, size_t size) {
        // Grown and copied into: cheaper than a ranged insert for the many
        // small fields a state is made of.
        const size_t at = out.size();
        out.resize(at + size);
        if (size) std::memcpy(out.data() + at, data, size);
    }
    template <class T>
    void put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes(&value, sizeof value);
    }
    // A large memory: its bytes, or listed in state_memories_left_out.
    void memory(const uint8_t* data, size_t size, uint8_t* changed = nullptr) {
        if (!state_memories_left_out) {
            bytes(data, size);
            return;
        }
        state_memories_left_out->list.push_back({out.size(), data, size, changed});
        state_memories_left_out->bytes += size;
    }
};

// Every read is checked: past the end, the reader turns bad and reads zeros,
// so a short state is refused instead of read beyond its buffer.
struct state_reader {
    const uint8_t* data;
    size_t left;
    bool ok = true;

    void bytes(void* to, size_t size) {
        if (!ok || size > left) {
            ok = false;
            std::memset(to, 0, size);
            return;
        }
        std::memcpy(to, data, size);
        data += size;
        left -= size;
    }
    template <class T>
    void get(T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes(&value, sizeof value);
    }
    // The whole section was read, and nothing is left over.
    bool done() const { return ok && left == 0; }
};
