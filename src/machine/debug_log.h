// Diagnostic lines of the board (unmapped accesses, bad VDP commands...).
// Dropped unless VORTAN_DEBUG=1 is set in the environment, then sent to stderr.
#pragma once
#include "common/printf_format.h"

void debug_log(const char* format, ...) VORTAN_PRINTF(1, 2);
