// The demo cartridge's game entry; its images are built into the program.
#include "machine/drivers.h"

namespace {
const rom_entry demo_roms[] = {{nullptr, nullptr, 0, 0, 0, nullptr}};
}

const driver_record demo_driver = {"demo", "Vortan demo cartridge", demo_roms, nullptr};
