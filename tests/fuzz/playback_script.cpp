// Playback scripts: the input is the script. Frame by frame, the words must
// hold the controls of the last line whose frame has come; the frames probed
// are each line's own and the one before it.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/input/input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::folder().path("script.txt");
    fuzz::write_file(path, data, size);
    std::string error;
    if (!start_playback(path.c_str(), error)) return 0;
    std::vector<input_script_line> lines;
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::require(parse_input_script(text.c_str(), lines, error) == 1);

    uint32_t next_probe = 0;
    for (size_t i = 0; i < lines.size() && i < 64; ++i) {
        for (uint32_t probe : {lines[i].frame - 1, lines[i].frame}) {
            if (lines[i].frame == 0 && probe != 0) continue;
            if (probe < next_probe) continue;  // frames only go forward
            read_input(probe);
            next_probe = probe + 1;
            input_script_line held = {probe, 0, 0, 0};
            for (const input_script_line& l : lines)
                if (l.frame <= probe) held = l;
            fuzz::require(held_p1 == held.p1 && held_p2 == held.p2 && held_system == held.system);
        }
    }
    stop_playback();
    return 0;
}
