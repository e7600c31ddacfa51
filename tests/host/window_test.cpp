// The window on SDL's offscreen "dummy" driver: its size per factor, the
// picture scaled below the menu bar, window events and the accelerators.
#include <gtest/gtest.h>
#include <SDL.h>
#include <cstring>
#include <vector>
#include "host/settings/controls.h"
#include "host/ui/dialogs.h"
#include "host/video/display.h"
#include "host/ui/game_load.h"
#include "host/ui/gui.h"
#include "host/settings/options.h"
#include "host/ui/window.h"
#include "host/game/main_loop.h"
#include "machine/core.h"

namespace {

constexpr uint16_t red565 = 0xF800, blue565 = 0x001F;

struct WindowTest : ::testing::Test {
    void SetUp() override {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        headless = 0;
        videomem = 0;
        winsize = 1;
        winx = winy = 0;
        game_loaded = 0;
        sound_enabled = 0;
        window_active = 1;
        quit_requested = 0;
        vsync = 0;
        blur = 0;
        scale = 0;
        scanlines = 0;
        fill_window = 0;
        msg_visible = 0;
        ASSERT_EQ(create_main_window(), 1) << SDL_GetError();
        ASSERT_EQ(init_video(0), 1);
        ASSERT_NE(main_renderer, nullptr);
    }
    void TearDown() override {
        destroy_main_window();
        release_video();
        fullscreen = 0;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    static SDL_Event key(SDL_Scancode code, uint16_t mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = SDL_GetWindowID(main_window);
        e.key.state = SDL_PRESSED;
        e.key.keysym.scancode = code;
        e.key.keysym.sym = SDL_GetKeyFromScancode(code);
        e.key.keysym.mod = mod;
        return e;
    }
    static SDL_Event window_event(uint8_t what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(main_window);
        e.window.event = what;
        return e;
    }
    // The pixels the last present left on the window, as 0xRRGGBB.
    static std::vector<uint32_t> read_window(int& w, int& h) {
        SDL_GetRendererOutputSize(main_renderer, &w, &h);
        std::vector<uint32_t> px(size_t(w) * h);
        EXPECT_EQ(SDL_RenderReadPixels(main_renderer, nullptr, SDL_PIXELFORMAT_RGB888, px.data(),
                                       w * 4),
                  0)
            << SDL_GetError();
        for (uint32_t& p : px) p &= 0xFFFFFF;
        return px;
    }
};

TEST_F(WindowTest, SizeFactorGivesTheClientAreaBelowTheMenuBar) {
    int w = 0, h = 0;
    menu_command(cmd_size_3);
    SDL_GetWindowSize(main_window, &w, &h);
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 672 + menu_bar_height);
    EXPECT_EQ(client_area.right - client_area.left, 960);
    EXPECT_EQ(client_area.bottom - client_area.top, 672);
    EXPECT_TRUE(menu_checked(cmd_size_3));

