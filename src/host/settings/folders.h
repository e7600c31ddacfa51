// Where the program keeps its files, and the folders it writes into
// (settings, snapshots, DIP switches, states), made when needed.
#pragma once
#include <string>

// Makes the folder and its missing parents; 0 with the reason when it cannot.
int make_folders(const std::string& path, std::string& error);

// The program's home. Per user: vortan.cfg in $XDG_CONFIG_HOME/vortan and
// the game folders in $XDG_DATA_HOME/vortan (%APPDATA%\Vortan on Windows).
// Portable: everything in one folder, the current one or the program's own,
// as players who keep a vortan.cfg there had it before.
struct program_home {
    int portable = 1;
    std::string config_file = "vortan.cfg";
    std::string data = ".";  // roms, ziproms, dip, sta and snap go below it
    std::string reason;      // why this mode, for Help > Files and folders and --help
};

// What the environment names for the per-user folders ("" when unset).
struct home_environment {
    std::string home, xdg_config_home, xdg_data_home, appdata;
};
home_environment read_home_environment();

// portable_asked: -portable. program_folder: the folder of the program's
// file ("" when unknown). A vortan.cfg in the current folder, then beside
// the program, means portable; so does having no per-user folder at all.
program_home find_program_home(int portable_asked, const std::string& program_folder,
                               const home_environment& env);
// The folder of the running program's file, "" when it cannot be told.
std::string program_folder(const char* argv0);
// Per user, the settings and game folders are made on first use.
int make_program_home(const program_home& home, std::string& error);
// Which mode runs and where each folder is, a line each.
std::string describe_program_home(const program_home& home);

extern program_home home;  // the one this run uses
