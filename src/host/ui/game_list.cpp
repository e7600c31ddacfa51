// The game list: the demo cartridge first, then each title with its versions
// under it (the parent set first), sorted by title, each version with its
// short name and whether its files are present, incomplete or present with
// wrong checksums. It works from the keyboard: typing filters by title or
// short name, the arrows and Page keys move, Enter loads. A click only
// selects: a version starts on a double click, Enter or the Load button, so
// a click that opened the list never picks from it.
#include <imgui.h>
#include <strings.h>
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>
#include "host/ui/dialogs.h"
#include "host/ui/game_load.h"
#include "host/ui/gui.h"
#include "host/game/rom_check.h"

namespace {

struct listed_version {
    const game_info* game;
    rom_check check;
};
struct listed_title {
    std::string title;
    std::vector<listed_version> versions;
};
std::vector<listed_title> titles;  // the demo, then by title
const game_info* selected;     // kept while the filter changes
char filter[64];
bool available_only;
bool focus_filter;

// "Columns (World)" is listed under "Columns".
std::string title_of(const game_info& g) {
    const std::string d = g.title;
    const size_t cut = d.find(" (");
    return cut == std::string::npos ? d : d.substr(0, cut);
}

const char* status(const rom_check& c) {
    if (c.built_in) return "built in";
    if (!c.ready()) return "incomplete";
    return c.wrong_checksums() ? "wrong checksums" : "present";
}

std::string right_text(const listed_version& v) {
    return std::string(v.game->version) + "  " + status(v.check);
}

void tooltip(const listed_version& v) {
    ImGui::BeginTooltip();
    ImGui::PushTextWrapPos(ImGui::GetFontSize() * 24);
    const rom_check& c = v.check;
    if (c.built_in) {
        ImGui::TextUnformatted("Built into the program: needs no files.");
    } else if (c.problems.empty() && c.failure.empty()) {
        ImGui::Text("Files found in %s%s%s", c.archive_used ? c.archive.c_str() : c.folder.c_str(),
                    v.game->parent ? " or the parent set's " : "", v.game->parent ? v.game->parent : "");
    } else {
        ImGui::TextUnformatted(rom_check_summary(c).c_str());
        for (size_t i = 0; i < c.problems.size() && i < 6; ++i)
            ImGui::BulletText("%s", rom_problem_text(c.problems[i]).c_str());
    }
    ImGui::PopTextWrapPos();
    ImGui::EndTooltip();
}

// The title a version is listed under, named by its parent set (or itself).
const char* family_of(const game_info& g) { return g.parent ? g.parent : g.version; }

void add_version(const game_info* g) {
    const std::string family = family_of(*g);
    for (listed_title& t : titles) {
        if (t.versions.empty() || family != family_of(*t.versions[0].game)) continue;
        listed_version v{g, core_check_roms(*g)};
        // The parent set heads its title.
        if (family == g->version) {
            t.title = title_of(*g);
            t.versions.insert(t.versions.begin(), std::move(v));
        } else {
            t.versions.push_back(std::move(v));
        }
        return;
    }
    titles.push_back({title_of(*g), {{g, core_check_roms(*g)}}});
}

bool contains(const std::string& a, const char* part) {
    const std::string b = part;
    return std::search(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
               return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
           }) != a.end();
}

bool title_shown(const listed_title& t) {
    bool any_ready = false, matches = !*filter || contains(t.title, filter);
    for (const listed_version& v : t.versions) {
        any_ready |= v.check.ready();
        matches |= contains(v.game->title, filter) || contains(v.game->version, filter);
    }
    return matches && (any_ready || !available_only);
}

// The versions the filter and the toggle leave, in the order they are drawn.
std::vector<const listed_version*> shown_rows() {
    std::vector<const listed_version*> rows;
    for (const listed_title& t : titles) {
        if (!title_shown(t)) continue;
        for (const listed_version& v : t.versions)
            if (v.check.ready() || !available_only) rows.push_back(&v);
    }
    return rows;
}

bool pressed(ImGuiKey key) { return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key)); }

}  // namespace

