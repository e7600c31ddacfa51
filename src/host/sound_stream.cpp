// The looping stream on the host's audio device: seven blocks of one frame,
// played in a loop by the device's callback, whose read position is the
// play cursor that paces the writer.
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/display.h"
#include "host/sound_sink.h"
#include "host/sound_stream.h"

namespace {

// How long the play cursor may stand still before the device counts as dead.
constexpr Uint32 stall_ms = 1000;

SDL_AudioDeviceID device;
bool own_audio_subsystem;
int16_t* ring;
int block_samples;
int ring_samples;
std::atomic<int> play_pos;  // next sample the callback reads
int block_index;
int stream_rate;
sound_sink* sink;

// The device reads whole chunks (about 12 ms at 44100 Hz), so its read
// position jumps. Passes paced by those jumps would come 12 or 23 ms apart
// and the frame timer would drop every other one; the play cursor instead
// moves through the last chunk read at the sample rate. Guarded by the
// device lock.
int chunk_start;
int chunk_samples;
Uint64 chunk_time;

// Runs on the device's thread, with the device locked.
void SDLCALL play_loop(void*, Uint8* stream, int len) {
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    int n = len / 2;
    if (!ring || ring_samples <= 0) {
        std::memset(stream, 0, static_cast<size_t>(len));
        return;
    }
    int pos = play_pos.load(std::memory_order_relaxed);
    chunk_start = pos;
    chunk_samples = n;
    chunk_time = SDL_GetPerformanceCounter();
    while (n > 0) {
        int chunk = ring_samples - pos < n ? ring_samples - pos : n;
        std::memcpy(out, ring + pos, sizeof(int16_t) * static_cast<size_t>(chunk));
        out += chunk;
        n -= chunk;
        pos += chunk;
        if (pos >= ring_samples) pos = 0;
    }
    play_pos.store(pos, std::memory_order_release);
}

int play_cursor() {
    SDL_LockAudioDevice(device);
    const int start = chunk_start;
    const int length = chunk_samples;
    const Uint64 time = chunk_time;
    SDL_UnlockAudioDevice(device);
    if (length <= 0) return play_pos.load(std::memory_order_acquire);
    const Uint64 played =
        (SDL_GetPerformanceCounter() - time) * static_cast<Uint64>(stream_rate) / SDL_GetPerformanceFrequency();
    const int into = played < static_cast<Uint64>(length) ? static_cast<int>(played) : length;
    return (start + into) % ring_samples;
}

int playing_block() { return play_cursor() / block_samples; }

void forget_chunk() {
    chunk_start = 0;
    chunk_samples = 0;
    chunk_time = 0;
}

// Device buffer: the largest power of two within one block, so that the
// callback's read-ahead stays under a block.
Uint16 device_samples(int block) {
    Uint16 s = 16;
    while (s * 2 <= block && s < 4096) s = static_cast<Uint16>(s * 2);
    return s;
}

}  // namespace

int init_sound(int rate) {
    if (device || ring) release_sound();
    if (rate <= 0 || rate / 60 <= 0) return 0;
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 1;  // no audio at all: run silently
        own_audio_subsystem = true;
    }
    block_samples = rate / 60;
    ring_samples = stream_blocks * block_samples;
    ring = new (std::nothrow) int16_t[static_cast<size_t>(ring_samples)]();
    if (!ring) {
        release_sound();
        return 0;
    }
    play_pos.store(0);
    forget_chunk();
    stream_rate = rate;

    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = device_samples(block_samples);
    want.callback = play_loop;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) {
        release_sound();  // no device: the system runs silently
        return 1;
    }
    return 1;
}

void write_stream_block(const int16_t* samples, int count) {
    if (!device || !ring || !samples) return;
    SDL_PauseAudioDevice(device, 0);
    block_index += 1;
    if (block_index > stream_blocks - 1) block_index = 0;

    int last = play_pos.load(std::memory_order_acquire);
    Uint32 since = SDL_GetTicks();
    while (block_index == playing_block()) {
        if (SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_PLAYING) {
            sound_error("The audio device stopped");
            return;
        }
        int now = play_pos.load(std::memory_order_acquire);
        if (now != last) {
            last = now;
            since = SDL_GetTicks();
        } else if (SDL_GetTicks() - since > stall_ms) {
            sound_error("The audio device stopped playing");
            return;
        }
        SDL_Delay(1);
    }

    const int n = count < block_samples ? (count > 0 ? count : 0) : block_samples;
    int16_t* dst = ring + block_index * block_samples;
    SDL_LockAudioDevice(device);
    std::memcpy(dst, samples, sizeof(int16_t) * static_cast<size_t>(n));
    std::memset(dst + n, 0, sizeof(int16_t) * static_cast<size_t>(block_samples - n));
    SDL_UnlockAudioDevice(device);
}

void silence_sound() {
    if (!device) return;
    SDL_PauseAudioDevice(device, 1);
    SDL_LockAudioDevice(device);
    if (ring) std::memset(ring, 0, sizeof(int16_t) * static_cast<size_t>(ring_samples));
    play_pos.store(0);
    forget_chunk();
    SDL_UnlockAudioDevice(device);
    block_index = 0;
}

void release_sound() {
    if (device) SDL_CloseAudioDevice(device);
    device = 0;
    delete[] ring;
    ring = nullptr;
    ring_samples = 0;
    if (own_audio_subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    own_audio_subsystem = false;
}

void sound_error(const char* what) {
    char text[512];
    const char* detail = SDL_GetError();
    if (!what) what = "Sound error";
    if (detail && *detail) std::snprintf(text, sizeof text, "%s: %s", what, detail);
    else std::snprintf(text, sizeof text, "%s", what);
    msg_box(text, "SC sound error");
    release_sound();
}

void set_sound_sink(sound_sink* s) { sink = s; }

void w32_update_audio(const int16_t* samples, int count) {
    if (!samples || count <= 0) return;
    if (sink) sink->write_block(samples, count);
    write_stream_block(samples, count);
}

int stream_open() { return device != 0; }

const int16_t* stream_buffer(int* samples) {
    if (samples) *samples = ring_samples;
    return ring;
}

int stream_block_index() { return block_index; }
