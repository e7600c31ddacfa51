// Writing the game table's ROM lists: an entry per file, where it goes, and
// the dump it is known to be.
#pragma once
#include "machine/board.h"
#include "machine/drivers.h"

namespace rom_lists {

constexpr uint32_t k128 = 0x20000, k256 = 0x40000, k512 = 0x80000;

// A file of the table that today's sets know: its CRC-32, its name there
// and, in a split set, its name in the parent's archive.
struct known_dump {
    uint32_t crc;
    const char* today_name;
    const char* parent_name = nullptr;
};

constexpr rom_entry entry(const char* name, uint8_t* region, rom_interleave interleave, uint32_t size, uint32_t offset) {
    return {name, region, size, offset, interleave, nullptr};
}
constexpr rom_entry known(rom_entry e, uint32_t crc, const char* today_name, const char* parent_name) {
    e.crc = crc;
    e.crc_known = 1;
    e.today_name = today_name;
    e.parent_name = parent_name;
    return e;
}

constexpr rom_entry even(const char* name, uint32_t size, uint32_t offset) {
    return entry(name, program_rom, rom_interleave::even, size, offset);
}
constexpr rom_entry odd(const char* name, uint32_t size, uint32_t offset) {
    return entry(name, program_rom, rom_interleave::odd, size, offset);
}
constexpr rom_entry sample(const char* name, uint32_t size, uint32_t offset) {
    return entry(name, sample_rom, rom_interleave::whole, size, offset);
}

// A file of the table under its old name, the same dump as today's.
constexpr rom_entry even(const char* name, uint32_t size, uint32_t offset, known_dump d) {
    return known(even(name, size, offset), d.crc, d.today_name, d.parent_name);
}
constexpr rom_entry odd(const char* name, uint32_t size, uint32_t offset, known_dump d) {
    return known(odd(name, size, offset), d.crc, d.today_name, d.parent_name);
}
constexpr rom_entry sample(const char* name, uint32_t size, uint32_t offset, known_dump d) {
    return known(sample(name, size, offset), d.crc, d.today_name, d.parent_name);
}

// A file of today's sets, named as they name it.
constexpr rom_entry even(const char* name, uint32_t size, uint32_t offset, uint32_t crc,
                         const char* parent_name = nullptr) {
    return known(even(name, size, offset), crc, nullptr, parent_name);
}
constexpr rom_entry odd(const char* name, uint32_t size, uint32_t offset, uint32_t crc,
                        const char* parent_name = nullptr) {
    return known(odd(name, size, offset), crc, nullptr, parent_name);
}
constexpr rom_entry sample(const char* name, uint32_t size, uint32_t offset, uint32_t crc,
                           const char* parent_name = nullptr) {
    return known(sample(name, size, offset), crc, nullptr, parent_name);
}

constexpr rom_entry end_of_list = {nullptr, nullptr, 0, 0, rom_interleave::whole, nullptr};

}  // namespace rom_lists
