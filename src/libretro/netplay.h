// Whether the front end runs a netplay session: it then saves and loads
// states for its rollback at every frame, and says so when asked why.
#pragma once
#include "libretro.h"

// From retro_serialize and retro_unserialize.
void netplay_note_state(retro_environment_t env);
// From retro_run.
void netplay_note_frame();
// A session seen within the last second of frames.
bool netplay_active();
// After a game loaded: no session seen yet.
void netplay_forget();
