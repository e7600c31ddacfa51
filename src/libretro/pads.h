// Two RetroPads as the board's controls: directions, buttons A B C on Y B A,
// coin on Select and start on Start, Service and Test where the options say.
#pragma once
#include <cstdint>

#include "libretro.h"
#include "options.h"

struct input_words {
    uint32_t p1, p2, system;
};

// The names RetroArch shows for each pad button.
void pads_describe(retro_environment_t env, service_buttons buttons);
input_words pads_read(retro_input_state_t state, service_buttons buttons);
