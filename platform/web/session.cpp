// The browser build's side of platform/backend.h: the web backend's canvas,
// keys and clock, or (for hash lines and benchmarks) the same virtual clock
// the desktop's --headless runs on, so both number, time and draw the same
// frames. Frame numbers and rounds follow the rules in backend.h: the title
// is frame 0, each present is the next frame unless it repeats one within
// its frame-loop round, and a paused key round counts as a frame. Hash lines
// are "NNNNNN crc32" of the 24-bit bottom-up bytes, as --hash prints them.
// No captures, recordings, screenshots or signals in a browser.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imaging/img.h"
#include "platform/backend.h"
#include "platform/options.h"
#include "platform/web/session.h"
#include "web_glue.h"

struct WEB_SESSION {
    int started;
    int virtual_clock;        // headless timing: the clock moves only in sleeps and rounds
    uint32_t clock;           // its milliseconds
    int hash;                 // print a hash line per frame
    int bench;                // report each frame-timer frame's time to the page
    int32_t frame_limit;      // frame-timer frames before the run ends; 0: none
    int32_t frames_ended;
    uint32_t numbered;        // frames numbered so far
    int hash_due;             // the current frame's line is still to print
    int shown_since_poll;     // a present since the last key round
    int took_key;             // the last key round took a key
    const uint8_t *bytes;     // the last frame shown: lent by the display, or own
    uint8_t *own;             // the copy kept once the display lets go
    int32_t w, h;
    uint32_t period;          // ms of a round
    uint32_t round_start;     // tick at which the current round began
    int in_round;             // a round has begun since the start
    int frame_round;          // inside a frame-loop round, before its key round
    int round_shows;          // presents of that frame-loop round
    double frame_began;       // wall time of the last frame start (benchmarks)
    double frame_away;        // ms of it the browser had (yields in key rounds)
};

static WEB_SESSION web = {};

// A paused round waits for a key at most this long before it polls again.
static const int32_t web_wait_slice_ms = 200;

// ---- Clock --------------------------------------------------------------------------

int backend_headless(void) { return web.virtual_clock; }

uint32_t backend_ticks(void) { return web.virtual_clock ? web.clock : backend_web.ticks(); }

void backend_sleep(uint32_t ms) {
    if (web.virtual_clock)
        web.clock += ms;  // unsigned: wraps at 2^32 like the real counter
    else
        backend_web.sleep(ms);
}

// Ends the current round, giving it its full period, and begins the next.
static void web_next_round(void) {
    if (web.virtual_clock && web.in_round && web.clock - web.round_start < web.period)
        web.clock = web.round_start + web.period;
    web.round_start = web.clock;
    web.in_round = 1;
}

// ---- Hash lines -----------------------------------------------------------------------

uint32_t backend_crc32(const uint8_t *data, size_t n) {
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    if (!data) return 0;
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; i++) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

static void web_print_hash(void) {
    if (!web.hash_due) return;
    web.hash_due = 0;
    printf("%06u %08x\n", web.numbered - 1, backend_crc32(web.bytes, (size_t)web.w * (size_t)web.h * 3));
}

// The frame shown so far is final: its hash line goes out, the next is numbered.
static void web_new_frame(void) {
    web_print_hash();
    web.numbered++;
}

// ---- Start and stop ---------------------------------------------------------------------

static void web_at_exit(void) { backend_stop(); }

int backend_start(const RUN_OPTIONS *options) {
    if (!web.started) atexit(web_at_exit);
    web = WEB_SESSION{};
    web.started = 1;
    web.period = 1000 / backend_video_rate;
    if (options) {
        web.virtual_clock = options->headless;
        web.hash = options->hash;
        web.frame_limit = options->frames > 0 ? options->frames : 0;
    }
    return backend_web.start(options);
}

void backend_stop(void) {
    web_print_hash();
    fflush(stdout);
    backend_web.stop();
    free(web.own);
    web.own = nullptr;
    web.bytes = nullptr;
}

// A closed page ends the run with 0: a browser sends no signals.
int backend_exit_status(void) { return 0; }

void web_session_bench(int on) { web.bench = on; }

// ---- The host modules' calls ----------------------------------------------------------

int backend_open(int32_t w, int32_t h) {
    if (w < 0 || h < 0) return 0;
    return backend_web.open(w, h);
}

void backend_let_go(void) {
    if (!web.bytes || web.bytes == web.own) return;
    size_t n = (size_t)web.w * (size_t)web.h * 3;
    free(web.own);
    web.own = (uint8_t *)calloc(n ? n : 1, 1);
    if (web.own) memcpy(web.own, web.bytes, n);
    web.bytes = web.own;
    if (!web.own) web.w = web.h = 0;
}

void backend_show(const IMG *image, const uint8_t *bgr, int32_t w, int32_t h) {
    if (!bgr || w < 0 || h < 0) return;
    // A further present of a frame-loop round before its key round replaces
    // the first; any other present is a frame (and outside the loop, a round).
    if (!(web.frame_round && web.round_shows > 0)) {
        if (!web.frame_round) web_next_round();
        web_new_frame();
    }
    if (web.frame_round) web.round_shows++;
    web.shown_since_poll = 1;
    web.bytes = bgr;
    web.w = w;
    web.h = h;
    web.hash_due = web.hash;
    if (image && image->pixels && image->width == w && image->height == h) backend_web.show(image->pixels, w, h);
}

int backend_poll(int32_t *vk) {
    int paused = !web.shown_since_poll;
    web_print_hash();
    if (!web.shown_since_poll) {
        // A key round without a present is a frame and a round of its own
        // (the demo is paused), unless it ends a frame-loop round that drew nothing.
        if (!web.frame_round) web_next_round();
        web_new_frame();
    }
    web.frame_round = 0;
    web.shown_since_poll = 0;
    // A paused round waits for its key instead of spinning; not after a round
    // that took a key: the demo acts on that key only after this round's pump.
    int wait = paused && !web.took_key && !web.virtual_clock;
    int32_t code = 0;
    double before = emscripten_get_now();
    int kind = backend_web.poll(&code, wait ? web_wait_slice_ms : 0);
    web.frame_away += emscripten_get_now() - before;
    // Timed as --headless, the run takes no keys: it draws what the desktop draws.
    if (web.virtual_clock && kind == BACKEND_KEY) kind = BACKEND_NONE;
    if (kind == BACKEND_EMPTY) kind = BACKEND_NONE;
    web.took_key = kind == BACKEND_KEY;
    if (vk) *vk = kind == BACKEND_KEY ? code : 0;
    return kind;
}

void backend_frame_start(int32_t rate) {
    web.period = rate >= 1 ? 1000 / (uint32_t)rate : 40;
    if (web.period < 1) web.period = 1;
    web_next_round();
    web.frame_round = 1;
    web.round_shows = 0;
    web.frame_began = emscripten_get_now();
    web.frame_away = 0;
}

void backend_frame_end(void) {
    web.frames_ended++;
    if (web.bench) rivo_web_frame_time(emscripten_get_now() - web.frame_began - web.frame_away);
    if (web.frame_limit > 0 && web.frames_ended >= web.frame_limit) exit(0);
}

uint32_t backend_frame(void) { return web.numbered; }
