// The menu bar and the About dialog. Items only post their command: it runs
// once the frame is shown, outside the menu's own drawing.
#include <imgui.h>
#include "host/gui.h"

int about_requested;

static void item(const char* label, const char* key, int command) {
    if (ImGui::MenuItem(label, key, menu_checked(command) != 0)) post_command(command);
}

static void main_menu() {
    if (!ImGui::BeginMenu("Main")) return;
    if (ImGui::BeginMenu("Load roms...")) {
        for (int n = 1; n <= game_count; n++)
            item(game_by_menu_number(n)->description, nullptr, cmd_game_first + n - 1);
        ImGui::Separator();
        item("Vortan demo cartridge", nullptr, cmd_load_demo);
        ImGui::EndMenu();
    }
    item("Free", nullptr, cmd_free);
    ImGui::Separator();
    item("Quit", "END", cmd_quit);
    ImGui::EndMenu();
}

static void machine_menu() {
    if (!ImGui::BeginMenu("Machine")) return;
    item("Reset", "TAB", cmd_reset);
    ImGui::Separator();
    // A submenu has no key column; F12 is shown in its label.
    if (ImGui::BeginMenu("Palette   F12")) {
        item("Fixed", nullptr, cmd_palette_fixed);
        item("Dynamic", nullptr, cmd_palette_dynamic);
        ImGui::EndMenu();
    }
    ImGui::Separator();
    item("Dump Rom", "ALT+R", cmd_dump_rom);
    ImGui::EndMenu();
}

static void video_menu() {
    if (!ImGui::BeginMenu("Video")) return;
    item("Fullscreen", "ALT+ENTER", cmd_fullscreen);
    ImGui::Separator();
    item("Size x 1", nullptr, cmd_size_1);
    item("Size x 2", nullptr, cmd_size_2);
    item("Size x 3", nullptr, cmd_size_3);
    ImGui::Separator();
    if (ImGui::BeginMenu("Frame skip")) {
        item("None", "F1", cmd_skip_none);
        ImGui::Separator();
        item("1", "F2", cmd_skip_1);
        item("2", "F3", cmd_skip_2);
        item("3", "F4", cmd_skip_3);
        ImGui::EndMenu();
    }
    ImGui::Separator();
    item("Speed throttle", "F10", cmd_throttle);
    item("Vsync", "F11", cmd_vsync);
    ImGui::Separator();
    item("Use video memory", nullptr, cmd_videomem);
    ImGui::Separator();
    item("Blur", nullptr, cmd_blur);
    item("Strech", nullptr, cmd_strech);
    ImGui::EndMenu();
}

static void sound_menu() {
    if (!ImGui::BeginMenu("Sound")) return;
    item("Enable", nullptr, cmd_sound);
    if (ImGui::BeginMenu("Rate")) {
        item("11025", nullptr, cmd_rate_11025);
        item("22050", nullptr, cmd_rate_22050);
        item("44100", nullptr, cmd_rate_44100);
        item("48000", nullptr, cmd_rate_48000);
        ImGui::EndMenu();
    }
    ImGui::Separator();
    item("YM3438", "7", cmd_chip_ym);
    item("SN76489", "8", cmd_chip_sn);
    item("uPD7759", "9", cmd_chip_upd);
    ImGui::EndMenu();
}

static void centred(const char* text) {
    float w = ImGui::CalcTextSize(text).x;
    float avail = ImGui::GetContentRegionAvail().x;
    if (avail > w) ImGui::SetCursorPosX(ImGui::GetCursorPosX() + (avail - w) / 2);
    ImGui::TextUnformatted(text);
}

static void about_dialog() {
    if (about_requested) {
        ImGui::OpenPopup("About");
        about_requested = 0;
    }
    bool open = true;
    ImGui::SetNextWindowPos(ImGui::GetMainViewport()->GetCenter(), ImGuiCond_Appearing,
                            ImVec2(0.5f, 0.5f));
    if (!ImGui::BeginPopupModal("About", &open, ImGuiWindowFlags_AlwaysAutoResize)) return;
    ImGui::Text("Vortan %s", vortan_version);
    ImGui::Separator();
    ImGui::BeginGroup();
    // Short lines: the dialog must fit a window of size factor 1.
    centred("Sega System C2 arcade board emulator");
    centred("68000, VDP, YM3438, SN76489, uPD7759");
    centred("emulated frame by frame.");
    ImGui::Spacing();
    centred("For Linux desktops: SDL2, Dear ImGui.");
    ImGui::EndGroup();
    ImGui::EndPopup();
}

void draw_menu_bar() {
    if (ImGui::BeginMainMenuBar()) {
        main_menu();
        machine_menu();
        video_menu();
        sound_menu();
        if (ImGui::BeginMenu("Help")) {
            item("About", nullptr, cmd_about);
            ImGui::EndMenu();
        }
        ImGui::EndMainMenuBar();
    }
    about_dialog();
}
