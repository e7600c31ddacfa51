// F9: the picture as shown into a numbered PNG in the -snapdir folder.
#pragma once
#include <string>

// "<snapdir>/<game>-0001.png", the first number not yet taken.
std::string next_screenshot_name();
// Writes it, making the folder when needed, and says where on screen;
// 1 when written.
int take_screenshot();
