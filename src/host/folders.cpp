#include "host/folders.h"
#include <sys/stat.h>
#include <cerrno>
#include <cstring>

int make_folders(const std::string& path, std::string& error) {
    for (size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
        const std::string part = path.substr(0, at);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            error = part + ": " + std::strerror(errno);
            return 0;
        }
        if (at == std::string::npos) break;
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = path + ": not a folder";
        return 0;
    }
    return 1;
}
