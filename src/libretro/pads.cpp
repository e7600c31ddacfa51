#include "pads.h"

#include "machine/core.h"

namespace {

struct pad_bit {
    unsigned id;
    uint32_t bit;
    const char* name;
};
constexpr pad_bit player_bits[] = {
    {RETRO_DEVICE_ID_JOYPAD_UP, input_up, "Up"},
    {RETRO_DEVICE_ID_JOYPAD_DOWN, input_down, "Down"},
    {RETRO_DEVICE_ID_JOYPAD_LEFT, input_left, "Left"},
    {RETRO_DEVICE_ID_JOYPAD_RIGHT, input_right, "Right"},
    {RETRO_DEVICE_ID_JOYPAD_Y, input_a, "Button A"},
    {RETRO_DEVICE_ID_JOYPAD_B, input_b, "Button B"},
    {RETRO_DEVICE_ID_JOYPAD_A, input_c, "Button C"},
};
// The system port wires coins to keys 3 and 4 and the start buttons to keys 1 and 2.
constexpr pad_bit system_bits[2][2] = {
    {{RETRO_DEVICE_ID_JOYPAD_SELECT, input_key3, "Coin 1 (key 3)"},
     {RETRO_DEVICE_ID_JOYPAD_START, input_key1, "Start 1 (key 1)"}},
    {{RETRO_DEVICE_ID_JOYPAD_SELECT, input_key4, "Coin 2 (key 4)"},
     {RETRO_DEVICE_ID_JOYPAD_START, input_key2, "Start 2 (key 2)"}},
};

}  // namespace

void pads_describe(retro_environment_t env, service_buttons buttons) {
    retro_input_descriptor list[2 * (7 + 2) + 2 + 1] = {};
    int n = 0;
    for (unsigned port = 0; port < 2; port++) {
        for (const pad_bit& b : player_bits) list[n++] = {port, RETRO_DEVICE_JOYPAD, 0, b.id, b.name};
        for (const pad_bit& b : system_bits[port]) list[n++] = {port, RETRO_DEVICE_JOYPAD, 0, b.id, b.name};
    }
    list[n++] = {0, RETRO_DEVICE_JOYPAD, 0, buttons.service, "Service"};
    list[n++] = {0, RETRO_DEVICE_JOYPAD, 0, buttons.test, "Test"};
    env(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS, list);
}

input_words pads_read(retro_input_state_t state, service_buttons buttons) {
    input_words w = {0, 0, 0};
    for (unsigned port = 0; port < 2; port++) {
        uint32_t& player = port ? w.p2 : w.p1;
        for (const pad_bit& b : player_bits)
            if (state(port, RETRO_DEVICE_JOYPAD, 0, b.id)) player |= b.bit;
        for (const pad_bit& b : system_bits[port])
            if (state(port, RETRO_DEVICE_JOYPAD, 0, b.id)) w.system |= b.bit;
    }
    if (state(0, RETRO_DEVICE_JOYPAD, 0, buttons.service)) w.system |= input_service;
    if (state(0, RETRO_DEVICE_JOYPAD, 0, buttons.test)) w.system |= input_test;
    return w;
}
