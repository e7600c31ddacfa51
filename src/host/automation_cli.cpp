// The command line: "vortan [options] [game]".
#include <cstdlib>
#include <cstring>
#include "host/automation.h"
#include "host/options.h"

namespace {

// A count of frames: digits only, so "-frames 1e3" or "-frames x" is refused.
int parse_count(const char* text, long& out) {
    if (!*text || std::strlen(text) > 9) return 0;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return 0;
    out = std::strtol(text, nullptr, 10);
    return 1;
}

// The options that name a file of the run, and where each is kept.
std::string* file_option(command_line& cli, const char* word) {
    const struct {
        const char* word;
        std::string command_line::*field;
    } files[] = {
        {"-snapshot", &command_line::snapshot}, {"-wavwrite", &command_line::wavwrite},
        {"-playback", &command_line::playback}, {"-record", &command_line::record},
        {"-loadstate", &command_line::loadstate}, {"-savestate", &command_line::savestate},
    };
    for (const auto& f : files)
        if (!std::strcmp(word, f.word)) return &(cli.*f.field);
    return nullptr;
}

}  // namespace

const char* usage_text() {
    return "usage: vortan [options] [game]\n"
           "\n"
           "game is a short name (columns, puyopuyo, tforceac, ... or demo), any letter case.\n"
           "\n"
           "Every word of vortan.cfg is accepted too, applied after the file:\n"
           "  -sound on|off  -sndrate HZ  -throttle on|off  -skip 1-4  -vsync on|off\n"
           "  -blur on|off  -scale on|off  -scanlines on|off  -videomem on|off\n"
           "  -winsize 1-3  -winx X  -winy Y  -romdir DIR  -zipdir DIR  -dipdir DIR\n"
           "  -snapdir DIR  -joy1 N  -joy1_a N  -joy1_b N  -joy1_c N  (and -joy2...)\n"
           "  -statedir DIR  -rewind on|off  -rewindsecs N\n"
           "\n"
           "Unattended runs:\n"
           "  -headless        no window, sound device or input devices; frames run\n"
           "                   back to back; message boxes go to standard error;\n"
           "                   vortan.cfg is read but not written (needs a game)\n"
           "  -frames N        run N frames after the game is loaded, then quit\n"
           "  -snapshot FILE   at exit, write the last picture shown as a PNG\n"
           "  -wavwrite FILE   write the mixed sound stream as a 16-bit mono WAV at\n"
           "                   the sound rate (with -sound on; no sound device needed)\n"
           "  -playback FILE   take the controls from a script instead of the devices\n"
           "  -record FILE     write the controls held, in the script format\n"
           "  -loadstate FILE  load a saved state after the game starts, before the\n"
           "                   first frame\n"
           "  -savestate FILE  save the state after the last frame of -frames N\n"
           "  -bench N         headless: run N frames, each drawn and with sound, as\n"
           "                   fast as possible, then print one line:\n"
           "                   \"frames N, seconds S, fps F, speed X.XXx\"\n"
           "                   (speed is fps as a multiple of 60)\n"
           "  --help           this text\n"
           "\n"
           "Script lines: FRAME CONTROL...  the controls held from that frame (counted\n"
           "from 0, a loaded state's frames included) until the next line; none\n"
           "listed releases all. Controls: p1.up\n"
           "p1.down p1.left p1.right p1.a p1.b p1.c, the same for p2., key1 key2 key3\n"
           "key4 service test. '#' starts a comment.\n"
           "\n"
           "Exit status: 0 after a normal run; 1 when the game could not be loaded for\n"
           "-frames or -bench, or an output file could not be written; 2 for a usage\n"
           "error or an input script that cannot be read.\n";
}

int parse_command_line(int argc, const char* const* argv, command_line& cli, std::string& error) {
    cli = command_line();
    int have_game = 0;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto need_value = [&]() {
            if (value) return 1;
            error = std::string("option ") + word + " needs a value";
            return 0;
        };
        if (!std::strcmp(word, "--help") || !std::strcmp(word, "-help") || !std::strcmp(word, "-h")) {
            cli.help = 1;
        } else if (!std::strcmp(word, "-headless")) {
            cli.headless = 1;
        } else if (!std::strcmp(word, "-frames") || !std::strcmp(word, "-bench")) {
            if (!need_value()) return 0;
            long n = 0;
            if (!parse_count(value, n) || (word[1] == 'b' && n == 0)) {
                error = std::string(word) + " takes a count of frames, not \"" + value + "\"";
                return 0;
            }
            (word[1] == 'f' ? cli.frames : cli.bench) = n;
            ++i;
        } else if (std::string* target = file_option(cli, word)) {
            if (!need_value()) return 0;
            if (!*value) {
                error = std::string(word) + " needs a file name";
                return 0;
            }
            *target = value;
            ++i;
        } else if (is_option_word(word)) {
            if (!need_value()) return 0;
            // A directory cut short would name another one.
            if (std::strlen(value) >= option_path_size) {
                error = std::string("the value of ") + word + " is longer than " +
                        std::to_string(option_path_size - 1) + " characters";
                return 0;
            }
            cli.options.emplace_back(word, value);
            ++i;
        } else if (word[0] == '-' && word[1] != 0) {
            error = std::string("unknown option ") + word;
            return 0;
        } else {
            if (have_game) {
                error = std::string("only one game can be named, not \"") + cli.game + "\" and \"" +
                        word + "\"";
                return 0;
            }
            have_game = 1;
            cli.game = word;
        }
    }
    if (cli.help) return 1;
    if (cli.bench >= 0) cli.headless = 1;
    if (cli.headless && cli.game.empty()) {
        error = cli.bench >= 0 ? "-bench needs a game" : "-headless needs a game";
        return 0;
    }
    if (!cli.savestate.empty() && cli.frames < 0) {
        error = "-savestate needs -frames N";
        return 0;
    }
    if (!cli.playback.empty() && !cli.record.empty() && cli.playback == cli.record) {
        error = "-playback and -record name the same file";
        return 0;
    }
    return 1;
}
