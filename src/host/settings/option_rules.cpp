// The refusals of option values: on stderr at once, kept for the window.
#include "host/settings/option_rules.h"
#include <strings.h>
#include <cstdio>

namespace {

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

std::vector<std::string> take_refused_options() {
    std::vector<std::string> out;
    out.swap(refused);
    if (refusals_dropped)
        out.push_back("and " + std::to_string(refusals_dropped) + " more (see the standard error)");
    refusals_dropped = 0;
    return out;
}
