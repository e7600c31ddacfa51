// The game list: every game with whether its files were found, the demo
// cartridge first. A click only selects: a game starts on a double click or
// the Load button, so a click that opened the list never picks from it.
#include <imgui.h>
#include <vector>
#include "host/dialogs.h"
#include "host/game_load.h"
#include "host/gui.h"
#include "host/rom_check.h"

namespace {

struct listed_game {
    const driver_record* game;
    int command;
    rom_check check;
};
std::vector<listed_game> listed;
int selected;

void tooltip(const listed_game& g) {
    ImGui::BeginTooltip();
    ImGui::PushTextWrapPos(ImGui::GetFontSize() * 24);
    if (g.check.built_in) {
        ImGui::TextUnformatted("Built into the program: needs no files.");
    } else if (g.check.ready()) {
        ImGui::Text("Files found in %s", g.check.archive_used ? g.check.archive.c_str() : g.check.folder.c_str());
    } else {
        ImGui::TextUnformatted(rom_check_summary(g.check).c_str());
        for (size_t i = 0; i < g.check.problems.size() && i < 6; ++i)
            ImGui::BulletText("%s", rom_problem_text(g.check.problems[i]).c_str());
    }
    ImGui::PopTextWrapPos();
    ImGui::EndTooltip();
}

}  // namespace

void games_dialog_opened() {
    listed.clear();
    const core_paths paths = game_paths();
    listed.push_back({core_game(game_count), cmd_load_demo, check_game_roms(*core_game(game_count), paths)});
    for (int n = 1; n <= game_count; ++n) {
        const driver_record* g = core_game(n - 1);
        listed.push_back({g, cmd_game_first + n - 1, check_game_roms(*g, paths)});
    }
    selected = 0;
}

void draw_games_dialog() {
    ImGui::TextUnformatted("Games whose files are missing are grey.");
    bool load = false;
    ImGui::BeginChild("games", ImVec2(0, -ImGui::GetFrameHeightWithSpacing() - 4), true);
    for (int i = 0; i < int(listed.size()); ++i) {
        const listed_game& g = listed[size_t(i)];
        const bool ready = g.check.ready();
        if (!ready) ImGui::PushStyleColor(ImGuiCol_Text, ImGui::GetStyleColorVec4(ImGuiCol_TextDisabled));
        ImGui::PushID(i);
        if (ImGui::Selectable(g.game->description, selected == i, ImGuiSelectableFlags_AllowDoubleClick)) {
            selected = i;
            load = ImGui::IsMouseDoubleClicked(0);
        }
        ImGui::PopID();
        if (!ready) ImGui::PopStyleColor();
        if (ImGui::IsItemHovered()) tooltip(g);
        if (i == 0) ImGui::Separator();
    }
    ImGui::EndChild();
    ImGui::Separator();
    load |= ImGui::Button("Load");
    ImGui::SameLine();
    if (ImGui::Button("Cancel") || take_escape()) ImGui::CloseCurrentPopup();
    if (load && selected >= 0 && selected < int(listed.size())) {
        // Loading waits until this frame is shown, as every menu choice does.
        post_command(listed[size_t(selected)].command);
        ImGui::CloseCurrentPopup();
    }
}
