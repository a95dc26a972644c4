// Host backend: the one seam between the window host (WINMAIN, WINDPY, WINKBD,
// FPS) and the machine. Two backends sit behind it: SDL2 (a real window, SDL's
// millisecond clock) and headless (no display, no sound device, frames kept in
// memory, a virtual clock). Nothing outside host/ knows which one runs; code
// that must behave differently asks backend_headless(). Without backend_start
// the SDL backend is assumed.
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

#include <cstddef>
#include <cstdint>

struct RUN_OPTIONS;
struct IMG;

// ---- For every module ---------------------------------------------------------

// Non-zero when the headless backend runs (no display, no sound device).
int backend_headless(void);
// Millisecond tick count, wrapping at 2^32: SDL_GetTicks in a window; headless,
// a virtual clock that starts at 0 and moves only inside backend_sleep.
uint32_t backend_ticks(void);
// Sleeps ms milliseconds (headless: advances the virtual clock by ms at once).
void backend_sleep(uint32_t ms);
// Sound as it is played: `frames` frames of `channels` (1 or 2) interleaved
// 16-bit values at 44100 per second. Headless runs that record or capture
// keep it; otherwise it is dropped.
void backend_sound_played(const int16_t *interleaved, int32_t frames, int32_t channels);
// The headless player's catch-up: called whenever the virtual clock has moved
// to the start of a round and recordings or captures want the sound so far.
void backend_sound_source(void (*catch_up)(void));

// ---- For the program entry ----------------------------------------------------

// Exit status of a run whose capture, recording or other file write failed.
enum { BACKEND_EXIT_WRITE = 4 };
// Video frames per second of recordings and captures: the frame timer's rate
// when the demo starts.
constexpr int32_t backend_video_rate = 50;

// Selects the backend and takes over the run options (null: a plain window run).
// --capture and --record run headless. Returns 0 after printing why when an
// option cannot be honoured (a capture or recording that cannot be created);
// 1 otherwise.
int backend_start(const RUN_OPTIONS *options);
// Releases the window and finishes hashes, captures and recordings (the last
// round gets its full period first); runs at process exit by itself. A write
// that fails here ends the process with BACKEND_EXIT_WRITE.
void backend_stop(void);
// A window run needs a display: 1 when there is one (always, headless);
// otherwise 0 after saying on stderr how to get one.
int backend_display(void);
// SIGINT, SIGTERM and SIGHUP end the program at its next key round, through
// the same path as a closed window (sound stopped, captures finished).
void backend_catch_signals(void);
// The exit status of a closed window: 0, or 128 + the signal that ended the run.
int backend_exit_status(void);

// ---- For the host modules -----------------------------------------------------

// What a backend's poll and backend_poll return.
enum { BACKEND_NONE = 0, BACKEND_KEY = 1, BACKEND_CLOSE = 2, BACKEND_EMPTY = -1 };

// One backend: a display, its keys and its clock.
struct BACKEND {
    const char *name;   // "sdl", "headless", "web"
    int headless;       // 1: no display or sound device; a virtual clock
    int (*start)(const RUN_OPTIONS *options);  // 0 after saying why on stderr
    void (*stop)(void);
    uint32_t (*ticks)(void);                   // milliseconds, wrapping at 2^32
    void (*sleep)(uint32_t ms);
    int (*open)(int32_t w, int32_t h);         // makes or resizes the window; 0 on failure
    void (*show)(const uint32_t *frame, int32_t w, int32_t h);  // 0x00RRGGBB words, top row first
    int (*poll)(int32_t *vk, int32_t wait_ms); // one event: KEY (vk set), CLOSE, NONE, EMPTY
};
// The browser's canvas, keys and clock (the web build only).
extern const BACKEND backend_web;
// Creates the window on the first call, later resizes it: client area w x h
// (times the zoom), centred on the screen, shown. 0 when it cannot be made.
int backend_open(int32_t w, int32_t h);
// Shows a presented frame: w x h pixels as 24-bit bottom-up blue-green-red
// bytes, converted from `image`; the bytes are what is hashed, captured and
// recorded, and the window shows the same picture (from `image`'s words when
// its size is w x h, saving a conversion). Counts a frame (or replaces one,
// see above). The bytes are borrowed, not copied: the caller leaves them
// unchanged until its next show, or calls backend_let_go first.
void backend_show(const IMG *image, const uint8_t *bgr, int32_t w, int32_t h);
// The bytes lent to the last show are about to be freed or rewritten: the
// backend keeps its own copy of the frame on screen.
void backend_let_go(void);
// Takes at most one waiting event (a scripted key first, then the platform's);
// stores a key's virtual-key code in *vk. One call is one key-handler round;
// in a window a paused round waits for its event. After a caught signal:
// BACKEND_CLOSE. F12 saves the frame on screen as a PNG file (see
// backend_save_shown).
int backend_poll(int32_t *vk);
// A frame-loop round begins (fps_start); `rate` is the frame timer's target,
// whose period (1000 / rate ms; 25 per second below 1) the rounds last.
void backend_frame_start(int32_t rate);
// Counts one frame-timer frame; ends the process (code 0) at the frame limit.
void backend_frame_end(void);

// ---- Frame numbers, captures and hashes --------------------------------------

// The current frame number (see cli.h for how frames are numbered).
uint32_t backend_frame(void);
// The last frame shown (24-bit bottom-up bytes), its size in *w, *h; null if none.
const uint8_t *backend_last_frame(int32_t *w, int32_t *h);
// Writes the last frame shown as a PNG file, 256 x 256 as drawn; 1 on
// success, otherwise 0 with errno telling why.
int backend_save_shown(const char *path);
// CRC-32 (IEEE 802.3, reflected, as in zip and PNG) of n bytes.
uint32_t backend_crc32(const uint8_t *data, size_t n);
