#include "options.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "machine/core.h"

namespace {

constexpr const char* palette_key = "vortan_palette";
constexpr const char* service_key = "vortan_service_test";
constexpr const char* fm_model_key = "vortan_fm_model";
struct chip_option {
    const char* key;
    const char* desc;
    uint32_t bit;
};
constexpr chip_option chips[] = {
    {"vortan_sound_fm", "Sound: FM chip", channel_fm},
    {"vortan_sound_psg", "Sound: tone chip", channel_psg},
    {"vortan_sound_adpcm", "Sound: speech chip", channel_adpcm},
};

// Keys and labels of the sixteen DIP switch options, made once. The labels
// count banks and switches from 1 as the board's own do (switch 1 is bit 0);
// the keys keep counting banks from 0, so that saved option files keep
// their meaning.
struct dip_names {
    char key[2][8][24];
    char desc[2][8][40];
    dip_names() {
        for (int bank = 0; bank < 2; bank++)
            for (int sw = 0; sw < 8; sw++) {
                std::snprintf(key[bank][sw], sizeof key[bank][sw], "vortan_dip%d_%d", bank, sw + 1);
                std::snprintf(desc[bank][sw], sizeof desc[bank][sw], "DIP bank %d, switch %d", bank + 1, sw + 1);
            }
    }
};
const dip_names dips;

int game_palette = -1;  // the loaded game's own palette mode
service_buttons buttons = {RETRO_DEVICE_ID_JOYPAD_L3, RETRO_DEVICE_ID_JOYPAD_R3};

const char* value_of(retro_environment_t env, const char* key) {
    retro_variable v = {key, nullptr};
    return env(RETRO_ENVIRONMENT_GET_VARIABLE, &v) ? v.value : nullptr;
}

bool is(const char* value, const char* expected) { return value && !std::strcmp(value, expected); }

void apply_palette(retro_environment_t env) {
    const char* v = value_of(env, palette_key);
    core_set_palette_mode(is(v, "fixed") ? 0 : is(v, "dynamic") ? 1 : game_palette);
}

void apply_chips(retro_environment_t env) {
    uint32_t mask = 0;
    for (const chip_option& c : chips)
        if (!is(value_of(env, c.key), "disabled")) mask |= c.bit;
    core_set_channels(mask);
}

// A switch that is on pulls its bit low; false when the front end has no value.
bool bank_from_options(retro_environment_t env, int bank, uint8_t& value, bool& all_default) {
    value = 0xFF;
    all_default = true;
    for (int sw = 0; sw < 8; sw++) {
        const char* v = value_of(env, dips.key[bank][sw]);
        if (!v) return false;
        if (is(v, "on")) {
            value &= uint8_t(~(1u << sw));
            all_default = false;
        }
    }
    return true;
}

void apply_buttons(retro_environment_t env) {
    const char* v = value_of(env, service_key);
    buttons = is(v, "l2_r2")  ? service_buttons{RETRO_DEVICE_ID_JOYPAD_L2, RETRO_DEVICE_ID_JOYPAD_R2}
              : is(v, "l_r") ? service_buttons{RETRO_DEVICE_ID_JOYPAD_L, RETRO_DEVICE_ID_JOYPAD_R}
                             : service_buttons{RETRO_DEVICE_ID_JOYPAD_L3, RETRO_DEVICE_ID_JOYPAD_R3};
}

void set_bank(retro_environment_t env, int bank) {
    uint8_t value;
    bool all_default;
    // Only a real change marks the switches for saving.
    if (bank_from_options(env, bank, value, all_default) && value != core_dip(bank)) core_set_dip(bank, value);
}
void set_bank0(retro_environment_t env) { set_bank(env, 0); }
void set_bank1(retro_environment_t env) { set_bank(env, 1); }
// The FM model is read as a game loads; nothing changes before then.
void at_next_load(retro_environment_t) {}

// A bank whose switches are all at their default shows the file's switches.
void show_file_dips(retro_environment_t env) {
    for (int bank = 0; bank < 2; bank++) {
        uint8_t value;
        bool all_default;
        if (!bank_from_options(env, bank, value, all_default)) continue;
        if (!all_default) {
            set_bank(env, bank);
            continue;
        }
        for (int sw = 0; sw < 8; sw++) {
            retro_variable on = {dips.key[bank][sw], "on"};
            if (!((core_dip(bank) >> sw) & 1)) env(RETRO_ENVIRONMENT_SET_VARIABLE, &on);
        }
    }
}

// The options that change the machine itself, and what sets each on it.
// Both sides of a netplay session must run the same machine.
struct machine_option {
    const char* key;
    const char* desc;
    void (*apply)(retro_environment_t env);
};
std::vector<machine_option> machine_options() {
    std::vector<machine_option> list = {{palette_key, "Palette mode", apply_palette},
                                        {fm_model_key, "FM model", at_next_load}};
    for (int bank = 0; bank < 2; bank++)
        for (int sw = 0; sw < 8; sw++)
            list.push_back({dips.key[bank][sw], dips.desc[bank][sw], bank ? set_bank1 : set_bank0});
    return list;
}
const std::vector<machine_option> machine = machine_options();
std::map<std::string, std::string> applied;  // key: the value the machine took

void remember_applied(retro_environment_t env) {
    applied.clear();
    for (const machine_option& m : machine)
        if (const char* v = value_of(env, m.key)) applied[m.key] = v;
}

std::vector<retro_core_option_definition> definitions() {
    std::vector<retro_core_option_definition> list;
    list.push_back({palette_key, "Palette mode",
                    "Colours from the game's own mode, the board's fixed colour table, or palette RAM.",
                    {{"game", "As the game sets"}, {"fixed", "Fixed"}, {"dynamic", "From palette RAM"}, {}},
                    "game"});
    for (int bank = 0; bank < 2; bank++)
        for (int sw = 0; sw < 8; sw++)
            list.push_back({dips.key[bank][sw], dips.desc[bank][sw],
                            "What each switch does depends on the game; on pulls the switch's bit low.",
                            {{"off", "Off"}, {"on", "On"}, {}},
                            "off"});
    for (const chip_option& c : chips)
        list.push_back({c.key, c.desc, nullptr, {{"enabled", "On"}, {"disabled", "Off"}, {}}, "enabled"});
    list.push_back({fm_model_key, "FM model",
                    "Chip: the FM synthesizer as the chip makes it, with its timers. Classic: the model of "
                    "earlier versions. Takes effect when a game is loaded.",
                    {{"chip", "Chip"}, {"classic", "Classic"}, {}},
                    "chip"});
    list.push_back({service_key, "Service and Test buttons", "Where Service and Test sit on pad 1.",
                    {{"l3_r3", "L3 and R3"}, {"l2_r2", "L2 and R2"}, {"l_r", "L and R"}, {}},
                    "l3_r3"});
    list.push_back({});
    return list;
}

// Older front ends take "Description; first|second|..." strings instead.
void declare_plain(retro_environment_t env, const std::vector<retro_core_option_definition>& defs) {
    static std::vector<std::string> texts;
    static std::vector<retro_variable> vars;
    texts.clear();
    vars.clear();
    for (const auto& d : defs) {
        if (!d.key) break;
        std::string t = std::string(d.desc) + "; " + d.default_value;
        for (const auto& v : d.values) {
            if (!v.value) break;
            if (std::strcmp(v.value, d.default_value)) t += std::string("|") + v.value;
        }
        texts.push_back(t);
    }
    for (size_t i = 0; i < texts.size(); i++) vars.push_back({defs[i].key, texts[i].c_str()});
    vars.push_back({});
    env(RETRO_ENVIRONMENT_SET_VARIABLES, vars.data());
}

}  // namespace

