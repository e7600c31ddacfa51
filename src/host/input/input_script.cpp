// The scripted input of -playback and -record: lines of
// "FRAME CONTROL...", the controls held from FRAME until the next line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include "common/input_limits.h"
#include "common/regular_file.h"
#include "common/safe_file.h"
#include "host/input/input.h"
#include "machine/core.h"

uint32_t held_p1;
uint32_t held_p2;
uint32_t held_system;

namespace {

struct control_word {
    const char* name;
    int word;  // 0 p1, 1 p2, 2 system
    uint32_t bit;
};

const control_word controls[] = {
    {"p1.up", 0, input_up},       {"p1.down", 0, input_down}, {"p1.left", 0, input_left},
    {"p1.right", 0, input_right}, {"p1.a", 0, input_a},       {"p1.b", 0, input_b},
    {"p1.c", 0, input_c},         {"p2.up", 1, input_up},     {"p2.down", 1, input_down},
    {"p2.left", 1, input_left},   {"p2.right", 1, input_right}, {"p2.a", 1, input_a},
    {"p2.b", 1, input_b},         {"p2.c", 1, input_c},       {"key1", 2, input_key1},
    {"key2", 2, input_key2},      {"key3", 2, input_key3},    {"key4", 2, input_key4},
    {"service", 2, input_service}, {"test", 2, input_test},
};

std::vector<input_script_line> playback;
size_t playback_next;
int playing;

safe_file record_out;
int recording;
int record_failed;
uint32_t recorded[3];
int recorded_any;

int read_text(const char* file_name, std::string& text, std::string& error) {
    const char* why = "";
    FILE* f = open_regular_file(file_name, &why);
    if (!f) {
        error = std::string(file_name) + ": " + why;
        return 0;
    }
    const int64_t size = regular_file_size(f);
    if (size >= 0 && !within_limit(size, playback_script_limit)) {
        std::fclose(f);
        error = input_too_large(file_name, playback_script_limit);
        return 0;
    }
    // A file that grows while it is read stops at the bound all the same.
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        text.append(buffer, n);
        if (!within_limit((int64_t)text.size(), playback_script_limit)) {
            std::fclose(f);
            error = input_too_large(file_name, playback_script_limit);
            return 0;
        }
    }
    int failed = std::ferror(f);
    std::fclose(f);
    if (failed) error = std::string(file_name) + ": read error";
    return !failed;
}

void record_words() {
    uint32_t now[3] = {held_p1, held_p2, held_system};
    if (recorded_any && std::memcmp(now, recorded, sizeof now) == 0) return;
    std::memcpy(recorded, now, sizeof now);
    recorded_any = 1;
    std::string controls_text = format_controls(now[0], now[1], now[2]);
    if (std::fprintf(record_out.stream(), "%u%s%s\n", input_frame, controls_text.empty() ? "" : " ",
                     controls_text.c_str()) < 0)
        record_failed = 1;
}

}  // namespace

int parse_input_script(const char* text, std::vector<input_script_line>& lines,
                       std::string& error) {
    lines.clear();
    int line_number = 0;
    const char* p = text;
    while (*p) {
        ++line_number;
        const char* end = std::strchr(p, '\n');
        std::string line = end ? std::string(p, end) : std::string(p);
        p = end ? end + 1 : p + line.size();
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::vector<std::string> words;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && std::strchr(" \t\r\f\v", line[i])) ++i;
            size_t start = i;
            while (i < line.size() && !std::strchr(" \t\r\f\v", line[i])) ++i;
            if (i > start) words.push_back(line.substr(start, i - start));
        }
        if (words.empty()) continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(line_number) + ": " + why;
            return 0;
        };
        const std::string& f = words[0];
        if (f.size() > 9 || f.find_first_not_of("0123456789") != std::string::npos)
            return fail("\"" + f + "\" is not a frame number");
        input_script_line entry = {(uint32_t)std::strtoul(f.c_str(), nullptr, 10), 0, 0, 0};
        if (!lines.empty() && entry.frame < lines.back().frame)
            return fail("frame " + f + " comes before the frame of the line above");
        for (size_t w = 1; w < words.size(); ++w) {
            const control_word* found = nullptr;
            for (const control_word& c : controls)
                if (strcasecmp(c.name, words[w].c_str()) == 0) found = &c;
            if (!found) return fail("unknown control \"" + words[w] + "\"");
            uint32_t* target = found->word == 0 ? &entry.p1 : found->word == 1 ? &entry.p2 : &entry.system;
            *target |= found->bit;
        }
        lines.push_back(entry);
    }
    return 1;
}

std::string format_controls(uint32_t p1, uint32_t p2, uint32_t system) {
    std::string out;
    const uint32_t words[3] = {p1, p2, system};
    for (const control_word& c : controls) {
        if (!(words[c.word] & c.bit)) continue;
        if (!out.empty()) out += ' ';
        out += c.name;
    }
    return out;
}

int start_playback(const char* file_name, std::string& error) {
    std::string text;
    if (!read_text(file_name, text, error)) return 0;
    if (text.find('\0') != std::string::npos) {
        error = std::string(file_name) + ": not a text file";
        return 0;
    }
    if (!parse_input_script(text.c_str(), playback, error)) {
        error = std::string(file_name) + ": " + error;
        return 0;
    }
    playback_next = 0;
    playing = 1;
    return 1;
}

void stop_playback() {
    playing = 0;
    playback.clear();
}

int start_record(const char* file_name, std::string& error) {
    std::string why;
    if (!record_out.open(file_name, why)) {
        error = std::string(file_name) + ": " + why;
        return 0;
    }
    std::fprintf(record_out.stream(), "# frame, then the controls held from that frame on\n");
    recording = 1;
    record_failed = 0;
    recorded_any = 0;
    return 1;
}

int stop_record(int keep) {
    if (!recording) return 1;
    recording = 0;
    std::string why;
    if (!keep || record_failed) {
        record_out.abandon();
        return !keep;
    }
    return record_out.commit(why) ? 1 : 0;
}

void read_input(uint32_t frame) {
    input_frame = frame;
    held_p1 = 0;
    held_p2 = 0;
    held_system = 0;
    if (playing) {
        // The last line whose frame has come holds; a state loaded or a
        // rewind may have taken the game back before it.
        if (playback_next > 0 && playback[playback_next - 1].frame > input_frame) playback_next = 0;
        while (playback_next < playback.size() && playback[playback_next].frame <= input_frame)
            ++playback_next;
        if (playback_next > 0) {
            const input_script_line& l = playback[playback_next - 1];
            held_p1 = l.p1;
            held_p2 = l.p2;
            held_system = l.system;
        }
    } else {
        read_devices();
    }
    if (recording) record_words();
}
