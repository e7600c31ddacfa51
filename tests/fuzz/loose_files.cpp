// Loose-file loading: the input is the game's folder, three files whose
// lengths its first two bytes give (the third takes the rest).
#include <algorithm>

#include "fuzz_support.h"
#include "machine/board.h"
#include "machine/drivers.h"
#include "machine/rom_loader.h"

namespace {

const rom_entry roms[] = {{"even.bin", program_rom, 16, 0, rom_interleave::even, nullptr},
                          {"odd.bin", program_rom, 16, 0, rom_interleave::odd, nullptr},
                          {"voice.bin", sample_rom, 32, 0, rom_interleave::whole, nullptr},
                          {nullptr, nullptr, 0, 0, rom_interleave::whole, nullptr}};
const driver_record game = {"fuzzgame", "fuzz game", roms, wiring::previous, 0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t lengths[3] = {size > 0 ? data[0] : 0u, size > 1 ? data[1] : 0u, 0};
    const uint8_t* p = data + std::min<size_t>(size, 2);
    size_t left = size - std::min<size_t>(size, 2);
    lengths[2] = left;
    for (int k = 0; k < 3; ++k) {
        const size_t n = std::min(lengths[k], left);
        fuzz::write_file(fuzz::folder().path(std::string("roms/fuzzgame/") + roms[k].file_name), p, n);
        p += n;
        left -= n;
    }
    game_driver = &game;
    fuzz::require(load_rom(roms) == 1);  // any length loads; only a directory or a read error fails
    game_driver = nullptr;
    return 0;
}
