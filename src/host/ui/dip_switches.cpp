// The DIP switch window, the line the DIP keys show and the saving of
// every change.
#include "host/ui/dip_switches.h"
#include <imgui.h>
#include "host/ui/dialogs.h"
#include "host/video/display.h"
#include "host/settings/folders.h"
#include "host/ui/game_load.h"
#include "host/game/main_loop.h"
#include "host/settings/options.h"
#include "host/ui/window.h"
#include "machine/core.h"

int dip_window;
std::string dip_save_status;
int dip_save_failed;

int save_dip_switches() {
    const game_info* game = core_running();
    if (!game) return 0;
    const std::string file = std::string(dip_dir) + "/" + game->short_name + ".dip";
    std::string error;
    int saved = make_folders(dip_dir, error);
    if (saved) {
        loader_lines loader;  // the core says why a write failed only there
        saved = core_save_dip();
        if (!saved) error = loader.problems.empty() ? file + " could not be written" : loader.problems.back();
    }
    dip_save_failed = !saved;
    dip_save_status = saved ? "Saved to " + file : "Not saved: " + error;
    if (!saved) message_printf("DIP switches not saved to %s", file.c_str());
    return saved;
}

std::string dip_bank_text(int bank, uint8_t switches) {
    std::string text = "DIP bank " + std::to_string(bank + 1) + " on:";
    const size_t named = text.size();
    for (int n = 1; n <= 8; ++n)
        if (!((switches >> (n - 1)) & 1)) text += " " + std::to_string(n);
    return text.size() == named ? text + " none" : text;
}

void draw_dip_window() {
    if (!dip_window) return;
    const game_info* game = core_running();
    if (!game) {
        dip_window = 0;
        return;
    }
    bool open = true;
    ImGui::SetNextWindowPos(ImVec2(8, float(menu_bar_height) + 8), ImGuiCond_Appearing);
    if (!ImGui::Begin("DIP switches", &open,
                      ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse |
                          ImGuiWindowFlags_NoSavedSettings)) {
        ImGui::End();
        dip_window = open;
        return;
    }
    ImGui::TextUnformatted(game->title);
    ImGui::TextUnformatted("A tick is a switch that is on.");
    // Switches 1 to 8 left to right, as the boards' labels count them and
    // keypad 1 to 8 flip them: switch n is bit n - 1, on pulls it low.
    if (ImGui::BeginTable("switches", 9, ImGuiTableFlags_SizingFixedFit)) {
        ImGui::TableNextRow();
        ImGui::TableNextColumn();
        ImGui::TextUnformatted("Switch");
        for (int sw = 1; sw <= 8; ++sw) {
            ImGui::TableNextColumn();
            ImGui::Text(" %d", sw);
        }
        for (int bank = 0; bank < 2; ++bank) {
            ImGui::TableNextRow();
            ImGui::TableNextColumn();
            ImGui::Text("Bank %d", bank + 1);
            const uint8_t value = core_dip(bank);
            for (int sw = 1; sw <= 8; ++sw) {
                const int bit = sw - 1;
                bool on = !((value >> bit) & 1);
                ImGui::TableNextColumn();
                ImGui::PushID(bank * 8 + sw);
                if (ImGui::Checkbox("##switch", &on)) {
                    core_set_dip(bank, uint8_t(value ^ (1u << bit)));
                    save_dip_switches();
                }
                if (ImGui::IsItemHovered())
                    ImGui::SetTooltip("Bank %d, switch %d: %s (keypad %d; F6 picks the bank)", bank + 1, sw,
                                      on ? "on" : "off", sw);
                ImGui::PopID();
            }
        }
        ImGui::EndTable();
    }
    if (!dip_save_status.empty()) {
        if (dip_save_failed) ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.8f, 0.1f, 0.1f, 1));
        ImGui::TextUnformatted(dip_save_status.c_str());
        if (dip_save_failed) ImGui::PopStyleColor();
    }
    if (take_escape()) open = false;
    ImGui::End();
    dip_window = open;
}
