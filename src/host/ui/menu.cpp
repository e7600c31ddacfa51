// The menu bar, the page shown while no game runs and the pause line. Items
// only post their command: it runs once the frame is shown, outside the
// menu's own drawing.
#include <imgui.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include "host/ui/dialogs.h"
#include "host/ui/dip_switches.h"
#include "host/video/display.h"
#include "host/ui/game_load.h"
#include "host/ui/gui.h"
#include "host/game/main_loop.h"
#include "host/settings/options.h"
#include "host/game/state_slots.h"
#include "host/ui/window.h"

namespace {

// The item's label and key come from the command table.
void item(int command) {
    const command_entry* c = find_command(command);
    if (ImGui::MenuItem(c->label, c->key_label, menu_checked(command) != 0, command_enabled(command) != 0))
        post_command(command);
}

// Escape closes the open menu, with its submenus.
bool begin_menu(const char* label) {
    if (!ImGui::BeginMenu(label)) return false;
    if (take_escape()) ImGui::CloseCurrentPopup();
    return true;
}

void main_menu() {
    if (!begin_menu("Main")) return;
    item(cmd_game_list);
    const std::vector<std::string> recent = recent_game_names();
    if (ImGui::BeginMenu("Recent games", !recent.empty())) {
        for (size_t i = 0; i < recent.size(); ++i)
            if (ImGui::MenuItem(core_find_game(recent[i].c_str())->title, recent[i].c_str()))
                post_command(cmd_recent_first + int(i));
        ImGui::EndMenu();
    }
    item(cmd_free);
    ImGui::Separator();
    item(cmd_quit);
    ImGui::EndMenu();
}

// The ten slots: the current one checked, the ones holding a state marked.
void state_slot_menu() {
    if (!ImGui::BeginMenu("State slot", game_loaded != 0)) return;
    for (int slot = 0; slot < state_slot_count; slot++) {
        char label[32];
        std::snprintf(label, sizeof label, "Slot %d%s", slot, state_slot_used(slot) ? "  (saved)" : "");
        if (ImGui::MenuItem(label, nullptr, slot == state_slot)) post_command(cmd_slot_first + slot);
    }
    ImGui::EndMenu();
}

void machine_menu() {
    if (!begin_menu("Machine")) return;
    item(cmd_reset);
    item(cmd_pause);
    item(cmd_frame_advance);
    // Frames run ahead answer the controls sooner, at the cost of running them.
    if (ImGui::BeginMenu("Run-ahead (less input lag)")) {
        item(cmd_run_ahead_first);
        item(cmd_run_ahead_first + 1);
        item(cmd_run_ahead_first + 2);
        ImGui::EndMenu();
    }
    ImGui::Separator();
    item(cmd_palette_fixed);
    item(cmd_palette_dynamic);
    ImGui::Separator();
    item(cmd_dip_dialog);
    item(cmd_controls);
    ImGui::Separator();
    item(cmd_screenshot);
    item(cmd_dump_rom);
    ImGui::Separator();
    item(cmd_save_state);
    item(cmd_load_state);
    item(cmd_next_slot);
    state_slot_menu();
    ImGui::EndMenu();
}

// Short enough to open whole below the bar of a window at size 1.
void video_menu() {
    if (!begin_menu("Video")) return;
    item(cmd_fullscreen);
    ImGui::Separator();
    item(cmd_size_1);
    item(cmd_size_2);
    item(cmd_size_3);
    if (ImGui::BeginMenu("Stretch")) {
        item(cmd_stretch_integer);
        item(cmd_stretch_aspect);
        item(cmd_stretch_fill);
        ImGui::EndMenu();
    }
    if (ImGui::BeginMenu("Frame skip")) {
        item(cmd_skip_none);
        ImGui::Separator();
        item(cmd_skip_1);
        item(cmd_skip_2);
        item(cmd_skip_3);
        ImGui::EndMenu();
    }
    ImGui::Separator();
    item(cmd_throttle);
    item(cmd_vsync);
    item(cmd_show_speed);
    ImGui::Separator();
    if (ImGui::BeginMenu("Effects")) {
        item(cmd_blur);
        item(cmd_scanlines);
        item(cmd_videomem);
        ImGui::EndMenu();
    }
    ImGui::EndMenu();
}

void sound_menu() {
    if (!begin_menu("Sound")) return;
    item(cmd_sound);
    if (ImGui::BeginMenu("Sample rate")) {
        item(cmd_rate_11025);
        item(cmd_rate_22050);
        item(cmd_rate_44100);
        item(cmd_rate_48000);
        ImGui::EndMenu();
    }
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 8);
    ImGui::SliderInt("Volume  - =", &volume, 0, 100, "%d%%");
    ImGui::Separator();
    item(cmd_chip_ym);
    item(cmd_chip_upd);
    item(cmd_chip_sn);
    item(cmd_chips_all);
    if (ImGui::BeginMenu("FM model")) {
        item(cmd_fm_chip);
        item(cmd_fm_classic);
        ImGui::EndMenu();
    }
    ImGui::EndMenu();
}

