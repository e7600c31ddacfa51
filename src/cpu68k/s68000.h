// The 68000 core: one live processor state in static storage and a small
// call interface. Code and data it reads directly are 16-bit words in host
// byte order (the 68000 byte at A lives at host offset A ^ 1).
#pragma once
#include <cstdint>

struct memory_handler;
using read_handler = uint32_t (*)(uint32_t address, memory_handler* entry);
using write_handler = void (*)(uint32_t address, uint32_t data, memory_handler* entry);

// Entry of the fetch list: host location of address A is offset + A.
struct fetch_region {
    uint32_t low;
    uint32_t high;
    uintptr_t offset;
};

// Entry of the four data-access lists. A null handler marks a direct entry
// whose user_data is the host address of the byte at low.
struct memory_handler {
    uint32_t low;
    uint32_t high;
    void* handler;  // read_handler or write_handler, by list
    void* user_data;
};

inline constexpr uint32_t list_end = 0xFFFFFFFFu;
inline constexpr int list_slots = 17;  // 16 entries and the terminator

struct s68000context {
    fetch_region* fetch;
    memory_handler* readbyte;
    memory_handler* readword;
    memory_handler* writebyte;
    memory_handler* writeword;
    fetch_region* s_fetch;
    memory_handler* s_readbyte;
    memory_handler* s_readword;
    memory_handler* s_writebyte;
    memory_handler* s_writeword;
    fetch_region* u_fetch;
    memory_handler* u_readbyte;
    memory_handler* u_readword;
    memory_handler* u_writebyte;
    memory_handler* u_writeword;
    void (*reset_handler)();
    uint32_t dreg[8];
    uint32_t areg[8];  // areg[7] is the active stack pointer
    uint32_t other_sp;
    uint32_t pc;
    int32_t odometer;
    uint8_t irq_block[8];  // byte 0: requested levels in bits 1-7, stopped flag in bit 0
    uint16_t sr;
    uint16_t spare;
};

// Results of s68000exec.
inline constexpr uint32_t S68000_OK = 0x80000000u;
inline constexpr uint32_t S68000_FETCH_FAULT = 0x80000001u;
inline constexpr uint32_t S68000_HALTED = 0xFFFFFFFFu;

int32_t s68000init();
int32_t s68000reset();
uint32_t s68000exec(int32_t cycles);
int32_t s68000interrupt(int32_t level, int32_t vector);
void s68000flushInterrupts();
uint32_t s68000GetContextSize();
int32_t s68000GetContext(void* block);
int32_t s68000SetContext(const void* block);
int32_t s68000fetch(uint32_t address);
uint32_t s68000readPC();
int32_t s68000readOdometer();
int32_t s68000tripOdometer();
int32_t s68000controlOdometer(int32_t trip);
void s68000releaseTimeslice();
