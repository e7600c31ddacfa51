// One second of the board's sound at 44100 Hz, mixed frame by frame: six FM
// channels of four sounding operators with the LFO, three tones, noise and
// an ADPCM sample; with each FM model.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "machine/board.h"
#include "sound/mixer.h"
#include "sound/sn76496.h"
#include "sound/upd7759.h"

namespace {

void fm(int r, int v) {
    int port = r >= 0x100 ? 2 : 0;
    fm_write(port, static_cast<uint8_t>(r & 0xff), 0);
    fm_write(port + 1, static_cast<uint8_t>(v), 0);
}

void start_adpcm() {
    UPD7759_reset_w(0, 0);
    UPD7759_message_w(0, 0);
    UPD7759_start_w(0, 0);
}

void set_up_board(int model) {
    std::memset(sample_rom, 0, sample_rom_size);
    sample_rom[0] = 1;
    sample_rom[5] = 0x00; sample_rom[6] = 0x08;  // sample 0 at 0x10
    sample_rom[7] = 0x40; sample_rom[8] = 0x00;  // sample 1 at 0x8000
    sample_rom[0x10] = 0x53;                      // 8000 Hz
    for (int i = 0x11; i < 0x8000; i++) sample_rom[i] = static_cast<uint8_t>(i * 37 + (i >> 5));
    fm_model = model;
    audio_init(44100, sample_rom);
    fm_reset();

    fm(0x22, 0x08 | 3);  // LFO on
    for (int ch = 0; ch < 6; ch++) {
        const int base = (ch % 3) + (ch / 3) * 0x100;
        fm(0xb0 + base, 4 | (5 << 3));    // two stacked pairs, feedback
        fm(0xb4 + base, 0xc0 | 0x30 | 3);  // both sides, AM and PM depth
        for (int op = 0; op < 16; op += 4) {
            fm(0x30 + base + op, 1 + op / 4);
            fm(0x40 + base + op, 20 + op);  // every operator sounds
            fm(0x50 + base + op, 31);
            fm(0x60 + base + op, 0x80 | 4);
            fm(0x70 + base + op, 0);  // held: every operator keeps sounding
            fm(0x80 + base + op, 0x24);
        }
        fm(0xa4 + base, (4 << 3) | 2);
        fm(0xa0 + base, 0x40 + ch * 20);
        fm(0x28, 0xf0 | (ch < 3 ? ch : ch + 1));
    }
    for (int c = 0; c < 3; c++) {
        SN76496Write(0, 0x80 | (c << 5) | (c * 5));
        SN76496Write(0, 0x08 + c * 4);
        SN76496Write(0, 0x90 | (c << 5) | 2);
    }
    SN76496Write(0, 0xe4);
    SN76496Write(0, 0xf3);
    start_adpcm();
}

void one_second_of_sound(benchmark::State& state) {
    set_up_board(static_cast<int>(state.range(0)));
    std::vector<int16_t> block(static_cast<size_t>(samples_per_frame));
    for (auto _ : state) {
        start_adpcm();
        for (int frame = 0; frame < 60; frame++) {
            render_sound(block.data());
            benchmark::DoNotOptimize(block.data());
        }
    }
    // The last block's loudest sample, to show the scene is not silent.
    int loudest = 0;
    for (int16_t v : block) loudest = std::max(loudest, std::abs(static_cast<int>(v)));
    state.counters["last_block_peak"] = loudest;
    audio_shutdown();
    fm_model = fm_model_chip;
}

}  // namespace

BENCHMARK(one_second_of_sound)->ArgName("fm_classic")->Arg(fm_model_chip)->Arg(fm_model_classic)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
