// The demo cartridge on the whole machine: pictures and sound that the
// program writes in headless runs driven by input scripts.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace {

// Colours of the cartridge's palette (4 bits a component) as the snapshot shows them.
rgb colour(int r, int g, int b) { return {r * 255 * 2 / 31, g * 255 * 2 / 31, b * 255 * 2 / 31}; }
const rgb white = colour(15, 15, 15);
const rgb yellow = colour(15, 14, 0);
const rgb green = colour(2, 14, 2);
const rgb red = colour(14, 2, 2);
const rgb player_orange = colour(15, 8, 0);
const rgb highlight_grey = colour(10, 10, 10);

picture snapshot(const scratch_dir& dir, int frames, const std::string& script, const std::string& options = {}) {
    picture p;
    EXPECT_EQ(run_demo(dir, frames, script, "-snapshot shot.png " + options), 0);
    EXPECT_TRUE(read_png(dir.file("shot.png"), p));
    return p;
}

sound recording(const scratch_dir& dir, int frames, const std::string& script, const std::string& options = {}) {
    sound s;
    EXPECT_EQ(run_demo(dir, frames, script, "-wavwrite out.wav " + options), 0);
    EXPECT_TRUE(read_wav(dir.file("out.wav"), s));
    EXPECT_EQ(int(s.samples.size()), frames * (s.rate / 60));
    return s;
}

// Leftmost column of the player's own colour, -1 when it is not on screen.
int player_left(const picture& p) {
    for (int x = 0; x < p.width; x++)
        for (int y = 0; y < p.height; y++)
            if (near(p.at(x, y), player_orange, 12)) return x;
    return -1;
}

// A DIP file whose switch 1 of bank 0 is on: the music stays off.
std::string quiet_dip(const scratch_dir& dir) {
    dir.file("dip/demo.dip", std::string("\xFE\xFF", 2));
    return "-dipdir dip";
}

}  // namespace

TEST(DemoCartridge, TitleAndReferenceDigitsAtTheirPlaces) {
    scratch_dir dir;
    picture p = snapshot(dir, 120, "");
    ASSERT_EQ(p.width, 320);
    ASSERT_EQ(p.height, 224);
    EXPECT_EQ(read_text(p, 9, 2, 21, yellow), "VORTAN DEMO CARTRIDGE");
    EXPECT_EQ(read_text(p, 12, 4, 16, white), "0123456789ABCDEF");
    EXPECT_EQ(read_text(p, 2, 19, 13, white), "A: FM JINGLE ");
    // Every letter is really drawn, not read off an empty cell.
    EXPECT_GT(cell_shows(p, 9, 2, 'V', yellow), 10);
}

TEST(DemoCartridge, PlayerMovesTwoPixelsPerFrameHeldRight) {
    scratch_dir still, moved;
    int x0 = player_left(snapshot(still, 100, ""));
    int x1 = player_left(snapshot(moved, 100, "40 p1.right\n70\n"));
    ASSERT_GE(x0, 0);
    EXPECT_EQ(x1 - x0, 60);  // held for 30 frames
    scratch_dir fast;
    EXPECT_EQ(player_left(snapshot(fast, 100, "40 p1.right p1.a\n50\n")) - x0, 40);  // A doubles the speed
    scratch_dir edge;
    EXPECT_EQ(player_left(snapshot(edge, 200, "10 p1.right\n")), 320 - 16 + 1);  // stops at the edge
}