    // A factor of 0 is the size that suits the screen.
    winsize = 0;
    adjust_window();
    SDL_GetWindowSize(main_window, &w, &h);
    EXPECT_EQ(w, 320 * fitting_window_scale());
    EXPECT_EQ(h, 224 * fitting_window_scale() + menu_bar_height);
    EXPECT_FALSE(menu_checked(cmd_size_1) || menu_checked(cmd_size_2) ||
                 menu_checked(cmd_size_3));
}

TEST_F(WindowTest, PictureIsStretchedToTheClientAreaWithTheMessageOverIt) {
    winsize = 2;
    adjust_window();
    std::vector<uint16_t> pixels(320 * 224);
    for (int y = 0; y < 224; y++)
        for (int x = 0; x < 256; x++)  // line 0 green, to find the picture's top edge
            pixels[size_t(y) * 320 + x] = y == 0 ? 0x07E0 : x < 128 ? red565 : blue565;
    message_printf("Sound rate set to %d", 22050);
    game_loaded = 1;  // without a game, the page saying how to start one is over the picture
    present_frame(core_frame{pixels.data(), 320, 256, 224, nullptr, 0});
    game_loaded = 0;

    int w = 0, h = 0;
    std::vector<uint32_t> px = read_window(w, h);
    ASSERT_EQ(w, 640);
    ASSERT_EQ(h, 448 + menu_bar_height);
    EXPECT_EQ(px[size_t(menu_bar_height) * w + 600], 0x00FF00u) << "line 0 right below the bar";
    EXPECT_EQ(px[size_t(menu_bar_height + 1) * w + 600], 0x00FF00u) << "line 0 is two rows high";
    EXPECT_EQ(px[size_t(menu_bar_height + 2) * w + 600], 0x0000FFu);
    int y = menu_bar_height + 100;
    EXPECT_EQ(px[size_t(y) * w + 0], 0xFF0000u);
    EXPECT_EQ(px[size_t(y) * w + 318], 0xFF0000u);
    EXPECT_EQ(px[size_t(y) * w + 322], 0x0000FFu) << "256 pixels fill 640: half way is 320";
    EXPECT_EQ(px[size_t(y) * w + 639], 0x0000FFu);
    EXPECT_EQ(px[size_t(h - 1) * w + 639], 0x0000FFu) << "the picture reaches the bottom";
    EXPECT_NE(px[size_t(menu_bar_height / 2) * w + 600], 0x0000FFu) << "the menu bar is on top";

    // The message sits at (35, 205) of the picture, scaled with it.
    int white = 0, white_outside = 0;
    for (int yy = menu_bar_height; yy < h; yy++)
        for (int xx = 0; xx < w; xx++) {
            if (px[size_t(yy) * w + xx] != 0xFFFFFFu) continue;
            int pic_x = xx * 256 / 640, pic_y = (yy - menu_bar_height) / 2;
            if (pic_x >= 34 && pic_y >= 204 && pic_y < 224)
                white++;
            else
                white_outside++;
        }
    EXPECT_GT(white, 100);
    EXPECT_EQ(white_outside, 0);
}

TEST_F(WindowTest, AltEnterSwitchesToFullScreenAndBack) {
    window_handle_event(key(SDL_SCANCODE_RETURN, KMOD_LALT));
    EXPECT_EQ(fullscreen, 1);
    EXPECT_TRUE(menu_checked(cmd_fullscreen));
    EXPECT_STREQ(msg_text, "Full screen: Escape leaves, F1 menu");
    ASSERT_NE(main_renderer, nullptr);
    ASSERT_NE(staged_picture, nullptr);
    show_last_frame();  // presents on the logical 320 x 240 screen

    window_handle_event(key(SDL_SCANCODE_RETURN, KMOD_LALT));
    EXPECT_EQ(fullscreen, 0);
    EXPECT_FALSE(menu_checked(cmd_fullscreen));
    EXPECT_STREQ(msg_text, "Switch to windowed mode");
    int w = 0, h = 0;
    SDL_GetWindowSize(main_window, &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 224 + menu_bar_height);
}

TEST_F(WindowTest, MinimiseHoldsTheEmulationAndCloseRequestsTheQuit) {
    window_handle_event(window_event(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_EQ(window_active, 0);
    window_handle_event(window_event(SDL_WINDOWEVENT_RESTORED));
    EXPECT_EQ(window_active, 1);
    EXPECT_EQ(quit_requested, 0);
    window_handle_event(window_event(SDL_WINDOWEVENT_CLOSE));
    EXPECT_EQ(quit_requested, 1);
    quit_requested = 0;
    SDL_Event q{};
    q.type = SDL_QUIT;
    window_handle_event(q);
    EXPECT_EQ(quit_requested, 1);
}

TEST_F(WindowTest, KeysGiveTheirCommandsOnlyWithoutOtherModifiers) {
    throttle = 1;
    window_handle_event(key(SDL_SCANCODE_F10));
    EXPECT_EQ(throttle, 0);
    EXPECT_STREQ(msg_text, "Speed throttle off");
    window_handle_event(key(SDL_SCANCODE_F10, KMOD_LSHIFT));
    EXPECT_EQ(throttle, 0) << "Shift+F10 is no accelerator";
    window_handle_event(key(SDL_SCANCODE_F10, KMOD_NUM));
    EXPECT_EQ(throttle, 1) << "Num Lock does not count as a modifier";

    core_set_channels(7);
    window_handle_event(key(SDL_SCANCODE_8));
    EXPECT_EQ(core_channels() & 7u, channel_fm | channel_psg) << "8 gives the uPD7759";
    EXPECT_FALSE(menu_checked(cmd_chip_upd));
    window_handle_event(key(SDL_SCANCODE_9));
    EXPECT_EQ(core_channels() & 7u, channel_fm) << "9 gives the SN76489";
    window_handle_event(key(SDL_SCANCODE_0));
    EXPECT_EQ(core_channels() & 7u, 7u);

    window_handle_event(key(SDL_SCANCODE_END));
    EXPECT_EQ(quit_requested, 1);
}

TEST_F(WindowTest, AcceleratorTableMapsEveryKey) {
    struct entry {
        SDL_Scancode code;
        uint16_t mod;
        int command;
    };
    const entry table[] = {
        {SDL_SCANCODE_0, 0, cmd_chips_all},     {SDL_SCANCODE_7, 0, cmd_chip_ym},
        {SDL_SCANCODE_8, 0, cmd_chip_upd},     {SDL_SCANCODE_9, 0, cmd_chip_sn},
        {SDL_SCANCODE_R, KMOD_LALT, cmd_dump_rom}, {SDL_SCANCODE_R, KMOD_RALT, cmd_dump_rom},
        {SDL_SCANCODE_END, 0, cmd_quit},   {SDL_SCANCODE_F1, 0, cmd_skip_none},
        {SDL_SCANCODE_F2, 0, cmd_skip_1},    {SDL_SCANCODE_F3, 0, cmd_skip_2},
        {SDL_SCANCODE_F4, 0, cmd_skip_3},    {SDL_SCANCODE_F6, 0, cmd_dip_bank},
        {SDL_SCANCODE_KP_1, 0, cmd_dip_bit_first},  {SDL_SCANCODE_KP_4, 0, cmd_dip_bit_first + 3},
        {SDL_SCANCODE_KP_8, 0, cmd_dip_bit_last},  {SDL_SCANCODE_F10, 0, cmd_throttle},
        {SDL_SCANCODE_F11, 0, cmd_vsync},   {SDL_SCANCODE_F12, 0, cmd_palette_toggle},
        {SDL_SCANCODE_TAB, 0, cmd_reset},   {SDL_SCANCODE_R, 0, 0},
        {SDL_SCANCODE_KP_9, 0, 0},      {SDL_SCANCODE_1, 0, 0},
        {SDL_SCANCODE_F5, 0, cmd_save_state}, {SDL_SCANCODE_F7, 0, cmd_load_state},
        {SDL_SCANCODE_F8, 0, cmd_next_slot}, {SDL_SCANCODE_P, 0, cmd_pause},
        {SDL_SCANCODE_PAUSE, 0, cmd_pause}, {SDL_SCANCODE_N, 0, cmd_frame_advance},
        {SDL_SCANCODE_F9, 0, cmd_screenshot}, {SDL_SCANCODE_ESCAPE, 0, 0},
        {SDL_SCANCODE_F5, KMOD_LCTRL, 0},
        {SDL_SCANCODE_R, KMOD_LALT | KMOD_LCTRL, 0},
        {SDL_SCANCODE_F1, KMOD_LALT, 0}, {SDL_SCANCODE_TAB, KMOD_LCTRL, 0},
    };
    for (const entry& e : table) {
        SDL_Keysym k{};
        k.scancode = e.code;
        k.mod = e.mod;
        EXPECT_EQ(accelerator_command(k), e.command)
            << SDL_GetScancodeName(e.code) << " mod " << e.mod;
    }
}

TEST_F(WindowTest, AnOpenDialogHoldsTheEmulationAndTakesTheKeys) {
    EXPECT_EQ(menu_is_open(), 0);
    repaint_video();
    EXPECT_EQ(menu_is_open(), 0);
    menu_command(cmd_about);
    repaint_video();
    EXPECT_EQ(menu_is_open(), 1);
    // While it is open the keys belong to it, not to the accelerators.
    throttle = 1;
    window_handle_event(key(SDL_SCANCODE_F10));
    EXPECT_EQ(throttle, 1);
}

// A click the way the event loop delivers it: the pointer moves there, the
// button goes down and up.
void click_at(int x, int y) {
    SDL_WarpMouseInWindow(main_window, x, y);
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(main_window);
    e.motion.x = x;
    e.motion.y = y;
    window_handle_event(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(main_window);
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.x = x;
    e.button.y = y;
    window_handle_event(e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.state = SDL_RELEASED;
    window_handle_event(e);
}

TEST_F(WindowTest, ChoosingAMenuItemRunsItsCommandAndClosesTheMenu) {
    skip = 1;
    update_front_video(client_area);
    click_at(138, 9);  // "Video"
    ASSERT_EQ(menu_is_open(), 1) << "the Video menu opened";
    click_at(140, 88);  // "Window size x 3"
    EXPECT_EQ(winsize, 3);
    EXPECT_EQ(menu_is_open(), 0);
    int w = 0, h = 0;
    SDL_GetWindowSize(main_window, &w, &h);
    EXPECT_EQ(w, 960);
}

TEST_F(WindowTest, VideoMemoryKeepsAWorkingRendererAndIdleRepaintIsBlack) {
    menu_command(cmd_videomem);
    EXPECT_EQ(videomem, 1);
    ASSERT_NE(main_renderer, nullptr) << "falls back to the software renderer when needed";
    ASSERT_NE(staged_picture, nullptr);
    update_front_video(client_area);
    int w = 0, h = 0;
    std::vector<uint32_t> px = read_window(w, h);
    EXPECT_EQ(px[size_t(menu_bar_height + 50) * w + 50], 0u);
    fillscreen(0xF800);
    px = read_window(w, h);
    EXPECT_EQ(px[size_t(h / 2) * w + w / 2], 0xF80000u);
}

}  // namespace

namespace {

// A frame of one colour, as the core hands it out.
struct plain_frame {
    std::vector<uint16_t> pixels = std::vector<uint16_t>(320 * 224, red565);
    core_frame frame() { return core_frame{pixels.data(), 320, 320, 224, nullptr, 0}; }
};

struct extent {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
extent find(const std::vector<uint32_t>& px, int w, uint32_t colour) {
    extent e;
    for (size_t i = 0; i < px.size(); i++)
        if (px[i] == colour) {
            const int x = int(i) % w, y = int(i) / w;
            e.left = std::min(e.left, x);
            e.top = std::min(e.top, y);
            e.right = std::max(e.right, x + 1);
            e.bottom = std::max(e.bottom, y + 1);
        }
    return e;
}

TEST_F(WindowTest, AResizedWindowShowsTheLargestWholeSizeCentredOrFillsWhenAsked) {
    SDL_SetWindowSize(main_window, 700, 501 + menu_bar_height);
    plain_frame red;
    present_frame(red.frame());
    int w = 0, h = 0;
    std::vector<uint32_t> px = read_window(w, h);
    ASSERT_EQ(w, 700);
    extent e = find(px, w, 0xFF0000u);
    EXPECT_EQ(e.right - e.left, 640);
    EXPECT_EQ(e.bottom - e.top, 448);
    EXPECT_EQ(e.left, 30);
    EXPECT_EQ(e.top, menu_bar_height + 26);
    EXPECT_EQ(px[size_t(menu_bar_height + 5) * w + 5], 0u) << "black around it";

    menu_command(cmd_stretch_fill);
    EXPECT_TRUE(menu_checked(cmd_stretch_fill));
    present_frame(red.frame());
    px = read_window(w, h);
    e = find(px, w, 0xFF0000u);
    EXPECT_EQ(e.right - e.left, 700);
    EXPECT_EQ(e.bottom - e.top, 501);

    menu_command(cmd_stretch_integer);
    EXPECT_EQ(fill_window, 0);
}

TEST_F(WindowTest, ScanlinesDarkenTheLastRowOfEveryPictureLine) {
    winsize = 2;
    adjust_window();
    game_loaded = 1;
    menu_command(cmd_scanlines);
    EXPECT_EQ(scanlines, 1);
    plain_frame red;
    present_frame(red.frame());
    int w = 0, h = 0;
    std::vector<uint32_t> px = read_window(w, h);
    for (int line = 0; line < 224; line += 37) {
        const uint32_t top = px[size_t(menu_bar_height + 2 * line) * w + 100];
        const uint32_t bottom = px[size_t(menu_bar_height + 2 * line + 1) * w + 100];
        EXPECT_EQ(top, 0xFF0000u) << line;
        EXPECT_LT(bottom >> 16, 0xC0u) << line;
        EXPECT_GT(bottom >> 16, 0x40u) << "darker, not black";
    }
    game_loaded = 0;
}

TEST_F(WindowTest, TheTitleNamesTheGame) {
    EXPECT_STREQ(SDL_GetWindowTitle(main_window), "Vortan");
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(start_game("demo"), 1);
    ::testing::internal::GetCapturedStdout();
    EXPECT_STREQ(SDL_GetWindowTitle(main_window), "Vortan - Vortan demo cartridge");
    free_game();
    EXPECT_STREQ(SDL_GetWindowTitle(main_window), "Vortan");
}

TEST_F(WindowTest, EscapeClosesTheMenuAndTheDialogInFront) {
    update_front_video(client_area);
    click_at(138, 9);  // "Video"
    ASSERT_EQ(menu_is_open(), 1);
    window_handle_event(key(SDL_SCANCODE_ESCAPE));
    EXPECT_EQ(menu_is_open(), 0);

    menu_command(cmd_help_keys);
    repaint_video();
    ASSERT_EQ(menu_is_open(), 1);
    window_handle_event(key(SDL_SCANCODE_ESCAPE));
    EXPECT_EQ(menu_is_open(), 0);

    // An Escape with nothing open is not kept for the next menu.
    window_handle_event(key(SDL_SCANCODE_ESCAPE));
    repaint_video();
    click_at(138, 9);
    EXPECT_EQ(menu_is_open(), 1);
    window_handle_event(key(SDL_SCANCODE_ESCAPE));
}

TEST_F(WindowTest, AnOpenMenuFollowsThePointerAlongTheBar) {
    skip = 1;
    update_front_video(client_area);
    click_at(20, 9);  // "Main"
    ASSERT_EQ(menu_is_open(), 1);
    // Only moved, not clicked: the Video menu opens in place of Main's, and
    // its item is there to choose.
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(main_window);
    e.motion.x = 138;
    e.motion.y = 9;
    window_handle_event(e);
    repaint_video();
    click_at(140, 88);  // "Window size x 3"
    EXPECT_EQ(winsize, 3);
}

TEST_F(WindowTest, AFailedLoadIsReportedInTheWindow) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    load_game("columns");  // no ROM files where the test runs
    const std::string said = ::testing::internal::GetCapturedStderr();
    ::testing::internal::GetCapturedStdout();
    EXPECT_NE(report_shown().find("Columns (Japan) (columns) could not be loaded"), std::string::npos)
        << report_shown();
    EXPECT_NE(said.find("could not be loaded"), std::string::npos) << "and on stderr";
    repaint_video();
    EXPECT_EQ(menu_is_open(), 1) << "the report holds the window until it is read";
    window_handle_event(key(SDL_SCANCODE_ESCAPE));
    EXPECT_EQ(menu_is_open(), 0);
    EXPECT_EQ(report_shown(), "");
}

TEST_F(WindowTest, WithoutAGameThePageSaysHowToStartOne) {
    update_front_video(client_area);
    int w = 0, h = 0;
    std::vector<uint32_t> px = read_window(w, h);
    int text = 0;
    for (int y = menu_bar_height; y < h; y++)
        for (int x = 0; x < w; x++) text += px[size_t(y) * w + x] == 0xFFFFFFu;
    EXPECT_GT(text, 500) << "white text on the black idle picture";
}

}  // namespace

namespace {

TEST_F(WindowTest, ControlsDialogRebindsAKeyPressedAfterTheClick) {
    set_default_bindings();
    menu_command(cmd_controls);
    repaint_video();
    ASSERT_EQ(menu_is_open(), 1);
    click_at(166, 150);  // Player 1's Up, on the arrow key
    window_handle_event(key(SDL_SCANCODE_W));
    EXPECT_EQ(key_binding[control_up], SDL_SCANCODE_W);

    // Escape while it waits cancels the wait, not the dialog; a key of the
    // program's own is refused.
    click_at(166, 150);
    window_handle_event(key(SDL_SCANCODE_ESCAPE));
    repaint_video();
    EXPECT_EQ(menu_is_open(), 1);
    click_at(166, 150);
    window_handle_event(key(SDL_SCANCODE_F9));
    EXPECT_EQ(key_binding[control_up], SDL_SCANCODE_W);
    window_handle_event(key(SDL_SCANCODE_ESCAPE));
    repaint_video();
    EXPECT_EQ(menu_is_open(), 0);
    set_default_bindings();
}

}  // namespace
