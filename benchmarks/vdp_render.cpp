// One drawn and presented frame of a busy 320-pixel screen: 224 rendered
// lines (both planes scrolled by line, the window band and panel, 80 sprites
// of 32x32, 44 tiles rewritten every frame), the colour table and the
// conversion into the staging image.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../tests/vdp/busy_scene.h"
#include "vdp/palette.h"
#include "machine/drivers.h"

namespace {

struct staging_image {
    std::vector<uint16_t> pixels = std::vector<uint16_t>(512 * 224);
    staging_image() {
        pixel_format_555 = 0;
        pal_select_enable = 0;
        palette_mode = 1;
    }
};
staging_image* image_now;

__attribute__((noinline)) void render_frame() {
    begin_picture(image_now->pixels.data(), 512);
    for (int line = 0; line < 224; line++) render_line(line);
    finish_picture(board_palette());
}

void BM_BusyFrame(benchmark::State& state) {
    scene::build();
    vt::frame f;
    staging_image image;
    image_now = &image;
    render_frame();  // the first frame decodes every tile of the scene
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene::animate(++n);  // the game's port writes, made between frames
        state.ResumeTiming();
        render_frame();
        benchmark::DoNotOptimize(image.pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMicrosecond);

// The same frame with shadow/highlight on, which adds the operator table and
// the 254-entry colour table.
void BM_BusyFrameShadowHighlight(benchmark::State& state) {
    scene::build();
    vt::set_reg(12, 0x89);
    vt::frame f;
    staging_image image;
    image_now = &image;
    render_frame();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene::animate(++n);
        state.ResumeTiming();
        render_frame();
        benchmark::DoNotOptimize(image.pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BusyFrameShadowHighlight)->Unit(benchmark::kMicrosecond);

// Rendering alone, to see the share of the layers against the conversion.
void BM_BusyLinesOnly(benchmark::State& state) {
    scene::build();
    vt::frame f;
    for (auto _ : state) {
        for (int line = 0; line < 224; line++) render_line(line);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BusyLinesOnly)->Unit(benchmark::kMicrosecond);

// A fixed number of busy frames, for an instruction counter (callgrind):
// the difference between two counts over their difference in frames is one
// frame, without the set-up; the port writes between frames are counted
// too unless collection is limited to render_frame.
int run_frames(int frames) {
    scene::build();
    vt::frame f;
    staging_image image;
    image_now = &image;
    render_frame();
    for (int n = 1; n <= frames; n++) {
        scene::animate(n);
        render_frame();
    }
    return image.pixels[0] == 0xFFFF;  // keeps the frames from being left out
}

}  // namespace

// --frames N: N busy frames and no timing; otherwise the benchmarks.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) {
        char* end = nullptr;
        const long frames = std::strtol(argv[2], &end, 10);
        if (*end != 0 || frames < 0 || frames > 1000000) {
            std::fprintf(stderr, "--frames needs a count from 0 to 1000000\n");
            return 2;
        }
        run_frames(static_cast<int>(frames));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
