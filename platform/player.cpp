// The sound device behind platform/player.h: SDL2 audio in a window run, a
// virtual player on the backend's clock headless. Writes to the data area and
// the device thread's reads of it are serialised by the SDL device lock (the
// audio thread reads only inside its callback, which SDL runs under that lock).
// Only one image plays at a time, as with the platform player this stands in
// for.
#include "platform/player.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/int.h"
#include "platform/backend.h"
#include "platform/synth.h"

struct player_format {
    int32_t rate;
    int32_t channels;
    const uint8_t *data;  // the data area inside the image
    int32_t data_bytes;   // whole frames only
};

// Frames mixed at a time: the loop, the synthesiser, then the 16-bit output.
enum { PLAYER_BLOCK = 512 };

struct player_state {
    const uint8_t *image;      // the image being looped; null when nothing plays
    player_format format;      // where its data area is and how to play it
    int32_t frame_bytes;       // 2 bytes per channel of the image
    int32_t cursor;            // byte offset of the next frame in the data area
    SDL_AudioDeviceID device;  // the open SDL device, 0 when none
    int32_t device_frames;     // frames the device asks for at a time
    int virtual_clock;         // headless: plays as the backend's clock advances
    uint32_t start_tick;       // virtual: tick when this image started
    uint32_t last_tick;        // virtual: tick of the last catch-up
    uint64_t played;           // virtual: frames played since start_tick
    int64_t clock;             // frames played since the process started
    uint64_t mixed_at;         // performance counter at the last device block
    int64_t last_stamp;        // the newest position handed out by player_now
    SYNTH *synth;              // mixed after the loop, or null; not owned
    int muted;                 // plays digital silence (time goes on)
    int32_t percent = 100;     // --volume: every output value times percent / 100
    std::string device_name;   // --audio-device, or empty for the default
    int silent_said;           // "running without sound" was printed
};

static player_state player;

// Finds the format and the data area of a RIFF WAVE image of `size` bytes,
// skipping every other chunk. Sizes read from the image never reach past it.
static bool player_parse(const uint8_t *image, int64_t size, player_format *out) {
    if (!image || size < 12) return false;
    if (std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0) return false;
    int64_t end = 8 + (int64_t)le_get32(image + 4);
    if (end > size) end = size;
    bool have_format = false;
    uint32_t tag = 0, bits = 0;
    int64_t at = 12;
    while (at + 8 <= end) {
        const uint8_t *body = image + at + 8;
        int64_t chunk = le_get32(image + at + 4);
        int64_t room = end - (at + 8);
        if (std::memcmp(image + at, "fmt ", 4) == 0) {
            if (chunk < 16 || chunk > room) return false;
            tag = le_get16(body);
            out->channels = (int32_t)le_get16(body + 2);
            out->rate = (int32_t)le_get32(body + 4);
            bits = le_get16(body + 14);
            have_format = true;
        } else if (std::memcmp(image + at, "data", 4) == 0) {
            if (!have_format || tag != 1 || bits != 16) return false;
            if (out->channels < 1 || out->channels > 2) return false;
            if (out->rate < 1000 || out->rate > 192000) return false;
            if (chunk > room) chunk = room;
            int32_t frame = 2 * out->channels;
            out->data = body;
            out->data_bytes = (int32_t)(chunk / frame * frame);
            return out->data_bytes > 0;
        }
        // Chunks are padded to an even size.
        at += 8 + chunk + (chunk & 1);
    }
    return false;
}

// Serialises with the SDL audio thread; nothing to do without a device.
void player_lock(void) {
    if (player.device) SDL_LockAudioDevice(player.device);
}

void player_unlock(void) {
    if (player.device) SDL_UnlockAudioDevice(player.device);
}

