// Keyboard and joysticks into the three input words.
#pragma once

extern int joypad_count;

int init_input();
int init_keyboard();
int init_joypad();
void release_keyboard();
void release_joypad();
void release_input();
void get_input();
