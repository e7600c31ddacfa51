#include <gtest/gtest.h>

#include <cstring>

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
    EXPECT_EQ(make_lut_bg(0x05, 0x13), 0x13);
    EXPECT_EQ(make_lut_bg(0x45, 0x13), 0x45);
    EXPECT_EQ(make_lut_bg(0x45, 0x53), 0x53);
    EXPECT_EQ(make_lut_bg(0x40, 0x40), 0x00);
    const entry worked[] = {
        {lut_obj, 0x0025, 0xA5},       {lut_obj, 0x9325, 0x93},
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
            const int bg = make_lut_bg(static_cast<uint8_t>(hi), static_cast<uint8_t>(lo));
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

// The eight-pixel plane merge gives, in every byte, what the one-pixel rule
// gives for that byte's pair, whatever its neighbours hold.
TEST(PriorityTables, PlaneMergeOfEightPixelsFollowsTheRule) {
    for (int hi = 0; hi < 256; hi++) {
        for (int lo = 0; lo < 256; lo++) {
            const auto b = static_cast<uint8_t>(hi), a = static_cast<uint8_t>(lo);
            const uint8_t want = make_lut_bg(b, a);
            const int lane = (hi * 7 + lo) & 7;
            // Neighbours of every kind: the pair's complement and a fixed mix.
            uint8_t bs[8], as[8];
            for (int k = 0; k < 8; k++) {
                bs[k] = static_cast<uint8_t>(k & 1 ? ~b : 0x4F + k * 0x22);
                as[k] = static_cast<uint8_t>(k & 2 ? ~a : 0x8A - k * 0x13);
            }
            bs[lane] = b;
            as[lane] = a;
            uint64_t bw, aw;
            std::memcpy(&bw, bs, 8);
            std::memcpy(&aw, as, 8);
            const uint64_t merged = merge_planes(bw, aw);
            uint8_t out[8];
            std::memcpy(out, &merged, 8);
            for (int k = 0; k < 8; k++)
                ASSERT_EQ(out[k], make_lut_bg(bs[k], as[k])) << std::hex << "b " << int(bs[k]) << " a " << int(as[k]);
            ASSERT_EQ(out[lane], want);
        }
    }
}
