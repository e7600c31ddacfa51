// The main window: creation, its events, the accelerator keys and the
// ImGui frame of its menu bar.
#include "host/ui/window.h"
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <cfloat>
#include <string>
#include "host/ui/controls_dialog.h"
#include "host/ui/dialogs.h"
#include "host/video/display.h"
#include "host/ui/gui.h"
#include "host/settings/options.h"
#include "host/game/main_loop.h"
#include "host/audio/sound_stream.h"

int quit_requested;

static int menu_open;
static int imgui_platform_ready;
// Pointer position from the events, for when SDL cannot tell which window
// has the pointer (the backend then leaves the menu without one).
static ImVec2 event_mouse(-FLT_MAX, -FLT_MAX);

static void silence_if_playing() {
    if (sound_enabled && game_loaded) silence_sound();
}

int create_main_window() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    IMGUI_CHECKVERSION();
    if (!ImGui::GetCurrentContext()) ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing of the menu's layout is worth keeping
    io.LogFilename = nullptr;
    ImGui::StyleColorsLight();
    const ImGuiStyle& style = ImGui::GetStyle();
    // The bar is one line of the default 13-pixel font plus the frame padding.
    menu_bar_height = int(13.0f + 2 * style.FramePadding.y);

    // The first start (no size kept yet) opens as large as suits the screen.
    if (winsize < 1) winsize = fitting_window_scale();
    int factor = winsize;
    // winx and winy place the window's frame, as the window manager places
    // a new window.
    main_window = SDL_CreateWindow("Vortan", winx, winy, picture_width * factor, picture_height * factor + menu_bar_height,
                                   SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!main_window) {
        ImGui::DestroyContext();
        return 0;
    }
    SDL_SetWindowMinimumSize(main_window, picture_width, picture_height + menu_bar_height);
    update_window_title();
    imgui_platform_ready = ImGui_ImplSDL2_InitForSDLRenderer(main_window);
    set_display_hooks({window_menu_frame, run_posted_commands, [] { return game_loaded; }});
    client_area = {0, 0, picture_width * factor, picture_height * factor};
    update_window_rects();
    return 1;
}

int fitting_window_scale() {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 1;
    int scale = 1;
    while (scale < max_window_scale && picture_width * (scale + 1) * 10 <= mode.w * 8 &&
           (picture_height * (scale + 1) + menu_bar_height) * 10 <= mode.h * 8)
        ++scale;
    return scale;
}

void destroy_main_window() {
    if (main_renderer) release_video();
    if (imgui_platform_ready) ImGui_ImplSDL2_Shutdown();
    imgui_platform_ready = 0;
    if (ImGui::GetCurrentContext()) ImGui::DestroyContext();
    if (main_window) SDL_DestroyWindow(main_window);
    main_window = nullptr;
    menu_open = 0;
    event_mouse = ImVec2(-FLT_MAX, -FLT_MAX);
}

