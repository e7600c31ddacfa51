// F9: the next free screenshot name, and the picture as shown written there.
#include "host/video/screenshot.h"
#include <cstdio>
#include "common/utf8_file.h"
#include "host/video/snapshot_png.h"
#include "host/video/display.h"
#include "host/settings/folders.h"
#include "host/settings/options.h"
#include "machine/core.h"

std::string next_screenshot_name() {
    const game_info* game = core_running();
    const std::string stem = std::string(snap_dir) + "/" + (game ? game->short_name : "vortan") + "-";
    for (int n = 1;; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%04d", n);
        const std::string name = stem + number + ".png";
        if (!utf8_name_taken(name.c_str())) return name;
    }
}

int take_screenshot() {
    std::string error;
    if (!staged_picture || !make_folders(snap_dir, error)) {
        message_printf("Screenshot not saved: %s", staged_picture ? error.c_str() : "no picture");
        return 0;
    }
    const std::string name = next_screenshot_name();
    if (!write_snapshot(name.c_str(), staged_picture, surface_pitch, src_rect.right, src_rect.bottom,
                        host_format_555)) {
        message_printf("Screenshot not saved to %s", name.c_str());
        return 0;
    }
    message_printf("Screenshot saved to %s", name.c_str());
    return 1;
}
