// Saved states of the whole machine, on the demo cartridge: a load gives
// back the same pictures and sound, and no bad state changes anything.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "machine/core.h"

namespace {

struct frame_record {
    std::vector<uint16_t> pixels;
    std::vector<int16_t> samples;
    bool operator==(const frame_record&) const = default;
};

// The controls of frame n: the demo's buttons pressed in turn, so the FM
// jingle, the tones and the voice play across the frames saved and loaded.
void hold_controls(uint64_t n) {
    uint32_t p1 = 0, sys = 0;
    if (n % 90 >= 10 && n % 90 < 14) p1 |= input_a;
    if (n % 70 >= 30 && n % 70 < 33) p1 |= input_b;
    if (n % 110 >= 50 && n % 110 < 52) p1 |= input_c;
    if (n % 50 < 25) p1 |= input_right;
    if (n % 200 >= 150 && n % 200 < 153) sys |= input_key2;
    core_set_input(p1, 0, sys);
}

frame_record run(int draw = 1) {
    hold_controls(core_frame_number());
    const core_frame& f = core_run_frame(draw);
    frame_record r;
    r.pixels.assign(f.pixels, f.pixels + size_t(f.pitch) * f.height);
    r.samples.assign(f.samples, f.samples + f.sample_count);
    return r;
}

std::vector<frame_record> run_frames(int n) {
    std::vector<frame_record> out;
    for (int i = 0; i < n; i++) out.push_back(run());
    return out;
}

std::vector<uint8_t> state_now() {
    std::vector<uint8_t> s;
    EXPECT_EQ(core_save_state(s), 1);
    return s;
}

uint32_t get32(const std::vector<uint8_t>& s, size_t at) {
    uint32_t v;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}
void put32(std::vector<uint8_t>& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) s[at + i] = uint8_t(v >> (8 * i));
}

class MachineState : public testing::Test {
protected:
    void SetUp() override {
        testing::internal::CaptureStdout();
        ASSERT_EQ(core_load("demo", 44100), 1);
        testing::internal::GetCapturedStdout();
        core_set_pixel_format(0);
    }
    void TearDown() override {
        core_set_rewind(0);
        core_unload();
    }
};

}  // namespace

TEST_F(MachineState, LoadGivesBackTheSamePicturesAndSound) {
    for (int mode : {1, 0}) {
        core_set_palette_mode(mode);
        run_frames(97 + 40 * mode);  // mid-note, with the demo's transfers and sprites running
        const std::vector<uint8_t> saved = state_now();
        const uint64_t at = core_frame_number();
        const std::vector<frame_record> first = run_frames(90);
        int loud = 0;
        for (const frame_record& f : first)
            for (int16_t v : f.samples) loud += v > 2000 || v < -2000;
        EXPECT_GT(loud, 1000) << "the frames after the save are not silent";
        std::string error;
        ASSERT_EQ(core_load_state(saved.data(), saved.size(), error), 1) << error;
        EXPECT_EQ(core_frame_number(), at);
        EXPECT_EQ(core_palette_mode(), mode);
        const std::vector<frame_record> again = run_frames(90);
        for (size_t i = 0; i < first.size(); i++) ASSERT_TRUE(first[i] == again[i]) << "frame " << i << " mode " << mode;
        EXPECT_EQ(state_now(), state_now()) << "saving changes nothing";
    }
}

// Frames skipped or drawn leave the same machine behind.
TEST_F(MachineState, SkippedFramesRunTheSame) {
    run_frames(50);
    const std::vector<uint8_t> saved = state_now();
    for (int i = 0; i < 40; i++) run(1);
    const std::vector<uint8_t> drawn = state_now();
    std::string error;
    ASSERT_EQ(core_load_state(saved.data(), saved.size(), error), 1) << error;
    for (int i = 0; i < 40; i++) run(i % 3 == 0);
    EXPECT_EQ(state_now(), drawn);
}