// The window manager's frame around the window; 0 each without one, or
// before the manager has told its size.
static void frame_borders(int& top, int& left, int& bottom, int& right) {
    top = left = bottom = right = 0;
    if (SDL_GetWindowBordersSize(main_window, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
}

void update_window_rects() {
    if (!main_window || fullscreen) return;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(main_window, &x, &y);
    SDL_GetWindowSize(main_window, &w, &h);
    int top, left, bottom, right;
    frame_borders(top, left, bottom, right);
    // The position kept is the frame's, where the next start puts it:
    // keeping the inside's would move the window down by the title bar at
    // every start.
    window_area = {x - left, y - top, x + w + right, y + h + bottom};
    client_area = {x, y + menu_bar_height, x + w, y + h};
}

void place_window(int x, int y) {
    if (!main_window) return;
    int top, left, bottom, right;
    frame_borders(top, left, bottom, right);
    // SDL places the inside of the window; the frame then starts at (x, y).
    SDL_SetWindowPosition(main_window, x + left, y + top);
}

void update_window_title() {
    if (!main_window) return;
    const game_info* game = core_running();
    const std::string title = game ? std::string("Vortan - ") + game->title : "Vortan";
    SDL_SetWindowTitle(main_window, title.c_str());
}

int menu_is_open() { return menu_open; }

int window_menu_frame() {
    if (!imgui_platform_ready) return 0;
    ImGui_ImplSDL2_NewFrame();
    // The backend works the pointer out from the window's position on the
    // screen, which is off by the frame under a window manager; the events
    // give it inside the window.
    ImGui::GetIO().MousePos = event_mouse;
    ImGui::NewFrame();
    const int bar_shown = draw_menu_bar();
    // On the full screen the pointer shows only with the menu bar.
    const int cursor = !fullscreen || bar_shown ? SDL_ENABLE : SDL_DISABLE;
    if (SDL_ShowCursor(SDL_QUERY) != cursor) SDL_ShowCursor(cursor);
    int was_open = menu_open;
    menu_open = ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId |
                                                ImGuiPopupFlags_AnyPopupLevel) ? 1 : 0;
    ImGui::Render();
    // An open menu holds the emulation; the stream must not loop its last blocks.
    if (menu_open && !was_open) silence_if_playing();
    return menu_open && !was_open;
}

int accelerator_command(const SDL_Keysym& key) {
    const int mods = key.mod & (KMOD_CTRL | KMOD_SHIFT | KMOD_ALT | KMOD_GUI);
    const int alt_only = mods != 0 && mods == (key.mod & KMOD_ALT);
    if (mods != 0 && !alt_only) return 0;
    return command_for_key(key.scancode, alt_only);
}

static void window_event(const SDL_WindowEvent& e) {
    if (main_window && e.windowID != SDL_GetWindowID(main_window)) return;
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE: quit_requested = 1; break;
    case SDL_WINDOWEVENT_MINIMIZED:
        window_active = 0;
        silence_if_playing();
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESIZED:
        window_active = 1;
        update_window_rects();
        break;
    case SDL_WINDOWEVENT_LEAVE: event_mouse = ImVec2(-FLT_MAX, -FLT_MAX); break;
    case SDL_WINDOWEVENT_MOVED:
        silence_if_playing();
        update_window_rects();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        // Nothing else repaints a window whose emulation is held.
        if (!game_loaded || menu_open) repaint_video();
        break;
    default: break;
    }
}

static void key_down(const SDL_KeyboardEvent& e) {
    int alt_only = (e.keysym.mod & (KMOD_CTRL | KMOD_SHIFT | KMOD_ALT | KMOD_GUI)) ==
                   (e.keysym.mod & KMOD_ALT) && (e.keysym.mod & KMOD_ALT);
    if (alt_only && (e.keysym.scancode == SDL_SCANCODE_RETURN ||
                     e.keysym.scancode == SDL_SCANCODE_KP_ENTER)) {
        if (!e.repeat) switch_video();
        return;
    }
    if (controls_take_key(e.keysym.scancode)) return;
    if (e.keysym.scancode == SDL_SCANCODE_ESCAPE) {
        escape_pressed = 1;
        return;
    }
    // F1 calls up the menu bar on the full screen, where nothing else shows it
    // but the pointer at the top.
    if (fullscreen && e.keysym.scancode == SDL_SCANCODE_F1 && !(e.keysym.mod & (KMOD_CTRL | KMOD_SHIFT | KMOD_ALT | KMOD_GUI))) {
        bar_called_up = !bar_called_up;
        return;
    }
    if (menu_open) return;  // the menu has the keyboard while it is open
    int command = accelerator_command(e.keysym);
    if (command) menu_command(command);
}

void window_handle_event(const SDL_Event& event) {
    want_redraw();
    if (imgui_platform_ready) ImGui_ImplSDL2_ProcessEvent(&event);
    switch (event.type) {
    case SDL_QUIT: quit_requested = 1; break;
    case SDL_WINDOWEVENT: window_event(event.window); break;
    case SDL_KEYDOWN: key_down(event.key); break;
    case SDL_JOYBUTTONDOWN: controls_take_button(event.jbutton.button); break;
    case SDL_MOUSEMOTION:
        event_mouse = ImVec2(float(event.motion.x), float(event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        event_mouse = ImVec2(float(event.button.x), float(event.button.y));
        break;
    case SDL_RENDER_DEVICE_RESET:
        // The textures went with the device: build the display again.
        restore_video();
        break;
    default: break;
    }
    // With the menu open no frame is presented, so the menu follows the
    // mouse from here; the same goes for a click that opens it.
    if (menu_open || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
        repaint_video();
}
