// Text of the on-screen message, drawn straight into the 16-bit picture so
// that it is scaled with it. The glyphs come from the menu's built-in font.
#include <imgui.h>
#include <algorithm>
#include <cstdint>
#include "host/video/display.h"

namespace {

struct glyph_source {
    ImFontAtlas atlas;
    ImFont* font = nullptr;
    unsigned char* alpha = nullptr;
    int width = 0, height = 0;

    glyph_source() {
        font = atlas.AddFontDefault();
        atlas.GetTexDataAsAlpha8(&alpha, &width, &height);
    }
};

glyph_source& glyphs() {
    static glyph_source source;
    return source;
}

}  // namespace

void draw_text(uint16_t* pixels, int pitch, int width, int height, int x, int y,
               const char* text, uint16_t colour) {
    if (!pixels || !text) return;
    glyph_source& g = glyphs();
    if (!g.font || !g.alpha) return;
    float pen = float(x);
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; c++) {
        const ImFontGlyph* glyph = g.font->FindGlyph(ImWchar(*c));
        if (!glyph) continue;
        int gx0 = int(glyph->X0), gy0 = int(glyph->Y0);
        int gw = int(glyph->X1 - glyph->X0), gh = int(glyph->Y1 - glyph->Y0);
        int u0 = int(glyph->U0 * float(g.width) + 0.5f);
        int v0 = int(glyph->V0 * float(g.height) + 0.5f);
        for (int row = 0; row < gh; row++) {
            int py = y + gy0 + row;
            if (py < 0 || py >= height || v0 + row >= g.height) continue;
            uint16_t* line = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) +
                                                         size_t(py) * size_t(pitch));
            for (int col = 0; col < gw; col++) {
                int px = int(pen) + gx0 + col;
                if (px < 0 || px >= width || u0 + col >= g.width) continue;
                // Only the glyph's own pixels are set.
                if (g.alpha[size_t(v0 + row) * size_t(g.width) + size_t(u0 + col)] >= 128)
                    line[px] = colour;
            }
        }
        pen += glyph->AdvanceX;
        if (pen >= float(width)) break;
    }
}

void draw_text_band(uint16_t* pixels, int pitch, int width, int height, int x, int y,
                    const char* text, uint16_t colour) {
    if (!pixels || !text) return;
    glyph_source& g = glyphs();
    if (!g.font) return;
    float w = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; c++)
        if (const ImFontGlyph* glyph = g.font->FindGlyph(ImWchar(*c))) w += glyph->AdvanceX;
    // A quarter of each channel: dark enough under white text whatever the
    // picture, and still showing what is behind.
    const uint16_t keep = host_format_555 ? 0x1CE7 : 0x39E7;
    const int left = std::max(0, x - 3), right = std::min(width, x + int(w) + 3);
    const int top = std::max(0, y - 1), bottom = std::min(height, y + int(g.font->FontSize) + 1);
    for (int py = top; py < bottom; py++) {
        uint16_t* line = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + size_t(py) * size_t(pitch));
        for (int px = left; px < right; px++) line[px] = uint16_t((line[px] >> 2) & keep);
    }
    draw_text(pixels, pitch, width, height, x, y, text, colour);
}
