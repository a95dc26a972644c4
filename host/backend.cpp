// Host backend: picks SDL2 or headless, numbers frames, keeps the last frame
// shown in memory, prints hashes, writes captures, delivers scripted keys and
// ends the run at the frame limit. Headless: no display, no sound device, and
// a virtual millisecond clock that moves only inside backend_sleep, so two runs
// with the same options are identical byte for byte. One instance, one thread.
#include "host/backend.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/cli.h"
#include "host/sdlhost.h"
#include "imaging/img.h"

static int backend_started;
static int backend_is_headless;
static uint32_t backend_clock;         // headless milliseconds
static int32_t backend_zoom = 1;
static int32_t backend_fullscreen;
static int32_t backend_frame_limit;    // 0: none
static int32_t backend_frames_ended;   // frame-timer frames so far
static int backend_hash;
static char *backend_capture;          // capture directory, owned
static CLI_KEY *backend_keys;          // scripted keys, sorted by frame; owned
static int32_t backend_key_count;
static int32_t backend_key_next;       // first key not yet delivered
static uint32_t backend_numbered;      // frames numbered so far
static int backend_shown_since_poll;   // a present since the last key round
static uint8_t *backend_bytes;         // copy of the last frame shown
static int32_t backend_w, backend_h;
static int backend_window;             // the SDL window exists
static uint32_t backend_idle_rounds;   // key rounds since the last present or frame end

// Headless, a pause with no scripted key left can never end: nothing else
// can type. After this many idle rounds the run stops instead of spinning.
enum { BACKEND_STUCK_ROUNDS = 1000000 };

int backend_headless(void) { return backend_is_headless; }

uint32_t backend_ticks(void) { return backend_is_headless ? backend_clock : sdlhost_ticks(); }

void backend_sleep(uint32_t ms) {
    if (backend_is_headless)
        backend_clock += ms;  // unsigned: wraps at 2^32 like the real counter
    else
        sdlhost_sleep(ms);
}

int backend_start(const CLI *options) {
    backend_stop();
    if (!backend_started) atexit(backend_stop);
    backend_started = 1;
    backend_clock = 0;
    backend_frames_ended = 0;
    backend_numbered = 0;
    backend_shown_since_poll = 0;
    backend_key_next = 0;
    backend_idle_rounds = 0;
    if (!options) return 1;
    backend_is_headless = options->headless != 0;
    backend_zoom = options->zoom >= 1 && options->zoom <= 16 ? options->zoom : 1;
    backend_fullscreen = options->fullscreen;
    backend_frame_limit = options->frames > 0 ? options->frames : 0;
    backend_hash = options->hash;
    if (backend_is_headless) {
        // Nothing behind SDL's back may open a device: point both at nothing.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    if (options->key_count > 0 && options->keys) {
        backend_keys = (CLI_KEY *)calloc((size_t)options->key_count, sizeof(CLI_KEY));
        if (!backend_keys) {
            // Not the capture directory's fault: say what ran out and stop.
            fprintf(stderr, "rivo7315: cannot keep the scripted keys (out of memory)\n");
            exit(CLI_NO_MEMORY);
        }
        memcpy(backend_keys, options->keys, sizeof(CLI_KEY) * (size_t)options->key_count);
        backend_key_count = options->key_count;
    }
    if (options->capture) {
        if (mkdir(options->capture, 0777) != 0 && errno != EEXIST) return 0;
        struct stat st;
        if (stat(options->capture, &st) != 0 || !S_ISDIR(st.st_mode)) return 0;
        backend_capture = strdup(options->capture);
        if (!backend_capture) return 0;
    }
    return 1;
}

void backend_stop(void) {
    fflush(stdout);
    if (backend_window) sdlhost_close();
    backend_window = 0;
    free(backend_capture);
    backend_capture = nullptr;
    free(backend_keys);
    backend_keys = nullptr;
    backend_key_count = 0;
    free(backend_bytes);
    backend_bytes = nullptr;
    backend_w = backend_h = 0;
    backend_is_headless = 0;
    backend_zoom = 1;
    backend_fullscreen = 0;
    backend_frame_limit = 0;
    backend_hash = 0;
}

int backend_open(int32_t w, int32_t h) {
    if (w < 0 || h < 0) return 0;
    if (backend_is_headless) return 1;
    if (!sdlhost_open(w, h, backend_zoom, backend_fullscreen)) return 0;
    backend_window = 1;
    return 1;
}

