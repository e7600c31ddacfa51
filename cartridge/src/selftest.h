/* The self-test page: processor checks and VDP DMA checks. */
#ifndef SELFTEST_H
#define SELFTEST_H
#include "hw.h"

void selftest_run_page(void);

#endif
