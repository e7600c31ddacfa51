// Minimal bodies until the interface layer is written; remove each as it lands.
#include "cpu68k/m68k.h"

m68k_context_entry m68k_context[m68k_context_count];
uint32_t m68k_context_index;
int m68k_init() { return 1; }
void m68k_switch(uint32_t) {}
int32_t m68k_reset() { return s68000reset(); }
uint32_t m68k_execute(int32_t cycles) { return s68000exec(cycles); }
int32_t m68k_cause_interrupt(int32_t level) { return s68000interrupt(level, -1); }
void m68k_flush_interrupts() {}
uint32_t m68k_readpc() { return s68000readPC(); }
void m68k_stop() {}
int32_t m68k_clear_cycles() { return s68000tripOdometer(); }
int32_t m68k_get_elapsed_cycles() { return s68000readOdometer(); }
int32_t m68k_fetch(uint32_t address) { return s68000fetch(address); }
int m68k_add_fetch(uint32_t, uint32_t, void*) { return 1; }
int m68k_add_readbyte(uint32_t, uint32_t, read_handler, void*) { return 1; }
int m68k_add_readword(uint32_t, uint32_t, read_handler, void*) { return 1; }
int m68k_add_writebyte(uint32_t, uint32_t, write_handler, void*) { return 1; }
int m68k_add_writeword(uint32_t, uint32_t, write_handler, void*) { return 1; }
int m68k_add_read(uint32_t, uint32_t, read_handler, void*) { return 1; }
int m68k_add_write(uint32_t, uint32_t, write_handler, void*) { return 1; }
int m68k_add_readwrite(uint32_t, uint32_t, void*, void*) { return 1; }
