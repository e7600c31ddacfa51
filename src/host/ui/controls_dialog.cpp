// The Controls dialog: every control with its key and joystick binding.
#include "host/ui/controls_dialog.h"
#include <SDL.h>
#include <imgui.h>
#include <string>
#include "host/settings/controls.h"
#include "host/ui/dialogs.h"
#include "host/input/input.h"
#include "host/settings/options.h"

namespace {

// The joystick buttons that can be bound: A, B and C of each player.
int* const joy_buttons[] = {&joy1_a, &joy1_b, &joy1_c, &joy2_a, &joy2_b, &joy2_c};
const char* const button_names[] = {"Button A", "Button B", "Button C"};

int waiting_key = -1;  // the control whose key comes next
int waiting_joy = -1;  // the joystick button that comes next
std::string status;

void stop_waiting() {
    waiting_key = waiting_joy = -1;
}

const char* key_label(int id) {
    static std::string label;
    label = waiting_key == id ? "press a key..." : key_word(key_binding[id]);
    return label.c_str();
}

void key_cell(int id) {
    ImGui::PushID(id);
    if (ImGui::Button(key_label(id), ImVec2(120, 0))) {
        stop_waiting();
        waiting_key = id;
        status.clear();
    }
    ImGui::PopID();
}

void joy_cell(int index) {
    ImGui::PushID(100 + index);
    const std::string label = waiting_joy == index ? "press a button..." : "button " + std::to_string(*joy_buttons[index]);
    if (ImGui::Button(label.c_str(), ImVec2(120, 0))) {
        stop_waiting();
        waiting_joy = index;
        status.clear();
    }
    ImGui::PopID();
}

void row(const char* name) {
    ImGui::TableNextRow();
    ImGui::TableNextColumn();
    ImGui::TextUnformatted(name);
    ImGui::TableNextColumn();
}

void heading(const char* text) {
    ImGui::TableNextRow();
    ImGui::TableNextColumn();
    ImGui::TextDisabled("%s", text);
}

void player_rows(int player) {
    heading(player == 1 ? "Player 1" : "Player 2");
    static const char* const directions[] = {"Up", "Down", "Left", "Right"};
    for (int d = 0; d < 4; ++d) {
        row(directions[d]);
        key_cell((player == 1 ? control_up : control_p2_up) + d);
        ImGui::TableNextColumn();
        ImGui::TextUnformatted("stick");
    }
    for (int b = 0; b < 3; ++b) {
        row(button_names[b]);
        key_cell((player == 1 ? control_a : control_p2_a) + b);
        ImGui::TableNextColumn();
        joy_cell((player - 1) * 3 + b);
    }
}

}  // namespace

int controls_take_key(int scancode) {
    if (waiting_key < 0 && waiting_joy < 0) return 0;
    if (scancode == SDL_SCANCODE_ESCAPE) {
        stop_waiting();
        return 1;
    }
    if (waiting_key >= 0 && scancode == SDL_SCANCODE_DELETE) {
        key_binding[waiting_key] = 0;  // Delete leaves the control without a key
        stop_waiting();
    } else if (waiting_key >= 0) {
        std::string why;
        status = bind_key(waiting_key, scancode, why) ? "" : why;
        stop_waiting();
    } else {
        status = "Press a button of the joystick, or Escape.";
    }
    return 1;
}

int controls_take_button(int button) {
    if (waiting_joy < 0) return 0;
    *joy_buttons[waiting_joy] = button;
    stop_waiting();
    return 1;
}

void draw_controls_dialog() {
    ImGui::TextWrapped("Click a binding, then press the new key or joystick button (Delete: no key). Player 1 uses "
                       "joystick %d, player 2 joystick %d (-joy1, -joy2); %d found.",
                       joy1, joy2, joypad_count);
    ImGui::BeginChild("controls", ImVec2(0, -ImGui::GetFrameHeightWithSpacing() * (status.empty() ? 1 : 2) - 4));
    if (ImGui::BeginTable("controls", 3)) {
        ImGui::TableSetupColumn("Control");
        ImGui::TableSetupColumn("Key");
        ImGui::TableSetupColumn("Joystick");
        ImGui::TableHeadersRow();
        player_rows(1);
        heading("System");
        for (int id = control_key1; id <= control_test; ++id) {
            row(control(id).label);
            key_cell(id);
            ImGui::TableNextColumn();
        }
        player_rows(2);
        heading("Program");
        row(control(control_fast_forward).label);
        key_cell(control_fast_forward);
        ImGui::TableNextColumn();
        ImGui::EndTable();
    }
    ImGui::EndChild();
    if (!status.empty()) ImGui::TextWrapped("%s", status.c_str());
    ImGui::Separator();
    if (ImGui::Button("Defaults")) {
        set_default_bindings();
        for (int i = 0; i < 6; ++i) *joy_buttons[i] = i % 3;
        stop_waiting();
        status.clear();
    }
    ImGui::SameLine();
    if (ImGui::Button("Close") || take_escape()) {
        stop_waiting();
        ImGui::CloseCurrentPopup();
    }
}
