// Keyboard and joysticks into the three input words, and the scripted
// input of -playback and -record.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "host/platform/host_system.h"

extern int joypad_support;

int init_input();
int init_keyboard();
int init_joypad();
void release_keyboard();
void release_joypad();
void release_input();
// Reads this frame's controls (devices or script) and gives them to the core.
void send_frame_input();
// Backspace, which runs the game backwards while held.
int rewind_key_held();
// The fast-forward key (the grave accent unless rebound) is held.
int fast_forward_held();
// The held words of a frame, from the script or the devices (and recorded).
void read_input(uint32_t frame);

// Key state by SDL scancode; a key is held when bit 7 of its byte is set.
inline constexpr int key_state_size = 512;
extern uint8_t key_state[key_state_size];

// One joystick's state: axes scaled to -1024..1024, 32 button bytes
// (128 = held). Both joysticks share it, each poll overwrites it.
struct joystick_state {
    int32_t x, y;
    uint8_t buttons[32];
};
extern joystick_state joy_state;

void update_keyboard();
int check_keyboard(int code);
void update_joypad(int index);
int check_x_joypad(int index);
int check_y_joypad(int index);
int check_btn_joypad(int index, int button);

// The controls held now, as the board's three input words.
extern uint32_t held_p1;
extern uint32_t held_p2;
extern uint32_t held_system;
// Adds what the keyboard and joysticks hold to the three words.
void read_devices();

// SDL's -32768..32767 axis onto the -1024..1024 range.
int32_t scale_axis(int16_t raw);

// Where the devices' state comes from; tests put fakes here. Null restores
// the real SDL devices.
struct input_devices {
    int (*read_keyboard)(uint8_t* state, int size);   // 1 when read
    int (*read_joypad)(int index, joystick_state* state);  // 1 when read
    int keyboard_present;
    int joypads_present;   // devices at indexes 0..joypads_present-1
};
void set_input_devices(const input_devices* devices);

// Scripted input: lines "FRAME CONTROL...", controls held from FRAME on.
struct input_script_line {
    uint32_t frame;
    uint32_t p1, p2, system;
};
// Reads a script; on a fault returns 0 with a message naming the line.
int parse_input_script(const char* text, std::vector<input_script_line>& lines,
                       std::string& error);
// The controls of the three words as script words ("p1.up key1 ...").
std::string format_controls(uint32_t p1, uint32_t p2, uint32_t system);

// -playback: the script replaces the devices from then on. Only a regular
// file within the playback script's size bound is read.
int start_playback(const char* file_name, std::string& error);
// -record: every change of the words is written with its frame number. The
// record replaces the old file only when it is stopped and kept whole.
int start_record(const char* file_name, std::string& error);
// Ends the record: kept, it replaces the old file, 0 when it could not be
// written completely (the old file then stays); not kept, the old file stays.
int stop_record(int keep = 1);
void stop_playback();
// The game's frame number at the last send_frame_input, counted from 0.
extern uint32_t input_frame;
