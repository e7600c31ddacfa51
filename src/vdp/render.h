// The scanline renderer: planes A and B, the window and sprites into pixel bytes.
#pragma once

void render_line(int line);
void make_table();
