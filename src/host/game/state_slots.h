// Saved states in the program: ten slots per game in the state folder,
// "<game>-<slot>.sta", and the rewind settings.
#pragma once
#include <string>

inline constexpr int state_slot_count = 10;

// The folder and the rewind options are in host/options.h.

extern int state_slot;  // the slot F5 and F7 use

// The slot's file for the running game ("" when no game runs).
std::string state_slot_path(int slot);
int state_slot_used(int slot);

// Each shows its outcome on screen (and a failure on standard error too).
int save_state_slot();
int load_state_slot();
void next_state_slot();
void select_state_slot(int slot);

// Rewind as the options say, for the game just started.
void apply_rewind_option();
