// The option globals, the configuration file and the option words shared
// with the command line.
#include <sys/stat.h>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include "host/controls.h"
#include "host/display.h"
#include "host/folders.h"
#include "host/game_load.h"
#include "host/input.h"
#include "host/option_rules.h"
#include "host/run_ahead.h"
#include "host/options.h"
#include "host/state_slots.h"
#include "common/input_limits.h"
#include "common/safe_file.h"
#include "common/regular_file.h"
#include "sound/fm_model.h"

options_record options = {320, 240, 8};

// The defaults hold from the first instruction, before set_option_defaults.
int blur, scanlines, scale, vsync, throttle = 1, skip = 1, sound_enabled = 1;
int sound_rate = default_sound_rate;
int winsize, videomem, winx, winy;
int joy1, joy1_a, joy1_b = 1, joy1_c = 2;
int joy2 = 1, joy2_a, joy2_b = 1, joy2_c = 2;
char rom_dir[option_path_size] = "./roms";
char zip_dir[option_path_size] = "./ziproms";
char dip_dir[option_path_size] = "./dip";
char snap_dir[option_path_size] = "./snap";
int fill_window, volume = 100, latency_ms = 50;
int fm_model_option = fm_model_chip;
int stretch = stretch_integer;

namespace {

enum class kind { on_off, integer, path, stretch, fm_model };

struct option_word {
    const char* word;
    kind type;
    void* target;
};

const option_word option_table[] = {
    {"-blur", kind::on_off, &blur},
    {"-scanlines", kind::on_off, &scanlines},
    {"-scale", kind::on_off, &scale},
    {"-vsync", kind::on_off, &vsync},
    {"-throttle", kind::on_off, &throttle},
    {"-skip", kind::integer, &skip},
    {"-sound", kind::on_off, &sound_enabled},
    {"-sndrate", kind::integer, &sound_rate},
    {"-winsize", kind::integer, &winsize},
    {"-videomem", kind::on_off, &videomem},
    {"-winx", kind::integer, &winx},
    {"-winy", kind::integer, &winy},
    {"-joy1", kind::integer, &joy1},
    {"-joy1_a", kind::integer, &joy1_a},
    {"-joy1_b", kind::integer, &joy1_b},
    {"-joy1_c", kind::integer, &joy1_c},
    {"-joy2", kind::integer, &joy2},
    {"-joy2_a", kind::integer, &joy2_a},
    {"-joy2_b", kind::integer, &joy2_b},
    {"-joy2_c", kind::integer, &joy2_c},
    {"-romdir", kind::path, rom_dir},
    {"-zipdir", kind::path, zip_dir},
    {"-dipdir", kind::path, dip_dir},
    {"-snapdir", kind::path, snap_dir},
    {"-statedir", kind::path, state_dir},
    {"-rewind", kind::on_off, &rewind_enabled},
    {"-rewindsecs", kind::integer, &rewind_seconds},
    {"-fillwindow", kind::on_off, &fill_window},
    {"-stretch", kind::stretch, &stretch},
    {"-runahead", kind::integer, &run_ahead},
    {"-recent", kind::path, recent_games},
    {"-showspeed", kind::on_off, &show_speed},
    {"-volume", kind::integer, &volume},
    {"-latency", kind::integer, &latency_ms},
    {"-fm", kind::fm_model, &fm_model_option},
};

const option_word* find_option(const char* word) {
    for (const option_word& o : option_table)
        if (strcasecmp(o.word, word) == 0) return &o;
    return nullptr;
}

void copy_path(char* dest, const char* value) {
    std::snprintf(dest, option_path_size, "%s", value);
}

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

int joystick_to_save(const joystick_choice& c) {
    // Changed since it was read: the new value is the user's.
    return *c.index == c.given ? c.asked : *c.index;
}

const char* on_off(int value) { return value ? "on" : "off"; }

const char* fm_model_word(int model) { return model == fm_model_classic ? "classic" : "chip"; }

void apply_fm_model(const char* value) {
    if (strcasecmp(value, "chip") == 0) fm_model_option = fm_model_chip;
    else if (strcasecmp(value, "classic") == 0) fm_model_option = fm_model_classic;
    else {
        refuse_option("-fm", value, "chip or classic", "chip");
        fm_model_option = fm_model_chip;
    }
}

const char* const stretch_words[] = {"integer", "4:3", "fill"};

void apply_stretch(const char* value) {
    for (int mode = stretch_integer; mode <= stretch_fill; ++mode)
        if (strcasecmp(value, stretch_words[mode]) == 0) return set_stretch(mode);
    refuse_option("-stretch", value, "integer, 4:3 or fill", stretch_word(stretch));
}

// An older word switched on picks its mode; switched off it leaves only
// its own mode.
void apply_old_stretch_word(int on, int mode) {
    if (on)
        set_stretch(mode);
    else if (stretch == mode)
        set_stretch(stretch_integer);
}

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

struct word_problems {
    int cut;       // a word longer than config_word_size
    int unclosed;  // a quote with no closing quote on its line
};

// The next word of the file into word; 0 at the end of the file. A quoted
// word with no closing quote ends at the line end.
int next_word(FILE* f, std::string& word, word_problems& problems) {
    word.clear();
    auto add = [&](int c) {
        if (word.size() < config_word_size)
            word.push_back((char)c);
        else
            problems.cut = 1;
    };
    int c;
    do c = std::fgetc(f);
    while (c != EOF && std::isspace((unsigned char)c));
    if (c == EOF) return 0;
    if (c != '"') {
        do {
            add(c);
            c = std::fgetc(f);
        } while (c != EOF && !std::isspace((unsigned char)c));
        return 1;
    }
    for (;;) {
        c = std::fgetc(f);
        if (c == EOF || c == '\n') {
            problems.unclosed = 1;
            return 1;
        }
        if (c == '"') return 1;
        if (c == '\\') {
            int next = std::fgetc(f);
            if (next == '"' || next == '\\')
                c = next;
            else if (next != EOF)
                std::ungetc(next, f);
        }
        add(c);
    }
}

// A file too large to be read is not ours: it is not written over either.
std::string refused_file;

int save_failed(const char* file_name, const char* why) {
    char text[512];
    std::snprintf(text, sizeof text, "The settings could not be saved to %s: %s", file_name, why);
    std::fprintf(stderr, "vortan: %s\n", text);
    msg_box(text, "Error saving");
    return 0;
}

}  // namespace

