// A run split by a saved state gives the same picture and sound as the run
// in one piece: three processes, one input script.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "e2e_support.h"

namespace {

std::string file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The jingle (A), tones (B) and the voice (C) started just before frame 150,
// the player moving, and the palette and shadow keys pressed around it.
const char* const script =
    "20 p1.a\n24\n60 key1\n62\n100 p1.right\n130 p1.right p1.b\n133 p1.right\n"
    "140 p1.right p1.a\n143 p1.right p1.c\n146 p1.right\n149 key2\n151\n200 p1.left\n260\n";

}  // namespace

TEST(SavedState, RunSplitBySaveAndLoadMatchesTheWholeRun) {
    for (const char* rate : {"44100", "11025"}) {
        scratch_dir dir;
        const std::string sound = std::string("-sndrate ") + rate;
        ASSERT_EQ(run_demo(dir, 300, script, sound + " -snapshot whole.png -wavwrite whole.wav"), 0);
        ASSERT_EQ(run_demo(dir, 150, script, sound + " -savestate half.sta"), 0);
        ASSERT_EQ(run_demo(dir, 150, script,
                           sound + " -loadstate half.sta -snapshot split.png -wavwrite split.wav"),
                  0) << file_bytes(dir.file("run.log"));

        EXPECT_EQ(file_bytes(dir.file("whole.png")), file_bytes(dir.file("split.png"))) << rate;
        struct sound whole, split;
        ASSERT_TRUE(read_wav(dir.file("whole.wav"), whole));
        ASSERT_TRUE(read_wav(dir.file("split.wav"), split));
        ASSERT_EQ(whole.samples.size(), size_t(whole.rate) * 5);
        // The second 150 frames: the rate's remainder carries across the split.
        const size_t first_half = size_t(whole.rate) * 150 / 60;
        ASSERT_EQ(split.samples.size(), whole.samples.size() - first_half);
        EXPECT_TRUE(std::equal(split.samples.begin(), split.samples.end(),
                               whole.samples.begin() + first_half))
            << "the second half of the sound, at " << rate;
        EXPECT_GT(rms(split.samples), 300.0) << "sound is playing across the split";
    }
}

TEST(SavedState, BadStateFileStopsTheRunWithItsReason) {
    scratch_dir dir;
    dir.file("junk.sta", "VORTANST and then nothing that fits");
    EXPECT_EQ(run_demo(dir, 10, "", "-loadstate junk.sta -snapshot s.png"), 1);
    const std::string log = file_bytes(dir.file("run.log"));
    EXPECT_NE(log.find("junk.sta"), std::string::npos) << log;
    EXPECT_NE(log.find("state not loaded"), std::string::npos) << log;
}
