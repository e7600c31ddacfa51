#include <gtest/gtest.h>

#include "vdp_test_util.h"

namespace {

struct entry {
    const uint8_t* table;
    int index;
    int result;
};

}  // namespace

TEST(PriorityTables, WorkedEntries) {
    make_table();
    const entry worked[] = {
        {lut_bg, 0x0513, 0x13},        {lut_bg, 0x4513, 0x45},        {lut_bg, 0x4553, 0x53},
        {lut_bg, 0x4040, 0x00},        {lut_obj, 0x0025, 0xA5},       {lut_obj, 0x9325, 0x93},
        {lut_bgobj, 0x8513, 0x45},     {lut_bgobj, 0x8553, 0x13},     {lut_bgobj, 0xC553, 0x45},
        {lut_bgobj_ste, 0xBE13, 0xD3}, {lut_bgobj_ste, 0xBF13, 0x93}, {lut_bgobj_ste, 0xBF53, 0x13},
        {lut_bgobj_ste, 0xFF53, 0x93}, {lut_bgobj_ste, 0xBE00, 0xC0},
    };
    for (const entry& e : worked) EXPECT_EQ(e.table[e.index], e.result) << std::hex << e.index;
}

// Properties every entry must have, whatever the operands.
TEST(PriorityTables, InvariantsOverAllEntries) {
    make_table();
    for (int hi = 0; hi < 256; hi++) {
        for (int lo = 0; lo < 256; lo++) {
            const int i = hi << 8 | lo;
            // Plane merge: never a shadow/highlight mark; transparent means 0;
            // the result is one of the two operands.
            const int bg = lut_bg[i];
            ASSERT_EQ(bg & 0x80, 0);
            if ((bg & 0x0F) == 0) {
                ASSERT_EQ(bg, 0);
            } else {
                ASSERT_TRUE(bg == (hi & 0x7F) || bg == (lo & 0x7F)) << std::hex << i;
            }
            // Sprite line: always marked as claimed, and a claimed byte stays.
            ASSERT_NE(lut_obj[i] & 0x80, 0);
            if (hi & 0x80) {
                ASSERT_EQ(lut_obj[i], hi);
            }
            // Normal mode never produces shadow or highlight bytes.
            ASSERT_EQ(lut_bgobj[i] & 0x80, 0);
            // Outside operators both modes agree.
            if ((hi & 0x3E) != 0x3E) {
                ASSERT_EQ(lut_bgobj_ste[i], lut_bgobj[i]);
            }
        }
    }
}
