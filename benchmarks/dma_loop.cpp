// Host time per frame of a program that restarts a 64 KB video RAM copy in
// a loop (benchmarks/programs/dma_loop.s), against the demo cartridge's
// frames: 60 drawn frames of each from a machine start, one an iteration.
#include <benchmark/benchmark.h>

#include "../tests/vdp/machine_program.h"
#include "../tests/vdp/vdp_test_util.h"
#include "machine/scheduler.h"

namespace {

constexpr int frames = 60;

void run_frames(benchmark::State& state) {
    vt::frame picture;
    for (auto _ : state) {
        genesis_frame(0);
        benchmark::ClobberMemory();
    }
}

void BM_DmaCopyLoopFrames(benchmark::State& state) {
    const std::vector<uint8_t> image = vt::read_image(DMA_LOOP_PROGRAM);
    if (image.empty()) {
        state.SkipWithError("the DMA loop program is missing");
        return;
    }
    vt::start_program(image);
    run_frames(state);
}
BENCHMARK(BM_DmaCopyLoopFrames)->Iterations(frames)->Unit(benchmark::kMillisecond);

void BM_DemoFrames(benchmark::State& state) {
    if (load_driver("demo") != 1) {
        state.SkipWithError("the demo cartridge did not load");
        return;
    }
    system_init(44100);
    run_frames(state);
}
BENCHMARK(BM_DemoFrames)->Iterations(frames)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
