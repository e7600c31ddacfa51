#include "adpcm.h"

#include <algorithm>
#include <cstdlib>

namespace adpcm {

namespace {
const int step_adjust[16] = {0, 1, 2, 3, 6, 7, 10, 15, 0, 15, 10, 7, 6, 3, 2, 1};

// The state after a nibble without touching the caller's.
decoder_state after(decoder_state s, int nibble) {
    decode_nibble(s, nibble);
    return s;
}

uint32_t read_le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = (v << 8) | b[at + i];
    return v;
}
}  // namespace

int difference(int step, int nibble) {
    int s = 6 * (step + 1) * (step + 1);
    int v = s * ((nibble >> 2) & 1) + (s / 2) * ((nibble >> 1) & 1) + (s / 4) * (nibble & 1) + s / 8;
    return nibble & 8 ? -v : v;
}

int decode_nibble(decoder_state& state, int nibble) {
    state.step = std::clamp(state.step - (state.step + 7) / 8 + step_adjust[nibble], 0, 32);
    state.signal = std::clamp(state.signal - (state.signal + 7) / 8 + difference(state.step, nibble),
                              -32767, 32767);
    return state.signal;
}

std::vector<uint8_t> encode(const std::vector<int16_t>& pcm, decoder_state& state) {
    std::vector<uint8_t> out;
    out.reserve(pcm.size());
    for (size_t i = 0; i < pcm.size(); i++) {
        // Two nibbles of look-ahead: a nibble also sets the next step size,
        // so the greedy choice alone overshoots on fast edges.
        long best_cost = -1;
        int best = 0;
        for (int a = 0; a < 16; a++) {
            decoder_state s1 = after(state, a);
            long e1 = std::labs(long(s1.signal) - pcm[i]);
            long cost = e1 * e1;
            if (i + 1 < pcm.size()) {
                long best2 = -1;
                for (int b = 0; b < 16; b++) {
                    long e2 = std::labs(long(after(s1, b).signal) - pcm[i + 1]);
                    if (best2 < 0 || e2 * e2 < best2) best2 = e2 * e2;
                }
                cost += best2;
            }
            if (best_cost < 0 || cost < best_cost) {
                best_cost = cost;
                best = a;
            }
        }
        decode_nibble(state, best);
        out.push_back(uint8_t(best));
    }
    return out;
}

std::vector<uint8_t> build_rom(const std::vector<std::vector<int16_t>>& samples, std::string& error) {
    if (samples.empty() || samples.size() > 256) {
        error = "a sample ROM holds 1 to 256 samples";
        return {};
    }
    std::vector<uint8_t> rom;
    rom.push_back(uint8_t(samples.size() - 1));
    for (uint8_t b : {0x5A, 0xA5, 0x69, 0x55}) rom.push_back(b);
    rom.resize(5 + 2 * samples.size());
    if (rom.size() & 1) rom.push_back(0);
    for (size_t n = 0; n < samples.size(); n++) {
        size_t start = rom.size();
        if (start / 2 > 0xFFFF || start >= rom_limit) {
            error = "the samples do not fit below 0x20000";
            return {};
        }
        rom[5 + 2 * n] = uint8_t((start / 2) >> 8);
        rom[6 + 2 * n] = uint8_t(start / 2);
        if (samples[n].empty()) {
            // Silence: zero nibbles only, and no rate marker to click.
            rom.push_back(0);
            rom.push_back(0);
            continue;
        }
        decoder_state state;
        for (uint8_t b : sample_prefix) {
            rom.push_back(b);
            decode_nibble(state, b >> 4);
            decode_nibble(state, b & 15);
        }
        std::vector<uint8_t> nibbles = encode(samples[n], state);
        // Zero nibbles let the signal settle and keep the next start even.
        do nibbles.push_back(0);
        while (nibbles.size() % 4);
        for (size_t k = 0; k < nibbles.size(); k += 2) rom.push_back(uint8_t(nibbles[k] << 4 | nibbles[k + 1]));
    }
    if (rom.size() > rom_limit) {
        error = "the samples do not fit below 0x20000";
        return {};
    }
    return rom;
}

bool read_wav(const std::vector<uint8_t>& file, std::vector<int16_t>& pcm, int& rate, std::string& error) {
    if (file.size() < 12 || read_le(file, 0, 4) != 0x46464952 || read_le(file, 8, 4) != 0x45564157) {
        error = "not a RIFF WAVE file";
        return false;
    }
    bool have_format = false;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        uint32_t id = read_le(file, at, 4), size = read_le(file, at + 4, 4);
        size_t body = at + 8;
        if (size > file.size() - body) {
            error = "a chunk runs past the end of the file";
            return false;
        }
        if (id == 0x20746D66) {  // "fmt "
            if (size < 16) {
                error = "format chunk too short";
                return false;
            }
            int format = int(read_le(file, body, 2)), channels = int(read_le(file, body + 2, 2));
            int bits = int(read_le(file, body + 14, 2));
            rate = int(read_le(file, body + 4, 4));
            if (format != 1 || channels != 1 || bits != 16) {
                error = "only 16-bit mono PCM is taken";
                return false;
            }
            have_format = true;
        } else if (id == 0x61746164) {  // "data"
            if (!have_format) {
                error = "data before the format chunk";
                return false;
            }
            pcm.clear();
            for (size_t k = 0; k + 1 < size; k += 2) pcm.push_back(int16_t(read_le(file, body + k, 2)));
            return true;
        }
        at = body + size + (size & 1);
    }
    error = "no data chunk";
    return false;
}

}  // namespace adpcm
