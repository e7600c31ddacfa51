// The board's two banks of DIP switches, kept per game in a two-byte file.
// The boards' labels count the switches of a bank 1 to 8: switch n is bit
// n - 1 of its byte, and a switch that is on pulls its bit low.
#pragma once
#include <cstdint>

extern uint8_t dip_switch[2];
extern uint8_t dip_bank;
extern uint8_t dip_used;

void dip_reset();  // defaults at the start of a load
// After the ROMs loaded: reads the game's file if there is one. 0 only when
// the file's path does not fit its buffer (the load then fails).
int dip_read(const char* short_name);
// At unload: writes the file only when the switches are in use and differ
// from what was read. 0, with a line on the standard output, when that
// write failed.
int dip_write(const char* short_name, const char* description);
// The switches as they are now are what the file holds (a running game given
// back after another failed to load).
void dip_mark_stored();
void dip_toggle_bank();        // the other bank is the one bits flip in
void dip_invert_bit(int bit);  // flips switch bit + 1; a bit outside 0..7 is ignored
