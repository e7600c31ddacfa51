// Frames per second of the libretro core on the demo, driven by our test
// front end with no display: every frame drawn and its sound made at
// 44100 Hz, the work of `vortan -bench N demo`. The program's own -bench
// runs in turn with it, so both are measured under the same load.
//
//   bench_libretro [frames [rounds]]      (default 3000 frames, 3 rounds)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/libretro/frontend.h"

namespace {

double core_fps(frontend& core, int frames) {
    if (!core.load(nullptr)) return 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; i++) core.run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    core.unload_game();
    return core.frames_shown == frames ? frames / seconds : 0;
}

// Microseconds of one retro_serialize and one retro_unserialize, as
// RetroArch's rewind and run-ahead make them at every frame.
void state_times(frontend& core, int count) {
    if (!core.load(nullptr)) return;
    for (int i = 0; i < 300; i++) core.run();
    std::vector<uint8_t> state(core.serialize_size());
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; i++) core.serialize(state.data(), state.size());
    const double save = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; i++) core.unserialize(state.data(), state.size());
    const double load = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("state of %zu bytes: serialize %.1f us, unserialize %.1f us\n", state.size(), save / count, load / count);
    core.unload_game();
}

// The "fps" figure of the program's own benchmark line.
double program_fps(int frames) {
    const std::string command = "'" VORTAN_EXE "' -bench " + std::to_string(frames) + " demo 2>/dev/null";
    FILE* out = popen(command.c_str(), "r");
    if (!out) return 0;
    char line[256];
    double fps = 0;
    while (std::fgets(line, sizeof line, out)) {
        const std::string text = line;
        const size_t at = text.find("fps ");
        if (text.rfind("frames ", 0) == 0 && at != std::string::npos) fps = std::atof(text.c_str() + at + 4);
    }
    return pclose(out) == 0 ? fps : 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    if (frames <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: bench_libretro [frames [rounds]]\n");
        return 2;
    }
    frontend core;
    core.keep_pictures = false;
    std::string error;
    if (!core.open(VORTAN_LIBRETRO, error)) {
        std::fprintf(stderr, "%s: %s\n", VORTAN_LIBRETRO, error.c_str());
        return 1;
    }
    std::vector<double> ours, program;
    for (int r = 0; r < rounds; r++) {
        core.frames_shown = 0;
        ours.push_back(core_fps(core, frames));
        program.push_back(program_fps(frames));
        std::printf("round %d: libretro core %.1f fps, vortan -bench %.1f fps\n", r + 1, ours.back(), program.back());
        if (ours.back() <= 0 || program.back() <= 0) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
    }
    state_times(core, 1000);
    const double a = median(ours), b = median(program);
    std::printf("median of %d rounds of %d frames: libretro core %.1f fps, vortan -bench %.1f fps, ratio %.3f\n", rounds,
                frames, a, b, a / b);
    return 0;
}
