// Runs a fuzz target without libFuzzer, as a test: every file of its seed
// corpus, then a fixed number of mutations drawn from a seeded generator, so
// that every run does the same work. The parser's own sources are built with
// -fsanitize-coverage=trace-pc; an input that enters a block no earlier input
// entered joins the corpus that later mutations draw from.
//
//   fuzz_<target> [-rss_limit_mb=N] CORPUS_DIR [MUTATIONS [SEED]]
//   fuzz_<target> [-rss_limit_mb=N] FILE...
//
// The summary gives the process's peak memory; with -rss_limit_mb a peak
// above N megabytes fails the run, so a target whose memory grows from run
// to run is caught.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

using bytes = std::vector<uint8_t>;

// Blocks entered so far, as a set of their addresses (open addressing, kept
// at most half full).
constexpr size_t block_table_size = 1 << 16;
uintptr_t block_table[block_table_size];
size_t blocks_reached;

// The input being run, written to a file if the run dies.
const bytes* current;
std::string crash_file;

void put(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n <= 0) return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

// Only async-signal-safe calls: this runs from a signal handler too.
void save_current() {
    if (!current) return;
    const int fd = open(crash_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    put(fd, current->data(), current->size());
    close(fd);
    const char note[] = "fuzz: the failing input is in ";
    put(2, note, sizeof note - 1);
    put(2, crash_file.data(), crash_file.size());
    put(2, "\n", 1);
    current = nullptr;
}

void on_signal(int sig) {
    save_current();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

struct generator {  // splitmix64
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t below(size_t n) { return n ? static_cast<size_t>(next() % n) : 0; }
};

// Bytes that mean something to one parser or another: limits, digits,
// signs, blanks, line ends, comments, quotes.
const uint8_t interesting[] = {0, 1, 0x7F, 0x80, 0xFF, '0', '9', '-', ' ', '\t', '\n', '\r', '#', '"'};

bytes mutate(bytes v, const std::vector<bytes>& corpus, generator& g, size_t max_size) {
    const size_t steps = 1 + g.below(4);
    for (size_t s = 0; s < steps; ++s) {
        const size_t at = g.below(v.size() + 1);
        switch (g.below(6)) {
            case 0:  // flip a bit
                if (!v.empty()) v[g.below(v.size())] ^= static_cast<uint8_t>(1u << g.below(8));
                break;
            case 1:  // change a byte
                if (!v.empty())
                    v[g.below(v.size())] = g.below(2) ? static_cast<uint8_t>(g.next())
                                                      : interesting[g.below(sizeof interesting)];
                break;
            case 2:  // insert a few bytes
                for (size_t n = 1 + g.below(8); n > 0; --n) v.insert(v.begin() + at, static_cast<uint8_t>(g.next()));
                break;
            case 3: {  // delete a run
                const size_t n = std::min(v.size() - at, 1 + g.below(16));
                v.erase(v.begin() + at, v.begin() + at + n);
                break;
            }
            case 4: {  // splice: this input's head, another's tail
                const bytes& other = corpus[g.below(corpus.size())];
                const size_t from = g.below(other.size() + 1);
                v.resize(at);
                v.insert(v.end(), other.begin() + from, other.end());
                break;
            }
            default: {  // repeat a piece of the input elsewhere in it
                if (v.empty()) break;
                const size_t from = g.below(v.size());
                const bytes piece(v.begin() + from, v.begin() + from + std::min(v.size() - from, 1 + g.below(32)));
                v.insert(v.begin() + at, piece.begin(), piece.end());
                break;
            }
        }
    }
    if (v.size() > max_size) v.resize(max_size);
    return v;
}

void run(const bytes& input) {
    static const uint8_t none = 0;
    current = &input;
    LLVMFuzzerTestOneInput(input.empty() ? &none : input.data(), input.size());
    current = nullptr;
}

bytes read_input(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

long peak_memory_mb() {
    rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
    return usage.ru_maxrss / 1024;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char** argv) {
    long rss_limit_mb = 0;
    const char flag[] = "-rss_limit_mb=";
    if (argc > 1 && std::strncmp(argv[1], flag, sizeof flag - 1) == 0) {
        rss_limit_mb = std::atol(argv[1] + sizeof flag - 1);
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [MUTATIONS [SEED]] | %s FILE...\n", argv[0], argv[0]);
        return 2;
    }
    const std::string name = std::filesystem::path(argv[0]).filename().string();
    crash_file = "crash-" + name;
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(sig, on_signal);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(save_current);

    std::vector<bytes> corpus;
    long mutations = 0;
    uint64_t seed = 1;
    if (std::filesystem::is_directory(argv[1])) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& f : files) corpus.push_back(read_input(f));
        mutations = argc > 2 ? std::atol(argv[2]) : 1000;
        seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
    } else {
        for (int i = 1; i < argc; ++i) corpus.push_back(read_input(argv[i]));
    }
    if (corpus.empty()) corpus.emplace_back();
    const size_t seeds = corpus.size();

    // The code under test reports through stdio's stdout and stderr, which
    // glibc lets a program point elsewhere; sanitizer reports and the crash
    // note write to file descriptor 2 directly and still show.
    std::FILE* const summary = stdout;
    std::FILE* const quiet = std::fopen("/dev/null", "w");
    if (!quiet) return 2;
    stdout = stderr = quiet;

    size_t max_size = 1024;
    for (size_t i = 0; i < seeds; ++i) {
        run(corpus[i]);
        max_size = std::max(max_size, 2 * corpus[i].size());
    }
    generator g{seed};
    for (long i = 0; i < mutations; ++i) {
        bytes input = mutate(corpus[g.below(corpus.size())], corpus, g, max_size);
        const size_t before = blocks_reached;
        run(input);
        if (blocks_reached > before) corpus.push_back(std::move(input));
    }

    const long peak = peak_memory_mb();
    std::fprintf(summary,
                 "%s: %zu runs (%zu seeds, %ld mutations), %zu blocks reached, corpus %zu inputs, peak memory %ld MB\n",
                 name.c_str(), seeds + static_cast<size_t>(mutations), seeds, mutations, blocks_reached,
                 corpus.size(), peak);
    if (rss_limit_mb > 0 && peak > rss_limit_mb) {
        std::fprintf(summary, "%s: peak memory %ld MB is above the limit of %ld MB\n", name.c_str(), peak,
                     rss_limit_mb);
        return 1;
    }
    return 0;
}

// Called at the start of every block of the instrumented sources.
extern "C" void __sanitizer_cov_trace_pc() {
    const uintptr_t pc = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
    size_t i = static_cast<size_t>((pc * 0x9E3779B97F4A7C15ull) >> 48);
    while (block_table[i] != 0) {
        if (block_table[i] == pc) return;
        i = (i + 1) % block_table_size;
    }
    if (blocks_reached < block_table_size / 2) {
        block_table[i] = pc;
        ++blocks_reached;
    }
}