// Orange pixels of the ship above and below its middle line.
std::pair<int, int> player_halves(const picture& p) {
    int top = -1, upper = 0, lower = 0;
    for (int y = 0; y < p.height && top < 0; y++)
        for (int x = 0; x < p.width; x++)
            if (near(p.at(x, y), player_orange, 12)) top = y;
    for (int y = top; y >= 0 && y < top + 16 && y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            if (near(p.at(x, y), player_orange, 12)) (y < top + 7 ? upper : lower)++;
    return {upper, lower};
}

TEST(DemoCartridge, ButtonCFlipsThePlayerUpsideDown) {
    scratch_dir plain, flipped;
    auto [up0, low0] = player_halves(snapshot(plain, 60, ""));
    auto [up1, low1] = player_halves(snapshot(flipped, 60, "30 p1.c\n"));
    EXPECT_LT(up0, low0);  // the ship's nose is narrow
    EXPECT_GT(up1, low1);
}

TEST(DemoCartridge, BarShowsHeldControlsAndDipBytesInHex) {
    scratch_dir dir;
    dir.file("dip/demo.dip", std::string("\x5A\xC3", 2));
    picture p = snapshot(dir, 60, "30 p1.left p1.c p2.down key3\n", "-dipdir dip");
    EXPECT_EQ(read_text(p, 1, 26, 29, white), "P1 7E P2 EF SY FE D0 5A D1 C3");
    scratch_dir idle;
    picture q = snapshot(idle, 60, "");
    EXPECT_EQ(read_text(q, 1, 26, 29, white), "P1 FF P2 FF SY FF D0 FF D1 FF");
}

TEST(DemoCartridge, SelfTestPageShowsEveryCheckPassing) {
    scratch_dir dir;
    picture p = snapshot(dir, 60, "20 test\n22\n");
    EXPECT_EQ(read_text(p, 2, 1, 9, white), "SELF TEST");
    const int checks = 17;
    for (int row = 3; row < 3 + checks; row++) {
        rgb mark = p.at(2 * 8 + 4, row * 8 + 4);
        EXPECT_TRUE(near(mark, green)) << "row " << row << ": " << read_text(p, 4, row, 20, white);
        EXPECT_FALSE(near(mark, red));
        EXPECT_EQ(read_text(p, 26, row, 4, white), "PASS") << "row " << row;
    }
    EXPECT_EQ(read_text(p, 4, 3 + checks + 1, 17, white), "ALL CHECKS PASSED");
    // Test again goes back to the title.
    scratch_dir back;
    EXPECT_EQ(read_text(snapshot(back, 60, "20 test\n22\n30 test\n32\n"), 9, 2, 21, yellow), "VORTAN DEMO CARTRIDGE");
}

TEST(DemoCartridge, PaletteKeyAndShadowHighlightKey) {
    scratch_dir plain, banked, shaded;
    picture a = snapshot(plain, 80, "");
    picture b = snapshot(banked, 80, "20 key1\n22\n", "");
    picture c = snapshot(shaded, 80, "20 key2\n22\n", "");
    EXPECT_EQ(read_text(a, 1, 27, 20, white), "BANK 0 SEL 00 S/H OF");
    EXPECT_EQ(read_text(b, 1, 27, 13, white), "BANK 1 SEL 00");
    EXPECT_EQ(read_text(c, 15, 27, 6, white), "S/H ON");
    // The backdrop takes another tint in the other bank; the text keeps its colour.
    int changed = 0, flat = 0, still_flat = 0;
    for (int y = 40; y < 140; y++)
        for (int x = 0; x < 320; x++) {
            rgb pa = a.at(x, y), pb = b.at(x, y);
            changed += !near(pa, pb, 8);
            // The highlight operator draws flat grey only outside shadow/highlight mode.
            flat += near(pa, highlight_grey, 6);
            still_flat += near(c.at(x, y), highlight_grey, 6);
        }
    EXPECT_GT(changed, 20000);
    EXPECT_GT(flat, 400);
    EXPECT_LT(still_flat, flat / 4);
}

// With the classic FM model, which hears a frame's writes together: the
// note the demo keys in its first frame, before it reads the switch, is
// keyed off again unheard.
TEST(DemoCartridge, JinglePsgAndVoiceOnTheButtons) {
    scratch_dir dir;
    sound s = recording(dir, 400, "30 p1.a\n32\n200 p1.b\n202\n300 p1.c\n302\n", quiet_dip(dir) + " -fm classic");
    ASSERT_EQ(s.rate, 44100);
    EXPECT_LT(rms(s.frames(0, 29)), 1.0);  // music switched off by the DIP switch
    // The jingle's first note: A at 440 Hz (FM frequency number 1083, block 4).
    EXPECT_NEAR(tone_frequency(s.frames(33, 48), s.rate), 440.125, 4.4);
    EXPECT_GT(rms(s.frames(33, 48)), 3000.0);
    // The PSG's first tone: period 127, 3579545 / (32 x 127) Hz.
    EXPECT_NEAR(tone_frequency(s.frames(203, 218), s.rate), 880.79, 8.8);
    EXPECT_LT(rms(s.frames(255, 299)), 1.0);
    // The spoken word lasts about 0.6 s, then the chip holds a constant.
    EXPECT_GT(rms(s.frames(303, 335)), 1000.0);
    EXPECT_LT(rms(s.frames(345, 400)), 1.0);
}

// The chip model hears that first note for its frame, then its release.
TEST(DemoCartridge, JinglePsgAndVoiceWithTheChipModel) {
    scratch_dir dir;
    sound s = recording(dir, 400, "30 p1.a\n32\n200 p1.b\n202\n300 p1.c\n302\n", quiet_dip(dir) + " -fm chip");
    ASSERT_EQ(s.rate, 44100);
    EXPECT_NEAR(tone_frequency(s.frames(33, 48), s.rate), 440.125, 4.4);
    EXPECT_GT(rms(s.frames(33, 48)), 3000.0);
    EXPECT_NEAR(tone_frequency(s.frames(203, 218), s.rate), 880.79, 8.8);
    EXPECT_LT(rms(s.frames(255, 299)), 1.0);
    EXPECT_GT(rms(s.frames(303, 335)), 1000.0);
    EXPECT_LT(rms(s.frames(345, 400)), 1.0);
}

TEST(DemoCartridge, MusicByDefaultAndSilenceWhenMuted) {
    scratch_dir music;
    EXPECT_GT(rms(recording(music, 120, "").frames(10, 120)), 500.0);
    scratch_dir muted;
    sound s = recording(muted, 240, "20 key3\n22\n60 p1.a\n62\n100 p1.b\n102\n140 p1.c\n142\n");
    EXPECT_LT(rms(s.frames(50, 240)), 1.0);
}
