// A small libretro front end of our own: loads the core as a library, answers
// its environment calls and keeps what it hands out, so that tests and the
// benchmark drive it as RetroArch would.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "libretro.h"

struct frontend {
    // The core's entry points.
    unsigned (*api_version)();
    void (*set_environment)(retro_environment_t);
    void (*set_video_refresh)(retro_video_refresh_t);
    void (*set_audio_sample)(retro_audio_sample_t);
    void (*set_audio_sample_batch)(retro_audio_sample_batch_t);
    void (*set_input_poll)(retro_input_poll_t);
    void (*set_input_state)(retro_input_state_t);
    void (*init)();
    void (*deinit)();
    void (*get_system_info)(retro_system_info*);
    void (*get_system_av_info)(retro_system_av_info*);
    bool (*load_game)(const retro_game_info*);
    void (*unload_game)();
    void (*run)();
    void (*reset)();
    size_t (*serialize_size)();
    bool (*serialize)(void*, size_t);
    bool (*unserialize)(const void*, size_t);
    void* (*get_memory_data)(unsigned);
    size_t (*get_memory_size)(unsigned);

    // What the front end offers.
    unsigned options_version = 1;  // 0: the core must use the plain variables
    std::string save_dir;          // empty: none
    bool keep_pictures = true;     // false: the frames are only counted
    int audio_video = 3;           // bit 0 picture wanted, bit 1 sound wanted
    uint16_t pads[2] = {0, 0};     // held RetroPad buttons, one bit per id
    int savestate_context = RETRO_SAVESTATE_CONTEXT_NORMAL;  // netplay: ROLLBACK_NETPLAY
    std::function<void()> during_poll;  // RetroArch takes its network commands there

    // What the core said and handed out.
    std::map<std::string, std::string> options;  // key: value now
    std::map<std::string, std::string> option_defaults;
    std::map<std::string, std::string> option_labels;  // key: its description
    bool options_changed = false;
    std::vector<std::pair<retro_input_descriptor, std::string>> descriptors;
    bool no_game = false;
    retro_pixel_format pixel_format = RETRO_PIXEL_FORMAT_0RGB1555;
    uint64_t quirks = 0;
    std::vector<retro_game_geometry> geometry_changes;
    std::vector<std::string> log;
    std::vector<retro_log_level> log_levels;  // each line's
    std::vector<std::string> messages;  // shown on screen
    std::vector<retro_memory_descriptor> memory_map;
    std::vector<uint16_t> pixels;  // the last picture shown, width x height
    const void* shown_data = nullptr;  // the core's, which RetroArch draws again for a dupe
    size_t shown_pitch = 0;
    unsigned width = 0, height = 0;
    int frames_shown = 0, frames_duped = 0;
    std::vector<int16_t> audio;  // stereo pairs, everything since the last clear

    // Opens the core and calls retro_set_environment, the callbacks and
    // retro_init; false with a message in `error` when it cannot.
    bool open(const char* path, std::string& error);
    void close();  // retro_deinit and dlclose
    ~frontend() { close(); }

    // retro_load_game with the path alone (null: no content).
    bool load(const char* path);
    void set_option(const std::string& key, const std::string& value);
    void hold(unsigned port, unsigned id, bool held = true);
    void release_all() { pads[0] = pads[1] = 0; }
    std::vector<uint8_t> save_state();
    bool load_state(const std::vector<uint8_t>& state);
    bool logged(const std::string& text) const;
    bool logged_at(retro_log_level level, const std::string& text) const;
    // The byte at an address of the core's memory map, as the front end
    // reaches it; null where nothing is mapped.
    uint8_t* mapped(size_t address, uint64_t* flags = nullptr) const;

    static frontend* current;  // the one whose callbacks run

private:
    void* library = nullptr;
    bool initialised = false;
};
