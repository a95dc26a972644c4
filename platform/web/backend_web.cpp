// The browser backends: the page's canvas as the window, its key events as
// the key queue, performance.now() as the tick count (backend_web); or the
// same canvas on a virtual clock that moves only when slept on, taking no
// keys, as the desktop's headless backend (backend_web_timed: hash lines and
// benchmarks). Sleeping and waiting for a key hand control back to the
// browser (Asyncify unwinds the demo's stack and resumes it from the event
// loop), and so does a poll when the demo has drawn for a while without
// sleeping (scene 3 runs unpaced; a virtual clock never sleeps for real), so
// the page paints, plays and takes keys. The page (page.js) paints the latest
// frame shown at each animation frame.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "web_glue.h"

// Longest stretch of drawing, in ms, before a poll gives the browser a turn:
// about one refresh of a 60 Hz display.
static const double web_turn_ms = 16.0;

static double web_last_turn;
static double web_turns;       // ms the browser had inside polls so far
static uint32_t web_clock;     // the virtual clock's milliseconds
static int web_painted;        // the first frame shown has been painted
static uint32_t *web_words;    // the last frame shown, 0x00RRGGBB
static uint32_t *web_rgba;     // it as the canvas takes it: R, G, B, 255 bytes
static size_t web_count;       // pixels each holds
static int32_t web_w, web_h;   // its size

static int web_start(const RUN_OPTIONS *) {
    web_last_turn = emscripten_get_now();
    web_clock = 0;
    return 1;
}

double web_turns_ms(void) { return web_turns; }

// A turn for the browser when the demo has had the page for a while.
static void web_take_turn(void) {
    double now = emscripten_get_now();
    if (now - web_last_turn < web_turn_ms) return;
    rivo_web_yield(0);
    web_last_turn = emscripten_get_now();
    web_turns += web_last_turn - now;
}

static void web_stop(void) {
    free(web_words);
    free(web_rgba);
    web_words = web_rgba = nullptr;
    web_count = 0;
    web_w = web_h = 0;
}

// Milliseconds since the page loaded, wrapping at 2^32 like the desktop counter.
static uint32_t web_ticks(void) { return (uint32_t)(uint64_t)emscripten_get_now(); }

static void web_sleep(uint32_t ms) {
    rivo_web_wait((int32_t)ms);
    web_last_turn = emscripten_get_now();
}

static int web_open(int32_t w, int32_t h) {
    if (w < 1 || h < 1) return w >= 0 && h >= 0;
    return rivo_web_open(w, h);
}

// Keeps a copy of the frame; the page converts only the frames it paints.
static void web_show(const uint32_t *frame, int32_t w, int32_t h) {
    if (!frame || w < 1 || h < 1) return;
    size_t n = (size_t)w * (size_t)h;
    if (n > web_count) {
        uint32_t *words = (uint32_t *)realloc(web_words, n * sizeof(uint32_t));
        if (!words) return;
        web_words = words;
        uint32_t *rgba = (uint32_t *)realloc(web_rgba, n * sizeof(uint32_t));
        if (!rgba) return;
        web_rgba = rgba;
        web_count = n;
    }
    memcpy(web_words, frame, n * sizeof(uint32_t));
    web_w = w;
    web_h = h;
    rivo_web_show(w, h);
    // The title stays on screen while the start-up goes on: it is painted first.
    if (!web_painted) {
        web_painted = 1;
        rivo_web_yield(1);
        web_last_turn = emscripten_get_now();
    }
}

// The last frame shown as the canvas takes it: 0x00RRGGBB words become
// little-endian R, G, B, A bytes (0xFFBBGGRR); its size was given to the page.
extern "C" EMSCRIPTEN_KEEPALIVE const uint32_t *rivo_web_rgba(void) {
    size_t n = (size_t)web_w * (size_t)web_h;
    for (size_t i = 0; i < n; i++) {
        uint32_t p = web_words[i];
        web_rgba[i] = 0xFF000000u | (p & 0x00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
    }
    return web_rgba;
}

static int web_poll(int32_t *vk, int32_t wait_ms) {
    web_take_turn();
    int32_t key = rivo_web_key();
    if (key == RIVO_WEB_NO_KEY && wait_ms > 0) {
        double before = emscripten_get_now();
        rivo_web_wait_key(wait_ms);
        web_last_turn = emscripten_get_now();
        web_turns += web_last_turn - before;
        key = rivo_web_key();
    }
    if (key == RIVO_WEB_NO_KEY) return BACKEND_EMPTY;
    if (key == RIVO_WEB_CLOSED) return BACKEND_CLOSE;
    if (vk) *vk = key;
    return BACKEND_KEY;
}

// The virtual clock: unsigned, it wraps at 2^32 like the real counter.
static uint32_t web_timed_ticks(void) { return web_clock; }
static void web_timed_sleep(uint32_t ms) { web_clock += ms; }

// Timed runs take no keys: they draw what the desktop's headless run draws.
static int web_timed_poll(int32_t *, int32_t) {
    web_take_turn();
    return BACKEND_EMPTY;
}

static const BACKEND backend_web = {
    "web", 0, web_start, web_stop, web_ticks, web_sleep, web_open, web_show, web_poll,
};

static const BACKEND backend_web_timed = {
    "web", 1, web_start, web_stop, web_timed_ticks, web_timed_sleep, web_open, web_show, web_timed_poll,
};

const BACKEND *const backend_shown = &backend_web;
const BACKEND *const backend_virtual = &backend_web_timed;
