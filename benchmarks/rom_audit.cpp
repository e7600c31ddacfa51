// -verifyroms over every set of today's names, written once as stored zip
// archives and once as folders: the archives are audited from their
// directories, the folders by reading each file of the right size.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>

#include "host/game/rom_check.h"
#include "machine/romset_support.h"

namespace {

using namespace romset_test;

const fs::path& sets_folder(medium where) {
    static fs::path roots[2];
    fs::path& root = roots[where == medium::zip ? 0 : 1];
    if (root.empty()) {
        char pattern[] = "/tmp/vortan_bench_sets_XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        root = pattern;
        if (!write_sets(root, all_files(), set_form::non_merged, where)) std::abort();
    }
    return root;
}

void audit(benchmark::State& state, medium where) {
    const fs::path& root = sets_folder(where);
    game_folders folders;
    folders.rom_dir = (root / "roms").string();
    folders.zip_dir = (root / "ziproms").string();
    core_set_folders(folders);
    std::FILE* out = std::fopen("/dev/null", "w");
    for (auto _ : state)
        if (verify_roms({}, out) != 0) state.SkipWithError("a set is not good");
    std::fclose(out);
    state.counters["sets"] = 31;
}

void BM_VerifyZips(benchmark::State& state) { audit(state, medium::zip); }
void BM_VerifyFolders(benchmark::State& state) { audit(state, medium::folder); }
BENCHMARK(BM_VerifyZips)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerifyFolders)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    for (medium where : {medium::zip, medium::folder}) fs::remove_all(sets_folder(where));
    return 0;
}
