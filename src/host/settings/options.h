// Every setting of the program, read from vortan.cfg and written back at exit.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

inline constexpr size_t option_path_size = 256;
inline constexpr size_t config_word_size = 255;  // longer words are cut

// The sound rates the program offers, in the order of the Sound menu's items.
inline constexpr int sound_rates[] = {11025, 22050, 44100, 48000};
inline constexpr const char* sound_rates_text = "11025, 22050, 44100 or 48000";
inline constexpr int default_sound_rate = 44100;
int sound_rate_offered(int rate);

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
// How the picture fills the window or the screen: whole multiples of its
// pixels, the largest 4:3 picture (the monitor's shape), or all of it.
enum stretch_mode : int { stretch_integer, stretch_aspect, stretch_fill };
extern int stretch;  // -stretch integer|4:3|fill
// The older words for it: -scale on is 4:3, -fillwindow on is fill. They
// follow stretch and are still read and written.
extern int fill_window;
void set_stretch(int mode);
const char* stretch_word(int mode);
extern int volume;       // master volume, percent
extern int latency_ms;   // how far the sound may run ahead of what is heard
extern int fm_model_option;  // fm_model_kind of the next game loaded: -fm chip or classic
extern char state_dir[option_path_size];  // -statedir
extern int rewind_enabled;                // -rewind
extern int rewind_seconds;                // -rewindsecs
inline constexpr int rewind_seconds_limit = 600;
inline constexpr int max_run_ahead = 2;
extern int run_ahead;  // -runahead 0-2, Machine > Run-ahead
extern int show_speed;  // -showspeed: frames a second over the picture
// -recent: the short names of the games last loaded, newest first, by commas.
inline constexpr int recent_games_kept = 10;
extern char recent_games[option_path_size];

void set_option_defaults();
void do_config(const char* file_name);
// Writes the file, through a symbolic link to its target, keeping its
// permissions; 1 when written. A read-only file, or one too large to have
// been read, is left as it is, with a word on stderr, and also gives 1. A
// failed write leaves the old file as it was and is reported on stderr and
// in a message box.
int save_config(const char* file_name);
int check_bool(const char* word);

// The words of a file, in order; 1 when the file was read. A word that starts
// with a double quote runs to the next one, blanks included ("./my roms");
// inside it \" and \\ stand for " and \. Anything but a regular file (a
// FIFO, a directory) is not opened, and a file larger than the bound of
// common/input_limits.h is not read, each with a message on stderr.
int parse_file(const char* file_name, std::vector<std::string>& tokens);
void parse_args(const std::vector<std::string>& tokens);

// One option word and its value; 0 when the word names no option.
int apply_option(const char* word, const char* value);
int is_option_word(const char* word);
// The option's value now, as the file would hold it ("" for no option).
std::string option_value_text(const char* word);
// Rules that tie options together, applied after every batch of options.
void finish_options();
// Decimal as the file reads it: blanks, a sign, digits up to the first other character.
int parse_int(const char* text);
