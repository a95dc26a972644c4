// Host backend: the one seam between the window host (WINMAIN, WINDPY, WINKBD,
// FPS) and the machine. A backend is one BACKEND record in a file of its own:
// platform/backend_sdl.cpp (a real window, SDL's millisecond clock) and
// platform/backend_headless.cpp (no display, no sound device, a virtual
// clock). backend.cpp picks one at backend_start and keeps what every backend
// shares: the time base of rounds below, scripted keys, signals, F12 and the
// frame limit; frame numbers, hashes, captures and recordings belong to
// platform/outputs. Nothing outside platform/ knows which backend runs; code
// that must behave differently asks backend_is_headless(). Without
// backend_start the SDL backend is assumed.
//
// What a new backend must provide (one `const BACKEND backend_NAME` record):
// - start: takes over the run options it needs (zoom, fullscreen); returns 0
//   after saying on stderr why it cannot run (no display, say). stop undoes
//   it and releases the window; both may run more than once.
// - ticks and sleep: a millisecond clock wrapping at 2^32. A backend whose
//   record says headless has a virtual clock: sleep moves it on at once and
//   nothing else moves it, so runs repeat byte for byte.
// - open: makes the window on the first call and resizes it later, client
//   area w x h; 0 when it cannot. show: draws w x h 0x00RRGGBB words, top row
//   first, top bytes ignored; the words are only lent for the call.
// - poll: one event, waiting at most wait_ms for it (0: none): BACKEND_KEY
//   with the Windows virtual-key code of the key in *vk, BACKEND_CLOSE when
//   the window is closed, BACKEND_NONE for an event the backend handled
//   itself (a redraw, a fullscreen toggle), BACKEND_EMPTY when none came.
// - a sound device that plays platform/player.h, and MIDI devices of
//   platform/midi.h; a headless one hands what it plays to
//   backend_sound_played.
//
// Headless time base: every round of the frame loop (fps_start to the next
// fps_start), every present outside one (the title, the fades) and every
// paused key round lasts at least one frame period of virtual time, 1000 /
// the frame timer's rate ms: the clock moves on to the end of the period when
// the next round begins, if sleeping has not already taken it there. A second
// present inside the same frame-loop round, before its key round, replaces the
// first: it is the same frame. Recordings and captures sample the pictures on
// this clock at a constant video rate, so picture and sound stay in step.
#pragma once

#include "host/export.h"

#include <cstddef>
#include <cstdint>

struct RUN_OPTIONS;

// What a backend's poll and backend_poll return.
enum { BACKEND_NONE = 0, BACKEND_KEY = 1, BACKEND_CLOSE = 2, BACKEND_EMPTY = -1 };

// One backend: the machine under the host modules (see the head of this file).
struct BACKEND {
    const char *name;   // "sdl", "headless", "web"
    int headless;       // 1: no display or sound device; a virtual clock
    int (*start)(const RUN_OPTIONS *options);  // 0 after saying why on stderr (e.g. no display)
    void (*stop)(void);                        // releases the window and what start took
    uint32_t (*ticks)(void);                   // milliseconds, wrapping at 2^32
    void (*sleep)(uint32_t ms);                // a virtual clock advances at once
    int (*open)(int32_t w, int32_t h);         // makes (first call) or resizes the window; 0 on failure
    void (*show)(const uint32_t *frame, int32_t w, int32_t h);  // 0x00RRGGBB words, top row first
    int (*poll)(int32_t *vk, int32_t wait_ms); // one event: KEY (vk set), CLOSE, NONE, EMPTY
};

// The two backends of a build, which backend_start chooses from: the one
// that shows the frames (Linux: backend_sdl in platform/backend_sdl.cpp; the
// browser: the page's canvas, keys and clock in platform/web/backend_web.cpp)
// and the one on a virtual clock for headless runs (Linux: backend_headless
// in platform/backend_headless.cpp; the browser: the same page on a virtual
// clock, which still paints and gives the browser its turns).
extern const BACKEND *const backend_shown;
// The build's backend on a virtual clock (see above).
extern const BACKEND *const backend_virtual;

// ---- For every module ---------------------------------------------------------

// Non-zero when the backend in use is headless (no display, no sound device).
RIVO_API int backend_is_headless(void);
// Millisecond tick count of the backend in use, wrapping at 2^32.
RIVO_API uint32_t backend_ticks(void);
// Sleeps ms milliseconds (headless: advances the virtual clock by ms at once).
RIVO_API void backend_sleep(uint32_t ms);
// Sound as it is played: `frames` frames of `channels` (1 or 2) interleaved
// 16-bit values at 44100 per second. Headless runs that record or capture
// keep it; otherwise it is dropped.
RIVO_API void backend_sound_played(const int16_t *interleaved, int32_t frames, int32_t channels);
// The headless player's catch-up: called whenever the virtual clock has moved
// to the start of a round and recordings or captures want the sound so far.
RIVO_API void backend_sound_source(void (*catch_up)(void));

// ---- For the program entry ----------------------------------------------------

// Selects the backend (--headless, --capture and --record run headless) and
// starts it and the outputs. RUN_OK, or after saying why on stderr:
// RUN_WRITE_FAILED (a capture or recording that cannot be made),
// RUN_NO_DISPLAY, RUN_NO_MEMORY. Null options: a plain window run.
RIVO_API int backend_start(const RUN_OPTIONS *options);
// Finishes hashes, captures and recordings (the last round gets its full
// period first), then stops the backend. 0 when a write failed at any time
// (said on stderr); 1 otherwise.
RIVO_API int backend_stop(void);
// SIGINT, SIGTERM and SIGHUP end the program at its next key round, through
// the same path as a closed window (sound stopped, captures finished).
RIVO_API void backend_catch_signals(void);
// How a run that ends now should end: 128 + the signal that ended it, else
// the status asked for with backend_end_run, else 0.
RIVO_API int backend_exit_status(void);
// Asks for the run to end with `status` at its next key round (as a closed
// window does): for the floors that must not end the process themselves.
RIVO_API void backend_end_run(int status);

// ---- For the host modules -----------------------------------------------------

// Creates the window on the first call, later resizes it: client area w x h
// (times the zoom), centred on the screen, shown. 0 when it cannot be made.
RIVO_API int backend_open(int32_t w, int32_t h);
// Shows a presented frame: w x h 0x00RRGGBB words, top row first, lent for
// the call. Counts a frame (or replaces one, see above) for the outputs.
RIVO_API void backend_show(const uint32_t *frame, int32_t w, int32_t h);
// Takes at most one waiting event (a scripted key first, then the backend's);
// stores a key's virtual-key code in *vk. One call is one key-handler round;
// in a window a paused round waits for its event. After a caught signal or
// backend_end_run: BACKEND_CLOSE. F12 saves the frame on screen as a PNG file.
RIVO_API int backend_poll(int32_t *vk);
// Writes the last frame shown as a PNG file, as drawn; 1 on success,
// otherwise 0 with errno telling why (EINVAL: nothing shown yet).
RIVO_API int backend_save_shown(const char *path);
// A frame-loop round begins (fps_start); `rate` is the frame timer's target,
// whose period (1000 / rate ms; 25 per second below 1) the rounds last.
RIVO_API void backend_frame_start(int32_t rate);
// Counts one frame-timer frame; 1 when it was the last one the run asked for
// (--frames): the caller ends the run with RUN_OK.
RIVO_API int backend_frame_end(void);
