#include <gtest/gtest.h>

#include "common/debug_log.h"

// The log must accept any format without output by default (no crash, no stdout).
TEST(DebugLog, AcceptsFormatsSilently) {
    testing::internal::CaptureStdout();
    debug_log("read byte from %08X (%08X)\n", 0x840000u, 0x100u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
