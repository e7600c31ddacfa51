// The game list: the demo cartridge first, then one entry per title with its
// versions under it (the parent set first), each marked present, incomplete
// or present with wrong checksums. A click only selects: a version starts
// on a double click or the Load button, so a click that opened the list
// never picks from it.
#include <imgui.h>
#include <string>
#include <vector>
#include "host/dialogs.h"
#include "host/game_load.h"
#include "host/gui.h"
#include "host/rom_check.h"

namespace {

struct listed_version {
    const driver_record* game;
    rom_check check;
};
struct listed_title {
    std::string title;
    std::vector<listed_version> versions;
};
std::vector<listed_title> titles;
const driver_record* selected;

// "Columns (World)" is listed under "Columns".
std::string title_of(const driver_record& g) {
    const std::string d = g.description;
    const size_t cut = d.find(" (");
    return cut == std::string::npos ? d : d.substr(0, cut);
}

const char* status(const rom_check& c) {
    if (c.built_in) return "built in";
    if (!c.ready()) return "incomplete";
    return c.wrong_checksums() ? "wrong checksums" : "present";
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

void add_version(const driver_record* g, const core_paths& paths) {
    const std::string family = family_name(*g);
    for (listed_title& t : titles) {
        if (t.versions.empty() || family != family_name(*t.versions[0].game)) continue;
        listed_version v{g, check_game_roms(*g, paths)};
        // The parent set heads its title.
        if (family == version_name(*g)) {
            t.title = title_of(*g);
            t.versions.insert(t.versions.begin(), std::move(v));
        } else {
            t.versions.push_back(std::move(v));
        }
        return;
    }
    titles.push_back({title_of(*g), {{g, check_game_roms(*g, paths)}}});
}

}  // namespace

void games_dialog_opened() {
    titles.clear();
    const core_paths paths = game_paths();
    const driver_record* demo = core_find_game("demo");
    titles.push_back({demo->description, {{demo, check_game_roms(*demo, paths)}}});
    for (int i = 0; const driver_record* g = core_version(i); ++i) add_version(g, paths);
    selected = demo;
}

// A title's row stands for its first version whose files are all there,
// else its parent set.
const listed_version& title_choice(const listed_title& t) {
    for (const listed_version& v : t.versions)
        if (v.check.ready()) return v;
    return t.versions[0];
}

void draw_games_dialog() {
    ImGui::TextUnformatted("Versions whose files are missing are grey.");
    bool load = false;
    ImGui::BeginChild("games", ImVec2(0, -ImGui::GetFrameHeightWithSpacing() - 4), true);
    auto row = [&](const listed_version& v, const char* text, bool is_node) {
        const bool ready = v.check.ready();
        if (!ready) ImGui::PushStyleColor(ImGuiCol_Text, ImGui::GetStyleColorVec4(ImGuiCol_TextDisabled));
        bool open = false;
        if (is_node) {
            // A click opens the title and selects it; a double click loads it.
            ImGuiTreeNodeFlags flags = ImGuiTreeNodeFlags_SpanAvailWidth;
            if (selected == v.game) flags |= ImGuiTreeNodeFlags_Selected;
            open = ImGui::TreeNodeEx(text, flags);
            if (ImGui::IsItemClicked()) {
                selected = v.game;
                load = ImGui::IsMouseDoubleClicked(0);
            }
        } else if (ImGui::Selectable(text, selected == v.game, ImGuiSelectableFlags_AllowDoubleClick)) {
            selected = v.game;
            load = ImGui::IsMouseDoubleClicked(0);
        }
        if (!ready) ImGui::PopStyleColor();
        if (ImGui::IsItemHovered()) tooltip(v);
        return open;
    };
    for (size_t t = 0; t < titles.size(); ++t) {
        const listed_title& title = titles[t];
        ImGui::PushID(int(t));
        if (t == 0) {
            row(title.versions[0], title.title.c_str(), false);
            ImGui::Separator();
        } else if (row(title_choice(title), title.title.c_str(), true)) {
            for (const listed_version& v : title.versions) {
                ImGui::PushID(v.game);
                const std::string text = std::string(v.game->description) + "  (" + version_name(*v.game) + ", " +
                                         status(v.check) + ")";
                row(v, text.c_str(), false);
                ImGui::PopID();
            }
            ImGui::TreePop();
        }
        ImGui::PopID();
    }
    ImGui::EndChild();
    ImGui::Separator();
    load |= ImGui::Button("Load");
    ImGui::SameLine();
    if (ImGui::Button("Cancel") || take_escape()) ImGui::CloseCurrentPopup();
    if (load && selected) {
        // Loading waits until this frame is shown, as every menu choice does.
        choose_version(selected);
        post_command(cmd_load_version);
        ImGui::CloseCurrentPopup();
    }
}
