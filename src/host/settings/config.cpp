// The configuration file: reading its words, applying them through the
// option table, and writing it back safely.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include "host/platform/host_system.h"
#include "host/settings/option_table.h"
#include "host/settings/options.h"
#include "common/input_limits.h"
#include "common/safe_file.h"
#include "common/regular_file.h"

namespace {

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
    const int64_t size = regular_file_size(f);
    if (size >= 0 && !within_limit(size, config_file_limit)) {
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
    write_options(f);
    if (!out.commit(why)) return save_failed(file_name, why.c_str());
    return 1;
}
