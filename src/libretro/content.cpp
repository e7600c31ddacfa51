#include "content.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The front end's paths are UTF-8; a path made from a plain string would
// read them in the ANSI code page on Windows. Folders go to the loader with
// '/' between names, which Windows takes too.
fs::path from_utf8(const char* path) { return fs::path(reinterpret_cast<const char8_t*>(path)); }

std::string to_utf8(const fs::path& p) {
    const std::u8string s = p.generic_u8string();
    return std::string(s.begin(), s.end());
}

bool is_zip(const fs::path& p) {
    std::string ext = to_utf8(p.extension());
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".zip";
}

// "" stands for the current folder, which the loader would not take as a prefix.
std::string folder(const fs::path& p) {
    std::string s = to_utf8(p);
    return s.empty() ? "." : s;
}

}  // namespace

content_request content_from_path(const char* path, const char* save_dir) {
    content_request r;
    std::string content_dir = ".";
    if (!path || !*path) {
        r.game = "demo";
    } else {
        // A trailing slash on a folder would leave an empty last name.
        fs::path p = from_utf8(path).lexically_normal();
        if (!p.has_filename()) p = p.parent_path();
        std::error_code ec;
        const bool archive = !fs::is_directory(p, ec) && is_zip(p);
        // A loose ROM file: its folder names the game.
        if (!archive && !fs::is_directory(p, ec)) p = p.parent_path();
        r.game = to_utf8(archive ? p.stem() : p.filename());
        content_dir = folder(p.parent_path());
        r.folders.rom_dir = content_dir;
        // The loader takes an archive before a folder: for a chosen folder it
        // looks inside it, so a zip of the same name beside it stays unread.
        r.folders.zip_dir = archive ? content_dir : folder(p);
    }
    r.folders.dip_dir = save_dir && *save_dir ? save_dir : content_dir;
    return r;
}
