// Zip member selection and reading: the input is the game's archive.
#include "fuzz_support.h"
#include "machine/board.h"
#include "machine/drivers.h"
#include "machine/rom_loader.h"

namespace {

// A game of small files, so that members of the right size stay within a
// few mutations' reach; one name in capitals for the case-blind lookup.
const rom_entry roms[] = {{"even.bin", program_rom, 16, 0, rom_interleave::even, nullptr},
                          {"ODD.BIN", program_rom, 16, 0, rom_interleave::odd, nullptr},
                          {"voice.bin", sample_rom, 32, 0, rom_interleave::whole, nullptr},
                          {nullptr, nullptr, 0, 0, rom_interleave::whole, nullptr}};
const driver_record game = {"fuzzgame", "fuzz game", roms, wiring::previous, 0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::write_file(fuzz::folder().path("ziproms/fuzzgame.zip"), data, size);
    game_driver = &game;
    load_rom(roms);
    game_driver = nullptr;
    return 0;
}
