#include "frontend.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdarg>
#include <cstdio>
#include <cstring>

frontend* frontend::current = nullptr;

namespace {

frontend& fe() { return *frontend::current; }

void take_option_definitions(const retro_core_option_definition* defs) {
    for (; defs->key; defs++) {
        fe().options[defs->key] = defs->default_value;
        fe().option_defaults[defs->key] = defs->default_value;
        fe().option_labels[defs->key] = defs->desc;
    }
}

// "Description; first|second": the first value is the default.
void take_plain_variables(const retro_variable* vars) {
    for (; vars->key; vars++) {
        std::string text = vars->value;
        size_t at = text.find("; ");
        std::string first = at == std::string::npos ? "" : text.substr(at + 2, text.find('|', at) - at - 2);
        fe().options[vars->key] = first;
        fe().option_defaults[vars->key] = first;
        fe().option_labels[vars->key] = text.substr(0, at);
    }
}

void log_line(retro_log_level level, const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    fe().log.push_back(text);
    fe().log_levels.push_back(level);
}

bool environment(unsigned cmd, void* data) {
    frontend& f = fe();
    switch (cmd) {
        case RETRO_ENVIRONMENT_GET_LOG_INTERFACE:
            static_cast<retro_log_callback*>(data)->log = log_line;
            return true;
        case RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME:
            f.no_game = *static_cast<const bool*>(data);
            return true;
        case RETRO_ENVIRONMENT_GET_CORE_OPTIONS_VERSION:
            *static_cast<unsigned*>(data) = f.options_version;
            return true;
        case RETRO_ENVIRONMENT_SET_CORE_OPTIONS:
            if (f.options_version < 1) return false;
            take_option_definitions(static_cast<const retro_core_option_definition*>(data));
            return true;
        case RETRO_ENVIRONMENT_SET_VARIABLES:
            take_plain_variables(static_cast<const retro_variable*>(data));
            return true;
        case RETRO_ENVIRONMENT_GET_VARIABLE: {
            auto* v = static_cast<retro_variable*>(data);
            auto it = f.options.find(v->key);
            if (it == f.options.end()) return false;
            v->value = it->second.c_str();
            return true;
        }
        case RETRO_ENVIRONMENT_SET_VARIABLE: {
            auto* v = static_cast<const retro_variable*>(data);
            if (!v || !v->key || !f.options.count(v->key)) return false;
            f.set_option(v->key, v->value);
            return true;
        }
        case RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE:
            *static_cast<bool*>(data) = f.options_changed;
            f.options_changed = false;
            return true;
        case RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS:
            f.descriptors.clear();
            for (auto* d = static_cast<const retro_input_descriptor*>(data); d->description; d++)
                f.descriptors.push_back({*d, d->description});
            return true;
        case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT:
            f.pixel_format = *static_cast<const retro_pixel_format*>(data);
            return true;
        case RETRO_ENVIRONMENT_GET_SAVE_DIRECTORY:
            *static_cast<const char**>(data) = f.save_dir.empty() ? nullptr : f.save_dir.c_str();
            return true;
        case RETRO_ENVIRONMENT_SET_GEOMETRY:
            f.geometry_changes.push_back(*static_cast<const retro_game_geometry*>(data));
            return true;
        case RETRO_ENVIRONMENT_SET_SERIALIZATION_QUIRKS:
            f.quirks = *static_cast<const uint64_t*>(data);
            return true;
        case RETRO_ENVIRONMENT_SET_MESSAGE:
            f.messages.push_back(static_cast<const retro_message*>(data)->msg);
            return true;
        case RETRO_ENVIRONMENT_SET_MEMORY_MAPS: {
            const auto* map = static_cast<const retro_memory_map*>(data);
            f.memory_map.assign(map->descriptors, map->descriptors + map->num_descriptors);
            return true;
        }
        case RETRO_ENVIRONMENT_GET_SAVESTATE_CONTEXT:
            *static_cast<int*>(data) = f.savestate_context;
            return true;
        case RETRO_ENVIRONMENT_GET_AUDIO_VIDEO_ENABLE:
            *static_cast<int*>(data) = f.audio_video;
            return true;
        default:
            return false;
    }
}

void video_refresh(const void* data, unsigned width, unsigned height, size_t pitch) {
    frontend& f = fe();
    if (!data) {
        f.frames_duped++;
        return;
    }
    f.frames_shown++;
    f.shown_data = data;
    f.shown_pitch = pitch;
    f.width = width;
    f.height = height;
    if (!f.keep_pictures) return;
    f.pixels.resize(size_t(width) * height);
    for (unsigned y = 0; y < height; y++)
        std::memcpy(&f.pixels[size_t(y) * width], static_cast<const uint8_t*>(data) + y * pitch, width * 2);
}

size_t audio_batch(const int16_t* data, size_t frames) {
    if (fe().keep_pictures) fe().audio.insert(fe().audio.end(), data, data + 2 * frames);
    return frames;
}

void input_poll() {
    if (fe().during_poll) fe().during_poll();
}

int16_t input_state(unsigned port, unsigned device, unsigned, unsigned id) {
    if (port > 1 || device != RETRO_DEVICE_JOYPAD || id > 15) return 0;
    return (fe().pads[port] >> id) & 1;
}

#ifdef _WIN32
void* open_library(const char* path) { return LoadLibraryA(path); }
std::string library_error() { return "LoadLibrary failed, error " + std::to_string(GetLastError()); }
void* symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void close_library(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
#else
// Kept mapped after dlclose, so the leak checker still sees what the core's
// own variables hold and reports it by name.
void* open_library(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE); }
std::string library_error() { return dlerror(); }
void* symbol(void* library, const char* name) { return dlsym(library, name); }
void close_library(void* library) { dlclose(library); }
#endif

template <typename T>
bool find(void* library, const char* name, T& to, std::string& error) {
    to = reinterpret_cast<T>(symbol(library, name));
    if (!to) error += std::string(name) + " is missing; ";
    return to != nullptr;
}

}  // namespace

