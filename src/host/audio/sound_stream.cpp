// The ring of samples on the host's audio device. Frames hand out rate/60
// samples or one more, so the writer appends whatever a frame gives; the
// device's callback reads behind it. Both positions count samples from the
// opening of the stream and only grow.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/platform/host_system.h"
#include "host/settings/options.h"
#include "host/audio/sound_sink.h"
#include "host/audio/sound_stream.h"

namespace {

// How long the play cursor may stand still before the device counts as dead.
constexpr Uint32 stall_ms = 1000;

SDL_AudioDeviceID device;
bool own_audio_subsystem;
std::vector<int16_t> ring;  // a power of two long
uint64_t ring_mask;
int latency_samples;
int stream_rate;
bool playing;  // the device was started since the last silence
std::atomic<uint64_t> written;  // samples the writer has put in the ring
std::atomic<uint64_t> taken;    // samples the callback has taken
std::atomic<int> underruns;
int max_ahead;
sound_sink* sink;

// The device reads whole chunks (about 12 ms at 44100 Hz), so its read
// position jumps. Passes paced by those jumps would come 12 or 23 ms apart
// and the frame timer would drop every other one; the play cursor instead
// moves through the last chunk read at the sample rate. Guarded by the
// device lock.
uint64_t chunk_start;
int chunk_samples;
Uint64 chunk_time;

// Runs on the device's thread, with the device locked. A chunk the writer
// has not filled is finished with silence and the read stops at the writer,
// so nothing written is ever skipped.
void SDLCALL play_ring(void*, Uint8* stream, int len) {
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    const int want = len / 2;
    const uint64_t from = taken.load(std::memory_order_relaxed);
    const uint64_t ready = written.load(std::memory_order_acquire) - from;
    const int have = ready < static_cast<uint64_t>(want) ? static_cast<int>(ready) : want;
    for (int i = 0; i < have; ++i) out[i] = ring[(from + static_cast<uint64_t>(i)) & ring_mask];
    std::memset(out + have, 0, sizeof(int16_t) * static_cast<size_t>(want - have));
    if (have < want) underruns.fetch_add(1, std::memory_order_relaxed);
    chunk_start = from;
    chunk_samples = have;
    chunk_time = SDL_GetPerformanceCounter();
    taken.store(from + static_cast<uint64_t>(have), std::memory_order_release);
}

uint64_t play_cursor() {
    SDL_LockAudioDevice(device);
    const uint64_t start = chunk_start;
    const int length = chunk_samples;
    const Uint64 time = chunk_time;
    SDL_UnlockAudioDevice(device);
    if (length <= 0) return taken.load(std::memory_order_acquire);
    const Uint64 played = (SDL_GetPerformanceCounter() - time) * static_cast<Uint64>(stream_rate) /
                          SDL_GetPerformanceFrequency();
    return start + std::min<Uint64>(played, static_cast<Uint64>(length));
}

void forget_chunk() {
    chunk_start = taken.load();
    chunk_samples = 0;
    chunk_time = 0;
}

// Device buffer: the largest power of two within half a frame's block. The
// device takes that much at a time, so the smaller it is, the later the
// writer may come before the device finds too little.
Uint16 device_samples(int block) {
    Uint16 s = 16;
    while (s * 4 <= block && s < 4096) s = static_cast<Uint16>(s * 2);
    return s;
}

// Room for more samples within the latency, waiting until there is some;
// 0 when the device stopped.
int wait_for_room() {
    uint64_t last = taken.load(std::memory_order_acquire);
    Uint32 since = SDL_GetTicks();
    for (;;) {
        const uint64_t ahead = written.load(std::memory_order_relaxed) - play_cursor();
        if (ahead < static_cast<uint64_t>(latency_samples)) return latency_samples - static_cast<int>(ahead);
        if (SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_PLAYING) {
            sound_error("The audio device stopped");
            return 0;
        }
        const uint64_t now = taken.load(std::memory_order_acquire);
        if (now != last) {
            last = now;
            since = SDL_GetTicks();
        } else if (SDL_GetTicks() - since > stall_ms) {
            sound_error("The audio device stopped playing");
            return 0;
        }
        SDL_Delay(1);
    }
}

// A frame goes in as room opens, piece by piece, so the writer stays right at
// the latency and the device has the most it may have.
void write_stream(const int16_t* samples, int count) {
    const int level = std::clamp(volume, 0, 100);
    while (count > 0 && device && !ring.empty()) {
        const int room = playing ? wait_for_room() : latency_samples;
        if (room <= 0) return;
        const int n = std::min(count, room);
        const uint64_t at = written.load(std::memory_order_relaxed);
        for (int i = 0; i < n; ++i)
            ring[(at + static_cast<uint64_t>(i)) & ring_mask] = static_cast<int16_t>(samples[i] * level / 100);
        written.store(at + static_cast<uint64_t>(n), std::memory_order_release);
        max_ahead = std::max(max_ahead, static_cast<int>(at + static_cast<uint64_t>(n) - play_cursor()));
        samples += n;
        count -= n;
        // The device starts once it has samples to read, so its first
        // chunk is not an underrun.
        if (!playing) {
            playing = true;
            SDL_PauseAudioDevice(device, 0);
        }
    }
}

}  // namespace

int init_sound(int rate) {
    if (device || !ring.empty()) release_sound();
    if (rate <= 0 || rate / 60 <= 0) return 0;
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 1;  // no audio at all: run silently
        own_audio_subsystem = true;
    }
    const int block = rate / 60;
    // Never less than one frame's block.
    latency_samples = std::max(static_cast<int>(static_cast<int64_t>(latency_ms) * rate / 1000), block);
    size_t length = 1024;
    while (length < static_cast<size_t>(latency_samples) * 2) length *= 2;
    ring.assign(length, 0);
    ring_mask = length - 1;
    stream_rate = rate;
    written.store(0);
    taken.store(0);
    underruns.store(0);
    max_ahead = 0;
    playing = false;
    forget_chunk();

    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = device_samples(block);
    want.callback = play_ring;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) release_sound();  // no device: the system runs silently
    return 1;
}

void silence_sound() {
    if (!device) return;
    SDL_PauseAudioDevice(device, 1);
    SDL_LockAudioDevice(device);
    // What was written and not yet played is dropped: the next frame plays
    // at once when the stream starts again.
    taken.store(written.load());
    forget_chunk();
    SDL_UnlockAudioDevice(device);
    playing = false;
}

void release_sound() {
    if (device) SDL_CloseAudioDevice(device);
    device = 0;
    ring.clear();
    ring.shrink_to_fit();
    playing = false;
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

void feed_sound_sink(const int16_t* samples, int count) {
    if (sink && samples && count > 0) sink->write_block(samples, count);
}

void queue_frame_sound(const int16_t* samples, int count) {
    if (!samples || count <= 0) return;
    feed_sound_sink(samples, count);
    write_stream(samples, count);
}

int stream_open() { return device != 0; }

int stream_latency_samples() { return latency_samples; }

stream_stats sound_stream_stats() {
    return {static_cast<int64_t>(written.load()), max_ahead, underruns.load()};
}
