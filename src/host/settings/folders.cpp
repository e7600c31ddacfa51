// Finding the program's home (per user or portable) and making the
// folders it writes into.
#include "host/settings/folders.h"
#ifndef _WIN32
#include <unistd.h>
#endif
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include "common/utf8_file.h"
#include "host/settings/options.h"

program_home home;

namespace {

int is_file(const std::string& path) { return utf8_status(path.c_str()).type == path_type::regular; }

std::string env_value(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

#ifndef _WIN32
// XDG folders must be absolute; a relative one is ignored as the rules say.
std::string xdg_folder(const std::string& given, const std::string& user_home, const char* fallback) {
    if (!given.empty() && given[0] == '/') return given;
    return user_home.empty() ? "" : user_home + fallback;
}
#endif

}  // namespace

int make_folders(const std::string& path, std::string& error) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && !is_path_separator(path[at])) continue;
        const std::string part = path.substr(0, at);
        // A drive ("C:") or a part already there is no failure.
        if (utf8_mkdir(part.c_str()) == 0 || errno == EEXIST) continue;
        const int why = errno;
        if (utf8_status(part.c_str()).type != path_type::folder) {
            error = part + ": " + std::strerror(why);
            return 0;
        }
    }
    if (utf8_status(path.c_str()).type != path_type::folder) {
        error = path + ": not a folder";
        return 0;
    }
    return 1;
}

home_environment read_home_environment() {
    return {env_value("HOME"), env_value("XDG_CONFIG_HOME"), env_value("XDG_DATA_HOME"), env_value("APPDATA")};
}

std::string program_folder(const char* argv0) {
    std::string file;
#ifndef _WIN32
    char link[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", link, sizeof link - 1);
    if (n > 0) file.assign(link, size_t(n));
#endif
    if (file.empty() && argv0) file = argv0;
    const size_t slash = file.find_last_of("/\\");
    return slash == std::string::npos ? "" : file.substr(0, slash);
}

program_home find_program_home(int portable_asked, const std::string& folder, const home_environment& env) {
    program_home h;
    if (portable_asked) {
        h.reason = "portable (-portable): everything in the current folder";
        return h;
    }
    if (is_file("vortan.cfg")) {
        h.reason = "portable: vortan.cfg is in the current folder";
        return h;
    }
    if (!folder.empty() && is_file(folder + "/vortan.cfg")) {
        h.config_file = folder + "/vortan.cfg";
        h.data = folder;
        h.reason = "portable: vortan.cfg is beside the program";
        return h;
    }
#ifdef _WIN32
    const std::string config = env.appdata.empty() ? "" : env.appdata + "\\Vortan";
    const std::string data = config;
#else
    const std::string config = xdg_folder(env.xdg_config_home, env.home, "/.config");
    const std::string base_data = xdg_folder(env.xdg_data_home, env.home, "/.local/share");
    const std::string data = base_data.empty() ? "" : base_data + "/vortan";
#endif
    if (config.empty() || data.empty()) {
        h.reason = "portable: no per-user folder is known (no HOME), so the current folder";
        return h;
    }
    h.portable = 0;
#ifdef _WIN32
    h.config_file = config + "\\vortan.cfg";
#else
    h.config_file = config + "/vortan/vortan.cfg";
#endif
    h.data = data;
    h.reason = "per user (a vortan.cfg in the current folder, or -portable, keeps everything there)";
    return h;
}

int make_program_home(const program_home& h, std::string& error) {
    if (h.portable) return 1;
    const size_t slash = h.config_file.find_last_of("/\\");
    if (!make_folders(h.config_file.substr(0, slash), error)) return 0;
    // The folders a player fills with games are there to be found.
    return make_folders(h.data + "/roms", error) && make_folders(h.data + "/ziproms", error);
}

std::string describe_program_home(const program_home& h) {
    std::string text = "Folders: " + h.reason + "\n";
    text += "  settings     " + h.config_file + "\n";
    text += "  ROM folders  " + std::string(rom_dir) + "/<game>/\n";
    text += "  zip archives " + std::string(zip_dir) + "/<game>.zip\n";
    text += "  DIP switches " + std::string(dip_dir) + "/<game>.dip\n";
    text += "  states       " + std::string(state_dir) + "/<game>-<slot>.sta\n";
    text += "  screenshots  " + std::string(snap_dir) + "/<game>-0001.png\n";
    return text;
}
