#include "e2e_support.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "font.h"

#ifdef _WIN32
#include <process.h>
#endif

std::vector<int16_t> sound::frames(int first, int last) const {
    size_t per = size_t(rate / 60), a = per * first, b = per * last;
    if (b > samples.size()) b = samples.size();
    if (a > b) a = b;
    return {samples.begin() + long(a), samples.begin() + long(b)};
}

scratch_dir::scratch_dir() {
#ifdef _WIN32
    // No mkdtemp: a name of the process and a count, made anew each time.
    static int count;
    namespace fs = std::filesystem;
    std::error_code ec;
    for (int tries = 0; tries < 100 && path.empty(); ++tries) {
        const fs::path p = fs::temp_directory_path(ec) /
                           ("vortan_e2e_" + std::to_string(_getpid()) + "_" + std::to_string(++count));
        if (fs::create_directory(p, ec)) path = p.generic_string();
    }
#else
    char name[] = "/tmp/vortan_e2e_XXXXXX";
    const char* made = mkdtemp(name);
    path = made ? made : "";
#endif
}

scratch_dir::~scratch_dir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}

std::string scratch_dir::file(const std::string& name, const std::string& content) const {
    std::string full = path + "/" + name;
    if (!content.empty()) {
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << content;
    }
    return full;
}

int run_demo(const scratch_dir& dir, int frames, const std::string& script, const std::string& extra_options) {
    std::string command = "cd '" + dir.path + "' && '" VORTAN_EXE "' -headless -frames " + std::to_string(frames);
    if (!script.empty()) command += " -playback '" + dir.file("input.txt", script) + "'";
    command += " " + extra_options + " demo > run.log 2>&1";
    int status = std::system(command.c_str());
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

bool read_png(const std::string& path, picture& out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    out.width = int(image.width);
    out.height = int(image.height);
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    bool ok = png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

bool read_wav(const std::string& path, sound& out) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto le = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; i--) v = (v << 8) | f[at + i];
        return v;
    };
    if (f.size() < 12 || std::memcmp(f.data(), "RIFF", 4) || std::memcmp(f.data() + 8, "WAVE", 4)) return false;
    for (size_t at = 12; at + 8 <= f.size();) {
        uint32_t size = le(at + 4, 4);
        if (!std::memcmp(f.data() + at, "fmt ", 4)) {
            if (le(at + 8, 2) != 1 || le(at + 10, 2) != 1 || le(at + 22, 2) != 16) return false;
            out.rate = int(le(at + 12, 4));
        } else if (!std::memcmp(f.data() + at, "data", 4)) {
            size = uint32_t(std::min<size_t>(size, f.size() - at - 8));
            out.samples.resize(size / 2);
            for (size_t k = 0; k < out.samples.size(); k++) out.samples[k] = int16_t(le(at + 8 + 2 * k, 2));
            return out.rate > 0;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

double rms(const std::vector<int16_t>& samples) {
    if (samples.empty()) return 0;
    double mean = 0, sum = 0;
    for (int16_t v : samples) mean += v;
    mean /= double(samples.size());
    for (int16_t v : samples) sum += (v - mean) * (v - mean);
    return std::sqrt(sum / double(samples.size()));
}

double tone_frequency(const std::vector<int16_t>& samples, int rate) {
    double mean = 0;
    for (int16_t v : samples) mean += v;
    mean /= double(samples.size());
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); i++) {
        double a = samples[i - 1] - mean, b = samples[i] - mean;
        if (a < 0 && b >= 0) {
            double t = double(i - 1) + (-a) / (b - a);
            if (first < 0) first = t;
            last = t;
            crossings++;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) / ((last - first) / rate);
}

bool near(rgb a, rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

int cell_shows(const picture& p, int cx, int cy, char c, rgb ink) {
    if (c < FONT_FIRST || c >= FONT_FIRST + FONT_COUNT) return -1;
    int count = 0;
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            bool set = y < FONT_ROWS && x >= 1 && x <= FONT_COLUMNS && font_glyphs[c - FONT_FIRST][y][x - 1] == '#';
            if (set != near(p.at(cx * 8 + x, cy * 8 + y), ink)) return -1;
            count += set;
        }
    return count;
}

std::string read_text(const picture& p, int cx, int cy, int count, rgb ink) {
    std::string text;
    for (int i = 0; i < count; i++) {
        char found = '~';
        for (int c = FONT_FIRST; c < FONT_FIRST + FONT_COUNT; c++)
            if (cell_shows(p, cx + i, cy, char(c), ink) >= 0) {
                found = char(c);
                break;
            }
        text += found;
    }
    return text;
}
