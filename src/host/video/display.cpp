// The picture on the host: an SDL renderer with a 512 x 224 streaming
// texture, stretched to the window below the menu bar or placed on a
// 320 x 240 logical full screen.
#include "host/video/display.h"
#include <SDL.h>
#include <imgui.h>
#include <imgui_impl_sdlrenderer.h>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "host/settings/options.h"
#include "machine/core.h"

uint16_t* staged_picture;
int surface_pitch = staging_width * 2;
rect src_rect = {0, 0, picture_width, picture_height};
char msg_text[256];
int msg_visible;
uint32_t (*display_ticks)() = SDL_GetTicks;
SDL_Renderer* main_renderer;

static uint32_t msg_time;
int rewind_shown;
static uint32_t speed_second_start;
static int speed_frames;
static char speed_line[32];
// ImGui lays out a window that has just appeared over a frame or two more.
static constexpr int redraws_per_change = 3;
static int redraws_due = redraws_per_change;
static SDL_Texture* picture;
static int picture_555;
int host_format_555;
static int renderer_vsync = -1;
static int imgui_renderer_ready;
static display_hooks window_hooks;

void set_display_hooks(const display_hooks& hooks) { window_hooks = hooks; }

// Room for a 240-line mode below the 224 lines shown, so a taller
// conversion never runs off the end.
static constexpr int staged_picture_lines = 240;

void video_error(const char* what) {
    char text[256];
    std::snprintf(text, sizeof text, "Video error: %s", what ? what : "unknown");
    msg_box(text, "SC video error");
    release_video();
}

void release_video() {
    std::free(staged_picture);
    staged_picture = nullptr;
    if (picture) SDL_DestroyTexture(picture);
    picture = nullptr;
    if (imgui_renderer_ready) ImGui_ImplSDLRenderer_Shutdown();
    imgui_renderer_ready = 0;
    if (main_renderer) SDL_DestroyRenderer(main_renderer);
    main_renderer = nullptr;
    renderer_vsync = -1;
}

static SDL_Renderer* make_renderer() {
    SDL_Renderer* r = nullptr;
    if (videomem) r = SDL_CreateRenderer(main_window, -1, SDL_RENDERER_ACCELERATED);
    // No accelerated renderer: fall back without a word, as with no video memory.
    if (!r) r = SDL_CreateRenderer(main_window, -1, SDL_RENDERER_SOFTWARE);
    return r;
}