// Keeps a copy of the frame: the F12 snapshot and the tests read it later.
static void backend_keep(const uint8_t *bgr, int32_t w, int32_t h) {
    size_t n = (size_t)w * (size_t)h * 3;
    if (!backend_bytes || w != backend_w || h != backend_h) {
        free(backend_bytes);
        backend_bytes = (uint8_t *)calloc(n ? n : 1, 1);
        backend_w = backend_bytes ? w : 0;
        backend_h = backend_bytes ? h : 0;
        if (!backend_bytes) return;
    }
    memcpy(backend_bytes, bgr, n);
}

void backend_show(const IMG *image, const uint8_t *bgr, int32_t w, int32_t h) {
    if (!bgr || w < 0 || h < 0) return;
    uint32_t frame = backend_numbered++;
    backend_shown_since_poll = 1;
    backend_idle_rounds = 0;
    backend_keep(bgr, w, h);
    if (backend_hash) {
        printf("%06u %08x\n", frame, backend_crc32(bgr, (size_t)w * (size_t)h * 3));
        fflush(stdout);  // a line per frame as it happens, also into a pipe or file
    }
    if (backend_capture && image) {
        char path[4096];
        snprintf(path, sizeof path, "%s/frame_%06u.ppm", backend_capture, frame);
        img_save_ppm(image, path);
    }
    if (backend_window) sdlhost_show(bgr, w, h);
}

int backend_poll(int32_t *vk) {
    // A round without a present is a frame of its own (the demo is paused).
    if (!backend_shown_since_poll) backend_numbered++;
    backend_shown_since_poll = 0;
    if (backend_is_headless && backend_key_next >= backend_key_count &&
        ++backend_idle_rounds >= BACKEND_STUCK_ROUNDS) {
        fprintf(stderr, "rivo7315: paused with no scripted key left to resume it; stopping\n");
        exit(1);
    }
    int kind = BACKEND_NONE;
    int32_t code = 0;
    // Keys typed while frame F was on screen are due once F has been numbered.
    if (backend_key_next < backend_key_count && backend_keys[backend_key_next].frame < backend_numbered) {
        code = backend_keys[backend_key_next++].vk;
        kind = BACKEND_KEY;
    } else if (backend_window) {
        kind = sdlhost_poll(&code);
    }
    if (kind == BACKEND_KEY && code == 0x7B && backend_window) {
        // F12 in a window: keep the frame on screen as a picture.
        char path[64];
        snprintf(path, sizeof path, "rivo7315_%06u.ppm", backend_numbered ? backend_numbered - 1 : 0);
        backend_save_shown(path);
    }
    if (vk) *vk = code;
    return kind;
}

void backend_frame_end(void) {
    backend_frames_ended++;
    backend_idle_rounds = 0;
    if (backend_frame_limit > 0 && backend_frames_ended >= backend_frame_limit) exit(0);
}

uint32_t backend_frame(void) { return backend_numbered; }

const uint8_t *backend_last_frame(int32_t *w, int32_t *h) {
    if (w) *w = backend_w;
    if (h) *h = backend_h;
    return backend_bytes;
}

int backend_save_shown(const char *path) {
    if (!path || !backend_bytes || backend_w < 1 || backend_h < 1) return 0;
    IMG *image = img_new();
    if (!image) return 0;
    img_resize(image, backend_w, backend_h);
    int ok = 0;
    if (image->pixels) {
        // Stored row s holds image row h - 1 - s, each pixel as blue, green, red.
        for (int32_t s = 0; s < backend_h; s++) {
            const uint8_t *b = backend_bytes + (size_t)s * (size_t)backend_w * 3;
            uint32_t *p = image->pixels + (size_t)(backend_h - 1 - s) * (size_t)backend_w;
            for (int32_t x = 0; x < backend_w; x++, b += 3)
                p[x] = (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16;
        }
        ok = img_save_ppm(image, path);
    }
    img_del(&image);
    return ok;
}

uint32_t backend_crc32(const uint8_t *data, size_t n) {
    // Table of the reflected polynomial 0xEDB88320, built on first use.
    static uint32_t table[256];
    static int ready;
    if (!ready) {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = 1;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; data && i < n; i++) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}
