// The interface layer over the 68000 core: three CPU contexts, each with
// its own memory-map lists. The rest of the machine talks only to this.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "cpu68k/s68000.h"

struct m68k_context_entry {
    s68000context* state;  // this context's saved block
    uint8_t fetch_count;
    uint8_t read_byte_count;
    uint8_t read_word_count;
    uint8_t write_byte_count;
    uint8_t write_word_count;
    fetch_region fetch[list_slots];
    memory_handler read_byte[list_slots];
    memory_handler read_word[list_slots];
    memory_handler write_byte[list_slots];
    memory_handler write_word[list_slots];
};

inline constexpr int m68k_context_count = 3;
extern m68k_context_entry m68k_context[m68k_context_count];
extern uint32_t m68k_context_index;

int m68k_init();
// The processor's registers and interrupt state, outside m68k_execute.
void m68k_save_state(std::vector<uint8_t>& out);
int m68k_load_state(const uint8_t* data, size_t size);  // 0: not a whole state, nothing changed
// An index above 2, or a switch before m68k_init, is refused and changes nothing.
void m68k_switch(uint32_t index);
int32_t m68k_reset();
uint32_t m68k_execute(int32_t cycles);
int32_t m68k_cause_interrupt(int32_t level);
void m68k_flush_interrupts();
uint32_t m68k_readpc();
void m68k_stop();
int32_t m68k_clear_cycles();
int32_t m68k_get_elapsed_cycles();
int32_t m68k_fetch(uint32_t address);
// The processor spends this many cycles off the bus (a chip holds it). From
// a memory handler they come out of the running slice, which ends after the
// current instruction when they use up the rest of it; outside a slice they
// are counted as run. The elapsed cycles move on by the cycles taken.
void m68k_charge(int32_t cycles);

// Appends return 1, or 0 when the list already holds 16 entries (nothing is written).
// The combined appends (read, write, readwrite) are refused as a whole, writing
// to none of their lists, when any one of them is full.
int m68k_add_fetch(uint32_t low, uint32_t high, void* base);
int m68k_add_readbyte(uint32_t low, uint32_t high, read_handler handler, void* user_data);
int m68k_add_readword(uint32_t low, uint32_t high, read_handler handler, void* user_data);
int m68k_add_writebyte(uint32_t low, uint32_t high, write_handler handler, void* user_data);
int m68k_add_writeword(uint32_t low, uint32_t high, write_handler handler, void* user_data);
int m68k_add_read(uint32_t low, uint32_t high, read_handler handler, void* user_data);
int m68k_add_write(uint32_t low, uint32_t high, write_handler handler, void* user_data);
// Direct entries (plain memory) on all four lists: user_data is the buffer.
int m68k_add_readwrite(uint32_t low, uint32_t high, void* handler, void* user_data);

void m68k_modify_fetch_data(uint32_t low, uint32_t high, void* base);
void m68k_modify_readbyte_data(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_readword_data(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_writebyte_data(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_writeword_data(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_read_data(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_write_data(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_readwrite_data(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_fetch_addr(uint32_t low, uint32_t high, void* base);
void m68k_modify_readbyte_addr(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_readword_addr(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_writebyte_addr(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_writeword_addr(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_read_addr(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_write_addr(uint32_t low, uint32_t high, void* handler, void* user_data);
void m68k_modify_readwrite_addr(uint32_t low, uint32_t high, void* handler, void* user_data);
