// The 68000's address space as the front end's cheats, achievements and
// memory commands see it: work RAM at 0xFF0000 (and its mirror at 0xFE0000),
// palette RAM at 0x8C0000 and the program ROM at 0, all in the 68000's byte
// order. The machine holds host-order words, so the front end gets copies:
// refreshed after every frame, state load and reset, and its writes taken
// back onto the machine before the next frame or state save.
#pragma once
#include <cstddef>
#include <cstdint>

#include "libretro.h"

// Right after a game loaded: the copies made and the map handed over.
void memory_map_start(retro_environment_t env);
void memory_map_stop();
// The front end's writes onto the machine.
void memory_take_writes();
// The machine's RAMs into the copies.
void memory_publish();
// Work RAM, for RETRO_MEMORY_SYSTEM_RAM; null with no game.
uint8_t* memory_system_ram(size_t* size);
