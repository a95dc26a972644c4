// Sound playback: WINSND builds a three-second 16-bit mono WAV image in memory
// and has one process-wide player loop it; winsnd_feed copies the next stretch
// of its queue of SAMPLEs into the data area while it plays. The player is a
// small looping WAV player over SDL2 audio, or, headless, a virtual one that
// advances 44100 frames per second of the backend's virtual clock. It mixes
// the built-in synthesiser after the loop into 16-bit stereo, and either kind
// can write what it plays to a WAV file. Writes to the data area and the player's
// reads of it are serialised by the SDL device lock (the audio thread reads
// only inside its callback, which SDL runs under that lock). Only one image
// plays at a time, as with the platform player this stands in for: a new
// WINSND does not interrupt a playing one; winsnd_feed_restart does.
#include "audio/winsnd.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/synth.h"
#include "host/int.h"
#include "host/module.h"

RIVO_IDENTITY(winsnd, "WINSND  ", "20140823", "Ostrevik", "WINDOWS ", "CODE    ");
RIVO_REPORTER(winsnd, 0, "WINSND error\n");

static const char winsnd_empty_text[1] = "";

// The image's header: RIFF/WAVE, a 16-byte PCM format chunk (mono, 16-bit,
// 44100 per second), the private "RIVI" chunk holding 11025, then "data".
static void winsnd_write_header(uint8_t *image, int32_t length) {
    uint32_t data_bytes = 2u * (uint32_t)length;
    std::memcpy(image + 0, "RIFF", 4);
    le_put32(image + 4, data_bytes + winsnd_header_size - 8);
    std::memcpy(image + 8, "WAVE", 4);
    std::memcpy(image + 12, "fmt ", 4);
    le_put32(image + 16, 16);
    le_put16(image + 20, 1);
    le_put16(image + 22, 1);
    le_put32(image + 24, 44100);
    le_put32(image + 28, 88200);
    le_put16(image + 32, 2);
    le_put16(image + 34, 16);
    std::memcpy(image + 36, "RIVI", 4);
    le_put32(image + 40, 4);
    le_put32(image + 44, 11025);
    std::memcpy(image + 48, "data", 4);
    le_put32(image + 52, data_bytes);
}

// ---------------------------------------------------------------------------
// The player: one for the process, looping one image at a time.

struct winsnd_format {
    int32_t rate;
    int32_t channels;
    const uint8_t *data;  // the data area inside the image
    int32_t data_bytes;   // whole frames only
};

// Frames mixed at a time: the loop, the synthesiser, then the 16-bit output.
enum { WINSND_BLOCK = 512 };

struct winsnd_player {
    const uint8_t *image;      // the image being looped; null when nothing plays
    winsnd_format format;      // where its data area is and how to play it
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
    int64_t last_stamp;        // the newest position handed out by winsnd_now
    SYNTH *synth;              // mixed after the loop, or null; not owned
    int muted;                 // plays digital silence (time goes on)
    int silent_said;           // "running without sound" was printed
    FILE *capture;             // where played frames are also written, or null
    uint32_t capture_bytes;    // data bytes written to it so far
    int exit_hook;             // the exit handler is registered
};

static winsnd_player winsnd_play;

// A WAV file's 32-bit sizes must stay below 4 GiB; capturing stops short of it.
static const uint32_t winsnd_capture_limit = 0x7FFFF000u;

