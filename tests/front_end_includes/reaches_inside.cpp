// Must not compile under the front ends' include path: the game table is the core's own.
#include "machine/core.h"
#include "machine/drivers.h"

int main() { return driver_list[0] ? 0 : 1; }
