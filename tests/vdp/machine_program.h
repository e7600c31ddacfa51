// A 68000 program image run on the whole machine (processor, memory map,
// video chip, frame scheduler), for tests and benchmarks of the chip's
// timing as a program sees it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cpu68k/s68000.h"
#include "machine/board.h"
#include "machine/drivers.h"

namespace vt {

// Starts the machine on a program of 68000 words (big-endian, from address
// 0: stack pointer, then program counter). Interrupts stay masked from reset.
inline void start_program(const std::vector<uint8_t>& image) {
    game_driver = nullptr;
    std::memset(program_rom, 0, sizeof program_rom);
    std::memcpy(program_rom, image.data(), image.size() < sizeof program_rom ? image.size() : sizeof program_rom);
    program_rom_host_order = 0;  // a fresh image, as the loader leaves it
    system_init(0);
}

inline std::vector<uint8_t> read_image(const char* path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path, "rb")) {
        uint8_t buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

// Words as an assembler listing gives them.
inline std::vector<uint8_t> image_of(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w >> 8));
        bytes.push_back(static_cast<uint8_t>(w));
    }
    return bytes;
}

inline s68000context live_cpu() {
    std::vector<uint8_t> block(s68000GetContextSize() > sizeof(s68000context) ? s68000GetContextSize()
                                                                               : sizeof(s68000context));
    s68000GetContext(block.data());
    s68000context live;
    std::memcpy(&live, block.data(), sizeof live);
    return live;
}

}  // namespace vt
