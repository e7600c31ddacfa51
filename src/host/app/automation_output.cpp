// The WAV file of an unattended run's sound stream, and its benchmark line.
#include <cerrno>
#include <cstring>
#include "common/safe_file.h"
#include "host/app/automation.h"

namespace {

void put16(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

// RIFF sizes are 32-bit: the data stops short of 4 GB.
constexpr uint32_t max_wav_samples = (0xFFFFFFFFu - 36) / 2;

void wav_header(uint8_t* h, int rate, uint32_t samples) {
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + samples * 2);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);  // PCM
    put16(h + 22, 1);  // mono
    put32(h + 24, (uint32_t)rate);
    put32(h + 28, (uint32_t)rate * 2);
    put16(h + 32, 2);
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, samples * 2);
}

}  // namespace

wav_writer::~wav_writer() { discard(); }

int wav_writer::open(const char* file_name, int sample_rate) {
    discard();
    if (sample_rate <= 0) {
        std::fprintf(stderr, "%s: the sound rate %d cannot be written\n", file_name, sample_rate);
        return 0;
    }
    std::string why;
    if (!out.open(file_name, why)) {
        std::fprintf(stderr, "%s: %s\n", file_name, why.c_str());
        return 0;
    }
    rate = sample_rate;
    samples = 0;
    failed = 0;
    uint8_t header[44];
    wav_header(header, rate, 0);
    if (std::fwrite(header, 1, sizeof header, out.stream()) != sizeof header) failed = 1;
    return 1;
}

void wav_writer::write_block(const int16_t* block, int count) {
    if (!out.is_open() || count <= 0 || !block) return;
    if (samples + (uint64_t)count > max_wav_samples) {
        failed = 1;
        return;
    }
    uint8_t bytes[2048];
    int done = 0;
    while (done < count) {
        int n = count - done < 1024 ? count - done : 1024;
        for (int i = 0; i < n; ++i) put16(bytes + i * 2, (uint16_t)block[done + i]);
        if (std::fwrite(bytes, 2, (size_t)n, out.stream()) != (size_t)n) failed = 1;
        done += n;
    }
    samples += (uint32_t)count;
}

int wav_writer::close() {
    if (!out.is_open()) return 1;
    uint8_t header[44];
    wav_header(header, rate, samples);
    if (std::fseek(out.stream(), 0, SEEK_SET) != 0 ||
        std::fwrite(header, 1, sizeof header, out.stream()) != sizeof header)
        failed = 1;
    // Sound that did not all reach the file leaves the old file in place.
    std::string why;
    if (failed)
        out.abandon();
    else if (!out.commit(why))
        failed = 1;
    return !failed;
}

void wav_writer::discard() { out.abandon(); }

std::string bench_line(long frames, double seconds) {
    double fps = seconds > 0 ? frames / seconds : 0.0;
    char line[160];
    std::snprintf(line, sizeof line, "frames %ld, seconds %.3f, fps %.1f, speed %.2fx", frames,
                  seconds, fps, fps / 60.0);
    return line;
}