void games_dialog_opened() {
    titles.clear();
    use_folder_options();
    const game_info* demo = core_find_game("demo");
    titles.push_back({demo->title, {{demo, core_check_roms(*demo)}}});
    for (int i = 0; const game_info* g = core_version(i); ++i) add_version(g);
    std::sort(titles.begin() + 1, titles.end(), [](const listed_title& a, const listed_title& b) {
        return strcasecmp(a.title.c_str(), b.title.c_str()) < 0;
    });
    selected = core_running();
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
    const std::vector<const listed_version*> rows = shown_rows();
    int at = -1;
    for (size_t r = 0; r < rows.size(); ++r)
        if (rows[r]->game == selected) at = int(r);
    // The keys move the selection whatever has the focus; with nothing
    // selected the first version that can start is.
    int moved = 0;
    if (pressed(ImGuiKey_DownArrow)) moved = 1;
    if (pressed(ImGuiKey_UpArrow)) moved = -1;
    if (pressed(ImGuiKey_PageDown)) moved = 10;
    if (pressed(ImGuiKey_PageUp)) moved = -10;
    if (!rows.empty() && at < 0) {
        at = 0;
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r]->check.ready() && !rows[r]->check.built_in) {
                at = int(r);
                break;
            }
    } else if (!rows.empty() && moved) {
        at = std::clamp(at + moved, 0, int(rows.size()) - 1);
    }
    if (at >= 0) selected = rows[size_t(at)]->game;
    load |= pressed(ImGuiKey_Enter) || pressed(ImGuiKey_KeyPadEnter);

    ImGui::BeginChild("games", ImVec2(0, -ImGui::GetFrameHeightWithSpacing() - 4), true);
    // The short names line up where the widest "name  status" still fits.
    float right_width = 0;
    for (const listed_version* v : rows)
        right_width = std::max(right_width, ImGui::CalcTextSize(right_text(*v).c_str()).x);
    const float name_column = ImGui::GetCursorPosX() + ImGui::GetContentRegionAvail().x - right_width;
    for (size_t t = 0; t < titles.size(); ++t) {
        const listed_title& title = titles[t];
        if (!title_shown(title)) continue;
        if (t > 0) ImGui::TextUnformatted(title.title.c_str());
        ImGui::Indent();
        for (const listed_version& v : title.versions) {
            if (available_only && !v.check.ready()) continue;
            const bool ready = v.check.ready();
            // Grey rows stay readable on the hover colour.
            if (!ready) {
                ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.42f, 0.42f, 0.42f, 1));
                ImGui::PushStyleColor(ImGuiCol_HeaderHovered, ImVec4(0.85f, 0.85f, 0.85f, 1));
            }
            ImGui::PushID(v.game);
            const bool is_selected = v.game == selected;
            const float row_x = ImGui::GetCursorPosX();
            if (ImGui::Selectable(v.game->title, is_selected, ImGuiSelectableFlags_AllowDoubleClick)) {
                selected = v.game;
                load |= ImGui::IsMouseDoubleClicked(0);
            }
            if (ImGui::IsItemHovered()) tooltip(v);
            if (is_selected && moved) ImGui::SetScrollHereY();
            // A long title pushes its short name on rather than under it.
            const float title_end = row_x + ImGui::CalcTextSize(v.game->title).x + ImGui::GetFontSize();
            ImGui::SameLine(std::max(name_column, title_end));
            ImGui::TextUnformatted(right_text(v).c_str());
            ImGui::PopID();
            if (!ready) ImGui::PopStyleColor(2);
        }
        ImGui::Unindent();
        if (t == 0) ImGui::Separator();
    }
    if (rows.empty()) ImGui::TextDisabled("No game matches.");
    ImGui::EndChild();
    ImGui::Separator();
    load |= ImGui::Button("Load");
    ImGui::SameLine();
    if (ImGui::Button("Cancel") || take_escape()) ImGui::CloseCurrentPopup();
    if (load && selected && at >= 0) {
        // Loading waits until this frame is shown, as every menu choice does.
        choose_version(selected);
        post_command(cmd_load_version);
        ImGui::CloseCurrentPopup();
    }
}
