// Minimal bodies until the processor core is written; remove each as it lands.
#include "cpu68k/m68k.h"

int32_t s68000init() { return 0; }
int32_t s68000reset() { return 1; }
uint32_t s68000exec(int32_t) { return S68000_OK; }
int32_t s68000interrupt(int32_t, int32_t) { return 0; }
void s68000flushInterrupts() {}
uint32_t s68000GetContextSize() { return sizeof(s68000context); }
int32_t s68000GetContext(void*) { return 0; }
int32_t s68000SetContext(const void*) { return 0; }
int32_t s68000fetch(uint32_t) { return -1; }
uint32_t s68000readPC() { return 0; }
int32_t s68000readOdometer() { return 0; }
int32_t s68000tripOdometer() { return 0; }
int32_t s68000controlOdometer(int32_t) { return 0; }
void s68000releaseTimeslice() {}