// Finds the format and the data area of a RIFF WAVE image of `size` bytes,
// skipping every other chunk. Sizes read from the image never reach past it.
static bool winsnd_parse(const uint8_t *image, int64_t size, winsnd_format *out) {
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
static void winsnd_player_lock(void) {
    if (winsnd_play.device) SDL_LockAudioDevice(winsnd_play.device);
}

static void winsnd_player_unlock(void) {
    if (winsnd_play.device) SDL_UnlockAudioDevice(winsnd_play.device);
}

// Rewrites the capture's 44-byte header (stereo, 16-bit, 44100 frames per
// second) for the data written so far, so the file is a valid WAV file after
// every write.
static void winsnd_capture_header(void) {
    uint8_t h[44];
    std::memcpy(h + 0, "RIFF", 4);
    le_put32(h + 4, 36 + winsnd_play.capture_bytes);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    le_put32(h + 16, 16);
    le_put16(h + 20, 1);
    le_put16(h + 22, winsnd_out_channels);
    le_put32(h + 24, winsnd_out_rate);
    le_put32(h + 28, winsnd_out_rate * 2 * winsnd_out_channels);
    le_put16(h + 32, 2 * winsnd_out_channels);
    le_put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    le_put32(h + 40, winsnd_play.capture_bytes);
    std::fseek(winsnd_play.capture, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, winsnd_play.capture);
    std::fseek(winsnd_play.capture, 0, SEEK_END);
    std::fflush(winsnd_play.capture);
}

static void winsnd_capture_write(const int16_t *frames, int32_t n) {
    if (!winsnd_play.capture || n <= 0) return;
    uint8_t bytes[4 * WINSND_BLOCK];
    int64_t size = 4 * (int64_t)n;
    int64_t room = (int64_t)winsnd_capture_limit - winsnd_play.capture_bytes;
    if (size > room) size = room;
    if (size <= 0) return;
    for (int32_t i = 0; i < 2 * n; i++) le_put16(bytes + 2 * i, (uint16_t)frames[i]);
    size_t written = std::fwrite(bytes, 1, (size_t)size, winsnd_play.capture);
    winsnd_play.capture_bytes += (uint32_t)written;
    winsnd_capture_header();
}

static int16_t winsnd_saturate(int32_t v) {
    return (int16_t)(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// The next n frames of the loop from the cursor (wrapping at the end of the
// data area), the loop's one channel in both, into `mix`.
static void winsnd_loop_frames(int32_t *mix, int32_t n) {
    const winsnd_format &f = winsnd_play.format;
    for (int32_t i = 0; i < n; i++) {
        const uint8_t *p = f.data + winsnd_play.cursor;
        int32_t left = (int16_t)le_get16(p);
        int32_t right = f.channels == 2 ? (int16_t)le_get16(p + 2) : left;
        mix[2 * i] = left;
        mix[2 * i + 1] = right;
        winsnd_play.cursor += winsnd_play.frame_bytes;
        if (winsnd_play.cursor >= f.data_bytes) winsnd_play.cursor = 0;
    }
}

// Plays n frames (n <= WINSND_BLOCK): the loop, the synthesiser added after
// it, summed with saturation into 16-bit stereo; muted, digital silence while
// both go on in time. This is the one place played sound is made: it goes to
// the device (`out`, if any) and the capture (if any).
static void winsnd_player_block(int16_t *out, int32_t n) {
    int32_t mix[2 * WINSND_BLOCK];
    int16_t played[2 * WINSND_BLOCK];
    winsnd_loop_frames(mix, n);
    if (winsnd_play.synth) synth_mix(winsnd_play.synth, winsnd_play.clock, mix, n);
    winsnd_play.clock += n;
    for (int32_t i = 0; i < 2 * n; i++) played[i] = winsnd_play.muted ? 0 : winsnd_saturate(mix[i]);
    if (out) std::memcpy(out, played, sizeof(int16_t) * 2 * (size_t)n);
    winsnd_capture_write(played, n);
    if (winsnd_play.virtual_clock) backend_sound_played(played, n, 2);
}

// Plays `frames` frames into `out` (if any) a block at a time.
static void winsnd_player_emit(int16_t *out, int64_t frames) {
    while (frames > 0) {
        int32_t n = frames < WINSND_BLOCK ? (int32_t)frames : WINSND_BLOCK;
        winsnd_player_block(out, n);
        if (out) out += 2 * n;
        frames -= n;
    }
}

// Headless: plays everything the virtual clock says is due. The data area
// changes only in winsnd_feed, which catches up first, so playing late in one
// go gives exactly what a player running alongside would have played.
static void winsnd_player_catch_up(void) {
    if (!winsnd_play.virtual_clock || !winsnd_play.image) return;
    uint32_t now = backend_ticks();
    // A clock that went back (the backend was started again) would make
    // weeks of sound due: the player goes on from the new time instead.
    if (now - winsnd_play.last_tick > 0x7FFFFFFFu) {
        winsnd_play.start_tick = now;
        winsnd_play.played = 0;
    }
    winsnd_play.last_tick = now;
    uint32_t elapsed = now - winsnd_play.start_tick;
    uint64_t due = (uint64_t)elapsed * (uint64_t)winsnd_play.format.rate / 1000u;
    if (due <= winsnd_play.played) return;
    winsnd_player_emit(nullptr, (int64_t)(due - winsnd_play.played));
    winsnd_play.played = due;
}

// SDL's audio thread asks for the next `len` bytes; SDL holds the device lock.
static void SDLCALL winsnd_player_callback(void *, Uint8 *stream, int len) {
    if (!winsnd_play.image) {
        std::memset(stream, 0, (size_t)len);
        return;
    }
    winsnd_player_emit((int16_t *)stream, len / (2 * winsnd_out_channels));
    winsnd_play.mixed_at = SDL_GetPerformanceCounter();
}

// The program ends with exit() from anywhere: play what the virtual clock
// still owes and close the capture so nothing is written during teardown.
static void winsnd_player_at_exit(void) {
    winsnd_player_catch_up();
    winsnd_player_lock();
    if (winsnd_play.capture) std::fclose(winsnd_play.capture);
    winsnd_play.capture = nullptr;
    winsnd_player_unlock();
}

static void winsnd_player_hook_exit(void) {
    if (winsnd_play.exit_hook) return;
    if (std::atexit(winsnd_player_at_exit) == 0) winsnd_play.exit_hook = 1;
}

// alsa-lib prints eight lines of its own when there is no sound card; the
// player says it once in one line instead.
static void winsnd_alsa_quiet(const char *, int, const char *, int, const char *, ...) {}

// Opens a paused stereo SDL device; false leaves the program silent.
static bool winsnd_player_open(void) {
    snd_lib_error_set_handler(winsnd_alsa_quiet);
    SDL_AudioDeviceID device = 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want, have;
        SDL_zero(want);
        want.freq = winsnd_out_rate;
        want.format = AUDIO_S16SYS;
        want.channels = winsnd_out_channels;
        want.samples = 1024;
        want.callback = winsnd_player_callback;
        // No allowed changes: SDL converts to whatever the device takes.
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        else winsnd_play.device_frames = have.samples;
    }
    if (device == 0) {
        if (!winsnd_play.silent_said)
            std::fprintf(stderr, "rivo7315: no sound device (%s); running without sound\n", SDL_GetError());
        winsnd_play.silent_said = 1;
        return false;
    }
    winsnd_play.device = device;
    return true;
}

// Stops whatever plays; the SDL device is closed, which joins its thread.
static void winsnd_player_stop(void) {
    winsnd_player_catch_up();
    if (winsnd_play.device) {
        SDL_CloseAudioDevice(winsnd_play.device);
        winsnd_play.device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    winsnd_play.image = nullptr;
    winsnd_play.virtual_clock = 0;
}

// Starts looping the image from its beginning; silence when it cannot play.
static void winsnd_player_start(const uint8_t *image, int64_t size) {
    winsnd_format f;
    if (!winsnd_parse(image, size, &f) || f.rate != winsnd_out_rate) return;
    bool headless = backend_headless() != 0;
    if (!headless && !winsnd_player_open()) return;
    winsnd_player_lock();
    winsnd_play.format = f;
    winsnd_play.frame_bytes = 2 * f.channels;
    winsnd_play.cursor = 0;
    winsnd_play.image = image;
    winsnd_play.virtual_clock = headless;
    winsnd_play.start_tick = headless ? backend_ticks() : 0;
    winsnd_play.last_tick = winsnd_play.start_tick;
    winsnd_play.played = 0;
    winsnd_play.mixed_at = SDL_GetPerformanceCounter();
    winsnd_player_unlock();
    if (headless) {
        winsnd_player_hook_exit();
        backend_sound_source(winsnd_player_catch_up);
    } else {
        SDL_PauseAudioDevice(winsnd_play.device, 0);
    }
}

void winsnd_capture_to(const char *path) {
    winsnd_player_catch_up();
    FILE *file = path ? std::fopen(path, "wb") : nullptr;
    if (path && !file) winsnd_error();
    winsnd_player_lock();
    if (winsnd_play.capture) std::fclose(winsnd_play.capture);
    winsnd_play.capture = file;
    winsnd_play.capture_bytes = 0;
    if (file) winsnd_capture_header();
    winsnd_player_unlock();
    if (file) winsnd_player_hook_exit();
}

int64_t winsnd_now(void) {
    winsnd_player_catch_up();
    winsnd_player_lock();
    int64_t now = -1;
    if (winsnd_play.image) {
        now = winsnd_play.clock;
        if (winsnd_play.device) {
            // The device's next block starts at `clock`; a message sent a
            // while after the last block lands as far into the next one.
            uint64_t ticks = SDL_GetPerformanceCounter() - winsnd_play.mixed_at;
            int64_t late = (int64_t)((double)ticks * winsnd_out_rate / (double)SDL_GetPerformanceFrequency());
            now += late < winsnd_play.device_frames ? late : winsnd_play.device_frames;
        }
        if (now < winsnd_play.last_stamp) now = winsnd_play.last_stamp;
        winsnd_play.last_stamp = now;
    }
    winsnd_player_unlock();
    return now;
}

void winsnd_mix_synth(SYNTH *synth) {
    winsnd_player_catch_up();
    winsnd_player_lock();
    winsnd_play.synth = synth;
    winsnd_player_unlock();
}

void winsnd_mute(int muted) {
    winsnd_player_catch_up();
    winsnd_player_lock();
    winsnd_play.muted = muted != 0;
    winsnd_player_unlock();
}

// ---------------------------------------------------------------------------
// The record.

// Bytes of the WAV image: the header, then two bytes per value of the loop.
static int64_t winsnd_image_size(const WINSND *w) { return 2 * (int64_t)w->length + winsnd_header_size; }

WINSND *winsnd_new(void) {
    WINSND *w = (WINSND *)std::calloc(1, sizeof(WINSND));
    if (!w) {
        winsnd_error();
        return nullptr;
    }
    w->rate = 44100;
    w->resolution = 16;
    w->sign = 's';
    w->order = 'l';
    w->queue = list_new();
    w->current = nullptr;
    w->position = 0;
    w->length = winsnd_length;
    w->total = 0;
    w->image = (uint8_t *)std::calloc((size_t)winsnd_image_size(w), 1);
    if (w->image) {
        winsnd_write_header(w->image, w->length);
        // Like the platform player asked not to interrupt: only when silent.
        if (!winsnd_play.image) winsnd_player_start(w->image, winsnd_image_size(w));
    }
    return w;
}

void winsnd_del(WINSND **w) {
    if (!w || !*w) {
        winsnd_error();
        return;
    }
    WINSND *r = *w;
    // The player reads the image until it is stopped.
    if (r->image && winsnd_play.image == r->image) winsnd_player_stop();
    std::free(r->image);
    if (r->queue) list_del(&r->queue);
    std::free(r);
    *w = nullptr;
}

// Stores n values of s from index `from` into data slots 0..n-1, each as the
// low 16 bits of the 32-bit value: nothing is clipped, large values wrap.
static void winsnd_store(WINSND *w, const SAMPLE *s, int32_t from, int32_t n) {
    if (!w->image || !s->data || from < 0) return;
    if (n > s->count - from) n = s->count - from;
    if (n > w->length) n = w->length;
    if (n <= 0) return;
    uint8_t *out = w->image + winsnd_header_size;
    const int32_t *in = s->data + from;
    winsnd_player_lock();
    for (int32_t i = 0; i < n; i++) le_put16(out + 2 * i, (uint32_t)in[i]);
    winsnd_player_unlock();
}

// The copy both feeds share: 0 when there was nothing to copy, else 1.
static int winsnd_copy_next(WINSND *w) {
    // Values played until now came from the data as it was.
    winsnd_player_catch_up();
    if (!w->queue) {
        w->queue = list_new();
        return 0;
    }
    if (w->queue->count < 1) return 0;
    w->current = (SAMPLE *)list_get(w->queue, 0);
    if (!w->current) return 0;
    int32_t n;
    if ((int64_t)w->position + w->length <= w->current->count) {
        winsnd_store(w, w->current, w->position, w->length);
        w->position += w->length;
        n = w->length;
    } else {
        list_remove(w->queue, 0);
        // A position past the end (the sample shrank meanwhile) copies nothing.
        n = w->current->count - w->position;
        if (n < 0) n = 0;
        winsnd_store(w, w->current, w->position, n);
        w->position = 0;
    }
    // The running count wraps, as the process runs for hours.
    w->total = wrap_add(w->total, n);
    return 1;
}

bool winsnd_feed(WINSND *w) {
    if (!w) {
        winsnd_error();
        return false;
    }
    if (!winsnd_copy_next(w)) return false;
    return w->queue->count > 0;
}

bool winsnd_feed_restart(WINSND *w) {
    if (!w) {
        winsnd_error();
        return false;
    }
    if (!winsnd_copy_next(w)) return false;
    if (w->image) {
        winsnd_player_stop();
        winsnd_player_start(w->image, winsnd_image_size(w));
    }
    return w->position != 0;
}

const char *winsnd_to_text(const WINSND *w) {
    if (!w) {
        winsnd_error();
        return nullptr;
    }
    return winsnd_empty_text;
}

WINSND *winsnd_from_text(const char *) { return nullptr; }

bool winsnd_compare(const WINSND *a, const WINSND *b) {
    if (!a || !b) {
        winsnd_error();
        return false;
    }
    return true;
}

WINSND *winsnd_dup(const WINSND *w) {
    if (!w) winsnd_error();
    return nullptr;
}
