// DIP files: the input is the game's .dip file. Unloading without a change
// must leave it byte for byte as it was; a change writes exactly two bytes.
#include "fuzz_support.h"
#include "machine/dip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::folder().path("dip/fuzzgame.dip");
    const std::string input(reinterpret_cast<const char*>(data), size);
    fuzz::write_file(path, data, size);
    dip_reset();
    fuzz::require(dip_read("fuzzgame") == 1);
    fuzz::require(dip_write("fuzzgame", "fuzz game") == 1);
    fuzz::require(fuzz::read_file(path) == input);
    if (size > 0) {
        dip_invert_bit(data[0] & 7);
        fuzz::require(dip_write("fuzzgame", "fuzz game") == 1);
        fuzz::require(fuzz::read_file(path) == std::string(reinterpret_cast<const char*>(dip_switch), 2));
    }
    return 0;
}