bool frontend::open(const char* path, std::string& error) {
    library = open_library(path);
    if (!library) {
        error = library_error();
        return false;
    }
    bool ok = true;
    ok &= find(library, "retro_api_version", api_version, error);
    ok &= find(library, "retro_set_environment", set_environment, error);
    ok &= find(library, "retro_set_video_refresh", set_video_refresh, error);
    ok &= find(library, "retro_set_audio_sample", set_audio_sample, error);
    ok &= find(library, "retro_set_audio_sample_batch", set_audio_sample_batch, error);
    ok &= find(library, "retro_set_input_poll", set_input_poll, error);
    ok &= find(library, "retro_set_input_state", set_input_state, error);
    ok &= find(library, "retro_init", init, error);
    ok &= find(library, "retro_deinit", deinit, error);
    ok &= find(library, "retro_get_system_info", get_system_info, error);
    ok &= find(library, "retro_get_system_av_info", get_system_av_info, error);
    ok &= find(library, "retro_load_game", load_game, error);
    ok &= find(library, "retro_unload_game", unload_game, error);
    ok &= find(library, "retro_run", run, error);
    ok &= find(library, "retro_reset", reset, error);
    ok &= find(library, "retro_serialize_size", serialize_size, error);
    ok &= find(library, "retro_serialize", serialize, error);
    ok &= find(library, "retro_unserialize", unserialize, error);
    ok &= find(library, "retro_get_memory_data", get_memory_data, error);
    ok &= find(library, "retro_get_memory_size", get_memory_size, error);
    if (!ok) return false;
    if (api_version() != RETRO_API_VERSION) {
        error = "API version " + std::to_string(api_version());
        return false;
    }
    current = this;
    set_environment(environment);
    set_video_refresh(video_refresh);
    set_audio_sample([](int16_t, int16_t) {});
    set_audio_sample_batch(audio_batch);
    set_input_poll(input_poll);
    set_input_state(input_state);
    init();
    initialised = true;
    return true;
}

void frontend::close() {
    if (initialised) deinit();
    initialised = false;
    if (library) close_library(library);
    library = nullptr;
    if (current == this) current = nullptr;
}

bool frontend::load(const char* path) {
    retro_game_info info = {path, nullptr, 0, nullptr};
    return load_game(path ? &info : nullptr);
}

void frontend::set_option(const std::string& key, const std::string& value) {
    options[key] = value;
    options_changed = true;
}

void frontend::hold(unsigned port, unsigned id, bool held) {
    if (held)
        pads[port] |= uint16_t(1u << id);
    else
        pads[port] &= uint16_t(~(1u << id));
}

std::vector<uint8_t> frontend::save_state() {
    std::vector<uint8_t> state(serialize_size());
    if (state.empty() || !serialize(state.data(), state.size())) state.clear();
    return state;
}

bool frontend::load_state(const std::vector<uint8_t>& state) { return unserialize(state.data(), state.size()); }

bool frontend::logged(const std::string& text) const {
    for (const std::string& line : log)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

bool frontend::logged_at(retro_log_level level, const std::string& text) const {
    for (size_t i = 0; i < log.size(); ++i)
        if (log_levels[i] == level && log[i].find(text) != std::string::npos) return true;
    return false;
}

uint8_t* frontend::mapped(size_t address, uint64_t* flags) const {
    for (const retro_memory_descriptor& d : memory_map) {
        if ((address & d.select) != d.start || address - d.start >= d.len || !d.ptr) continue;
        if (flags) *flags = d.flags;
        return static_cast<uint8_t*>(d.ptr) + d.offset + (address - d.start);
    }
    return nullptr;
}