void set_option_defaults() {
    options = {320, 240, 8};
    blur = 0;
    scanlines = 0;
    scale = 0;
    vsync = 0;
    // A first run plays at the right speed and with sound.
    throttle = 1;
    skip = 1;
    sound_enabled = 1;
    sound_rate = default_sound_rate;
    winsize = 0;  // the first window suits the screen
    videomem = 0;
    winx = 0;
    winy = 0;
    joy1 = 0;
    joy1_a = 0;
    joy1_b = 1;
    joy1_c = 2;
    joy2 = 1;
    joy2_a = 0;
    joy2_b = 1;
    joy2_c = 2;
    // "./roms" and so on in the current folder, as ever; per user, below
    // the data folder.
    copy_path(rom_dir, (home.data + "/roms").c_str());
    copy_path(zip_dir, (home.data + "/ziproms").c_str());
    copy_path(dip_dir, (home.data + "/dip").c_str());
    copy_path(snap_dir, (home.data + "/snap").c_str());
    copy_path(state_dir, (home.data + "/sta").c_str());
    rewind_enabled = 1;
    rewind_seconds = 30;
    set_stretch(stretch_integer);
    run_ahead = 0;
    show_speed = 0;
    recent_games[0] = 0;
    volume = 100;
    latency_ms = 50;
    fm_model_option = fm_model_chip;
    set_default_bindings();
    for (joystick_choice& c : joystick_choices) c.asked = c.given = *c.index;
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

int check_bool(const char* word) {
    return (strcasecmp(word, "off") == 0 || strcasecmp(word, "no") == 0) ? 0 : 1;
}

int parse_int(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\f' ||
           *text == '\v')
        ++text;
    int negative = 0;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10 + (*text++ - '0');
        if (value > INT_MAX) value = (long long)INT_MAX + 1;  // saturate, never overflow
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return (int)value;
}

int is_option_word(const char* word) {
    return find_option(word) != nullptr || is_key_option_word(word);
}

std::string option_value_text(const char* word) {
    const option_word* o = find_option(word);
    if (!o) return key_option_text(word);
    switch (o->type) {
        case kind::on_off: return on_off(*(int*)o->target);
        case kind::integer: return std::to_string(*(int*)o->target);
        case kind::path: return (const char*)o->target;
        case kind::stretch: return stretch_word(stretch);
    }
    return "";
}

int apply_option(const char* word, const char* value) {
    const option_word* o = find_option(word);
    if (!o) return apply_key_option(word, value);
    switch (o->type) {
        case kind::on_off: *(int*)o->target = check_bool(value); break;
        case kind::integer:
            *(int*)o->target = parse_int(value);
            check_option_range(o->word, value, *(int*)o->target);
            break;
        case kind::path: copy_path((char*)o->target, value); break;
        case kind::fm_model: apply_fm_model(value); break;
        case kind::stretch: apply_stretch(value); break;
    }
    if (o->target == &scale) apply_old_stretch_word(scale, stretch_aspect);
    if (o->target == &fill_window) apply_old_stretch_word(fill_window, stretch_fill);
    for (joystick_choice& c : joystick_choices)
        if (o->target == c.index) {
            c.asked = *c.index;
            c.given = *c.index = check_joystick(c.asked);
        }
    if (o->target == &rewind_seconds && (rewind_seconds < 1 || rewind_seconds > rewind_seconds_limit)) {
        std::fprintf(stderr, "vortan: -rewindsecs %s: the rewind must last 1 to %d seconds; 30 is used\n",
                     value, rewind_seconds_limit);
        rewind_seconds = 30;
    }
    // Any other rate makes frames of no sound or of hundreds of megabytes.
    if (o->target == &sound_rate && !sound_rate_offered(sound_rate)) {
        std::fprintf(stderr, "vortan: -sndrate %s: the sound rate must be %s; %d is used\n", value,
                     sound_rates_text, default_sound_rate);
        sound_rate = default_sound_rate;
    }
    return 1;
}

