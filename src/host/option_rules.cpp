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
    {"-winsize", 0, 6, 0, "1 to 6, or 0 for the size that suits the screen"},
    {"-volume", 0, 100, 100, "0 to 100 (percent)"},
    {"-runahead", 0, 2, 0, "0, 1 or 2 (frames)"},
    {"-latency", min_latency_ms, 500, 50, "17 to 500 (milliseconds; 17 is one frame)"},
};

std::vector<std::string> refused;

}  // namespace

void refuse_option(const char* word, const char* text, const char* allowed, const std::string& used) {
    std::string line = std::string(word) + " " + text + " refused: it takes " + allowed + "; " +
                       used + " is used";
    std::fprintf(stderr, "vortan: %s\n", line.c_str());
    refused.push_back(line);
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
    return out;
}
