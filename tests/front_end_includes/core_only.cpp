// Compiles under the front ends' include path: core.h is all they need.
#include "host/game/rom_check.h"
#include "machine/core.h"

static_assert(picture_width == 320 && picture_height == 224);
int main() { return core_game(core_game_count) ? 0 : 1; }
