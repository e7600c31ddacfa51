#include "common/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool debug_enabled() {
    static const bool enabled = [] {
        const char* v = std::getenv("VORTAN_DEBUG");
        return v != nullptr && std::strcmp(v, "1") == 0;
    }();
    return enabled;
}
}  // namespace

void debug_log(const char* format, ...) {
    if (!debug_enabled()) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}
