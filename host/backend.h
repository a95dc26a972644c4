// Host backend: the one seam between the window host (WINMAIN, WINDPY, WINKBD,
// FPS) and the machine. Two backends sit behind it: SDL2 (a real window, SDL's
// millisecond clock) and headless (no display, no sound device, frames kept in
// memory, a virtual clock that moves only in backend_sleep). Nothing outside
// host/ knows which one runs; code that must behave differently asks
// backend_headless(). Without backend_start the SDL backend is assumed.
#pragma once

#include <cstddef>
#include <cstdint>

struct CLI;
struct IMG;

// ---- For every module ---------------------------------------------------------

// Non-zero when the headless backend runs (no display, no sound device).
int backend_headless(void);
// Millisecond tick count, wrapping at 2^32: SDL_GetTicks in a window; headless,
// a virtual clock that starts at 0 and moves only inside backend_sleep.
uint32_t backend_ticks(void);
// Sleeps ms milliseconds (headless: advances the virtual clock by ms at once).
void backend_sleep(uint32_t ms);

// ---- For the program entry ----------------------------------------------------

// Selects the backend and takes over the run options (null: a plain window run).
// Returns 0 when an option cannot be honoured (capture directory); 1 otherwise.
int backend_start(const CLI *options);
// Releases the window and finishes captures; runs at process exit by itself.
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

// What backend_poll took from the queue.
enum { BACKEND_NONE = 0, BACKEND_KEY = 1, BACKEND_CLOSE = 2 };
// Creates the window on the first call, later resizes it: client area w x h
// (times the zoom), centred on the screen, shown. 0 when it cannot be made.
int backend_open(int32_t w, int32_t h);
// Shows a presented frame: w x h pixels as 24-bit bottom-up blue-green-red
// bytes, converted from `image` (used for captures). Counts a frame.
void backend_show(const IMG *image, const uint8_t *bgr, int32_t w, int32_t h);
// Takes at most one waiting event (a scripted key first, then the platform's);
// stores a key's virtual-key code in *vk. One call is one key-handler round;
// in a window a paused round waits for its event. After a caught signal:
// BACKEND_CLOSE.
int backend_poll(int32_t *vk);
// Counts one frame-timer frame; ends the process (code 0) at the frame limit.
void backend_frame_end(void);

// ---- Frame numbers, captures and hashes --------------------------------------

// The current frame number (see cli.h for how frames are numbered).
uint32_t backend_frame(void);
// The last frame shown (24-bit bottom-up bytes), its size in *w, *h; null if none.
const uint8_t *backend_last_frame(int32_t *w, int32_t *h);
// Writes the last frame shown as a binary PPM file; 1 on success.
int backend_save_shown(const char *path);
// CRC-32 (IEEE 802.3, reflected, as in zip and PNG) of n bytes.
uint32_t backend_crc32(const uint8_t *data, size_t n);
