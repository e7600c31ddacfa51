// The sample encoder against its own decoder model, against the speech
// chip's module, and the committed sample ROM against a fresh build.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "adpcm.h"
#include "sound/upd7759.h"

namespace {

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> tone(double hz, int count, double amplitude) {
    std::vector<int16_t> pcm;
    for (int i = 0; i < count; i++)
        pcm.push_back(int16_t(std::lround(amplitude * std::sin(2 * M_PI * hz * i / adpcm::sample_rate))));
    return pcm;
}

// Signal-to-noise ratio in dB of a decoded signal against its source.
double snr(const std::vector<int16_t>& source, const std::vector<int>& decoded) {
    double s = 0, n = 0;
    for (size_t i = 0; i < source.size(); i++) {
        s += double(source[i]) * source[i];
        n += double(decoded[i] - source[i]) * (decoded[i] - source[i]);
    }
    return 10 * std::log10(s / std::max(n, 1.0));
}

std::vector<int> decode(const std::vector<uint8_t>& nibbles, adpcm::decoder_state state) {
    std::vector<int> out;
    for (uint8_t x : nibbles) out.push_back(adpcm::decode_nibble(state, x));
    return out;
}

std::vector<uint8_t> wav_file(int channels, int bits, const std::vector<int16_t>& pcm) {
    std::vector<uint8_t> f;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++) f.push_back(uint8_t(v >> (8 * i)));
    };
    f.insert(f.end(), {'R', 'I', 'F', 'F'});
    put(36 + 2 * pcm.size(), 4);
    f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(8000, 4);
    put(8000 * channels * bits / 8, 4);
    put(channels * bits / 8, 2);
    put(bits, 2);
    f.insert(f.end(), {'d', 'a', 't', 'a'});
    put(2 * pcm.size(), 4);
    for (int16_t v : pcm) put(uint16_t(v), 2);
    return f;
}

}  // namespace

TEST(AdpcmEncoder, DifferenceTableMatchesTheChipsRows) {
    // Row 0: 0, 1, 3, 4, 6, 7, 9, 10, then negated; row 32 peaks at 12250.
    const int row0[8] = {0, 1, 3, 4, 6, 7, 9, 10};
    for (int j = 0; j < 8; j++) {
        EXPECT_EQ(adpcm::difference(0, j), row0[j]);
        EXPECT_EQ(adpcm::difference(0, j + 8), -row0[j]);
    }
    EXPECT_EQ(adpcm::difference(32, 7), 12250);
}

TEST(AdpcmEncoder, FollowsTonesAndSilence) {
    for (double hz : {220.0, 1000.0, 2500.0}) {
        std::vector<int16_t> pcm = tone(hz, 4000, 12000);
        adpcm::decoder_state state;
        std::vector<uint8_t> nibbles = adpcm::encode(pcm, state);
        ASSERT_EQ(nibbles.size(), pcm.size());
        EXPECT_GT(snr(pcm, decode(nibbles, {})), hz < 2000 ? 20.0 : 6.0) << hz << " Hz";
    }
    std::vector<int16_t> quiet(800, 0);
    adpcm::decoder_state state;
    std::vector<int> decoded = decode(adpcm::encode(quiet, state), {});
    for (int v : decoded) EXPECT_LE(std::abs(v), 16);
}

TEST(AdpcmEncoder, RomHeaderAndLayout) {
    std::string error;
    std::vector<uint8_t> rom = adpcm::build_rom({tone(500, 101, 8000), {}, tone(300, 50, 4000)}, error);
    ASSERT_FALSE(rom.empty()) << error;
    EXPECT_EQ(rom[0], 2);  // last sample number
    EXPECT_EQ(rom[1], 0x5A);
    EXPECT_EQ(rom[2], 0xA5);
    EXPECT_EQ(rom[3], 0x69);
    EXPECT_EQ(rom[4], 0x55);
    uint32_t previous = 0;
    for (int n = 0; n < 3; n++) {
        uint32_t start = 2u * ((rom[5 + 2 * n] << 8) | rom[6 + 2 * n]);
        EXPECT_GT(start, previous);
        EXPECT_GE(start, 11u);
        previous = start;
        if (n != 1) {  // the silent sample has no rate marker
            EXPECT_EQ(rom[start], 0x00);
            EXPECT_EQ(rom[start + 1], 0x53);  // 8000 Hz
        }
    }
    EXPECT_EQ(rom.size() % 2, 0u);
    EXPECT_TRUE(adpcm::build_rom({}, error).empty());
    EXPECT_TRUE(adpcm::build_rom({std::vector<int16_t>(0x40000, 0)}, error).empty());
    EXPECT_FALSE(error.empty());
}

