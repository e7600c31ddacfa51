// A value outside what an option takes is refused with a message naming the
// option and what it takes, and the option keeps its default: nothing is
// silently replaced. The ranges are in the option table.
#pragma once
#include <string>
#include <vector>

// The smallest sound latency: one frame's block of samples.
inline constexpr int min_latency_ms = 17;
// How far -winx and -winy may place the window from the screen's corner.
inline constexpr int window_position_limit = 65536;

// Reports a refused value on stderr and keeps it for the window to show.
void refuse_option(const char* word, const char* text, const char* allowed, const std::string& used);
// The refusals since the last call, emptied by it: the first few, then a
// line counting the others.
std::vector<std::string> take_refused_options();