static int16_t player_saturate(int32_t v) {
    return (int16_t)(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// The next n frames of the loop from the cursor (wrapping at the end of the
// data area), the loop's one channel in both, into `mix`.
static void player_loop_frames(int32_t *mix, int32_t n) {
    const player_format &f = player.format;
    for (int32_t i = 0; i < n; i++) {
        const uint8_t *p = f.data + player.cursor;
        int32_t left = (int16_t)le_get16(p);
        int32_t right = f.channels == 2 ? (int16_t)le_get16(p + 2) : left;
        mix[2 * i] = left;
        mix[2 * i + 1] = right;
        player.cursor += player.frame_bytes;
        if (player.cursor >= f.data_bytes) player.cursor = 0;
    }
}

// Plays n frames (n <= PLAYER_BLOCK): the loop, the synthesiser added after
// it, summed with saturation into 16-bit stereo; muted, digital silence while
// both go on in time. This is the one place played sound is made: it goes to
// the device (`out`, if any) or, headless, to the backend's outputs.
static void player_block(int16_t *out, int32_t n) {
    int32_t mix[2 * PLAYER_BLOCK];
    int16_t played[2 * PLAYER_BLOCK];
    player_loop_frames(mix, n);
    if (player.synth) synth_mix(player.synth, player.clock, mix, n);
    player.clock += n;
    int32_t percent = player.muted ? 0 : player.percent;
    for (int32_t i = 0; i < 2 * n; i++) played[i] = (int16_t)(player_saturate(mix[i]) * percent / 100);
    if (out) std::memcpy(out, played, sizeof(int16_t) * 2 * (size_t)n);
    if (player.virtual_clock) backend_sound_played(played, n, 2);
}

// Plays `frames` frames into `out` (if any) a block at a time.
static void player_emit(int16_t *out, int64_t frames) {
    while (frames > 0) {
        int32_t n = frames < PLAYER_BLOCK ? (int32_t)frames : PLAYER_BLOCK;
        player_block(out, n);
        if (out) out += 2 * n;
        frames -= n;
    }
}

// Headless: plays everything the virtual clock says is due. The data area
// changes only in winsnd_feed, which catches up first, so playing late in one
// go gives exactly what a player running alongside would have played.
void player_catch_up(void) {
    if (!player.virtual_clock || !player.image) return;
    uint32_t now = backend_ticks();
    // A clock that went back (the backend was started again) would make
    // weeks of sound due: the player goes on from the new time instead.
    if (now - player.last_tick > 0x7FFFFFFFu) {
        player.start_tick = now;
        player.played = 0;
    }
    player.last_tick = now;
    uint32_t elapsed = now - player.start_tick;
    uint64_t due = (uint64_t)elapsed * (uint64_t)player.format.rate / 1000u;
    if (due <= player.played) return;
    player_emit(nullptr, (int64_t)(due - player.played));
    player.played = due;
}

// SDL's audio thread asks for the next `len` bytes; SDL holds the device lock.
static void SDLCALL player_callback(void *, Uint8 *stream, int len) {
    if (!player.image) {
        std::memset(stream, 0, (size_t)len);
        return;
    }
    player_emit((int16_t *)stream, len / (2 * player_channels));
    player.mixed_at = SDL_GetPerformanceCounter();
}

// alsa-lib prints eight lines of its own when there is no sound card; the
// player says it once in one line instead.
static void player_alsa_quiet(const char *, int, const char *, int, const char *, ...) {}

// Opens a paused stereo SDL device; false leaves the program silent.
static bool player_open(void) {
    snd_lib_error_set_handler(player_alsa_quiet);
    SDL_AudioDeviceID device = 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want, have;
        SDL_zero(want);
        want.freq = player_rate;
        want.format = AUDIO_S16SYS;
        want.channels = player_channels;
        want.samples = 1024;
        want.callback = player_callback;
        // No allowed changes: SDL converts to whatever the device takes.
        device = SDL_OpenAudioDevice(player.device_name.empty() ? nullptr : player.device_name.c_str(), 0, &want, &have, 0);
        if (device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        else player.device_frames = have.samples;
    }
    if (device == 0) {
        if (!player.silent_said)
            std::fprintf(stderr, "rivo7315: no sound device (%s); running without sound\n", SDL_GetError());
        player.silent_said = 1;
        return false;
    }
    player.device = device;
    return true;
}

// Stops whatever plays; the SDL device is closed, which joins its thread.
void player_stop(void) {
    player_catch_up();
    if (player.device) {
        SDL_CloseAudioDevice(player.device);
        player.device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    player.image = nullptr;
    player.virtual_clock = 0;
}

// Starts looping the image from its beginning; silence when it cannot play.
void player_start(const uint8_t *image, int64_t size) {
    player_format f;
    if (!player_parse(image, size, &f) || f.rate != player_rate) return;
    bool headless = backend_is_headless() != 0;
    if (!headless && !player_open()) return;
    player_lock();
    player.format = f;
    player.frame_bytes = 2 * f.channels;
    player.cursor = 0;
    player.image = image;
    player.virtual_clock = headless;
    player.start_tick = headless ? backend_ticks() : 0;
    player.last_tick = player.start_tick;
    player.played = 0;
    player.mixed_at = SDL_GetPerformanceCounter();
    player_unlock();
    if (headless) {
        backend_sound_source(player_catch_up);
    } else {
        SDL_PauseAudioDevice(player.device, 0);
    }
}

int64_t player_now(void) {
    player_catch_up();
    player_lock();
    int64_t now = -1;
    if (player.image) {
        now = player.clock;
        if (player.device) {
            // The device's next block starts at `clock`; a message sent a
            // while after the last block lands as far into the next one.
            uint64_t ticks = SDL_GetPerformanceCounter() - player.mixed_at;
            int64_t late = (int64_t)((double)ticks * player_rate / (double)SDL_GetPerformanceFrequency());
            now += late < player.device_frames ? late : player.device_frames;
        }
        if (now < player.last_stamp) now = player.last_stamp;
        player.last_stamp = now;
    }
    player_unlock();
    return now;
}

void player_mix_synth(SYNTH *synth) {
    player_catch_up();
    player_lock();
    player.synth = synth;
    player_unlock();
}

void player_mute(int muted) {
    player_catch_up();
    player_lock();
    player.muted = muted != 0;
    player_unlock();
}

const uint8_t *player_image(void) { return player.image; }

void player_set_volume(int32_t percent) {
    player_catch_up();
    player_lock();
    player.percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    player_unlock();
}

void player_use_device(const char *name) { player.device_name = name ? name : ""; }

// SDL's playback devices need its audio subsystem; it is left as it was.
static int player_devices_begin(void) {
    snd_lib_error_set_handler(player_alsa_quiet);
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

void player_list_devices(FILE *out) {
    if (!player_devices_begin()) {
        fprintf(out, "no sound output device (%s)\n", SDL_GetError());
        return;
    }
    int n = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < n; i++) fprintf(out, "%s\n", SDL_GetAudioDeviceName(i, 0));
    if (n <= 0) fprintf(out, "no sound output device is listed (the system's default is used)\n");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int player_has_device(const char *name) {
    if (!name || !player_devices_begin()) return 0;
    int found = 0, n = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < n && !found; i++) found = !strcmp(name, SDL_GetAudioDeviceName(i, 0));
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return found;
}
