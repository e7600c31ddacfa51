// Display output: the window or full screen, the staging image and the
// on-screen messages; message boxes are the platform's (host_system.h).
#pragma once
#include <cstdint>
#include "host/platform/host_system.h"
#include "machine/core.h"
#include "common/printf_format.h"

// The 16-bit staging image: surface_pitch bytes a line, 224 lines.
extern uint16_t* staged_picture;
extern int surface_pitch;
// The staging image's pixel layout: RGB555 when set, else RGB565.
extern int host_format_555;

extern SDL_Renderer* main_renderer;

// The menu's use-video-memory choice: the accelerated renderer when set.

// Picture size of the texture the frame is staged in.
inline constexpr int staging_width = 512;
inline constexpr int staging_height = picture_height;

int init_video(int fs);
void release_video();
// Builds the display again in the same mode after the renderer lost its
// textures; the fixed colours are filled again.
void restore_video();
// The core's last picture into the staging image.
void stage_frame(const core_frame& frame);
// A frame staged, filtered and shown; show_last_frame shows the core's last.
void present_frame(const core_frame& frame);
void show_last_frame();
void update_front_video(const rect& dest);
void fillscreen(uint16_t colour);
void paint_msg_video(const char* text);
void message_printf(const char* format, ...) VORTAN_PRINTF(1, 2);
void blur_filter(uint16_t* pixels, int width, int rows, int skip);

// The picture's part of the staging image.
extern rect src_rect;

// The on-screen message.
extern char msg_text[256];
extern int msg_visible;
// Draws the message into a 16-bit picture (pitch in bytes) and times it out.
void update_msg_video(uint16_t* pixels, int pitch, int width, int height);
// Text at (x, y) in picture coordinates, clipped to the picture: only the
// glyphs' own pixels are set.
void draw_text(uint16_t* pixels, int pitch, int width, int height, int x, int y,
               const char* text, uint16_t colour);
// The same on a dark band, so that it reads over any picture.
void draw_text_band(uint16_t* pixels, int pitch, int width, int height, int x, int y,
                    const char* text, uint16_t colour);

// Where the picture goes in a picture area of w x h, as -stretch says.
rect picture_rect(int w, int h);

// Millisecond clock of the message timing; tests replace it.
extern uint32_t (*display_ticks)();

// Reports a display failure ("SC video error") and releases the display.
void video_error(const char* what);

// Presents the picture last staged (with the menu bar) again, without a
// new frame: used while the menu holds the emulation.
void repaint_video();

// Drawn over the picture: the speed (Video > Show speed, Insert) and the
// rewind mark while the game runs backwards.
extern int rewind_shown;
// Counts an emulated frame for the speed shown: frames a second and the
// share of the board's 60.
void note_emulated_frame();
// "60 fps 100%" over the last whole second ("" before one has passed).
const char* speed_text();

// The idle and held pictures are drawn again only when something changed
// (an event, a command, a message showing), so an idle window costs next to
// nothing. want_redraw asks for the next few; take_redraw says whether this
// one is due.
void want_redraw();
int take_redraw();

// What the display asks of the window above it, set when the window is
// made; any may be null.
struct display_hooks {
    // The menu bar's ImGui frame over the picture; 1 when a menu opened
    // during it, which then needs a second frame to be laid out.
    int (*menu_frame)();
    // Once the picture is shown: the commands the menu posted.
    void (*after_present)();
    // Scanlines go over a game's picture only.
    int (*game_shown)();
};
void set_display_hooks(const display_hooks& hooks);
