#include "content.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool is_zip(const fs::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".zip";
}

// "" stands for the current folder, which the loader would not take as a prefix.
std::string folder(const fs::path& p) {
    std::string s = p.string();
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
        fs::path p = fs::path(path).lexically_normal();
        if (!p.has_filename()) p = p.parent_path();
        std::error_code ec;
        const bool archive = !fs::is_directory(p, ec) && is_zip(p);
        // A loose ROM file: its folder names the game.
        if (!archive && !fs::is_directory(p, ec)) p = p.parent_path();
        r.game = archive ? p.stem().string() : p.filename().string();
        content_dir = folder(p.parent_path());
        r.paths.rom_dir = content_dir;
        // The loader takes an archive before a folder: for a chosen folder it
        // looks inside it, so a zip of the same name beside it stays unread.
        r.paths.zip_dir = archive ? content_dir : folder(p);
    }
    r.paths.dip_dir = save_dir && *save_dir ? save_dir : content_dir;
    return r;
}
