// The ROM files of a game checked in the place the loader reads them: the
// archive when it is a file, otherwise the game's folder.
#include "host/rom_check.h"
#include <unzip.h>
#include "common/utf8_file.h"

namespace {

int64_t regular_file_size(const std::string& path) {
    const path_status s = utf8_status(path.c_str());
    return s.type == path_type::regular ? s.size : -1;
}

void check_archive(const driver_record& game, rom_check& check) {
    unzFile zip = unzOpen(check.archive.c_str());
    if (!zip) {
        check.failure = check.archive + " is not a zip archive that can be read";
        return;
    }
    for (const rom_entry* e = game.roms; e->file_name; ++e) {
        if (e->data) continue;
        unz_file_info info;
        int64_t found = -1;
        // Member names match in any letter case, as the loader reads them.
        if (unzLocateFile(zip, e->file_name, 2) == UNZ_OK &&
            unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK)
            found = static_cast<int64_t>(info.uncompressed_size);
        if (found != e->size) check.problems.push_back({e->file_name, e->size, found});
    }
    unzClose(zip);
}

void check_folder(const driver_record& game, rom_check& check) {
    for (const rom_entry* e = game.roms; e->file_name; ++e) {
        if (e->data) continue;
        const int64_t found = regular_file_size(check.folder + e->file_name);
        if (found != e->size) check.problems.push_back({e->file_name, e->size, found});
    }
}

}  // namespace

rom_check check_game_roms(const driver_record& game, const core_paths& paths) {
    rom_check check;
    check.archive = paths.zip_dir + "/" + game.short_name + ".zip";
    check.folder = paths.rom_dir + "/" + game.short_name + "/";
    check.built_in = 1;
    for (const rom_entry* e = game.roms; e->file_name; ++e) check.built_in &= e->data != nullptr;
    if (check.built_in) return check;
    check.archive_used = regular_file_size(check.archive) >= 0;
    if (check.archive_used)
        check_archive(game, check);
    else
        check_folder(game, check);
    return check;
}

std::string rom_problem_text(const rom_problem& p) {
    if (p.found < 0) return p.file + " is missing (" + std::to_string(p.size) + " bytes)";
    return p.file + " is " + std::to_string(p.found) + " bytes, not " + std::to_string(p.size);
}

std::string rom_check_summary(const rom_check& check) {
    if (!check.failure.empty()) return check.failure;
    if (check.problems.empty()) return "";
    size_t missing = 0;
    for (const rom_problem& p : check.problems) missing += p.found < 0;
    const size_t wrong = check.problems.size() - missing;
    std::string text;
    if (missing) text = std::to_string(missing) + (missing == 1 ? " file missing" : " files missing");
    if (wrong) {
        if (!text.empty()) text += ", ";
        text += std::to_string(wrong) + (wrong == 1 ? " file of the wrong size" : " files of the wrong size");
    }
    return text + " in " + (check.archive_used ? check.archive : check.folder);
}
