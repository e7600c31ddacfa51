// The staging image as a PNG file.
#pragma once
#include <cstdint>

// The staged picture (staged_picture) as an 8-bit RGB PNG of width x height.
// 0 with a message on stderr when it cannot be written; the old file at
// that path is then kept as it was.
int write_snapshot(const char* file_name, const uint16_t* pixels, int pitch_bytes, int width,
                   int height, int format_555);

// One pixel of the staging image as 8-bit red, green and blue.
void pixel_to_rgb(uint16_t pixel, int format_555, uint8_t* rgb);
