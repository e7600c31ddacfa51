// The key bindings of the board's controls and their option words.
#include "host/settings/controls.h"
#include <SDL.h>
#include <strings.h>
#include "machine/core.h"
#include "host/settings/option_rules.h"
#include "host/settings/command_table.h"

namespace {

constexpr std::array<int, control_count> default_keys = {
    SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT,
    SDL_SCANCODE_A,  SDL_SCANCODE_S,    SDL_SCANCODE_D,    SDL_SCANCODE_1,
    SDL_SCANCODE_2,  SDL_SCANCODE_3,    SDL_SCANCODE_4,    SDL_SCANCODE_5,
    SDL_SCANCODE_6,
    // Player 2: none until bound.
    0, 0, 0, 0, 0, 0, 0,
    SDL_SCANCODE_GRAVE,
};

const control_info controls[control_count] = {
    {"-key_up", "Up", 1, input_up},
    {"-key_down", "Down", 1, input_down},
    {"-key_left", "Left", 1, input_left},
    {"-key_right", "Right", 1, input_right},
    {"-key_a", "Button A", 1, input_a},
    {"-key_b", "Button B", 1, input_b},
    {"-key_c", "Button C", 1, input_c},
    // What the board's four system keys do in its games.
    {"-key_1", "Start 1 (key 1)", 0, input_key1},
    {"-key_2", "Start 2 (key 2)", 0, input_key2},
    {"-key_3", "Coin 1 (key 3)", 0, input_key3},
    {"-key_4", "Coin 2 (key 4)", 0, input_key4},
    {"-key_service", "Service", 0, input_service},
    {"-key_test", "Test", 0, input_test},
    {"-key2_up", "Up", 2, input_up},
    {"-key2_down", "Down", 2, input_down},
    {"-key2_left", "Left", 2, input_left},
    {"-key2_right", "Right", 2, input_right},
    {"-key2_a", "Button A", 2, input_a},
    {"-key2_b", "Button B", 2, input_b},
    {"-key2_c", "Button C", 2, input_c},
    {"-key_fastforward", "Fast forward (held)", -1, 0},
};

int control_for_word(const char* word) {
    for (int i = 0; i < control_count; ++i)
        if (strcasecmp(controls[i].word, word) == 0) return i;
    return -1;
}

}  // namespace

std::array<int, control_count> key_binding = default_keys;

const control_info& control(int id) { return controls[id]; }

void set_default_bindings() {
    key_binding = default_keys;
}

std::string key_word(int scancode) {
    if (scancode <= 0) return "none";
    std::string name = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
    for (char& c : name)
        if (c == ' ') c = '_';
    return name;
}

int key_from_word(const char* word) {
    if (strcasecmp(word, "none") == 0) return 0;
    std::string name = word;
    for (char& c : name)
        if (c == '_') c = ' ';
    return name.empty() ? 0 : SDL_GetScancodeFromName(name.c_str());
}

int is_key_option_word(const char* word) { return control_for_word(word) >= 0; }

int apply_key_option(const char* word, const char* value) {
    const int id = control_for_word(word);
    if (id < 0) return 0;
    const int key = key_from_word(value);
    std::string why;
    if (strcasecmp(value, "none") == 0) {
        key_binding[id] = 0;
    } else if (key == 0) {
        refuse_option(controls[id].word, value, "a key name as the Controls dialog shows it (Up, A, Keypad_1, ...)",
                      key_word(key_binding[id]));
    } else if (program_key(key)) {
        refuse_option(controls[id].word, value, "a key the program does not use for a command",
                      key_word(key_binding[id]));
    } else {
        key_binding[id] = key;
    }
    return 1;
}

std::string key_option_text(const char* word) {
    const int id = control_for_word(word);
    return id < 0 ? "" : key_word(key_binding[id]);
}

void write_key_options(std::FILE* f) {
    for (int i = 0; i < control_count; ++i)
        std::fprintf(f, "%s %s\n", controls[i].word, key_word(key_binding[i]).c_str());
}

int bind_key(int id, int scancode, std::string& why) {
    if (program_key(scancode)) {
        why = key_word(scancode) + " is one of the program's own keys (Help > Keys)";
        return 0;
    }
    for (int i = 0; i < control_count; ++i)
        if (scancode && i != id && key_binding[i] == scancode) key_binding[i] = key_binding[id];
    key_binding[id] = scancode;
    return 1;
}
