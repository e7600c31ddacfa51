// uPD7759: numbered ADPCM samples from the sample ROM, decoded four bits at
// a time and held for as many output samples as the sample's rate asks.
#include <cstring>

#include "sound/upd7759_internal.h"

namespace upd {

upd7759_interface config;
int32_t nibble_credit;
voice voices[max_chips];
int latched[max_chips];

}  // namespace upd

using namespace upd;

namespace {

const int32_t step_adjust[16] = {0, 1, 2, 3, 6, 7, 10, 15, 0, 15, 10, 7, 6, 3, 2, 1};

int32_t difference[33][16];
int32_t base_rate;

voice* voice_at(int chip) {
    return chip >= 0 && chip < config.num && chip < max_chips ? &voices[chip] : nullptr;
}

void build_difference_table() {
    for (int i = 0; i < 33; i++) {
        int s = 6 * (i + 1) * (i + 1);
        for (int j = 0; j < 16; j++) {
            int v = s * ((j >> 2) & 1) + (s / 2) * ((j >> 1) & 1) + (s / 4) * (j & 1) + s / 8;
            difference[i][j] = j < 8 ? v : -v;
        }
    }
}

int32_t clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

int32_t decay(int32_t signal) { return signal - (signal + 7) / 8; }

int detect_rate(const uint8_t* rom, uint32_t start) {
    uint32_t p = start;
    if (rom[p] == 0x00) p++;
    if ((rom[p] & 0xf0) != 0x50) p++;
    switch (rom[p] & 0x1f) {
    case 19: return 8000;
    case 25: return 6000;
    default: return 5000;
    }
}

uint32_t sample_start(const uint8_t* rom, int n) {
    return ((static_cast<uint32_t>(rom[5 + 2 * n]) << 8) | rom[6 + 2 * n]) * 2;
}

}  // namespace

int UPD7759_sh_start(const upd7759_interface* cfg) {
    build_difference_table();
    std::memset(voices, 0, sizeof voices);
    std::memset(latched, 0, sizeof latched);
    config = cfg ? *cfg : upd7759_interface{};
    if (config.num < 0) config.num = 0;
    if (config.num > max_chips) config.num = max_chips;
    base_rate = config.clock_rate / 80;
    // Each nibble lasts 1 / rate seconds of the output, whatever its rate;
    // without an output rate the chip's own base rate stands in.
    nibble_credit = config.output_rate > 0 ? config.output_rate : base_rate;
    for (int i = 0; i < config.num; i++) {
        voices[i].mask = ~0u;
        voices[i].counter = nibble_credit / 2;
    }
    return 0;
}

void UPD7759_reset_w(int chip, int level) {
    voice* v = voice_at(chip);
    if (v && level <= 0) v->playing = 0;
}

void UPD7759_message_w(int chip, int value) {
    if (voice_at(chip)) latched[chip] = value & 0xff;
}

void UPD7759_start_w(int chip, int level) {
    voice* v = voice_at(chip);
    const uint8_t* rom = v ? config.region[chip] : nullptr;
    if (!rom || level > 0 || v->playing) return;
    const int n = latched[chip];
    const int last = rom[0];
    if (n > last) return;
    const uint32_t start = sample_start(rom, n);
    const uint32_t end = n == last ? last_sample_end : sample_start(rom, n + 1);
    v->rate = detect_rate(rom, start);
    v->playing = 1;
    v->data = start;
    v->position = 0;
    // A table entry before its predecessor is a damaged ROM: play nothing of it.
    v->nibbles = end > start ? static_cast<int32_t>(2 * (end - start)) : 0;
    v->step = 0;
    v->counter = nibble_credit / 2;
}

void UPD7759_update(int chip, int16_t* buffer, int length) {
    voice* v = voice_at(chip);
    if (!v || !buffer || length <= 0) return;
    int i = 0;
    if (v->playing) {
        const uint8_t* rom = config.region[chip];
        while (i < length) {
            const uint8_t byte = rom[(v->data + static_cast<uint32_t>(v->position) / 2) & v->mask];
            const int x = (v->position & 1) ? byte & 15 : byte >> 4;
            v->step = clamp(v->step - (v->step + 7) / 8 + step_adjust[x], 0, 32);
            v->signal = clamp(v->signal - (v->signal + 7) / 8 + difference[v->step][x], -32767, 32767);
            while (v->counter >= 1 && i < length) {
                buffer[i++] = static_cast<int16_t>(v->signal);
                v->counter -= v->rate;
            }
            v->counter += nibble_credit;
            v->position += 1;
            if (v->position > v->nibbles) {
                while (i < length) {
                    buffer[i++] = static_cast<int16_t>(v->signal);
                    v->signal = decay(v->signal);
                }
                v->playing = 0;
                return;
            }
        }
        return;
    }
    while (i < length) buffer[i++] = static_cast<int16_t>(v->signal);
}
