// Measurements on generated sound: pitch, level and edges.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

namespace sound_test {

using samples = std::vector<int16_t>;

inline double mean(const samples& s, size_t from = 0, size_t to = SIZE_MAX) {
    if (to > s.size()) to = s.size();
    double sum = 0;
    for (size_t i = from; i < to; i++) sum += s[i];
    return to > from ? sum / static_cast<double>(to - from) : 0.0;
}

inline double rms(const samples& s, size_t from = 0, size_t to = SIZE_MAX) {
    if (to > s.size()) to = s.size();
    double m = mean(s, from, to), sum = 0;
    for (size_t i = from; i < to; i++) sum += (s[i] - m) * (s[i] - m);
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

inline double db(double ratio) { return 20.0 * std::log10(ratio); }

// Frequency in Hz from the upward crossings of the mean, each placed by
// linear interpolation between the two samples around it.
inline double frequency(const samples& s, int rate, size_t from = 0) {
    double m = mean(s, from);
    double first = -1, last = -1;
    long count = 0;
    for (size_t i = from + 1; i < s.size(); i++) {
        double a = s[i - 1] - m, b = s[i] - m;
        if (a < 0 && b >= 0) {
            double t = static_cast<double>(i - 1) + a / (a - b);
            if (first < 0) first = t;
            last = t;
            count++;
        }
    }
    if (count < 2) return 0.0;
    return static_cast<double>(count - 1) * rate / (last - first);
}

// Largest magnitude in [from, to).
inline int peak(const samples& s, size_t from, size_t to) {
    if (to > s.size()) to = s.size();
    int p = 0;
    for (size_t i = from; i < to; i++) p = std::max(p, std::abs(static_cast<int>(s[i])));
    return p;
}

// Level in dB relative to `full` of the peak in a window centred on `at`.
inline double level_db(const samples& s, size_t at, size_t window, double full) {
    size_t from = at > window / 2 ? at - window / 2 : 0;
    return db(peak(s, from, at + window / 2) / full);
}

// Times, in samples, at which a two-level signal (0 and high) changes
// level. An output sample is the average over its period, so a partial
// value places the edge inside the sample.
inline std::vector<double> edges(const samples& s, double high) {
    std::vector<double> t;
    int state = s.empty() ? 0 : s[0] > high / 2;
    for (size_t i = 1; i < s.size(); i++) {
        double v = s[i] / high;
        if (v > 0.001 && v < 0.999) {
            int next = i + 1 < s.size() ? s[i + 1] > high / 2 : !state;
            if (next != state) {
                t.push_back(state ? static_cast<double>(i) + v : static_cast<double>(i) + 1.0 - v);
                state = next;
            }
        } else {
            int now = v >= 0.5;
            if (now != state) {
                t.push_back(static_cast<double>(i));
                state = now;
            }
        }
    }
    return t;
}

}  // namespace sound_test
