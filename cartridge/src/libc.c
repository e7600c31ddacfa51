/* The two helpers the compiler may call for block copies and clears. */
#include "hw.h"

void *memcpy(void *dst, const void *src, unsigned long n)
{
    u8 *d = dst;
    const u8 *s = src;
    while (n--)
        *d++ = *s++;
    return dst;
}

void *memset(void *dst, int c, unsigned long n)
{
    u8 *d = dst;
    while (n--)
        *d++ = (u8)c;
    return dst;
}
