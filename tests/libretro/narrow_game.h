// A game of our own under a real game's name (columns): it turns the display
// on in the 256-pixel mode and loops.
#pragma once
#include <string>
#include <utility>
#include <vector>

// Its two program files, even and odd bytes: {file name, bytes}.
std::vector<std::pair<std::string, std::string>> narrow_game();
// The files as a zip archive at path; false when it cannot be written.
bool write_zip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members);
