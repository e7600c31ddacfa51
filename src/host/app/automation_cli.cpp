// The command line: "vortan [options] [game]".
#include <limits.h>
#include <strings.h>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include "common/utf8_file.h"
#include "host/app/automation.h"
#include "host/settings/option_table.h"
#include "host/settings/options.h"

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

// What makes two names one file: its device and inode when it exists,
// otherwise its folder's real path and its own name.
std::string file_identity(const std::string& name) {
    const std::string identity = utf8_file_identity(name.c_str());
    if (!identity.empty()) return identity;
    size_t slash = last_path_separator(name);
    std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    const std::string real = utf8_full_folder_name(folder.c_str());
    if (real.empty()) return name;
    return real + "/" + (slash == std::string::npos ? name : name.substr(slash + 1));
}

// The script read and the files written must all be different files:
// writing one over another loses it.
int files_differ(const command_line& cli, std::string& error) {
    const std::pair<const char*, const std::string*> files[] = {
        {"-playback", &cli.playback},
        {"-record", &cli.record},
        {"-wavwrite", &cli.wavwrite},
        {"-snapshot", &cli.snapshot},
        {"-savestate", &cli.savestate},  // may be the -loadstate file: read whole first
    };
    for (size_t a = 0; a < std::size(files); ++a)
        for (size_t b = a + 1; b < std::size(files); ++b) {
            const std::string& one = *files[a].second;
            const std::string& other = *files[b].second;
            if (one.empty() || other.empty() || file_identity(one) != file_identity(other))
                continue;
            error = std::string(files[a].first) + " and " + files[b].first + " name the same file";
            return 0;
        }
    return 1;
}

}  // namespace

const char* usage_text() {
    static const std::string head = "usage: vortan [options] [game]\n"
           "\n"
           "game is a short name (columns, puyopuyo, tforceac, ... or demo), any letter case,\n"
           "or the path to the game's zip archive or folder (~/games/columns.zip,\n"
           "~/games/columns): its folder is searched for it and the set it builds on.\n"
           "Options given here apply to this run only; vortan.cfg keeps its own.\n"
           "\n"
           "Every word of vortan.cfg is accepted too, applied after the file:\n";
    static const std::string text = head + option_help_lines() +
           "  A directory with blanks is quoted in the file: \"./my roms\"\n"
           "  -key_up KEY ... -key_test KEY  (key names as Machine > Controls shows them)\n"
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
           "  -portable        keep every file in the current folder (also when a\n"
           "                   vortan.cfg is there or beside the program)\n"
           "  --version        the version, then stop\n"
           "  -verifyroms [name ...]  check every set (or those named) in the ROM and\n"
           "                   zip folders, one line each; exit 1 when one found is\n"
           "                   incomplete or not the known dumps\n"
           "  --listgames      print short name, parent and title of every version\n"
           "                   (also -listfull)\n"
           "  --help           this text, then where the files are\n"
           "\n"
           "Script lines: FRAME CONTROL...  the controls held from that frame (counted\n"
           "from 0, a loaded state's frames included) until the next line; none\n"
           "listed releases all. Controls: p1.up\n"
           "p1.down p1.left p1.right p1.a p1.b p1.c, the same for p2., key1 key2 key3\n"
           "key4 service test. '#' starts a comment.\n"
           "\n"
           "Exit status: 0 after a normal run; 1 when the game could not be loaded for\n"
           "-headless, -frames or -bench, or an output file or vortan.cfg could not be\n"
           "written; 2 for a usage error or an input script that cannot be read.\n";
    return text.c_str();
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
        } else if (!std::strcmp(word, "--version") || !std::strcmp(word, "-version")) {
            cli.version = 1;
        } else if (!std::strcmp(word, "-portable")) {
            cli.portable = 1;
        } else if (!std::strcmp(word, "-verifyroms")) {
            cli.verify = 1;
        } else if (!std::strcmp(word, "--listgames") || !std::strcmp(word, "-listgames") ||
                   !std::strcmp(word, "-listfull")) {
            cli.list_games = 1;
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
            if (!strcasecmp(word, "-sndrate") && !sound_rate_offered(parse_int(value))) {
                error = std::string("-sndrate takes ") + sound_rates_text + ", not \"" + value +
                        "\"";
                return 0;
            }
            cli.options.emplace_back(word, value);
            ++i;
        } else if (word[0] == '-' && word[1] != 0) {
            error = std::string("unknown option ") + word;
            return 0;
        } else {
            cli.sets.push_back(word);
            if (have_game && !cli.verify) {
                error = std::string("only one game can be named, not \"") + cli.game + "\" and \"" +
                        word + "\"";
                return 0;
            }
            have_game = 1;
            cli.game = word;
        }
    }
    if (cli.help || cli.version) return 1;
    if (cli.verify && cli.list_games) {
        error = "-verifyroms and --listgames are two commands: give one";
        return 0;
    }
    if (cli.verify || cli.list_games) {
        if (cli.list_games && !cli.sets.empty()) {
            error = "--listgames takes no game";
            return 0;
        }
        cli.game.clear();
        return 1;
    }
    if (cli.bench >= 0) cli.headless = 1;
    if (cli.headless && cli.game.empty()) {
        error = cli.bench >= 0 ? "-bench needs a game" : "-headless needs a game";
        return 0;
    }
    if (!cli.savestate.empty() && cli.frames < 0) {
        error = "-savestate needs -frames N";
        return 0;
    }
    return files_differ(cli, error);
}

int resolve_game_path(command_line& cli, std::string& error) {
    std::string path = cli.game;
    while (path.size() > 1 && is_path_separator(path.back())) path.pop_back();
    const path_type type = utf8_status(path.c_str()).type;
    const int found = type != path_type::missing;
    const int zip = path.size() > 4 && strcasecmp(path.c_str() + path.size() - 4, ".zip") == 0;
    if (!found || (type != path_type::folder && !(type == path_type::regular && zip))) {
        // A short name has no slash; a path that leads nowhere is said so.
        if (path.find_first_of("/\\") == std::string::npos && !zip) return 1;
        error = "\"" + cli.game + "\" is " +
                (found ? "neither a zip archive nor a folder" : "no file or folder that exists");
        return 0;
    }
    const size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (type == path_type::regular) name.resize(name.size() - 4);
    if (folder.size() >= option_path_size) {
        error = "the folder of \"" + cli.game + "\" is longer than " + std::to_string(option_path_size - 1) +
                " characters";
        return 0;
    }
    // After the user's own words: the path names where this game is.
    cli.options.emplace_back("-zipdir", folder);
    cli.options.emplace_back("-romdir", folder);
    cli.game = name;
    return 1;
}

int check_run_options(const command_line& cli, std::string& error) {
    if (!cli.wavwrite.empty() && !sound_enabled) {
        error = "-wavwrite needs the sound on (-sound on)";
        return 0;
    }
    return 1;
}