TEST_F(MachineState, BadStatesAreRefusedAndChangeNothing) {
    run_frames(60);
    const std::vector<uint8_t> good = state_now();
    run_frames(5);
    const std::vector<uint8_t> before = state_now();
    const size_t header = 36;

    auto refused = [&](std::vector<uint8_t> bytes, const std::string& reason) {
        std::string error;
        EXPECT_EQ(core_load_state(bytes.data(), bytes.size(), error), 0) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << "got: " << error;
        EXPECT_EQ(state_now(), before) << reason;
    };
    refused({}, "too short");
    refused(std::vector<uint8_t>(good.begin(), good.begin() + 20), "too short");
    refused(std::vector<uint8_t>(good.begin(), good.end() - 1), "cut short");
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    refused(longer, "more than the header says");
    std::vector<uint8_t> bytes = good;
    bytes[0] = 'X';
    refused(bytes, "not a saved state");
    bytes = good;
    put32(bytes, 8, 0);
    refused(bytes, "format version 0 is older");
    put32(bytes, 8, 2);
    refused(bytes, "format version 2 is newer");
    bytes = good;
    std::memcpy(bytes.data() + 12, "columns\0", 8);
    refused(bytes, "a state of columns, not of demo");
    bytes = good;
    bytes[header + 100] ^= 1;
    refused(bytes, "checksum");

    // Sections that do not fit, behind a checksum that does.
    auto resealed = [&](std::vector<uint8_t> b) {
        put32(b, 32, uint32_t(crc32(0, b.data() + header, uInt(b.size() - header))));
        return b;
    };
    bytes = good;
    put32(bytes, header + 4, 0x7FFFFFFF);
    refused(resealed(bytes), "does not fit in the file");
    bytes = good;
    put32(bytes, header + 4, get32(good, header + 4) - 1);  // the board one byte short
    refused(resealed(bytes), "section");
    bytes = good;
    bytes[header] = 'Q';
    refused(resealed(bytes), "unknown section Q");
    std::string error;

    // Random bytes of every length up to a header and a bit, and a few large ones.
    std::mt19937 rng(7);
    for (int n = 0; n < 200; n++) {
        std::vector<uint8_t> noise(size_t(rng() % (n < 100 ? 64 : 200000)));
        for (uint8_t& b : noise) b = uint8_t(rng());
        if (n % 2 && noise.size() >= 8) std::memcpy(noise.data(), good.data(), 8);  // past the magic
        EXPECT_EQ(core_load_state(noise.data(), noise.size(), error), 0);
    }
    EXPECT_EQ(state_now(), before);
}

// Only a state with no sound section at all was saved with the sound off.
TEST_F(MachineState, AStateMissingOneSoundSectionIsCalledDamaged) {
    run_frames(10);
    const std::vector<uint8_t> good = state_now();
    const size_t header = 36;
    auto without = [&](std::vector<std::string> tags) {
        std::vector<uint8_t> b(good.begin(), good.begin() + header);
        for (size_t at = header; at < good.size();) {
            const size_t length = 8 + get32(good, at + 4);
            const std::string tag(good.begin() + at, good.begin() + at + 4);
            if (std::find(tags.begin(), tags.end(), tag) == tags.end())
                b.insert(b.end(), good.begin() + at, good.begin() + at + length);
            at += length;
        }
        put32(b, 28, uint32_t(b.size() - header));
        put32(b, 32, uint32_t(crc32(0, b.data() + header, uInt(b.size() - header))));
        return b;
    };
    std::string error;
    std::vector<uint8_t> bytes = without({"ADPC"});
    EXPECT_EQ(core_load_state(bytes.data(), bytes.size(), error), 0);
    EXPECT_EQ(error, "section ADPC is missing");
    bytes = without({"MIX ", "FM  ", "FMCH", "PSG ", "ADPC"});
    EXPECT_EQ(core_load_state(bytes.data(), bytes.size(), error), 0);
    EXPECT_EQ(error, "it was saved with the sound off; turn the sound off to load it");
}

