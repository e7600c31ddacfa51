// The option globals, their table, and applying, showing and writing one
// option from it.
#include "host/settings/option_table.h"
#include <cctype>
#include <cstring>
#include <strings.h>
#include "host/settings/controls.h"
#include "host/settings/folders.h"
#include "host/platform/host_system.h"
#include "host/settings/option_rules.h"
#include "host/settings/options.h"
#include "machine/core.h"

options_record options;

int blur, scanlines, scale, vsync, throttle, skip, sound_enabled;
int sound_rate;
int winsize, videomem, winx, winy;
int joy1, joy1_a, joy1_b, joy1_c;
int joy2, joy2_a, joy2_b, joy2_c;
char rom_dir[option_path_size];
char zip_dir[option_path_size];
char dip_dir[option_path_size];
char snap_dir[option_path_size];
int fill_window, volume, latency_ms;
int fm_model_option;
int stretch;
char state_dir[option_path_size];
int rewind_enabled, rewind_seconds;
int run_ahead;
int show_speed;
char recent_games[option_path_size];

namespace {

const char* on_off(int value) { return value ? "on" : "off"; }

const char* fm_model_word(int model) { return model == fm_model_classic ? "classic" : "chip"; }

const char* const stretch_words[] = {"integer", "4:3", "fill"};

// A joystick index names one of the devices found, or the one just past them.
int check_joystick(int index) {
    return (index < 0 || index > joypad_count) ? 0 : index;
}

// The joystick a player asked for is kept for the file even when this run
// found no such device; the index used is the checked one.
struct joystick_choice {
    int* index;
    int asked;
    int given;
};
joystick_choice joystick_choices[] = {{&joy1, 0, 0}, {&joy2, 1, 1}};

void check_joystick_choice(joystick_choice& c) {
    c.asked = *c.index;
    c.given = *c.index = check_joystick(c.asked);
}
void joy1_applied() { check_joystick_choice(joystick_choices[0]); }
void joy2_applied() { check_joystick_choice(joystick_choices[1]); }

int joystick_to_save(const joystick_choice& c) {
    // Changed since it was read: the new value is the user's.
    return *c.index == c.given ? c.asked : *c.index;
}
void save_joy1(FILE* f, const option_entry& e) { std::fprintf(f, "%s %d\n", e.word, joystick_to_save(joystick_choices[0])); }
void save_joy2(FILE* f, const option_entry& e) { std::fprintf(f, "%s %d\n", e.word, joystick_to_save(joystick_choices[1])); }

// An older word switched on picks its mode; switched off it leaves only
// its own mode.
void apply_old_stretch_word(int on, int mode) {
    if (on)
        set_stretch(mode);
    else if (stretch == mode)
        set_stretch(stretch_integer);
}
void scale_applied() { apply_old_stretch_word(scale, stretch_aspect); }
void fill_window_applied() { apply_old_stretch_word(fill_window, stretch_fill); }

// A directory that is empty, holds a blank or starts with a quote is written
// quoted. A line end cannot be kept, so such a directory is left out (the
// default applies again).
void write_path(FILE* f, const char* word, const char* path) {
    if (std::strchr(path, '\n')) {
        std::fprintf(stderr, "%s \"%s\" cannot be kept in the configuration file\n", word, path);
        return;
    }
    int plain = *path != 0 && *path != '"';
    for (const char* p = path; *p; ++p)
        if (std::isspace((unsigned char)*p)) plain = 0;
    if (plain) {
        std::fprintf(f, "%s %s\n", word, path);
        return;
    }
    std::string quoted = "\"";
    for (const char* p = path; *p; ++p) {
        if (*p == '"' || *p == '\\') quoted += '\\';
        quoted += *p;
    }
    std::fprintf(f, "%s %s\"\n", word, quoted.c_str());
}

// No recent game is no line at all.
void save_recent(FILE* f, const option_entry& e) {
    if (*recent_games) write_path(f, e.word, recent_games);
}

constexpr int any_low = 1, any_high = 0;
static_assert(rewind_seconds_limit == 600, "the -rewindsecs refusal names the limit");

constexpr option_entry entries[] = {
    // word, kind, target, default, folder, low, high, allowed, help, save, applied
    {"-scale", option_kind::on_off, &scale, 0, nullptr, any_low, any_high, nullptr, "on|off", nullptr, scale_applied},
    {"-vsync", option_kind::on_off, &vsync, 0, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    // A first run plays at the right speed and with sound.
    {"-throttle", option_kind::on_off, &throttle, 1, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    {"-skip", option_kind::integer, &skip, 1, nullptr, 1, 4, "1 to 4", "1-4", nullptr, nullptr},
    {"-sound", option_kind::on_off, &sound_enabled, 1, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    // 0: the first window suits the screen.
    {"-winsize", option_kind::integer, &winsize, 0, nullptr, 0, 6, "1 to 6, or 0 for the size that suits the screen", "0-6", nullptr, nullptr},
    {"-videomem", option_kind::on_off, &videomem, 0, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    // Far beyond any screen, and small enough that placing the window
    // cannot overflow.
    {"-winx", option_kind::integer, &winx, 0, nullptr, -window_position_limit, window_position_limit, "-65536 to 65536 (pixels)", "X", nullptr, nullptr},
    {"-winy", option_kind::integer, &winy, 0, nullptr, -window_position_limit, window_position_limit, "-65536 to 65536 (pixels)", "Y", nullptr, nullptr},
    // Any other rate makes frames of no sound or of hundreds of megabytes.
    {"-sndrate", option_kind::sound_rate, &sound_rate, default_sound_rate, nullptr, any_low, any_high, sound_rates_text, "11025|22050|44100|48000", nullptr, nullptr},
    {"-blur", option_kind::on_off, &blur, 0, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    {"-joy1", option_kind::integer, &joy1, 0, nullptr, any_low, any_high, nullptr, "N", save_joy1, joy1_applied},
    {"-joy1_a", option_kind::integer, &joy1_a, 0, nullptr, 0, 31, "0 to 31 (a joystick button)", "N", nullptr, nullptr},
    {"-joy1_b", option_kind::integer, &joy1_b, 1, nullptr, 0, 31, "0 to 31 (a joystick button)", "N", nullptr, nullptr},
    {"-joy1_c", option_kind::integer, &joy1_c, 2, nullptr, 0, 31, "0 to 31 (a joystick button)", "N", nullptr, nullptr},
    {"-joy2", option_kind::integer, &joy2, 1, nullptr, any_low, any_high, nullptr, "N", save_joy2, joy2_applied},
    {"-joy2_a", option_kind::integer, &joy2_a, 0, nullptr, 0, 31, "0 to 31 (a joystick button)", "N", nullptr, nullptr},
    {"-joy2_b", option_kind::integer, &joy2_b, 1, nullptr, 0, 31, "0 to 31 (a joystick button)", "N", nullptr, nullptr},
    {"-joy2_c", option_kind::integer, &joy2_c, 2, nullptr, 0, 31, "0 to 31 (a joystick button)", "N", nullptr, nullptr},
    {"-scanlines", option_kind::on_off, &scanlines, 0, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    {"-romdir", option_kind::path, rom_dir, 0, "roms", any_low, any_high, nullptr, "DIR", nullptr, nullptr},
    {"-zipdir", option_kind::path, zip_dir, 0, "ziproms", any_low, any_high, nullptr, "DIR", nullptr, nullptr},
    {"-dipdir", option_kind::path, dip_dir, 0, "dip", any_low, any_high, nullptr, "DIR", nullptr, nullptr},
    {"-snapdir", option_kind::path, snap_dir, 0, "snap", any_low, any_high, nullptr, "DIR", nullptr, nullptr},
    {"-statedir", option_kind::path, state_dir, 0, "sta", any_low, any_high, nullptr, "DIR", nullptr, nullptr},
    {"-rewind", option_kind::on_off, &rewind_enabled, 1, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    {"-rewindsecs", option_kind::integer, &rewind_seconds, 30, nullptr, 1, rewind_seconds_limit, "1 to 600 (seconds)", "1-600", nullptr, nullptr},
    {"-fillwindow", option_kind::on_off, &fill_window, 0, nullptr, any_low, any_high, nullptr, "on|off", nullptr, fill_window_applied},
    {"-volume", option_kind::integer, &volume, 100, nullptr, 0, 100, "0 to 100 (percent)", "0-100", nullptr, nullptr},
    {"-latency", option_kind::integer, &latency_ms, 50, nullptr, min_latency_ms, 500, "17 to 500 (milliseconds; 17 is one frame)", "17-500 (ms of sound ahead)", nullptr, nullptr},
    {"-fm", option_kind::fm_model, &fm_model_option, fm_model_chip, nullptr, any_low, any_high, "chip or classic", "chip|classic (the FM synthesizer's model, from the next game loaded)", nullptr, nullptr},
    {"-stretch", option_kind::stretch, &stretch, stretch_integer, nullptr, any_low, any_high, "integer, 4:3 or fill", "integer|4:3|fill", nullptr, nullptr},
    {"-runahead", option_kind::integer, &run_ahead, 0, nullptr, 0, 2, "0, 1 or 2 (frames)", "0-2", nullptr, nullptr},
    {"-showspeed", option_kind::on_off, &show_speed, 0, nullptr, any_low, any_high, nullptr, "on|off", nullptr, nullptr},
    {"-recent", option_kind::path, recent_games, 0, nullptr, any_low, any_high, nullptr, "NAMES", save_recent, nullptr},
};

int& number(const option_entry& e) { return *static_cast<int*>(e.target); }
char* path(const option_entry& e) { return static_cast<char*>(e.target); }

void copy_path(char* dest, const char* value) {
    std::snprintf(dest, option_path_size, "%s", value);
}

void set_defaults(const std::string& data_folder) {
    for (const option_entry& e : entries) {
        if (e.kind != option_kind::path)
            number(e) = e.default_value;
        else if (e.default_folder)
            copy_path(path(e), (data_folder + "/" + e.default_folder).c_str());
        else
            *path(e) = 0;
    }
    set_stretch(stretch);
    options = {320, 240, 8};
}

// The defaults hold from the first instruction, before set_option_defaults.
const int defaults_at_start = (set_defaults("."), 0);

void refuse(const option_entry& e, const char* value, const std::string& used) {
    refuse_option(e.word, value, e.allowed, used);
}

void apply_value(const option_entry& e, const char* value) {
    switch (e.kind) {
    case option_kind::on_off: number(e) = check_bool(value); break;
    case option_kind::integer:
        number(e) = parse_int(value);
        if (e.low <= e.high && (number(e) < e.low || number(e) > e.high)) {
            refuse(e, value, std::to_string(e.default_value));
            number(e) = e.default_value;
        }
        break;
    case option_kind::sound_rate:
        number(e) = parse_int(value);
        if (!sound_rate_offered(number(e))) {
            refuse(e, value, std::to_string(e.default_value));
            number(e) = e.default_value;
        }
        break;
    case option_kind::path: copy_path(path(e), value); break;
    case option_kind::fm_model:
        if (strcasecmp(value, "chip") == 0) fm_model_option = fm_model_chip;
        else if (strcasecmp(value, "classic") == 0) fm_model_option = fm_model_classic;
        else {
            refuse(e, value, fm_model_word(e.default_value));
            fm_model_option = e.default_value;
        }
        break;
    case option_kind::stretch:
        for (int mode = stretch_integer; mode <= stretch_fill; ++mode)
            if (strcasecmp(value, stretch_words[mode]) == 0) return set_stretch(mode);
        refuse(e, value, stretch_word(stretch));
        break;
    }
}

std::string value_text(const option_entry& e) {
    switch (e.kind) {
    case option_kind::on_off: return on_off(number(e));
    case option_kind::integer:
    case option_kind::sound_rate: return std::to_string(number(e));
    case option_kind::path: return path(e);
    case option_kind::stretch: return stretch_word(stretch);
    case option_kind::fm_model: return fm_model_word(fm_model_option);
    }
    return "";
}

}  // namespace

std::span<const option_entry> option_entries() { return entries; }

const option_entry* find_option_entry(const char* word) {
    for (const option_entry& e : entries)
        if (strcasecmp(e.word, word) == 0) return &e;
    return nullptr;
}

void apply_option_defaults(const std::string& data_folder) {
    set_defaults(data_folder);
    set_default_bindings();
    for (joystick_choice& c : joystick_choices) c.asked = c.given = *c.index;
}

void set_option_defaults() {
    // "./roms" and so on in the current folder, as ever; per user, below
    // the data folder.
    apply_option_defaults(home.data);
}

void set_stretch(int mode) {
    stretch = mode >= stretch_integer && mode <= stretch_fill ? mode : stretch_integer;
    scale = stretch == stretch_aspect;
    fill_window = stretch == stretch_fill;
}

const char* stretch_word(int mode) { return stretch_words[mode == stretch_aspect || mode == stretch_fill ? mode : 0]; }

int sound_rate_offered(int rate) {
    for (int r : sound_rates)
        if (r == rate) return 1;
    return 0;
}

int is_option_word(const char* word) {
    return find_option_entry(word) != nullptr || is_key_option_word(word);
}

std::string option_value_text(const char* word) {
    const option_entry* e = find_option_entry(word);
    return e ? value_text(*e) : key_option_text(word);
}

int apply_option(const char* word, const char* value) {
    const option_entry* e = find_option_entry(word);
    if (!e) return apply_key_option(word, value);
    apply_value(*e, value);
    if (e->applied) e->applied();
    return 1;
}

void finish_options() {
    if (scale && scanlines) scale = 0;
}

void write_options(FILE* f) {
    for (const option_entry& e : entries) {
        if (e.save)
            e.save(f, e);
        else if (e.kind == option_kind::path)
            write_path(f, e.word, path(e));
        else
            std::fprintf(f, "%s %s\n", e.word, value_text(e).c_str());
    }
    write_key_options(f);
}

std::string option_help_lines() {
    constexpr size_t width = 80;
    std::string out, line;
    for (const option_entry& e : entries) {
        const std::string item = std::string(e.word) + " " + e.help;
        if (!line.empty() && line.size() + 2 + item.size() > width) {
            out += line + "\n";
            line.clear();
        }
        line += "  " + item;
    }
    return out + line + "\n";
}
