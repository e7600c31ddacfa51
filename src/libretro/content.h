// What the front end hands us as content, turned into a game's short name and
// the folders our loader searches.
#pragma once
#include <string>

#include "machine/core.h"

struct content_request {
    std::string game;   // short name as given: not yet checked against the table
    game_folders folders;  // for core_set_folders before the load
};

// path: `<dir>/<game>.zip`, a folder `<dir>/<game>`, or a file inside that
// folder; null or empty: the demo cartridge. DIP files go to save_dir when
// the front end has one, else beside the content.
content_request content_from_path(const char* path, const char* save_dir);