#ifndef _WIN32  // links need rights an ordinary Windows user lacks
TEST_F(MachineState, AStateSavedThroughALinkRewritesItsTarget) {
    char pattern[] = "/tmp/vortan_state_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    ASSERT_EQ(symlink("slot.target", (dir + "/slot.sta").c_str()), 0);
    std::string error;
    run_frames(5);
    ASSERT_EQ(core_save_state_file((dir + "/slot.sta").c_str(), error), 1) << error;
    run_frames(5);
    const std::vector<uint8_t> second = state_now();
    ASSERT_EQ(core_save_state_file((dir + "/slot.sta").c_str(), error), 1) << error;
    struct stat st;
    ASSERT_EQ(lstat((dir + "/slot.sta").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link is kept";
    run_frames(5);
    EXPECT_EQ(core_load_state_file((dir + "/slot.target").c_str(), error), 1) << error;
    EXPECT_EQ(state_now(), second) << "the target holds the last save";
    std::remove((dir + "/slot.sta").c_str());
    std::remove((dir + "/slot.target").c_str());
    rmdir(dir.c_str());
}
#endif

// A state file read back whole; one past the bound is refused by its size,
// however large, before anything is read or changed.
TEST_F(MachineState, StateFilesLoadWholeAndOversizedOnesAreRefused) {
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "vortan_state_file";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "slot.sta").string();
    std::string error;
    run_frames(5);
    const std::vector<uint8_t> saved = state_now();
    ASSERT_EQ(core_save_state_file(path.c_str(), error), 1) << error;
    run_frames(5);
    ASSERT_EQ(core_load_state_file(path.c_str(), error), 1) << error;
    EXPECT_EQ(state_now(), saved);

    run_frames(5);
    const std::vector<uint8_t> before = state_now();
    for (int64_t size : {(int64_t{16} << 20) + 1, (int64_t{1} << 32) + 1}) {  // the second wraps in 32 bits
        std::filesystem::resize_file(path, static_cast<uintmax_t>(size));  // sparse: nothing is written
        EXPECT_EQ(core_load_state_file(path.c_str(), error), 0) << size;
        EXPECT_EQ(error, path + " is larger than 16 MB, the most a saved state may be") << size;
        EXPECT_EQ(state_now(), before) << size;
    }
    std::filesystem::remove_all(dir);
}

TEST_F(MachineState, FailedGameLoadKeepsTheRunningGame) {
    run_frames(40);
    const std::vector<uint8_t> before = state_now();
    const game_folders kept = core_folders();
    core_set_folders({"/nonexistent", "/nonexistent", kept.dip_dir});
    testing::internal::CaptureStdout();
    EXPECT_EQ(core_load("columns", 44100), 0);
    EXPECT_EQ(core_load("nosuchgame", 44100), 0);
    testing::internal::GetCapturedStdout();
    core_set_folders(kept);
    ASSERT_NE(core_running(), nullptr);
    EXPECT_STREQ(core_running()->short_name, "demo");
    EXPECT_EQ(state_now(), before);
    const frame_record next = run();
    EXPECT_GT(next.samples.size(), 0u);
}

TEST_F(MachineState, RewindGoesBackAndReplaysTheSameFrames) {
    core_set_rewind(30);
    const std::vector<frame_record> plain = run_frames(120);
    for (int i = 0; i < 60; i++) {
        const core_frame* back = core_rewind_frame();
        ASSERT_NE(back, nullptr) << i;
        // Going back shows the frames before, in turn.
        const frame_record& expected = plain[size_t(118 - i)];
        ASSERT_TRUE(std::equal(expected.pixels.begin(), expected.pixels.end(), back->pixels)) << i;
    }
    EXPECT_EQ(core_frame_number(), 60u);
    const std::vector<frame_record> again = run_frames(60);
    EXPECT_TRUE(again.back().pixels == plain.back().pixels);
    EXPECT_TRUE(again.back().samples == plain.back().samples);
    EXPECT_LE(core_rewind_frames(), 30u * 60);
}

// A quiet stretch (no controls: only a few bytes change a frame) rewinds to
// the very frames shown, and so does a stretch after a state was loaded
// behind the ring's back, as a front end's run-ahead does.
TEST_F(MachineState, RewindOverQuietFramesAndAfterAStateLoad) {
    core_set_rewind(30);
    std::vector<std::vector<uint16_t>> shown;
    const auto quiet_frame = [&] {
        core_set_input(0, 0, 0);
        const core_frame& f = core_run_frame(1);
        shown.emplace_back(f.pixels, f.pixels + size_t(f.pitch) * f.height);
    };
    for (int i = 0; i < 100; i++) quiet_frame();
    const size_t quiet_memory = core_rewind_memory();
    for (int i = 0; i < 60; i++) {
        const core_frame* back = core_rewind_frame();
        ASSERT_NE(back, nullptr) << i;
        ASSERT_TRUE(std::equal(shown[size_t(98 - i)].begin(), shown[size_t(98 - i)].end(), back->pixels)) << i;
    }
    EXPECT_EQ(core_frame_number(), 40u);

    // Back to frame 10 with the buttons pressed: the video RAM moves a lot.
    run_frames(30);
    const std::vector<uint8_t> saved = state_now();
    run_frames(40);
    std::string error;
    ASSERT_EQ(core_load_state(saved.data(), saved.size(), error), 1) << error;
    shown.clear();
    for (int i = 0; i < 40; i++) {
        const frame_record r = run();
        shown.push_back(r.pixels);
    }
    for (int i = 0; i < 38; i++) {
        const core_frame* back = core_rewind_frame();
        ASSERT_NE(back, nullptr) << i;
        ASSERT_TRUE(std::equal(shown[size_t(38 - i)].begin(), shown[size_t(38 - i)].end(), back->pixels)) << i;
    }
    // A quiet frame costs far less than a whole state.
    EXPECT_LT(quiet_memory, size_t(100) * 20000 + 4 * 65536);
}
