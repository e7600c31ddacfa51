// The rewind ring under core_set_rewind and core_rewind_frame.
#pragma once
#include <cstddef>

// Keeps up to seconds x 60 frames within budget bytes (0 seconds: off).
void rewind_configure(int seconds, size_t budget);
void rewind_clear();
// Keeps the state after the frame just run.
void rewind_record();
// Goes back one frame: loads the state two frames back and runs the frame
// before with run_frame, which must not record. 0 when too little is kept.
int rewind_back(int (*run_frame)());
size_t rewind_frames();
size_t rewind_memory();
