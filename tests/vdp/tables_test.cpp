#include <gtest/gtest.h>

#include <cstring>

#include "vdp_test_util.h"

TEST(PriorityTables, WorkedEntries) {
    EXPECT_EQ(make_lut_bg(0x05, 0x13), 0x13);
    EXPECT_EQ(make_lut_bg(0x45, 0x13), 0x45);
    EXPECT_EQ(make_lut_bg(0x45, 0x53), 0x53);
    EXPECT_EQ(make_lut_bg(0x40, 0x40), 0x00);
    EXPECT_EQ(make_lut_obj(0x00, 0x25), 0xA5);
    EXPECT_EQ(make_lut_obj(0x93, 0x25), 0x93);
    EXPECT_EQ(make_lut_bgobj(0x85, 0x13), 0x45);
    EXPECT_EQ(make_lut_bgobj(0x85, 0x53), 0x13);
    EXPECT_EQ(make_lut_bgobj(0xC5, 0x53), 0x45);
    EXPECT_EQ(make_lut_bgobj_ste(0xBE, 0x13), 0xD3);
    EXPECT_EQ(make_lut_bgobj_ste(0xBF, 0x13), 0x93);
    EXPECT_EQ(make_lut_bgobj_ste(0xBF, 0x53), 0x13);
    EXPECT_EQ(make_lut_bgobj_ste(0xFF, 0x53), 0x93);
    EXPECT_EQ(make_lut_bgobj_ste(0xBE, 0x00), 0xC0);
}

// Properties every entry must have, whatever the operands.
TEST(PriorityTables, InvariantsOverAllEntries) {
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
            const uint8_t obj = make_lut_obj(static_cast<uint8_t>(hi), static_cast<uint8_t>(lo));
            ASSERT_NE(obj & 0x80, 0);
            if (hi & 0x80) {
                ASSERT_EQ(obj, hi);
            }
            // Normal mode never produces shadow or highlight bytes.
            const uint8_t h = static_cast<uint8_t>(hi), l = static_cast<uint8_t>(lo);
            ASSERT_EQ(make_lut_bgobj(h, l) & 0x80, 0);
            // Outside operators both modes agree.
            if ((hi & 0x3E) != 0x3E) {
                ASSERT_EQ(make_lut_bgobj_ste(h, l), make_lut_bgobj(h, l));
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

// Eight pixels of a sprite placed at once give, in every byte, what the
// one-pixel rule gives; a transparent pixel leaves the line's byte alone.
TEST(PriorityTables, SpritePixelsPlacedEightAtOnceFollowTheRule) {
    for (int d = 0; d < 256; d++) {
        for (int colour = 0; colour < 16; colour++) {
            for (int attr = 0; attr < 0x80; attr += 0x10) {
                uint8_t line[8], colours[8];
                for (int k = 0; k < 8; k++) {
                    line[k] = static_cast<uint8_t>(k & 1 ? d ^ 0x80 : d * 5 + k * 37);
                    colours[k] = static_cast<uint8_t>((colour + k * 3) & 15);
                }
                const int lane = (d + colour) & 7;
                line[lane] = static_cast<uint8_t>(d);
                colours[lane] = static_cast<uint8_t>(colour);
                uint64_t lw, cw;
                std::memcpy(&lw, line, 8);
                std::memcpy(&cw, colours, 8);
                const uint64_t placed = place_sprite_pixels(lw, cw, attr * byte_ones);
                uint8_t out[8];
                std::memcpy(out, &placed, 8);
                for (int k = 0; k < 8; k++) {
                    const uint8_t want = colours[k] ? make_lut_obj(line[k], static_cast<uint8_t>(colours[k] | attr)) : line[k];
                    ASSERT_EQ(out[k], want) << std::hex << "line " << int(line[k]) << " colour " << int(colours[k]);
                }
            }
        }
    }
}

// Eight sprite-line bytes over eight line bytes, in both modes, give in
// every byte what the one-pixel rules give, for every byte the renderer can
// make: a sprite-line byte is 0 or opaque with bit 7 set, a line byte 0 or
// opaque with bit 7 clear.
TEST(PriorityTables, SpritesOverTheLineEightAtOnceFollowTheRules) {
    const auto sprite_byte = [](int x) { return static_cast<uint8_t>(x & 0x0F ? x | 0x80 : 0); };
    const auto line_byte = [](int x) { return static_cast<uint8_t>(x & 0x0F ? x & 0x7F : 0); };
    for (int hi = 0; hi < 256; hi++) {
        for (int lo = 0; lo < 256; lo++) {
            uint8_t s[8], p[8];
            for (int k = 0; k < 8; k++) {
                s[k] = sprite_byte(k & 1 ? hi ^ 0x41 : hi * 3 + k * 29);
                p[k] = line_byte(k & 2 ? lo ^ 0x4E : lo * 7 + k * 53);
            }
            const int lane = (hi ^ lo) & 7;
            s[lane] = sprite_byte(hi);
            p[lane] = line_byte(lo);
            uint64_t sw, pw;
            std::memcpy(&sw, s, 8);
            std::memcpy(&pw, p, 8);
            for (bool shadow_highlight : {false, true}) {
                const uint64_t merged = merge_sprites(sw, pw, shadow_highlight);
                uint8_t out[8];
                std::memcpy(out, &merged, 8);
                for (int k = 0; k < 8; k++) {
                    const uint8_t want = shadow_highlight ? make_lut_bgobj_ste(s[k], p[k]) : make_lut_bgobj(s[k], p[k]);
                    ASSERT_EQ(out[k], want) << std::hex << "s " << int(s[k]) << " p " << int(p[k]) << " mode "
                                            << shadow_highlight;
                }
            }
        }
    }
}
