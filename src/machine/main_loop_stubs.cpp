// Minimal bodies until the main loop is written; remove each as it lands.
#include "machine/main_loop.h"

int game_loaded;
int window_active = 1;
int frame_count;
int skip_this_frame;
uint32_t old_tick_count;
rect client_area = {0, 0, 320, 224};
rect window_area;
void trash_machine() {}
