// A stereo stream from one sample rate to another through a windowed-sinc
// filter: the output holds what the input held below the lower of the two
// half rates, without the images a dropped or repeated sample would leave.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class resampler {
public:
    // The input rate is in_clock / in_divider per second (a chip's clock and
    // its clocks per sample), the output rate out_rate. Clears the history.
    void configure(uint32_t in_clock, uint32_t in_divider, uint32_t out_rate);
    void clear();
    // Inputs the next count outputs take.
    int inputs_for(int count) const;
    // Writes count outputs, taking inputs_for(count) from left/right (of
    // which available are there; past them the last one is held).
    void run(const int32_t* left, const int32_t* right, int available, int16_t* out_left, int16_t* out_right,
             int count);
    int taps() const { return taps_; }

    void save_state(std::vector<uint8_t>& out) const;
    bool load_state(const uint8_t*& data, size_t& size);

private:
    void push(float l, float r);

    uint64_t step_ = 0, period_ = 1;  // phase per output; phase per input
    uint64_t phase_ = 0;              // 0..period_-1: where the next output falls past the newest input
    int taps_ = 0;
    int write_ = 0;                   // next history slot
    std::vector<float> rows_;         // (phases + 1) rows of taps coefficients, oldest input first
    std::vector<float> left_, right_; // the last taps inputs, twice over so a window is contiguous
};
