// Minimal bodies until the front end is written; remove each as it lands.
#include "host/display.h"
#include "host/gui.h"
#include "host/input.h"
#include "host/options.h"
#include "host/window.h"

options_record options = {320, 240, 8};
int blur, scanlines, scale, vsync, throttle = 1, skip = 1, sound_enabled = 1, sound_rate = 44100;
int winsize = 1, videomem, winx, winy;
int joy1, joy1_a, joy1_b = 1, joy1_c = 2, joy2 = 1, joy2_a, joy2_b = 1, joy2_c = 2;
char rom_dir[option_path_size] = "./roms";
char zip_dir[option_path_size] = "./ziproms";
char dip_dir[option_path_size] = "./dip";
char snap_dir[option_path_size] = "./snap";
void set_option_defaults() {}
void do_config(const char*) {}
void save_config(const char*) {}
int check_bool(const char*) { return 1; }

uint16_t* conv_bmp;
int surface_pitch = 1024;
int fullscreen;
int init_video(int) { return 1; }
void release_video() {}
void w32_update_video() {}
void update_front_video(const rect&) {}
void fillscreen(uint16_t) {}
void paint_msg_video(const char*) {}
void message_printf(const char*, ...) {}
void msg_box(const char*, const char*) {}
void blur_filter(uint16_t*, int, int, int) {}

void check_menu_item(int, int) {}
void gui_manage_sound(int) {}
void gui_manage_skip(int) {}
void gui_manage_vsync(int) {}
void gui_manage_rate(int) {}
void gui_manage_limiter(int) {}
void gui_manage_strech(int) {}
void gui_manage_blur(int) {}
void gui_manage_soundchip() {}
void gui_manage_videomem() {}
void adjust_window() {}
void switch_video() {}

int joypad_count;
int init_input() { return 1; }
int init_keyboard() { return 1; }
int init_joypad() { return 1; }
void release_keyboard() {}
void release_joypad() {}
void release_input() {}
void get_input() {}

SDL_Window* main_window;
SDL_Renderer* main_renderer;
int quit_requested;
int create_main_window() { return 0; }
void destroy_main_window() {}
void window_handle_event(const SDL_Event&) {}
int menu_is_open() { return 0; }
