// Diagnostic lines of the board (unmapped accesses, bad VDP commands...).
// Dropped unless VORTAN_DEBUG=1 is set in the environment, then sent to stderr.
#pragma once

void debug_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
