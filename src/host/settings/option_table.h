// The table of every option word of vortan.cfg and the command line: its
// kind, default, range and how it is written back. Loading, saving, --help
// and the refusals all read it, so an option is described in one place.
#pragma once
#include <cstdio>
#include <span>
#include <string>

enum class option_kind { on_off, integer, sound_rate, path, stretch, fm_model };

struct option_entry {
    const char* word;
    option_kind kind;
    void* target;           // int, or char[option_path_size] for a path
    int default_value;      // the paths' default is default_folder
    const char* default_folder;  // below the data folder; null: empty
    int low, high;          // an integer's range; low > high: any value
    const char* allowed;    // what a refusal says the option takes
    const char* help;       // --help's words for the value
    // Writes the option to the file; null: the word and its value.
    void (*save)(FILE* f, const option_entry& entry);
    // Rules run after a value was taken.
    void (*applied)();
};

// In the order the file is written.
std::span<const option_entry> option_entries();
const option_entry* find_option_entry(const char* word);  // any letter case

// Every option at its default, the folders below data_folder.
void apply_option_defaults(const std::string& data_folder);
// Every option, then the key bindings, as vortan.cfg holds them.
void write_options(FILE* f);
// The option words and their values for --help, wrapped to the terminal.
std::string option_help_lines();
