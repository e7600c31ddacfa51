// The demo cartridge's game entry; its images are built into the program.
#include "demo_images.h"
#include "machine/board.h"
#include "machine/drivers.h"
#include "vdp/palette.h"

namespace {
static_assert(demo_program_size <= program_rom_size, "demo program larger than the program ROM");
static_assert(demo_samples_size <= sample_rom_size, "demo samples larger than the sample ROM");

const rom_entry demo_roms[] = {
    {"demo_program.bin", program_rom, demo_program_size, 0, rom_interleave::whole, demo_program_image},
    {"demo_samples.rom", sample_rom, demo_samples_size, 0, rom_interleave::whole, demo_samples_image},
    {nullptr, nullptr, 0, 0, rom_interleave::whole, nullptr},
};
}  // namespace

const driver_record demo_driver = {"demo", "Vortan demo cartridge", demo_roms, wiring::full, game_count + 1};
