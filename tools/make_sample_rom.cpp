// Builds a speech-chip sample ROM from 16-bit mono WAV files at 8000 Hz,
// one sample per file in the order given ("-silence" for a silent one).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adpcm.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_sample_rom OUTPUT.rom SAMPLE.wav... (-silence for silence)\n");
        return 2;
    }
    std::vector<std::vector<int16_t>> samples;
    for (int i = 2; i < argc; i++) {
        std::string name = argv[i];
        if (name == "-silence") {
            samples.push_back({});  // silence
            continue;
        }
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "make_sample_rom: cannot open %s\n", name.c_str());
            return 1;
        }
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> pcm;
        int rate = 0;
        std::string error;
        if (!adpcm::read_wav(file, pcm, rate, error)) {
            std::fprintf(stderr, "make_sample_rom: %s: %s\n", name.c_str(), error.c_str());
            return 1;
        }
        if (rate != adpcm::sample_rate) {
            std::fprintf(stderr, "make_sample_rom: %s: %d Hz, expected %d Hz\n", name.c_str(), rate,
                         adpcm::sample_rate);
            return 1;
        }
        samples.push_back(pcm);
    }
    std::string error;
    std::vector<uint8_t> rom = adpcm::build_rom(samples, error);
    if (rom.empty()) {
        std::fprintf(stderr, "make_sample_rom: %s\n", error.c_str());
        return 1;
    }
    // Written beside the target and renamed, so a failed write leaves an
    // existing ROM as it was.
    std::string temporary = std::string(argv[1]) + ".part";
    {
        std::ofstream out(temporary, std::ios::binary);
        out.write(reinterpret_cast<const char*>(rom.data()), std::streamsize(rom.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            std::fprintf(stderr, "make_sample_rom: cannot write %s\n", argv[1]);
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[1]) != 0) {
        std::remove(temporary.c_str());
        std::fprintf(stderr, "make_sample_rom: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
