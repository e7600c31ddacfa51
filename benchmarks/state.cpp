// Saved states of the demo cartridge while its sound plays: one save, one
// load, and the rewind ring's cost per frame and its memory after 30 seconds.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "machine/core.h"

namespace {

// The demo after a few seconds with its jingle started.
void start_demo() {
    core_load("demo", 44100);
    core_set_pixel_format(0);
    for (int f = 0; f < 300; f++) {
        core_set_input(f % 90 < 4 ? uint32_t{input_a} : 0u, 0, 0);
        core_run_frame(1);
    }
}

void BM_SaveState(benchmark::State& state) {
    start_demo();
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        core_save_state(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["state_bytes"] = double(bytes.size());
    core_unload();
}
BENCHMARK(BM_SaveState)->Unit(benchmark::kMicrosecond);

void BM_LoadState(benchmark::State& state) {
    start_demo();
    std::vector<uint8_t> bytes;
    core_save_state(bytes);
    std::string error;
    for (auto _ : state) {
        if (!core_load_state(bytes.data(), bytes.size(), error)) state.SkipWithError(error.c_str());
    }
    core_unload();
}
BENCHMARK(BM_LoadState)->Unit(benchmark::kMicrosecond);

// Frames as the program runs them, with and without the ring: the
// difference is what rewind costs a frame.
void BM_Frame(benchmark::State& state) {
    start_demo();
    core_set_rewind(state.range(0) ? 30 : 0);
    int f = 0;
    for (auto _ : state) {
        core_set_input(f++ % 90 < 4 ? uint32_t{input_a} : 0u, 0, 0);
        core_run_frame(1);
    }
    state.counters["rewind_frames"] = double(core_rewind_frames());
    state.counters["rewind_MB"] = double(core_rewind_memory()) / (1024 * 1024);
    core_set_rewind(0);
    core_unload();
}
BENCHMARK(BM_Frame)->Arg(0)->Arg(1)->Iterations(30 * 60)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
