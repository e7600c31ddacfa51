// Saved-state files: the input is a state for the demo cartridge. Its
// checksum is made right first, so the changes reach the sections. A state
// refused must leave the machine as it was; one taken must run on.
#include <zlib.h>

#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "machine/core.h"

namespace {

constexpr size_t header_size = 36;

std::vector<uint8_t> machine_now() {
    std::vector<uint8_t> s;
    core_save_state(s);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!core_running()) {
        core_set_hooks(nullptr);
        fuzz::require(core_load("demo", 44100) == 1);
        for (int f = 0; f < 30; f++) core_run_frame(1);
    }
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= header_size) {
        const uint32_t crc = uint32_t(crc32(0, bytes.data() + header_size, uInt(size - header_size)));
        std::memcpy(bytes.data() + header_size - 4, &crc, 4);
    }
    const std::vector<uint8_t> before = machine_now();
    std::string error;
    if (core_load_state(bytes.data(), bytes.size(), error)) {
        for (int f = 0; f < 2; f++) core_run_frame(1);
        fuzz::require(core_load_state(before.data(), before.size(), error) == 1);
    } else {
        fuzz::require(!error.empty());
    }
    fuzz::require(machine_now() == before);
    return 0;
}