TEST(AdpcmEncoder, WavReaderRefusesWhatItCannotTake) {
    std::vector<int16_t> pcm = {1, -2, 300};
    std::vector<int16_t> out;
    int rate = 0;
    std::string error;
    ASSERT_TRUE(adpcm::read_wav(wav_file(1, 16, pcm), out, rate, error)) << error;
    EXPECT_EQ(out, pcm);
    EXPECT_EQ(rate, 8000);
    EXPECT_FALSE(adpcm::read_wav(wav_file(2, 16, pcm), out, rate, error));
    EXPECT_FALSE(adpcm::read_wav(wav_file(1, 8, pcm), out, rate, error));
    std::vector<uint8_t> cut = wav_file(1, 16, pcm);
    cut.resize(cut.size() - 3);  // data chunk claims more than is there
    EXPECT_FALSE(adpcm::read_wav(cut, out, rate, error));
    EXPECT_FALSE(adpcm::read_wav({'R', 'I', 'F', 'F'}, out, rate, error));
    EXPECT_FALSE(error.empty());
}

// The chip module plays what the encoder meant: at 48000 Hz each nibble
// of an 8000 Hz sample is held for six output samples.
TEST(AdpcmEncoder, ChipModuleDecodesTheCommittedRom) {
    std::vector<uint8_t> rom = read_file(VORTAN_CART_DIR "/prebuilt/demo_samples.rom");
    ASSERT_GT(rom.size(), 16u);
    static uint8_t region[0x80000];
    std::copy(rom.begin(), rom.end(), region);
    upd7759_interface config = {1, 3840000, {50, 50}, {region, region}, {upd7759_standalone, upd7759_standalone}, 48000};
    ASSERT_EQ(UPD7759_sh_start(&config), 0);

    std::vector<int16_t> voice;
    int rate = 0;
    std::string error;
    ASSERT_TRUE(adpcm::read_wav(read_file(VORTAN_CART_DIR "/data/voice.wav"), voice, rate, error)) << error;

    UPD7759_reset_w(0, 0);
    UPD7759_message_w(0, 0);
    UPD7759_start_w(0, 0);
    std::vector<int16_t> out(6 * (voice.size() + 8));
    UPD7759_update(0, out.data(), int(out.size()));
    // Nibble 0 is heard at outputs 0-2 (the accumulator starts at half),
    // nibble k at 6k - 3 to 6k + 2; the voice starts after the 4 prefix nibbles.
    std::vector<int> heard;
    for (size_t k = 4; k < voice.size() + 4; k++) heard.push_back(out[6 * k + 2]);
    EXPECT_GT(snr(voice, heard), 12.0);
}

TEST(AdpcmEncoder, CommittedRomMatchesAFreshBuild) {
    std::vector<std::vector<int16_t>> samples;
    for (const char* name : {"voice", "bell", "drum"}) {
        std::vector<int16_t> pcm;
        int rate = 0;
        std::string error;
        ASSERT_TRUE(adpcm::read_wav(read_file(std::string(VORTAN_CART_DIR "/data/") + name + ".wav"), pcm,
                                    rate, error))
            << name << ": " << error;
        samples.push_back(pcm);
    }
    samples.push_back({});
    std::string error;
    EXPECT_EQ(adpcm::build_rom(samples, error), read_file(VORTAN_CART_DIR "/prebuilt/demo_samples.rom"));
}

// The tool refuses bad input with a message and leaves an existing ROM alone.
TEST(AdpcmEncoder, ToolRefusesBadInputAndKeepsTheOldRom) {
    std::string dir = testing::TempDir() + "sample_rom_tool";
    std::string cmd = "mkdir -p '" + dir + "' && cd '" + dir + "' && ";
    ASSERT_EQ(std::system((cmd + "printf old > out.rom && printf 'RIFF....WAVEjunk' > bad.wav").c_str()), 0);
    auto run = [&](const std::string& args) {
        int status = std::system((cmd + "'" MAKE_SAMPLE_ROM "' " + args + " 2> err.txt").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("out.rom bad.wav"), 1);
    EXPECT_EQ(run("out.rom missing.wav"), 1);
    EXPECT_EQ(run("out.rom"), 2);
    std::vector<uint8_t> kept = read_file(dir + "/out.rom");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");
    std::vector<uint8_t> err = read_file(dir + "/err.txt");
    EXPECT_NE(std::string(err.begin(), err.end()).find("usage"), std::string::npos);
    EXPECT_EQ(run("out.rom '" VORTAN_CART_DIR "/data/drum.wav' -silence"), 0);
    std::vector<uint8_t> rom = read_file(dir + "/out.rom");
    ASSERT_GT(rom.size(), 16u);
    EXPECT_EQ(rom[0], 1);  // two samples
    std::system(("rm -rf '" + dir + "'").c_str());
}
