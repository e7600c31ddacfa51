// The main window's menu commands and the managers that apply each setting.
#pragma once

enum menu_command : int {
    cmd_palette_fixed = 40022,
    cmd_palette_dynamic = 40023,
};

void check_menu_item(int command, int checked);
void gui_manage_sound(int on);
void gui_manage_skip(int level);
void gui_manage_vsync(int on);
void gui_manage_rate(int rate);
void gui_manage_limiter(int on);
void gui_manage_strech(int on);
void gui_manage_blur(int on);
void gui_manage_soundchip();
void gui_manage_videomem();
void adjust_window();
void switch_video();
