// The board's controls on the keyboard: which key holds each one, kept in
// vortan.cfg as option words ("-key_up Up"), and changed from the Controls
// dialog. Player 2's keys are unbound until the player binds them; the
// fast-forward key is bound like a control.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

enum control_id : int {
    control_up, control_down, control_left, control_right, control_a, control_b, control_c,
    control_key1, control_key2, control_key3, control_key4, control_service, control_test,
    control_p2_up, control_p2_down, control_p2_left, control_p2_right, control_p2_a, control_p2_b, control_p2_c,
    control_fast_forward,
    control_count
};

struct control_info {
    const char* word;   // option word: "-key_up"
    const char* label;  // as the Controls dialog names it
    int player;         // 1 or 2: of that player's word, 0: of the system word, -1: the program's
    uint32_t bit;       // its bit in that word
};
const control_info& control(int id);

// SDL scancode of each control, 0 for none; the defaults hold before any
// option is read.
extern std::array<int, control_count> key_binding;

void set_default_bindings();

// Key names as option values: SDL's names with '_' for blanks ("Keypad_1").
std::string key_word(int scancode);
// 0 (no key) for "none" and for a name SDL does not know.
int key_from_word(const char* word);

// The option words of the bindings, for the configuration file.
int is_key_option_word(const char* word);
// Sets a binding from the file or the command line; a value that names no
// key is refused. 0 when the word is no binding.
int apply_key_option(const char* word, const char* value);
void write_key_options(std::FILE* f);
// The key a binding's option word holds now ("" when the word is no binding).
std::string key_option_text(const char* word);

// Binds a key to a control; a control that held the key takes this one's
// old key. 0, with the reason, for a key the program keeps for itself
// (program_key).
int bind_key(int id, int scancode, std::string& why);
