// Running the whole program on the demo cartridge and reading what it
// leaves behind: the snapshot picture and the written sound.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct rgb {
    int r, g, b;
};

struct picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // RGB
    rgb at(int x, int y) const {
        const uint8_t* p = &pixels[3 * (size_t(y) * width + x)];
        return {p[0], p[1], p[2]};
    }
};

struct sound {
    int rate = 0;
    std::vector<int16_t> samples;
    // Samples of frames [first, last): the stream is rate / 60 samples a frame.
    std::vector<int16_t> frames(int first, int last) const;
};

// A scratch folder for one test, removed by the destructor.
struct scratch_dir {
    std::string path;
    scratch_dir();
    ~scratch_dir();
    std::string file(const std::string& name, const std::string& content = {}) const;
};

// Runs `vortan -headless -frames N ... demo` in the folder; returns the exit status.
int run_demo(const scratch_dir& dir, int frames, const std::string& script, const std::string& extra_options);

bool read_png(const std::string& path, picture& out);
bool read_wav(const std::string& path, sound& out);

double rms(const std::vector<int16_t>& samples);
// Frequency from rising zero crossings (interpolated) of a steady tone.
double tone_frequency(const std::vector<int16_t>& samples, int rate);

// How the 8 x 8 cell at column cx, row cy matches character c drawn in
// `ink`: -1 when it does not, else the number of ink pixels.
int cell_shows(const picture& p, int cx, int cy, char c, rgb ink);
// The characters of a row of cells, read against the program's font.
std::string read_text(const picture& p, int cx, int cy, int count, rgb ink);
bool near(rgb a, rgb b, int tolerance = 24);
