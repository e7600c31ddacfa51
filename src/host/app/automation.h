// The command line and the unattended runs: headless frames, the PNG
// snapshot, the WAV file of the sound stream and the benchmark line.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>
#include "common/safe_file.h"
#include "host/video/snapshot_png.h"
#include "host/audio/sound_sink.h"

struct command_line {
    std::string game;          // empty: start with no game
    int verify = 0;            // -verifyroms: audit the sets named (all when none), then quit
    int list_games = 0;        // --listgames: print every version, then quit
    std::vector<std::string> sets;
    int help = 0;
    int version = 0;           // --version: print it and stop
    int portable = 0;          // -portable: every file in the current folder
    int headless = 0;
    long frames = -1;          // -1: run until the window is closed
    long bench = -1;           // -1: no benchmark
    std::string snapshot, wavwrite, playback, record, loadstate, savestate;
    std::vector<std::pair<std::string, std::string>> options;  // words of the file
};

// 1 when the arguments make sense; otherwise 0 with the reason in error.
int parse_command_line(int argc, const char* const* argv, command_line& cli, std::string& error);
const char* usage_text();
// A game named by the path to its zip archive or its folder: the game is
// the file's or folder's name, and that file's folder is searched for it
// (and for the set it builds on) for this run. A plain name is left as it
// is. 0 with the reason for a path that leads nowhere.
int resolve_game_path(command_line& cli, std::string& error);
// What the command line asks of the options once they are all applied;
// 0 with the reason in error.
int check_run_options(const command_line& cli, std::string& error);

// The whole program; returns the exit status: 0 after a normal run, 1 when
// the game could not be loaded for an unattended run or an output file or
// vortan.cfg could not be written, 2 for a usage error.
int vortan_main(int argc, const char* const* argv);

// Mixed sound blocks into a 16-bit mono PCM WAV file. The sound of the run
// replaces the old file only when it is closed whole.
class wav_writer : public sound_sink {
public:
    ~wav_writer() override;  // a file not closed is discarded
    int open(const char* file_name, int rate);
    void write_block(const int16_t* samples, int count) override;
    // Completes the header and puts the file in place; 0, with the old file
    // kept, when anything failed to reach it.
    int close();
    // Drops this run's sound; the old file stays.
    void discard();
    uint32_t samples_written() const { return samples; }

private:
    safe_file out;
    uint32_t samples = 0;
    int rate = 0;
    int failed = 0;
};

// "frames N, seconds S, fps F, speed X.XXx" for a benchmark run.
std::string bench_line(long frames, double seconds);
