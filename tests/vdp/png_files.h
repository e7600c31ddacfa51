// PNG files of pictures for the renderer's tests: 5-6-5 host pixels as RGB
// (every field widened to 8 bits and narrowed back exactly) and pixel bytes
// as grey levels.
#pragma once
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace png_files {

struct image {
    int width = 0, height = 0;
    int channels = 0;  // 1 grey, 3 RGB
    std::vector<uint8_t> bytes;
};

inline bool write(const std::string& path, const image& im) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, im.width, im.height, 8, im.channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < im.height; y++)
        png_write_row(png, im.bytes.data() + static_cast<size_t>(y) * im.width * im.channels);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

// Only 8-bit grey or RGB files, as write makes them.
inline bool read(const std::string& path, image& im) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(in);
        return false;
    }
    png_init_io(png, in);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) != 8 || (type != PNG_COLOR_TYPE_GRAY && type != PNG_COLOR_TYPE_RGB)) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(in);
        return false;
    }
    im.width = static_cast<int>(png_get_image_width(png, info));
    im.height = static_cast<int>(png_get_image_height(png, info));
    im.channels = type == PNG_COLOR_TYPE_GRAY ? 1 : 3;
    im.bytes.resize(static_cast<size_t>(im.width) * im.height * im.channels);
    for (int y = 0; y < im.height; y++)
        png_read_row(png, im.bytes.data() + static_cast<size_t>(y) * im.width * im.channels, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(in);
    return true;
}

inline image from_rgb565(const uint16_t* pixels, int pitch_pixels, int width, int height) {
    image im{width, height, 3, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    uint8_t* o = im.bytes.data();
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const uint16_t p = pixels[static_cast<size_t>(y) * pitch_pixels + x];
            *o++ = static_cast<uint8_t>((p >> 11) * 255 / 31);
            *o++ = static_cast<uint8_t>((p >> 5 & 63) * 255 / 63);
            *o++ = static_cast<uint8_t>((p & 31) * 255 / 31);
        }
    }
    return im;
}

// Line y's pixel bytes start at lines + y x pitch.
inline image from_bytes(const uint8_t* lines, int pitch, int width, int height) {
    image im{width, height, 1, std::vector<uint8_t>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) im.bytes[static_cast<size_t>(y) * width + x] = lines[static_cast<size_t>(y) * pitch + x];
    return im;
}

}  // namespace png_files
