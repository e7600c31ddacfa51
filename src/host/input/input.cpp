// Keyboard and joysticks read through SDL, mapped onto the board's three
// input words once per emulated frame.
#include <SDL.h>
#include <cstring>
#include "host/settings/controls.h"
#include "host/video/display.h"
#include "host/input/input.h"
#include "host/settings/options.h"
#include "machine/core.h"

int joypad_support;
uint8_t key_state[key_state_size];
joystick_state joy_state;
uint32_t input_frame;

namespace {

int input_ready;     // the event subsystem is up
int keyboard_ready;  // keyboard state may be read
SDL_Joystick* joypads[2];
const input_devices* fake_devices;

int sdl_read_keyboard(uint8_t* state, int size) {
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    if (!keys) return 0;
    if (count > size) count = size;
    for (int i = 0; i < count; ++i) state[i] = keys[i] ? 0x80 : 0;
    return 1;
}

int sdl_read_joypad(int index, joystick_state* state) {
    SDL_Joystick* j = joypads[index];
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(j)) return 0;
    state->x = scale_axis(SDL_JoystickGetAxis(j, 0));
    state->y = scale_axis(SDL_JoystickGetAxis(j, 1));
    int buttons = SDL_JoystickNumButtons(j);
    for (int b = 0; b < 32; ++b)
        state->buttons[b] = (b < buttons && SDL_JoystickGetButton(j, b)) ? 128 : 0;
    return 1;
}

int keyboard_present() { return fake_devices ? fake_devices->keyboard_present : keyboard_ready; }

int joypad_present(int index) {
    if (index < 0 || index > 1) return 0;
    if (fake_devices) return index < fake_devices->joypads_present;
    return joypad_support && joypads[index] != nullptr;
}

void input_error() {
    msg_box("Error initializing input", "SC Direct input");
    release_input();
    release_keyboard();
}

void read_player(int index, int a, int b, int c, uint32_t& word) {
    update_joypad(index);
    int x = check_x_joypad(index), y = check_y_joypad(index);
    if (x < 0) word |= input_left;
    if (x > 0) word |= input_right;
    if (y < 0) word |= input_up;
    if (y > 0) word |= input_down;
    if (check_btn_joypad(index, a)) word |= input_a;
    if (check_btn_joypad(index, b)) word |= input_b;
    if (check_btn_joypad(index, c)) word |= input_c;
}

}  // namespace

int32_t scale_axis(int16_t raw) {
    int32_t v = (int32_t)raw * 1024 / 32767;
    return v < -1024 ? -1024 : (v > 1024 ? 1024 : v);
}

void set_input_devices(const input_devices* devices) { fake_devices = devices; }

int init_input() {
    // Joysticks are read while the window is in the background too.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        input_error();
        return 0;
    }
    input_ready = 1;
    joypad_support = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    return 1;
}

void release_input() {
    if (joypad_support) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    if (input_ready) SDL_QuitSubSystem(SDL_INIT_EVENTS);
    joypad_support = 0;
    input_ready = 0;
}

int init_keyboard() {
    keyboard_ready = input_ready;
    return 1;
}

void release_keyboard() {
    std::memset(key_state, 0, sizeof key_state);
    keyboard_ready = 0;
}

int init_joypad() {
    if (!joypad_support) return 1;
    int found = SDL_NumJoysticks();
    if (found < 0) {
        msg_box("Enumeration", "SC enum direct input");
        found = 0;
    }
    // The first two devices that open are players' joysticks 0 and 1.
    for (int i = 0; i < found && joypad_count < 2; ++i) {
        SDL_Joystick* j = SDL_JoystickOpen(i);
        if (j) joypads[joypad_count++] = j;
    }
    return 1;
}

void release_joypad() {
    for (SDL_Joystick*& j : joypads) {
        if (j) SDL_JoystickClose(j);
        j = nullptr;
    }
    joypad_count = 0;
}

void update_keyboard() {
    // A failed read keeps the previous state until the next one succeeds.
    if (fake_devices) {
        if (fake_devices->read_keyboard) fake_devices->read_keyboard(key_state, key_state_size);
    } else if (keyboard_ready) {
        sdl_read_keyboard(key_state, key_state_size);
    }
}

int rewind_key_held() {
    if (!keyboard_present()) return 0;
    update_keyboard();
    return check_keyboard(SDL_SCANCODE_BACKSPACE);
}

int fast_forward_held() {
    if (!keyboard_present() || !key_binding[control_fast_forward]) return 0;
    update_keyboard();
    return check_keyboard(key_binding[control_fast_forward]);
}

int check_keyboard(int code) {
    if (code < 0 || code >= key_state_size) return 0;
    return keyboard_present() && (key_state[code] & 0x80) != 0;
}

void update_joypad(int index) {
    if (!joypad_present(index)) return;
    // A failed read leaves joy_state as it was, possibly the other stick's.
    if (fake_devices) {
        if (fake_devices->read_joypad) fake_devices->read_joypad(index, &joy_state);
    } else {
        sdl_read_joypad(index, &joy_state);
    }
}

int check_x_joypad(int index) {
    if (!joypad_present(index)) return 0;
    return joy_state.x > 128 ? 1 : (joy_state.x < -128 ? -1 : 0);
}

int check_y_joypad(int index) {
    if (!joypad_present(index)) return 0;
    return joy_state.y > 128 ? 1 : (joy_state.y < -128 ? -1 : 0);
}

int check_btn_joypad(int index, int button) {
    // Button numbers come unchecked from the configuration file.
    if (!joypad_present(index) || button < 0 || button >= 32) return 0;
    return joy_state.buttons[button] > 127;
}

void read_devices() {
    update_keyboard();
    for (int id = 0; id < control_count; ++id) {
        if (!key_binding[id] || !check_keyboard(key_binding[id])) continue;
        const int player = control(id).player;
        if (player >= 0) (player == 1 ? held_p1 : player == 2 ? held_p2 : held_system) |= control(id).bit;
    }
    if (check_keyboard(key_binding[control_service])) paint_msg_video("Service");
    if (check_keyboard(key_binding[control_test])) paint_msg_video("Test");
    read_player(joy1, joy1_a, joy1_b, joy1_c, held_p1);
    read_player(joy2, joy2_a, joy2_b, joy2_c, held_p2);
}

void send_frame_input() {
    // Scripts count the frames of the game, a loaded state's included.
    read_input(static_cast<uint32_t>(core_frame_number()));
    core_set_input(held_p1, held_p2, held_system);
}