void help_menu() {
    if (!begin_menu("Help")) return;
    item(cmd_help_keys);
    item(cmd_help_files);
    ImGui::Separator();
    item(cmd_about);
    ImGui::EndMenu();
}

// A window over the picture area that takes no input.
bool begin_overlay(const char* name, float top, float height, float alpha) {
    const ImVec2 screen = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(0, top));
    ImGui::SetNextWindowSize(ImVec2(screen.x, height));
    ImGui::SetNextWindowBgAlpha(alpha);
    ImGui::PushStyleColor(ImGuiCol_WindowBg, ImVec4(0, 0, 0, 1));
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1, 1, 1, 1));
    ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoInputs | ImGuiWindowFlags_NoSavedSettings |
                             ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoBringToFrontOnFocus |
                             ImGuiWindowFlags_NoNav;
    if (alpha <= 0) flags |= ImGuiWindowFlags_NoBackground;
    const bool shown = ImGui::Begin(name, nullptr, flags);
    return shown;
}

void end_overlay() {
    ImGui::End();
    ImGui::PopStyleColor(2);
}

// What a new player sees before any game runs: how to start one.
void no_game_page() {
    const float top = float(menu_bar_height);
    // Clear, so that an on-screen message still shows through.
    if (begin_overlay("##nogame", top, ImGui::GetIO().DisplaySize.y - top, 0.0f)) {
        ImGui::PushTextWrapPos(0);
        ImGui::TextUnformatted("No game is running.");
        if (!last_load_problem.empty()) {
            ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1, 0.6f, 0.3f, 1));
            ImGui::TextWrapped("Not loaded: %s", last_load_problem.c_str());
            ImGui::PopStyleColor();
        }
        ImGui::Spacing();
        ImGui::TextWrapped("Main > Load game... lists the games; those whose files are missing are grey. "
                           "Or name one at the start: vortan columns");
        ImGui::Spacing();
        ImGui::TextWrapped("A game's files go in %s/<game>/ or in the zip archive %s/<game>.zip. "
                           "The demo cartridge needs none.", rom_dir, zip_dir);
        ImGui::Spacing();
        ImGui::TextWrapped("Help > Keys lists the keys.");
        ImGui::PopTextWrapPos();
    }
    end_overlay();
}

void pause_line() {
    if (begin_overlay("##paused", float(menu_bar_height), ImGui::GetFrameHeight(), 0.6f))
        ImGui::TextUnformatted("Paused: P resumes, N runs one frame");
    end_overlay();
}

// On the full screen the bar shows while the pointer is at the top, while
// a menu or dialog is open, or when F1 called it up.
bool bar_wanted() {
    if (!fullscreen || bar_called_up) return true;
    if (ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel)) return true;
    const float y = ImGui::GetIO().MousePos.y;
    return y >= 0 && y < float(menu_bar_height) + 4;
}

}  // namespace

int bar_called_up;

int draw_menu_bar() {
    if (!game_loaded)
        no_game_page();
    else if (user_paused)
        pause_line();
    const bool bar = bar_wanted();
    if (bar && ImGui::BeginMainMenuBar()) {
        main_menu();
        machine_menu();
        video_menu();
        sound_menu();
        help_menu();
        ImGui::EndMainMenuBar();
    }
    // A modal dialog takes Escape before the DIP switches window under it.
    draw_dialogs();
    draw_dip_window();
    // An Escape nothing took leaves the full screen; it is not kept for the
    // next menu opened.
    if (escape_pressed && fullscreen) post_command(cmd_fullscreen);
    escape_pressed = 0;
    return bar;
}
