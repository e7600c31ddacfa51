#include "host/folders.h"
#include <cerrno>
#include <cstring>
#include "common/utf8_file.h"

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
