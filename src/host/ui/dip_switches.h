// The DIP switches of the running game: the window that shows both banks as
// eight switches each, applied at once, and the saving of every change.
#pragma once
#include <cstdint>
#include <string>

extern int dip_window;  // the DIP switches window is open

// Writes the switches to <dipdir>/<game>.dip, making the folder when
// needed; a failure is said on screen and kept for the window. 1 when saved.
int save_dip_switches();
// How the last save went, for the window ("" before any).
extern std::string dip_save_status;
extern int dip_save_failed;

// The line the DIP keys show, by switch: "DIP bank 1 on: 1 5" (banks
// 1 and 2; "none" when every switch is off). Switch n is bit n - 1 of the
// bank's byte, and a switch that is on pulls its bit low.
std::string dip_bank_text(int bank, uint8_t switches);

// Draws the window while dip_window is set (inside an ImGui frame).
void draw_dip_window();