static int create_window_display(int fs) {
    if (!main_window) {
        video_error("no main window");
        return 0;
    }
    if (SDL_SetWindowFullscreen(main_window, fs ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        video_error(SDL_GetError());
        return 0;
    }
    main_renderer = make_renderer();
    if (!main_renderer) {
        video_error(SDL_GetError());
        return 0;
    }
    picture = SDL_CreateTexture(main_renderer, SDL_PIXELFORMAT_RGB565,
                                SDL_TEXTUREACCESS_STREAMING, staging_width, staging_height);
    picture_555 = 0;
    if (!picture) {
        picture = SDL_CreateTexture(main_renderer, SDL_PIXELFORMAT_RGB555,
                                    SDL_TEXTUREACCESS_STREAMING, staging_width, staging_height);
        picture_555 = 1;
    }
    if (!picture) {
        video_error(SDL_GetError());
        return 0;
    }
    if (ImGui::GetCurrentContext()) imgui_renderer_ready = ImGui_ImplSDLRenderer_Init(main_renderer);
    return 1;
}

int init_video(int fs) {
    release_video();
    fullscreen = fs;
    if (!headless && !create_window_display(fs)) return 0;
    host_format_555 = headless ? 0 : picture_555;
    // The core's colour table follows the texture's layout.
    core_set_pixel_format(host_format_555);
    surface_pitch = staging_width * 2;
    staged_picture = static_cast<uint16_t*>(std::calloc(size_t(surface_pitch) * staged_picture_lines, 1));
    if (!staged_picture) {
        video_error("out of memory for the staging image");
        return 0;
    }
    return 1;
}

// The picture's rectangle in the staging image: the frame's size, cut to it.
static void take_source_rect(const core_frame& frame) {
    int w = std::clamp(frame.width, 0, staging_width);
    int h = std::clamp(frame.height, 0, staging_height);
    src_rect = {0, 0, w, h};
}

void restore_video() {
    if (headless || !main_renderer) return;
    init_video(fullscreen);
}

void note_emulated_frame() {
    const uint32_t now = display_ticks();
    ++speed_frames;
    if (now - speed_second_start < 1000) return;
    // A second (or more, after a pause) has passed: its rate is the speed.
    const uint32_t ms = now - speed_second_start;
    const int fps = ms >= 2000 ? 0 : int(speed_frames * 1000u / ms);
    std::snprintf(speed_line, sizeof speed_line, "%d fps %d%%", fps, (fps * 100 + 30) / 60);
    speed_second_start = now;
    speed_frames = 0;
}

const char* speed_text() { return speed_line; }

void want_redraw() { redraws_due = redraws_per_change; }

int take_redraw() {
    // One more after a message goes, to take it off the picture.
    if (msg_visible) redraws_due = std::max(redraws_due, 1);
    if (redraws_due <= 0) return 0;
    --redraws_due;
    return 1;
}

void paint_msg_video(const char* text) {
    msg_time = display_ticks();
    msg_visible = 1;
    std::snprintf(msg_text, sizeof msg_text, "%s", text ? text : "");
}

void message_printf(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    paint_msg_video(text);
}

void update_msg_video(uint16_t* pixels, int pitch, int width, int height) {
    if (!msg_visible) return;
    if (pixels) {
        uint16_t white = host_format_555 ? 0x7FFF : 0xFFFF;
        draw_text_band(pixels, pitch, width, height, 35, 205, msg_text, white);
    }
    // The frame that finds the time gone still shows the text.
    if (display_ticks() - msg_time > 1000) msg_visible = 0;
}

void blur_filter(uint16_t* p, int width, int rows, int skip) {
    uint8_t* row = reinterpret_cast<uint8_t*>(p);
    for (int y = 0; y < rows; y++) {
        uint16_t* px = reinterpret_cast<uint16_t*>(row);
        uint32_t prev = 0;
        for (int x = 0; x < width; x++) {
            uint32_t v = px[x];
            uint32_t e = (v | (v << 16)) & 0x07E0F81F;
            uint32_t out = ((e + prev) >> 1) & 0x07E0F81F;
            prev = e;
            px[x] = uint16_t((out & 0xFFFF) | (out >> 16));
        }
        row += size_t(width) * 2 + size_t(skip);
    }
}

// Copies the staging image (or black) into the texture and draws the message.
static void stage_picture(bool black) {
    if (!picture) return;
    void* dst = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(picture, nullptr, &dst, &pitch) != 0) return;
    uint8_t* out = static_cast<uint8_t*>(dst);
    for (int y = 0; y < staging_height; y++) {
        uint8_t* line = out + size_t(y) * pitch;
        if (black || !staged_picture)
            std::memset(line, 0, staging_width * 2);
        else
            std::memcpy(line, reinterpret_cast<uint8_t*>(staged_picture) + size_t(y) * surface_pitch,
                        staging_width * 2);
    }
    uint16_t* pixels = static_cast<uint16_t*>(dst);
    update_msg_video(pixels, pitch, staging_width, staging_height);
    const uint16_t white = host_format_555 ? 0x7FFF : 0xFFFF;
    if (!black && rewind_shown) draw_text_band(pixels, pitch, src_rect.right, staging_height, 6, 4, "<< Rewind", white);
    if (!black && show_speed && *speed_line) {
        const int right = src_rect.right - 6 - int(std::strlen(speed_line)) * 7;
        draw_text_band(pixels, pitch, src_rect.right, staging_height, std::max(0, right), 4, speed_line, white);
    }
    SDL_UnlockTexture(picture);
}

// One ImGui frame with the menu bar, drawn over the picture. A menu that
// has just opened is laid out in a first, unseen frame, so run one more.
static void draw_menu_frame() {
    if (!window_hooks.menu_frame || !imgui_renderer_ready || !main_window || !ImGui::GetCurrentContext()) return;
    ImGui_ImplSDLRenderer_NewFrame();
    if (window_hooks.menu_frame()) {
        ImGui_ImplSDLRenderer_NewFrame();
        window_hooks.menu_frame();
    }
    ImDrawData* data = ImGui::GetDrawData();
    if (data && data->Valid) ImGui_ImplSDLRenderer_RenderDrawData(data);
}

// Where the picture goes in a picture area of w x h, centred: the largest
// whole multiple of 320 x 224 that fits (scaled down, keeping the shape,
// when even one does not fit), the largest 4:3 picture, or all of it.
rect picture_rect(int w, int h) {
    if (stretch == stretch_fill) return {0, 0, w, h};
    int pw, ph;
    if (stretch == stretch_aspect) {
        pw = std::min(w, h * 4 / 3);
        ph = std::min(h, w * 3 / 4);
    } else {
        const int factor = std::min(w / picture_width, h / picture_height);
        pw = picture_width * factor;
        ph = picture_height * factor;
        if (factor < 1) {
            pw = std::min(w, h * picture_width / picture_height);
            ph = std::min(h, w * picture_height / picture_width);
        }
    }
    const int left = (w - pw) / 2, top = (h - ph) / 2;
    return {left, top, left + pw, top + ph};
}

