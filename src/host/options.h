// Every setting of the program, read from vortan.cfg and written back at exit.
#pragma once
#include <cstddef>

inline constexpr size_t option_path_size = 256;

struct options_record {
    int width;   // full-screen mode and frame buffer: 320
    int height;  // 240
    int depth;   // 8
};
extern options_record options;

extern int blur;
extern int scanlines;
extern int scale;
extern int vsync;
extern int throttle;
extern int skip;
extern int sound_enabled;
extern int sound_rate;
extern int winsize;
extern int videomem;
extern int winx;
extern int winy;
extern int joy1, joy1_a, joy1_b, joy1_c;
extern int joy2, joy2_a, joy2_b, joy2_c;
extern char rom_dir[option_path_size];
extern char zip_dir[option_path_size];
extern char dip_dir[option_path_size];
extern char snap_dir[option_path_size];

void set_option_defaults();
void do_config(const char* file_name);
void save_config(const char* file_name);
int check_bool(const char* word);