void options_declare(retro_environment_t env) {
    static const std::vector<retro_core_option_definition> defs = definitions();
    unsigned version = 0;
    if (env(RETRO_ENVIRONMENT_GET_CORE_OPTIONS_VERSION, &version) && version >= 1)
        env(RETRO_ENVIRONMENT_SET_CORE_OPTIONS, const_cast<retro_core_option_definition*>(defs.data()));
    else
        declare_plain(env, defs);
}

void options_before_load(retro_environment_t env) {
    core_set_fm_model(is(value_of(env, fm_model_key), "classic") ? fm_model_classic : fm_model_chip);
}

void options_start(retro_environment_t env) {
    game_palette = core_palette_mode();
    apply_palette(env);
    apply_chips(env);
    apply_buttons(env);
    show_file_dips(env);
    remember_applied(env);
}

std::string options_update(retro_environment_t env, bool netplay) {
    apply_chips(env);
    apply_buttons(env);
    std::string refused;
    std::vector<void (*)(retro_environment_t)> to_apply;
    for (const machine_option& m : machine) {
        const char* v = value_of(env, m.key);
        auto was = applied.find(m.key);
        if (!v || (was != applied.end() && was->second == v)) continue;
        if (netplay && was != applied.end()) {
            // Put back, so the front end shows and keeps what the machine has.
            retro_variable back = {m.key, was->second.c_str()};
            env(RETRO_ENVIRONMENT_SET_VARIABLE, &back);
            if (refused.empty()) refused = m.desc;
            continue;
        }
        applied[m.key] = v;
        if (std::find(to_apply.begin(), to_apply.end(), m.apply) == to_apply.end()) to_apply.push_back(m.apply);
    }
    for (auto apply : to_apply) apply(env);
    return refused;
}

void options_after_state_load(retro_environment_t env, bool netplay) {
    if (!netplay) apply_palette(env);
}

service_buttons options_service_buttons() { return buttons; }
