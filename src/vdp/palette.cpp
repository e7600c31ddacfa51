// Colours come from the board's palette RAM, not the video chip's colour RAM:
// the frame buffer of pixel bytes, the 256-entry colour table and the
// conversion into the display's 16-bit staging image.
#include "vdp/palette.h"

#include <cstdlib>
#include <cstring>

#include "common/debug_log.h"
#include "vdp/vdp.h"

uint8_t* frame_buffer;
int frame_pitch;

int palette_mode = 0;
uint16_t conv_pal[256];
int pixel_format_555;

namespace {

uint16_t* line_picture;  // null outside begin_picture and finish_picture
int line_pitch;
uint16_t frame_colours[256];
int line_width[picture_lines];  // 0: not converted in this frame

struct components {
    unsigned r, g, b;  // five bits each
};

components unpack(uint16_t w) {
    const unsigned v = w;
    return {((v & 0x0F) << 1) | ((v >> 12) & 1), (((v >> 4) & 0x0F) << 1) | ((v >> 13) & 1),
            (((v >> 8) & 0x0F) << 1) | ((v >> 14) & 1)};
}

// Fields already reduced to the target layout's widths.
uint16_t place(unsigned r, unsigned g, unsigned b) {
    if (pixel_format_555) return static_cast<uint16_t>((r << 10) | (g << 5) | b);
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

uint16_t palette_word(const uint8_t* ram, int index) {
    uint16_t w;
    std::memcpy(&w, ram + index * 2, 2);
    return w;
}

}  // namespace

uint16_t pack_normal(uint16_t word) {
    const components c = unpack(word);
    return place(c.r, pixel_format_555 ? c.g : c.g * 2, c.b);
}

uint16_t pack_shadow(uint16_t word) {
    const components c = unpack(word);
    return place(c.r / 2, pixel_format_555 ? c.g / 2 : c.g, c.b / 2);
}

uint16_t pack_highlight(uint16_t word) {
    const components c = unpack(word);
    return place(16 + c.r / 2, pixel_format_555 ? 16 + c.g / 2 : 32 + c.g, 16 + c.b / 2);
}

void init_machine() {
    std::free(frame_buffer);
    frame_buffer = nullptr;
    frame_pitch = frame_buffer_pitch;
    uint8_t* block = static_cast<uint8_t*>(std::calloc(size_t{frame_buffer_pitch} * frame_buffer_lines, 1));
    // Without a buffer the renderer and the conversion draw nothing.
    if (block == nullptr) debug_log("Cannot allocate BMP");
    frame_buffer = block;
}

void update_conv_pal(const palette_source& source) {
    const int bank = source.first_colour;
    const bool shadow_highlight = (vdp.reg[12] & 0x08) != 0;
    for (int i = 0; i < 64; i++) {
        const uint16_t c = palette_word(source.ram, bank + i);
        conv_pal[i] = pack_normal(c);
        conv_pal[64 + i] = pack_normal(palette_word(source.ram, bank + 256 + i));
        if (shadow_highlight) {
            if (i < 62) conv_pal[192 + i] = pack_highlight(c);
            conv_pal[128 + i] = pack_shadow(c);
        }
    }
}

void set_palette_m13() {
    for (int n = 0; n < 256; n++) {
        const rgb6& c = fixed_palette[n];
        if (pixel_format_555) conv_pal[n] = static_cast<uint16_t>(((c.r >> 1) << 10) | ((c.g >> 1) << 5) | (c.b >> 1));
        else conv_pal[n] = static_cast<uint16_t>(((c.r >> 1) << 11) | (c.g << 5) | (c.b >> 1));
    }
}

void set_palette_mode(int mode) {
    std::memset(conv_pal, 0, sizeof conv_pal);
    palette_mode = mode;
    if (mode == 0) set_palette_m13();
}

void convert_frame(uint16_t* picture, int pitch_pixels) {
    if (frame_buffer == nullptr || picture == nullptr) return;
    const int lines = vp_height < picture_lines ? vp_height : picture_lines;
    const int width = vp_width < pitch_pixels ? vp_width : pitch_pixels;
    if (width <= 0 || frame_pitch < 32 + width) return;
    // A private copy of the table: stores into the picture cannot alias it,
    // so the look-ups need not wait on them.
    uint16_t colours[256];
    std::memcpy(colours, conv_pal, sizeof colours);
    for (int y = 0; y < lines; y++) {
        const uint8_t* src = frame_buffer + static_cast<size_t>(y) * frame_pitch + 32;
        uint16_t* dst = picture + static_cast<size_t>(y) * pitch_pixels;
        for (int x = 0; x < width; x++) dst[x] = colours[src[x]];
    }
}

void begin_picture(uint16_t* picture, int pitch_pixels) {
    line_picture = picture;
    line_pitch = pitch_pixels;
    std::memcpy(frame_colours, conv_pal, sizeof frame_colours);
    std::memset(line_width, 0, sizeof line_width);
}

uint16_t* picture_line(int line, int width) {
    if (line_picture == nullptr || line < 0 || line >= picture_lines || width > line_pitch) return nullptr;
    line_width[line] = width;
    return line_picture + static_cast<size_t>(line) * line_pitch;
}

const uint16_t* picture_colours() { return frame_colours; }

void finish_picture(const palette_source& source) {
    if (line_picture == nullptr) return;
    if (palette_mode == 1) update_conv_pal(source);
    bool converted = std::memcmp(frame_colours, conv_pal, sizeof frame_colours) == 0;
    const int lines = vp_height < picture_lines ? vp_height : picture_lines;
    const int width = vp_width < line_pitch ? vp_width : line_pitch;
    for (int y = 0; y < lines && converted; y++) converted = line_width[y] == width;
    if (!converted) convert_frame(line_picture, line_pitch);
    line_picture = nullptr;
}
