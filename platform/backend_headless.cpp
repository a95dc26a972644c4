// The headless backend: no display, no sound device, no events, and a
// virtual millisecond clock that starts at 0 and moves only when slept on, so
// two runs with the same options are identical byte for byte. What it shows
// goes only to the outputs (hashes, captures, recordings), which backend.cpp
// feeds for every backend.
#include <cstdint>
#include <cstdlib>

#include "platform/backend.h"

static uint32_t headless_clock;

static int headless_start(const RUN_OPTIONS *) {
    headless_clock = 0;
    // Nothing behind SDL's back may open a device: point both at nothing.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return 1;
}

static void headless_stop(void) {}

static uint32_t headless_ticks(void) { return headless_clock; }

// Unsigned: wraps at 2^32 like the real counter.
static void headless_sleep(uint32_t ms) { headless_clock += ms; }

static int headless_open(int32_t, int32_t) { return 1; }

static void headless_show(const uint32_t *, int32_t, int32_t) {}

static int headless_poll(int32_t *, int32_t) { return BACKEND_EMPTY; }

static const BACKEND backend_headless = {
    "headless",     1,           headless_start, headless_stop, headless_ticks,
    headless_sleep, headless_open, headless_show, headless_poll,
};

const BACKEND *const backend_virtual = &backend_headless;
