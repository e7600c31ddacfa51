// The option globals, the configuration file and the option words shared
// with the command line.
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include "host/controls.h"
#include "host/input.h"
#include "host/option_rules.h"
#include "host/options.h"

options_record options = {320, 240, 8};

// The defaults hold from the first instruction, before set_option_defaults.
int blur, scanlines, scale, vsync, throttle = 1, skip = 1, sound_enabled = 1, sound_rate = 44100;
int winsize = 1, videomem, winx, winy;
int joy1, joy1_a, joy1_b = 1, joy1_c = 2;
int joy2 = 1, joy2_a, joy2_b = 1, joy2_c = 2;
char rom_dir[option_path_size] = "./roms";
char zip_dir[option_path_size] = "./ziproms";
char dip_dir[option_path_size] = "./dip";
char snap_dir[option_path_size] = "./snap";
int fill_window, volume = 100, latency_ms = 50;

namespace {

enum class kind { on_off, integer, path };

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
    {"-fillwindow", kind::on_off, &fill_window},
    {"-volume", kind::integer, &volume},
    {"-latency", kind::integer, &latency_ms},
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

const char* on_off(int value) { return value ? "on" : "off"; }

// The file has no quoting: a directory that is empty or holds a blank would
// read back as other words, so it is left out (the default applies again).
void write_path(FILE* f, const char* word, const char* path) {
    int plain = *path != 0;
    for (const char* p = path; *p; ++p)
        if (std::isspace((unsigned char)*p)) plain = 0;
    if (plain)
        std::fprintf(f, "%s %s\n", word, path);
    else
        std::fprintf(stderr, "%s \"%s\" cannot be kept in the configuration file\n", word, path);
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
    sound_rate = 44100;
    winsize = 1;
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
    copy_path(rom_dir, "./roms");
    copy_path(zip_dir, "./ziproms");
    copy_path(dip_dir, "./dip");
    copy_path(snap_dir, "./snap");
    fill_window = 0;
    volume = 100;
    latency_ms = 50;
    set_default_bindings();
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
    }
    if (o->target == &joy1) joy1 = check_joystick(joy1);
    if (o->target == &joy2) joy2 = check_joystick(joy2);
    return 1;
}

void finish_options() {
    if (scale && scanlines) scale = 0;
}

int parse_file(const char* file_name, std::vector<std::string>& tokens) {
    tokens.clear();
    FILE* f = std::fopen(file_name, "r");
    if (!f) return 0;
    std::string word;
    int cut = 0;
    for (;;) {
        int c = std::fgetc(f);
        if (c == EOF || std::isspace((unsigned char)c)) {
            if (!word.empty()) tokens.push_back(word);
            word.clear();
            if (c == EOF) break;
            continue;
        }
        if (word.size() < config_word_size)
            word.push_back((char)c);
        else
            cut = 1;
    }
    int failed = std::ferror(f);
    std::fclose(f);
    if (cut)
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
    // Written beside the old file and moved over it, so a failed write
    // never leaves the user with half a configuration.
    std::string temp = std::string(file_name) + ".new";
    FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) return 0;
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
    std::fprintf(f, "-joy1 %d\n-joy1_a %d\n-joy1_b %d\n-joy1_c %d\n", joy1, joy1_a, joy1_b, joy1_c);
    std::fprintf(f, "-joy2 %d\n-joy2_a %d\n-joy2_b %d\n-joy2_c %d\n", joy2, joy2_a, joy2_b, joy2_c);
    std::fprintf(f, "-scanlines %s\n", on_off(scanlines));
    write_path(f, "-romdir", rom_dir);
    write_path(f, "-zipdir", zip_dir);
    write_path(f, "-dipdir", dip_dir);
    write_path(f, "-snapdir", snap_dir);
    std::fprintf(f, "-fillwindow %s\n-volume %d\n-latency %d\n", on_off(fill_window), volume,
                 latency_ms);
    write_key_options(f);
    int ok = std::fflush(f) == 0 && !std::ferror(f);
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), file_name) != 0) {
        std::remove(temp.c_str());
        return 0;
    }
    return 1;
}
