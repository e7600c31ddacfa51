// Packing a module's state into bytes and reading it back. Values are kept
// in host byte order: a state is for this build's machine, and its header
// says which version wrote it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

struct state_writer {
    std::vector<uint8_t>& out;

    void bytes(const void* data, size_t size) {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        out.insert(out.end(), p, p + size);
    }
    template <class T>
    void put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes(&value, sizeof value);
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
