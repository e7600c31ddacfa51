#include "memory_map.h"

#include <cstring>
#include <vector>

#include "machine/core.h"

namespace {

// A RAM of the machine and its copy in the 68000's byte order.
struct ram_view {
    uint8_t* words = nullptr;  // the machine's, host-order 16-bit words
    size_t size = 0;
    std::vector<uint8_t> bytes;
};

ram_view work_ram, palette_ram;
std::vector<uint8_t> program_rom;  // read-only: made once

void bind(ram_view& v, uint8_t* words, size_t size) {
    v.words = words;
    v.size = size;
    v.bytes.assign(size, 0);
}

void publish(ram_view& v) {
    for (size_t i = 0; i < v.size; i += 2) {
        uint16_t w;
        std::memcpy(&w, v.words + i, 2);
        v.bytes[i] = uint8_t(w >> 8);
        v.bytes[i + 1] = uint8_t(w);
    }
}

void take_writes(ram_view& v) {
    for (size_t i = 0; i < v.size; i += 2) {
        const uint16_t w = uint16_t(v.bytes[i] << 8 | v.bytes[i + 1]);
        std::memcpy(v.words + i, &w, 2);
    }
}

}  // namespace

void memory_map_start(retro_environment_t env) {
    size_t size = 0;
    uint8_t* words = core_work_ram(&size);
    bind(work_ram, words, size);
    words = core_palette_ram(&size);
    bind(palette_ram, words, size);
    program_rom = core_program_rom();
    memory_publish();

    // Work RAM is listed once as system RAM; its mirror has the same bytes.
    constexpr uint64_t ram = RETRO_MEMDESC_BIGENDIAN;
    const retro_memory_descriptor descriptors[] = {
        {ram | RETRO_MEMDESC_SYSTEM_RAM, work_ram.bytes.data(), 0, 0xFF0000, 0xFF0000, 0, work_ram.size, nullptr},
        {ram, work_ram.bytes.data(), 0, 0xFE0000, 0xFF0000, 0, work_ram.size, nullptr},
        {ram, palette_ram.bytes.data(), 0, 0x8C0000, 0xFFF000, 0, palette_ram.size, nullptr},
        {ram | RETRO_MEMDESC_CONST, program_rom.data(), 0, 0x000000, 0xE00000, 0, program_rom.size(), nullptr},
    };
    retro_memory_map map = {descriptors, unsigned(sizeof descriptors / sizeof descriptors[0])};
    env(RETRO_ENVIRONMENT_SET_MEMORY_MAPS, &map);
}

void memory_map_stop() {
    work_ram = {};
    palette_ram = {};
    program_rom = {};
}

void memory_take_writes() {
    if (!work_ram.words) return;
    take_writes(work_ram);
    take_writes(palette_ram);
}

void memory_publish() {
    if (!work_ram.words) return;
    publish(work_ram);
    publish(palette_ram);
}

uint8_t* memory_system_ram(size_t* size) {
    *size = work_ram.size;
    return work_ram.words ? work_ram.bytes.data() : nullptr;
}