void finish_options() {
    if (scale && scanlines) scale = 0;
}

int parse_file(const char* file_name, std::vector<std::string>& tokens) {
    tokens.clear();
    if (refused_file == file_name) refused_file.clear();
    const char* why = nullptr;
    FILE* f = open_regular_file(file_name, &why);
    if (!f) {
        // No file at all is the first run's usual case.
        if (errno != ENOENT) std::fprintf(stderr, "vortan: %s: %s, not read\n", file_name, why);
        return 0;
    }
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && !within_limit(st.st_size, config_file_limit)) {
        std::fprintf(stderr, "vortan: %s; it is not read and the defaults are used\n",
                     input_too_large(file_name, config_file_limit).c_str());
        std::fclose(f);
        refused_file = file_name;
        return 0;
    }
    std::string word;
    word_problems problems = {};
    while (next_word(f, word, problems)) tokens.push_back(word);
    int failed = std::ferror(f);
    std::fclose(f);
    if (problems.unclosed)
        std::fprintf(stderr, "%s: a quoted word has no closing quote; it ends at its line end\n",
                     file_name);
    if (problems.cut)
        std::fprintf(stderr, "%s: words longer than %zu characters were cut\n", file_name,
                     config_word_size);
    if (failed) std::fprintf(stderr, "%s: read error, the rest of the file is ignored\n", file_name);
    return 1;
}

void parse_args(const std::vector<std::string>& tokens) {
    // Every token is looked at, values included; an option as the very last
    // word has no value and is ignored.
    for (size_t i = 0; i + 1 < tokens.size(); ++i)
        apply_option(tokens[i].c_str(), tokens[i + 1].c_str());
    finish_options();
}

void do_config(const char* file_name) {
    set_option_defaults();
    std::vector<std::string> tokens;
    parse_file(file_name, tokens);
    parse_args(tokens);
}

int save_config(const char* file_name) {
    if (refused_file == file_name) {
        std::fprintf(stderr, "vortan: %s was not read, so the settings of this run are not saved over it\n",
                     file_name);
        return 1;
    }
    // Written beside the old file and moved over it, so a failed write
    // never leaves the user with half a configuration.
    safe_file out;
    std::string why;
    if (!out.open(file_name, why)) {
        if (!out.refused_read_only()) return save_failed(file_name, why.c_str());
        std::fprintf(stderr, "vortan: %s is read-only: the settings of this run were not saved\n",
                     file_name);
        return 1;
    }
    FILE* f = out.stream();
    std::fprintf(f, "-scale %s\n", on_off(scale));
    std::fprintf(f, "-vsync %s\n", on_off(vsync));
    std::fprintf(f, "-throttle %s\n", on_off(throttle));
    std::fprintf(f, "-skip %d\n", skip);
    std::fprintf(f, "-sound %s\n", on_off(sound_enabled));
    std::fprintf(f, "-winsize %d\n", winsize);
    std::fprintf(f, "-videomem %s\n", on_off(videomem));
    std::fprintf(f, "-winx %d\n", winx);
    std::fprintf(f, "-winy %d\n", winy);
    std::fprintf(f, "-sndrate %d\n", sound_rate);
    std::fprintf(f, "-blur %s\n", on_off(blur));
    std::fprintf(f, "-joy1 %d\n-joy1_a %d\n-joy1_b %d\n-joy1_c %d\n",
                 joystick_to_save(joystick_choices[0]), joy1_a, joy1_b, joy1_c);
    std::fprintf(f, "-joy2 %d\n-joy2_a %d\n-joy2_b %d\n-joy2_c %d\n",
                 joystick_to_save(joystick_choices[1]), joy2_a, joy2_b, joy2_c);
    std::fprintf(f, "-scanlines %s\n", on_off(scanlines));
    write_path(f, "-romdir", rom_dir);
    write_path(f, "-zipdir", zip_dir);
    write_path(f, "-dipdir", dip_dir);
    write_path(f, "-snapdir", snap_dir);
    write_path(f, "-statedir", state_dir);
    std::fprintf(f, "-rewind %s\n-rewindsecs %d\n", on_off(rewind_enabled), rewind_seconds);
    std::fprintf(f, "-fillwindow %s\n-volume %d\n-latency %d\n", on_off(fill_window), volume,
                 latency_ms);
    std::fprintf(f, "-fm %s\n", fm_model_word(fm_model_option));
    std::fprintf(f, "-stretch %s\n-runahead %d\n-showspeed %s\n", stretch_word(stretch), run_ahead,
                 on_off(show_speed));
    if (*recent_games) write_path(f, "-recent", recent_games);
    write_key_options(f);
    if (!out.commit(why)) return save_failed(file_name, why.c_str());
    return 1;
}
