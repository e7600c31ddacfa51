// The speech chip's 4-bit ADPCM: a model of its decoder and an encoder
// that picks each nibble so the decoded signal follows the waveform.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace adpcm {

struct decoder_state {
    int signal = 0;
    int step = 0;
};

int difference(int step, int nibble);
// Decodes one nibble, returns the new signal.
int decode_nibble(decoder_state& state, int nibble);

// Nibbles for the samples, chosen with a short look-ahead from the given
// state (which is left where the decoder will be after the last nibble).
std::vector<uint8_t> encode(const std::vector<int16_t>& pcm, decoder_state& state);

// Every sample starts with these bytes: 0x00 is skipped by the rate
// probe, whose next byte 0x53 selects 8000 Hz; both are decoded too.
inline constexpr uint8_t sample_prefix[2] = {0x00, 0x53};
inline constexpr int sample_rate = 8000;
inline constexpr uint32_t rom_limit = 0x20000;  // the last sample ends here

// The sample ROM: header (last sample number, signature, start table)
// and each sample's prefix, nibbles and padding. Empty with a message
// in `error` when the samples do not fit.
std::vector<uint8_t> build_rom(const std::vector<std::vector<int16_t>>& samples, std::string& error);

// 16-bit mono PCM out of a RIFF WAVE file image; false with a message
// for anything else.
bool read_wav(const std::vector<uint8_t>& file, std::vector<int16_t>& pcm, int& rate, std::string& error);

}  // namespace adpcm
