// The browser backend: the page's canvas as the window, its key events as
// the key queue, performance.now() as the tick count. Sleeping and waiting
// for a key hand control back to the browser (Asyncify unwinds the demo's
// stack and resumes it from the event loop), and so does a poll when the
// demo has drawn for a while without sleeping (scene 3 runs unpaced), so the
// page paints, plays and takes keys. The page itself (page.js) paints the
// latest frame shown at each animation frame.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "web_glue.h"

// Longest stretch of drawing, in ms, before a poll gives the browser a turn:
// about one refresh of a 60 Hz display.
static const double web_turn_ms = 16.0;

static double web_last_turn;
static int web_painted;        // the first frame shown has been painted
static uint32_t *web_rgba;     // the frame as the canvas takes it: R, G, B, 255 bytes
static size_t web_rgba_count;  // pixels it holds

static int web_start(const RUN_OPTIONS *) {
    web_last_turn = emscripten_get_now();
    return 1;
}

static void web_stop(void) {
    free(web_rgba);
    web_rgba = nullptr;
    web_rgba_count = 0;
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

// 0x00RRGGBB words become little-endian R, G, B, A bytes: 0xFFBBGGRR.
static void web_show(const uint32_t *frame, int32_t w, int32_t h) {
    if (!frame || w < 1 || h < 1) return;
    size_t n = (size_t)w * (size_t)h;
    if (n > web_rgba_count) {
        uint32_t *grown = (uint32_t *)realloc(web_rgba, n * sizeof(uint32_t));
        if (!grown) return;
        web_rgba = grown;
        web_rgba_count = n;
    }
    for (size_t i = 0; i < n; i++) {
        uint32_t p = frame[i];
        web_rgba[i] = 0xFF000000u | (p & 0x00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
    }
    rivo_web_show(web_rgba, w, h);
    // The title stays on screen while the start-up goes on: it is painted first.
    if (!web_painted) {
        web_painted = 1;
        rivo_web_yield(1);
        web_last_turn = emscripten_get_now();
    }
}

static int web_poll(int32_t *vk, int32_t wait_ms) {
    if (emscripten_get_now() - web_last_turn >= web_turn_ms) {
        rivo_web_yield(0);
        web_last_turn = emscripten_get_now();
    }
    int32_t key = rivo_web_key();
    if (key == RIVO_WEB_NO_KEY && wait_ms > 0) {
        rivo_web_wait_key(wait_ms);
        web_last_turn = emscripten_get_now();
        key = rivo_web_key();
    }
    if (key == RIVO_WEB_NO_KEY) return BACKEND_EMPTY;
    if (key == RIVO_WEB_CLOSED) return BACKEND_CLOSE;
    if (vk) *vk = key;
    return BACKEND_KEY;
}

extern const BACKEND backend_web = {
    "web", 0, web_start, web_stop, web_ticks, web_sleep, web_open, web_show, web_poll,
};
