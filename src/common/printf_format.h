#pragma once
// Marks a printf-like function so the compiler checks its calls. MinGW's
// plain "printf" means the Microsoft library's rules, which know no %zu; the
// program is built with the standard-conforming printf there, so it is
// checked as such.
#if defined(__MINGW32__)
#define VORTAN_PRINTF(format_index, first_arg) __attribute__((format(gnu_printf, format_index, first_arg)))
#else
#define VORTAN_PRINTF(format_index, first_arg) __attribute__((format(printf, format_index, first_arg)))
#endif
