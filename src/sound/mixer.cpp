// The chips at the chosen rate, their per-frame buffers and the mono mix.
#include <cstring>
#include <new>

#include "common/state_bytes.h"
#include "sound/mixer.h"
#include "sound/sn76496.h"
#include "sound/upd7759.h"
#include "sound/ym2612.h"
#include "sound/ym3438_stream.h"

uint32_t channel_mask = 0xffffffffu;
int samples_per_frame;
int sample_carry;
int fm_model = fm_model_chip;

namespace {

constexpr int fm_clock = 7670442;
constexpr int psg_clock = 3579545;

upd7759_interface upd7759_config = {1, 3840000, {50, 0}, {nullptr, nullptr}, {upd7759_standalone, 0}, 0};

int16_t* fm_left;
int16_t* fm_right;
int16_t* psg;
int16_t* adpcm;
int sample_rate;  // of the buffers and chips; 0 before the first init
int initialised;

void free_buffers() {
    for (int16_t** b : {&fm_left, &fm_right, &psg, &adpcm}) {
        delete[] *b;
        *b = nullptr;
    }
}

int16_t saturate(int32_t v) {
    return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// Samples in the next frame: samples_per_frame, or one more.
int frame_sample_count() {
    const int rate = sample_rate;
    if (rate <= 0) return samples_per_frame;
    return samples_per_frame + (sample_carry + rate % 60 >= 60 ? 1 : 0);
}

}  // namespace

int audio_init(int rate, uint8_t* samples) {
    if (rate <= 0) return 1;  // no sound at all: the chips stay as they are
    const int n = rate / 60;
    // Room for the frames that carry one more sample.
    const size_t count = static_cast<size_t>(n) + 1;
    int16_t* fresh[4] = {};
    for (int16_t*& b : fresh) {
        b = new (std::nothrow) int16_t[count]();
        if (!b) {
            for (int16_t* f : fresh) delete[] f;
            return 0;
        }
    }
    free_buffers();
    fm_left = fresh[0];
    fm_right = fresh[1];
    psg = fresh[2];
    adpcm = fresh[3];
    samples_per_frame = n;
    sample_rate = rate;
    sample_carry = 0;

    // The FM chip refuses a second init; it follows the new rate instead.
    if (YM2612Init(1, fm_clock, rate, nullptr, nullptr) != 0) YM2612SetRate(0, rate);
    ym3438_stream_start(rate);
    SN76496_init(0, psg_clock, 255, rate);
    upd7759_config.output_rate = rate;
    upd7759_config.region[0] = samples;
    UPD7759_sh_start(&upd7759_config);
    initialised = 1;
    return 1;
}

void audio_shutdown() {
    YM2612Shutdown();
    ym3438_stream_stop();
    free_buffers();
    // The buffers are gone: nothing may mix or reach the chips until the next init.
    initialised = 0;
}

int sound_initialised() { return initialised; }

int render_sound(int16_t* block) {
    const int n = frame_sample_count();
    if (!block || n <= 0) return 0;
    if (sample_rate > 0) sample_carry = (sample_carry + sample_rate % 60) % 60;
    if (!initialised || !fm_left) {
        std::memset(block, 0, sizeof(int16_t) * static_cast<size_t>(n));
        return n;
    }
    const uint32_t mask = channel_mask;
    if (fm_model == fm_model_chip) {
        // Runs even when not heard: the game keeps its time by the chip's timers.
        ym3438_stream_frame(fm_left, fm_right, n);
    } else if (mask & channel_fm) {
        int16_t* fm[2] = {fm_left, fm_right};
        YM2612UpdateOne(0, fm, n);
    }
    if (mask & channel_psg) SN76496Update(0, psg, n);
    if (mask & channel_adpcm) UPD7759_update(0, adpcm, n);
    for (int i = 0; i < n; i++) {
        int32_t s = 0;
        // Both FM sides are heard, so a channel panned to one side is not lost.
        if (mask & channel_fm) s += (fm_left[i] + fm_right[i]) / 2;
        if (mask & channel_psg) s += psg[i];
        if (mask & channel_adpcm) s += adpcm[i];
        block[i] = saturate(s);
    }
    return n;
}

void fm_write(int port, uint8_t value, uint32_t frame_fraction) {
    if (fm_model == fm_model_chip) ym3438_stream_write(port, value, frame_fraction);
    else YM2612Write(0, port, value);
}

int fm_status(uint32_t frame_fraction, uint8_t& status) {
    if (fm_model != fm_model_chip) return 0;
    status = ym3438_stream_status(frame_fraction);
    return 1;
}

void fm_reset() {
    if (fm_model == fm_model_chip) ym3438_stream_reset();
    else YM2612ResetChip(0);
}

void mixer_save_state(std::vector<uint8_t>& out) {
    state_writer w{out};
    w.put(sample_rate);
    w.put(sample_carry);
}

int mixer_load_state(const uint8_t* data, size_t size) {
    state_reader r{data, size};
    int rate = 0, carry = 0;
    r.get(rate);
    r.get(carry);
    // The frames' lengths follow the rate the machine runs at now.
    if (!r.done() || rate != sample_rate || carry < 0 || carry >= 60) return 0;
    sample_carry = carry;
    return 1;
}
