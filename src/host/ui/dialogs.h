// The window's dialogs, drawn with Dear ImGui inside the menu's frame. Each
// holds the emulation while it is open, as an open menu does.
#pragma once
#include <string>

enum dialog_id { dialog_about, dialog_games, dialog_controls, dialog_keys, dialog_files };
void open_dialog(dialog_id id);

// A report the user must see (a load that failed, options refused): in the
// window when there is one, one after another; otherwise as a message box.
// Always on stderr too.
void show_report(const std::string& title, const std::string& text);
// The report in front, "" when none waits.
std::string report_shown();
// A run of a set number of frames has no one to read a report: with 0,
// reports go to stderr only and never hold the emulation.
void set_reports_in_window(int on);

// Escape closes the menu or dialog in front: the key sets it, the first
// one drawn in the next frame takes it.
extern int escape_pressed;
int take_escape();

void draw_dialogs();

// The bodies of the larger dialogs, drawn inside their modal window.
void games_dialog_opened();  // looks for every game's files again
void draw_games_dialog();
void draw_controls_dialog();
