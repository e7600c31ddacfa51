// The staging image written as a PNG file, for F9 and -snapshot.
#include "host/video/snapshot_png.h"
#include <png.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "common/safe_file.h"

void pixel_to_rgb(uint16_t p, int format_555, uint8_t* rgb) {
    // Channel bits are repeated into the low bits so full scale stays 255.
    unsigned r, g, b;
    if (format_555) {
        r = (p >> 10) & 0x1F;
        g = (p >> 5) & 0x1F;
        b = p & 0x1F;
        g = (g << 3) | (g >> 2);
    } else {
        r = (p >> 11) & 0x1F;
        g = (p >> 5) & 0x3F;
        b = p & 0x1F;
        g = (g << 2) | (g >> 4);
    }
    rgb[0] = (uint8_t)((r << 3) | (r >> 2));
    rgb[1] = (uint8_t)g;
    rgb[2] = (uint8_t)((b << 3) | (b >> 2));
}

int write_snapshot(const char* file_name, const uint16_t* pixels, int pitch_bytes, int width,
                   int height, int format_555) {
    if (!pixels || width <= 0 || height <= 0 || width * 2 > pitch_bytes) {
        std::fprintf(stderr, "%s: no picture to write\n", file_name);
        return 0;
    }
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = pixels + (size_t)y * (pitch_bytes / 2);
        for (int x = 0; x < width; ++x) pixel_to_rgb(row[x], format_555, &rgb[((size_t)y * width + x) * 3]);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    // Made in memory first: the file is touched only once there is a whole
    // picture to put in its place.
    png_alloc_size_t size = 0;
    std::vector<uint8_t> png;
    if (png_image_write_get_memory_size(image, size, 0, rgb.data(), width * 3, nullptr)) {
        png.resize(size);
        if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), width * 3, nullptr))
            png.clear();
    }
    if (png.empty()) {
        std::fprintf(stderr, "%s: %s\n", file_name, image.message);
        png_image_free(&image);
        return 0;
    }
    std::string why;
    if (!write_whole_file(file_name, png.data(), size, why)) {
        std::fprintf(stderr, "%s: %s; nothing was written\n", file_name, why.c_str());
        return 0;
    }
    return 1;
}
