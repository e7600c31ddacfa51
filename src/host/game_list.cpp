// The game list: every game by title with its short name and whether its
// files were found, the demo cartridge first. It works from the keyboard:
// typing filters by title or short name, the arrows and Page keys move,
// Enter loads. A click only selects: a game starts on a double click, Enter
// or the Load button, so a click that opened the list never picks from it.
#include <imgui.h>
#include <strings.h>
#include <algorithm>
#include <cctype>
#include <string>
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
std::vector<listed_game> listed;  // the demo, then by title
std::string selected_name;        // kept while the filter changes
char filter[64];
bool available_only;
bool focus_filter;

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

bool contains(const char* text, const char* part) {
    const std::string a = text, b = part;
    return std::search(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
               return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
           }) != a.end();
}

// The rows the filter and the toggle leave, as indexes into listed.
std::vector<int> shown_rows() {
    std::vector<int> rows;
    for (int i = 0; i < int(listed.size()); ++i) {
        const listed_game& g = listed[size_t(i)];
        if (available_only && !g.check.ready()) continue;
        if (*filter && !contains(g.game->description, filter) && !contains(g.game->short_name, filter)) continue;
        rows.push_back(i);
    }
    return rows;
}

bool pressed(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key)); }

}  // namespace

void games_dialog_opened() {
    listed.clear();
    const core_paths paths = game_paths();
    listed.push_back({core_game(game_count), cmd_load_demo, check_game_roms(*core_game(game_count), paths)});
    for (int n = 1; n <= game_count; ++n) {
        const driver_record* g = core_game(n - 1);
        listed.push_back({g, cmd_game_first + n - 1, check_game_roms(*g, paths)});
    }
    std::sort(listed.begin() + 1, listed.end(), [](const listed_game& a, const listed_game& b) {
        return strcasecmp(a.game->description, b.game->description) < 0;
    });
    const driver_record* running = core_running();
    selected_name = running ? running->short_name : listed[0].game->short_name;
    filter[0] = 0;
    focus_filter = true;
}

void draw_games_dialog() {
    if (focus_filter) ImGui::SetKeyboardFocusHere();
    focus_filter = false;
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 10);
    bool load = ImGui::InputTextWithHint("##filter", "type to search", filter, sizeof filter,
                                         ImGuiInputTextFlags_EnterReturnsTrue);
    ImGui::SameLine();
    ImGui::Checkbox("Available only", &available_only);
    const std::vector<int> rows = shown_rows();
    int at = -1;
    for (size_t r = 0; r < rows.size(); ++r)
        if (selected_name == listed[size_t(rows[r])].game->short_name) at = int(r);
    // The keys move the selection whatever has the focus.
    int moved = 0;
    if (pressed(ImGuiKey_DownArrow)) moved = 1;
    if (pressed(ImGuiKey_UpArrow)) moved = -1;
    if (pressed(ImGuiKey_PageDown)) moved = 10;
    if (pressed(ImGuiKey_PageUp)) moved = -10;
    if (!rows.empty() && (moved || at < 0)) {
        at = std::clamp(at < 0 ? 0 : at + moved, 0, int(rows.size()) - 1);
        selected_name = listed[size_t(rows[size_t(at)])].game->short_name;
    }
    load |= pressed(ImGuiKey_Enter) || pressed(ImGuiKey_KeyPadEnter);

    ImGui::BeginChild("games", ImVec2(0, -ImGui::GetFrameHeightWithSpacing() - 4), true);
    const float name_column = ImGui::GetContentRegionAvail().x - ImGui::GetFontSize() * 5;
    for (size_t r = 0; r < rows.size(); ++r) {
        const listed_game& g = listed[size_t(rows[r])];
        const bool ready = g.check.ready();
        // Grey rows stay readable on the hover colour.
        if (!ready) {
            ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.42f, 0.42f, 0.42f, 1));
            ImGui::PushStyleColor(ImGuiCol_HeaderHovered, ImVec4(0.85f, 0.85f, 0.85f, 1));
        }
        ImGui::PushID(g.game->short_name);
        const bool is_selected = int(r) == at;
        if (ImGui::Selectable(g.game->description, is_selected, ImGuiSelectableFlags_AllowDoubleClick)) {
            selected_name = g.game->short_name;
            load |= ImGui::IsMouseDoubleClicked(0);
        }
        if (ImGui::IsItemHovered()) tooltip(g);
        if (is_selected && moved) ImGui::SetScrollHereY();
        ImGui::SameLine(std::max(name_column, ImGui::CalcTextSize(g.game->description).x + 8));
        ImGui::TextUnformatted(g.game->short_name);
        ImGui::PopID();
        if (!ready) ImGui::PopStyleColor(2);
        if (rows[r] == 0) ImGui::Separator();
    }
    if (rows.empty()) ImGui::TextDisabled("No game matches.");
    ImGui::EndChild();
    ImGui::Separator();
    load |= ImGui::Button("Load");
    ImGui::SameLine();
    if (ImGui::Button("Cancel") || take_escape()) ImGui::CloseCurrentPopup();
    if (load && at >= 0) {
        // Loading waits until this frame is shown, as every menu choice does.
        post_command(listed[size_t(rows[size_t(at)])].command);
        ImGui::CloseCurrentPopup();
    }
}