// Every line of the picture ends in a darker row, as on a monitor whose
// beam leaves gaps; at sizes below 2 every other row is darkened instead.
static void draw_scanlines(const SDL_Rect& dst, int lines) {
    if (lines <= 0 || dst.h <= 0) return;
    std::vector<SDL_Rect> rows;
    const int step = dst.h >= 2 * lines ? 0 : 2;
    if (step) {
        for (int y = 1; y < dst.h; y += step) rows.push_back({dst.x, dst.y + y, dst.w, 1});
    } else {
        for (int l = 0; l < lines; l++) {
            const int bottom = dst.y + (l + 1) * dst.h / lines - 1;
            rows.push_back({dst.x, bottom, dst.w, 1});
        }
    }
    SDL_SetRenderDrawBlendMode(main_renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(main_renderer, 0, 0, 0, 110);
    SDL_RenderFillRects(main_renderer, rows.data(), static_cast<int>(rows.size()));
    SDL_SetRenderDrawBlendMode(main_renderer, SDL_BLENDMODE_NONE);
}

// Draws the texture where the stretch puts it, the menu and dialogs over
// it, and shows it. In a window the picture sits below the menu bar; on the
// full screen it takes the whole screen and the bar shows over it when
// called up.
static void present() {
    if (!main_renderer) return;
    if (renderer_vsync != vsync) {
        SDL_RenderSetVSync(main_renderer, vsync ? 1 : 0);
        renderer_vsync = vsync;
    }
    SDL_SetRenderDrawColor(main_renderer, 0, 0, 0, 255);
    SDL_RenderClear(main_renderer);
    SDL_Rect src = {src_rect.left, src_rect.top, src_rect.right - src_rect.left,
                    src_rect.bottom - src_rect.top};
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(main_renderer, &w, &h);
    const int top = fullscreen ? 0 : menu_bar_height;
    const rect r = picture_rect(w, std::max(0, h - top));
    const SDL_Rect dst = {r.left, top + r.top, r.right - r.left, r.bottom - r.top};
    SDL_RenderCopy(main_renderer, picture, &src, &dst);
    if (scanlines && window_hooks.game_shown && window_hooks.game_shown()) draw_scanlines(dst, src.h);
    draw_menu_frame();
    SDL_RenderPresent(main_renderer);
}

void stage_frame(const core_frame& frame) {
    if (!staged_picture || !frame.pixels) return;
    const int pitch_pixels = surface_pitch / 2;
    const int width = std::min({frame.width, frame.pitch, pitch_pixels});
    for (int y = 0; y < frame.height && y < staging_height; y++)
        std::memcpy(staged_picture + static_cast<size_t>(y) * pitch_pixels,
                    frame.pixels + static_cast<size_t>(y) * frame.pitch, sizeof(uint16_t) * width);
}

void present_frame(const core_frame& frame) {
    if (!staged_picture) return;
    stage_frame(frame);
    take_source_rect(frame);
    if (blur) blur_filter(staged_picture, picture_width, staging_height, surface_pitch - picture_width * 2);
    if (headless || !main_renderer) return;
    stage_picture(false);
    present();
    if (window_hooks.after_present) window_hooks.after_present();
}

void show_last_frame() { present_frame(core_last_frame()); }

void update_front_video(const rect&) {
    if (headless || !main_renderer) return;
    stage_picture(true);
    present();
    if (window_hooks.after_present) window_hooks.after_present();
}

void repaint_video() {
    if (headless || !main_renderer) return;
    present();
    if (window_hooks.after_present) window_hooks.after_present();
}

void fillscreen(uint16_t colour) {
    if (headless || !main_renderer) return;
    uint8_t r, g, b;
    if (host_format_555) {
        r = uint8_t(((colour >> 10) & 31) << 3);
        g = uint8_t(((colour >> 5) & 31) << 3);
        b = uint8_t((colour & 31) << 3);
    } else {
        r = uint8_t(((colour >> 11) & 31) << 3);
        g = uint8_t(((colour >> 5) & 63) << 2);
        b = uint8_t((colour & 31) << 3);
    }
    SDL_SetRenderDrawColor(main_renderer, r, g, b, 255);
    SDL_RenderClear(main_renderer);
    SDL_RenderPresent(main_renderer);
}
