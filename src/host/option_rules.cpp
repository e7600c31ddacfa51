// Ranges of the integer options and the refusals of out-of-range values.
#include "host/option_rules.h"
#include <strings.h>
#include <cstdio>

namespace {

struct option_range {
    const char* word;
    int low, high, fallback;
    const char* allowed;
};

const option_range ranges[] = {
    {"-skip", 1, 4, 1, "1 to 4"},
    {"-winsize", 1, 3, 1, "1, 2 or 3"},
    {"-volume", 0, 100, 100, "0 to 100 (percent)"},
    {"-latency", min_latency_ms, 500, 50, "17 to 500 (milliseconds; 17 is one frame)"},
    // Far beyond any screen, and small enough that placing the window
    // cannot overflow.
    {"-winx", -window_position_limit, window_position_limit, 0, "-65536 to 65536 (pixels)"},
    {"-winy", -window_position_limit, window_position_limit, 0, "-65536 to 65536 (pixels)"},
    {"-joy1_a", 0, 31, 0, "0 to 31 (a joystick button)"},
    {"-joy1_b", 0, 31, 1, "0 to 31 (a joystick button)"},
    {"-joy1_c", 0, 31, 2, "0 to 31 (a joystick button)"},
    {"-joy2_a", 0, 31, 0, "0 to 31 (a joystick button)"},
    {"-joy2_b", 0, 31, 1, "0 to 31 (a joystick button)"},
    {"-joy2_c", 0, 31, 2, "0 to 31 (a joystick button)"},
};

// What the window shows; a file full of bad values still makes one dialog
// of a few lines, the rest is on stderr.
constexpr size_t refusals_kept = 20;
std::vector<std::string> refused;
size_t refusals_dropped;

}  // namespace

void refuse_option(const char* word, const char* text, const char* allowed, const std::string& used) {
    std::string line = std::string(word) + " " + text + " refused: it takes " + allowed + "; " +
                       used + " is used";
    std::fprintf(stderr, "vortan: %s\n", line.c_str());
    if (refused.size() < refusals_kept)
        refused.push_back(line);
    else
        ++refusals_dropped;
}

int check_option_range(const char* word, const char* text, int& value) {
    for (const option_range& r : ranges) {
        if (strcasecmp(word, r.word) != 0) continue;
        if (value >= r.low && value <= r.high) return 1;
        refuse_option(r.word, text, r.allowed, std::to_string(r.fallback));
        value = r.fallback;
        return 0;
    }
    return 1;
}

std::vector<std::string> take_refused_options() {
    std::vector<std::string> out;
    out.swap(refused);
    if (refusals_dropped)
        out.push_back("and " + std::to_string(refusals_dropped) + " more (see the standard error)");
    refusals_dropped = 0;
    return out;
}
