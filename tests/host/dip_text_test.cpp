#include <gtest/gtest.h>

#include "host/ui/dip_switches.h"

namespace {

// A switch that is on pulls its bit low; switch n is bit n - 1.
TEST(DipBankText, NamesTheSwitchesThatAreOnCountingFromOne) {
    EXPECT_EQ(dip_bank_text(0, 0xFF), "DIP bank 1 on: none");
    EXPECT_EQ(dip_bank_text(1, 0xEE), "DIP bank 2 on: 1 5");
    EXPECT_EQ(dip_bank_text(0, 0x7F), "DIP bank 1 on: 8");
    EXPECT_EQ(dip_bank_text(1, 0x00), "DIP bank 2 on: 1 2 3 4 5 6 7 8");
}

}  // namespace
