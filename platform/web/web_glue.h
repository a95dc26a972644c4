// The page's side of the browser build (library_rivo7315.js): the calls the
// web backend, player and MIDI devices make into JavaScript.
#pragma once

#include <cstdint>

// What rivo_web_key answers besides a virtual-key code.
enum { RIVO_WEB_NO_KEY = -1, RIVO_WEB_CLOSED = -2 };

// Milliseconds the browser has had inside polls since the start (its turns
// and the waits for a key), which a frame's time leaves out.
double web_turns_ms(void);

extern "C" {
// Sizes the canvas to w x h pixels (shown at the largest whole scale that fits).
int rivo_web_open(int32_t w, int32_t h);
// A frame of w x h pixels to paint at the next animation frame; the page
// takes its pixels from rivo_web_rgba (backend_web.cpp) when it paints.
void rivo_web_show(int32_t w, int32_t h);
// The next key typed (a Windows virtual-key code), or one of the values above.
int32_t rivo_web_key(void);
// Gives the browser a turn (sound, events, a paint when one is due) and
// resumes at once after it; with `paint`, after the frame shown is painted
// (or a tenth of a second, when the page is hidden and paints nothing).
void rivo_web_yield(int32_t paint);
// Resumes after ms milliseconds.
void rivo_web_wait(int32_t ms);
// Resumes after ms milliseconds or as soon as a key is typed.
void rivo_web_wait_key(int32_t ms);
// A benchmark run: the time one frame-timer frame took, in ms.
void rivo_web_frame_time(double ms);
// Web MIDI: the outputs the viewer allowed, one's name (NUL-terminated, at
// most size - 1 bytes), and n bytes of a message sent to output i.
int32_t rivo_web_midi_outputs(void);
void rivo_web_midi_name(int32_t i, char *name, int32_t size);
void rivo_web_midi_send(int32_t i, int32_t b0, int32_t b1, int32_t b2, int32_t n);
}
