// OUTPUTS in a browser: frame numbers and the hash lines (the same lines as
// the desktop's --hash, printed to the page's console and log), and the time
// of each frame-timer frame for the page's benchmark. A browser has no files:
// no captures, recordings or screenshot files (the browser saves the picture
// itself), and the sound is not kept.
#include <emscripten.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/options.h"
#include "platform/outputs.h"
#include "platform/web/bench.h"
#include "web_glue.h"

struct WEB_OUTPUTS {
    struct {
        uint32_t numbered;     // frames numbered so far
    } frames;
    struct {
        int on;                // hash lines
        int due;               // the current frame's line is still to print
        uint32_t crc;          // of the frame kept last
    } hash;
    struct {
        int on;                // the page gets each frame-timer frame's time
        double began;          // wall time at the start of the current round
        double turns;          // the browser's share of the run then (web_turns_ms)
    } bench;
};

static WEB_OUTPUTS outputs;

void web_bench(int on) { outputs.bench.on = on; }

// Forgets the run; the benchmark switch is the entry's and stays.
static void outputs_reset(void) {
    const int bench = outputs.bench.on;
    outputs = WEB_OUTPUTS{};
    outputs.bench.on = bench;
}

int outputs_start(const RUN_OPTIONS *options) {
    outputs_reset();
    if (!options) return RUN_OK;
    if (options->capture || options->record) {
        fprintf(stderr, "rivo7315: a browser writes no files: no capture or recording\n");
        return RUN_WRITE_FAILED;
    }
    outputs.hash.on = options->hash;
    return RUN_OK;
}

int outputs_finish(uint32_t) {
    outputs_settle();
    outputs_reset();
    return 1;
}

int outputs_failed(void) { return 0; }

void outputs_settle(void) {
    if (!outputs.hash.due) return;
    outputs.hash.due = 0;
    printf("%06u %08x\n", outputs.frames.numbered - 1, outputs.hash.crc);
}

void outputs_new_frame(void) {
    outputs_settle();
    outputs.frames.numbered++;
}

// The frame's hash is all that is kept of it: the canvas holds the picture.
void outputs_keep(const uint32_t *frame, int32_t w, int32_t h) {
    if (!outputs.hash.on) return;
    outputs.hash.crc = outputs_frame_crc32(frame, w, h);
    outputs.hash.due = 1;
}

void outputs_catch_up(uint32_t) {
    outputs.bench.began = emscripten_get_now();
    outputs.bench.turns = web_turns_ms();
}

// The frame's time leaves out the turns the browser had meanwhile.
void outputs_frame_ended(int32_t, int32_t) {
    if (!outputs.bench.on) return;
    double now = emscripten_get_now();
    rivo_web_frame_time(now - outputs.bench.began - (web_turns_ms() - outputs.bench.turns));
}

void outputs_sound_played(const int16_t *, int32_t, int32_t) {}
void outputs_sound_source(void (*)(void)) {}

uint32_t outputs_frame(void) { return outputs.frames.numbered; }

const uint32_t *outputs_last_frame(int32_t *w, int32_t *h) {
    if (w) *w = 0;
    if (h) *h = 0;
    return nullptr;
}

int outputs_save_shown(const char *) {
    errno = ENOTSUP;
    return 0;
}

void outputs_screenshot(void) {
    fprintf(stderr, "rivo7315: in a browser, save the picture with the browser (right-click it)\n");
}

// CRC-32 (reflected 0xEDB88320, all ones in and out) of n more bytes after
// those that gave `crc`.
static uint32_t outputs_crc32_more(uint32_t crc, const uint8_t *data, size_t n) {
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    uint32_t c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < n; i++) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t outputs_crc32(const uint8_t *data, size_t n) { return data ? outputs_crc32_more(0, data, n) : 0; }

// Row by row, bottom row first, as 24-bit blue, green, red bytes; the CRC
// goes on from row to row (it is the CRC of all the bytes in order).
uint32_t outputs_frame_crc32(const uint32_t *frame, int32_t w, int32_t h) {
    if (!frame || w < 1 || h < 1) return 0;
    static uint8_t *row;
    static int32_t room;
    if (w > room) {
        uint8_t *grown = (uint8_t *)realloc(row, 3 * (size_t)w);
        if (!grown) return 0;
        row = grown;
        room = w;
    }
    uint32_t crc = 0;
    for (int32_t y = h - 1; y >= 0; y--) {
        const uint32_t *p = frame + (size_t)y * (size_t)w;
        for (int32_t x = 0; x < w; x++) {
            row[3 * x] = (uint8_t)p[x];
            row[3 * x + 1] = (uint8_t)(p[x] >> 8);
            row[3 * x + 2] = (uint8_t)(p[x] >> 16);
        }
        crc = outputs_crc32_more(crc, row, 3 * (size_t)w);
    }
    return crc;
}
