// The modal dialogs: About, the keys, the files and folders, reports; the
// game list and the controls draw their own bodies.
#include "host/ui/dialogs.h"
#include <imgui.h>
#include <unistd.h>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <deque>
#include "host/settings/command_table.h"
#include "host/settings/controls.h"
#include "host/video/display.h"
#include "host/settings/folders.h"
#include "host/ui/gui.h"
#include "host/settings/options.h"
#include "host/game/state_slots.h"
#include "host/ui/window.h"

int escape_pressed;

namespace {

const char* const dialog_names[] = {"About", "Load a game", "Controls", "Keys", "Files and folders"};
int requested = -1;

struct report {
    std::string title, text;
};
std::deque<report> reports;
int reports_in_window = 1;

// The room a dialog has: the window below the menu bar, less a margin.
ImVec2 dialog_room() {
    const ImVec2 screen = ImGui::GetIO().DisplaySize;
    return ImVec2(std::max(100.0f, screen.x - 8), std::max(60.0f, screen.y - float(menu_bar_height) - 8));
}

// How wide a dialog's text runs before it wraps: a comfortable line, or
// the room there is.
float text_width() {
    return std::min(ImGui::GetFontSize() * 34, dialog_room().x - 2 * ImGui::GetStyle().WindowPadding.x);
}

// Every dialog fits the window, whatever its size, below the menu bar. With
// a size of 0 it takes the size of what it holds, its text wrapped to
// text_width, and scrolls when that does not fit; otherwise it takes the
// size given, cut to the room.
bool begin_modal(const char* name, float width, float height) {
    const ImVec2 screen = ImGui::GetIO().DisplaySize;
    const float top = float(menu_bar_height);
    const ImVec2 room = dialog_room();
    ImGui::SetNextWindowPos(ImVec2(screen.x / 2, top + (screen.y - top) / 2), ImGuiCond_Always,
                            ImVec2(0.5f, 0.5f));
    ImGuiWindowFlags flags = ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoMove;
    if (width > 0) {
        ImGui::SetNextWindowSize(ImVec2(std::min(width, room.x), std::min(height, room.y)), ImGuiCond_Always);
        return ImGui::BeginPopupModal(name, nullptr, flags);
    }
    ImGui::SetNextWindowSizeConstraints(ImVec2(0, 0), room);
    if (!ImGui::BeginPopupModal(name, nullptr, flags | ImGuiWindowFlags_AlwaysAutoResize)) return false;
    ImGui::PushTextWrapPos(ImGui::GetCursorPosX() + text_width());
    return true;
}

// Escape and the button end a dialog opened with size 0; 1 when it ended.
bool end_modal(const char* button = "Close") {
    ImGui::PopTextWrapPos();
    ImGui::Separator();
    const bool closed = ImGui::Button(button) || take_escape();
    if (closed) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
    return closed;
}

void centred(const char* text) {
    float w = ImGui::CalcTextSize(text).x;
    float avail = ImGui::GetContentRegionAvail().x;
    if (avail > w) ImGui::SetCursorPosX(ImGui::GetCursorPosX() + (avail - w) / 2);
    ImGui::TextUnformatted(text);
}

void about_dialog() {
    if (!begin_modal("About", 0, 0)) return;
    ImGui::Text("Vortan %s", vortan_version);
    ImGui::Separator();
    centred("Sega System C2 arcade board emulator");
    centred("68000, VDP, YM3438, SN76489, uPD7759");
    centred("emulated frame by frame.");
    ImGui::Spacing();
    centred("For Linux desktops: SDL2, Dear ImGui.");
    end_modal();
}

void key_row(const std::string& keys, const char* what) {
    ImGui::TableNextRow();
    // Each cell wraps at its column's edge, not at the dialog's.
    ImGui::PushTextWrapPos(0.0f);
    ImGui::TableNextColumn();
    ImGui::TextWrapped("%s", keys.c_str());
    ImGui::TableNextColumn();
    ImGui::TextWrapped("%s", what);
    ImGui::PopTextWrapPos();
}

std::string bound(int from, int to) {
    std::string text;
    for (int id = from; id <= to; ++id) {
        if (id != from) text += ' ';
        text += key_word(key_binding[id]);
    }
    return text;
}

void keys_dialog() {
    if (!begin_modal("Keys", 0, 0)) return;
    // Both columns wrap within the text's width, room kept for a scroll bar.
    const ImGuiStyle& style = ImGui::GetStyle();
    const float width = text_width() - style.ScrollbarSize - 4 * style.CellPadding.x;
    const float keys_width = std::min(ImGui::GetFontSize() * 9, width * 0.35f);
    if (ImGui::BeginTable("keys", 2, ImGuiTableFlags_RowBg)) {
        ImGui::TableSetupColumn("keys", ImGuiTableColumnFlags_WidthFixed, keys_width);
        ImGui::TableSetupColumn("what", ImGuiTableColumnFlags_WidthFixed, width - keys_width);
        key_row(bound(control_up, control_right), "player 1 stick (Machine > Controls)");
        key_row(bound(control_a, control_c), "player 1 buttons A, B, C");
        key_row(key_word(key_binding[control_key1]) + " / " + key_word(key_binding[control_key2]),
                "start 1 / start 2 (the board's keys 1 and 2)");
        key_row(key_word(key_binding[control_key3]) + " / " + key_word(key_binding[control_key4]),
                "coin 1 / coin 2 (the board's keys 3 and 4)");
        key_row(bound(control_service, control_test), "service, test");
        key_row(bound(control_p2_up, control_p2_c), "player 2 stick and buttons (none until bound in Machine > Controls)");
        key_row(key_word(key_binding[control_fast_forward]) + " (held)", "fast forward, unheard");
        key_row("Backspace (held)", "run the game backwards");
        size_t count = 0;
        const command_entry* rows = command_rows(count);
        for (size_t i = 0; i < count; ++i)
            if (rows[i].help) key_row(rows[i].help_keys, rows[i].help);
        key_row("Escape", "close a menu or dialog");
        ImGui::EndTable();
    }
    end_modal();
}

void folder_row(const char* what, const std::string& where) {
    ImGui::TextUnformatted(what);
    ImGui::Indent();
    ImGui::TextWrapped("%s", where.c_str());
    ImGui::Unindent();
}

void files_dialog() {
    if (!begin_modal("Files and folders", 0, 0)) return;
    char here[PATH_MAX] = ".";
    if (!getcwd(here, sizeof here)) here[0] = 0;
    ImGui::TextWrapped("Mode: %s.", home.reason.c_str());
    ImGui::Spacing();
    const std::string settings = home.config_file[0] == '/' ? home.config_file : std::string(here) + "/" + home.config_file;
    folder_row("Settings, read at start and written at exit:", settings);
    folder_row("ROM files of a game, loose:", std::string(rom_dir) + "/<game>/");
    folder_row("or in a zip archive (used first when it exists):", std::string(zip_dir) + "/<game>.zip");
    folder_row("DIP switches:", std::string(dip_dir) + "/<game>.dip");
    folder_row("Saved states (F5):", std::string(state_dir) + "/<game>-<slot>.sta");
    folder_row("Screenshots (F9):", std::string(snap_dir) + "/<game>-0001.png");
    ImGui::Spacing();
    ImGui::TextWrapped("<game> is the short name, such as columns. Main > Load game... shows which "
                       "games have their files and what is missing. Relative folders start at %s.",
                       here);
    end_modal();
}

void report_dialog() {
    if (reports.empty()) return;
    const std::string name = reports.front().title + "###report";
    if (!ImGui::IsPopupOpen(name.c_str())) ImGui::OpenPopup(name.c_str());
    if (!begin_modal(name.c_str(), 0, 0)) return;
    ImGui::TextWrapped("%s", reports.front().text.c_str());
    if (end_modal("OK")) reports.pop_front();
}

}  // namespace

void open_dialog(dialog_id id) { requested = id; }

int take_escape() {
    const int pressed = escape_pressed;
    escape_pressed = 0;
    return pressed;
}

void show_report(const std::string& title, const std::string& text) {
    if (headless || !main_renderer || !ImGui::GetCurrentContext()) {
        msg_box(text.c_str(), title.c_str());
        return;
    }
    std::fprintf(stderr, "vortan: %s:\n%s\n", title.c_str(), text.c_str());
    if (reports_in_window) reports.push_back({title, text});
    want_redraw();
}

void set_reports_in_window(int on) { reports_in_window = on; }

std::string report_shown() { return reports.empty() ? "" : reports.front().text; }

void draw_dialogs() {
    if (requested >= 0) {
        if (requested == dialog_games) games_dialog_opened();
        ImGui::OpenPopup(dialog_names[requested]);
        requested = -1;
    }
    about_dialog();
    keys_dialog();
    files_dialog();
    if (begin_modal("Load a game", 600, 430)) {
        draw_games_dialog();
        ImGui::EndPopup();
    }
    if (begin_modal("Controls", 440, 470)) {
        draw_controls_dialog();
        ImGui::EndPopup();
    }
    report_dialog();
}
