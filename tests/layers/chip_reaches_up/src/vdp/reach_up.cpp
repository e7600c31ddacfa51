// A chip reaching up to the board.
#include <cstdint>
#include "vdp/vdp.h"
#include "machine/board.h"
