// The SDL2 backend behind platform/backend.h: one resizable window with a streaming
// texture scaled by whole steps, key-down events as Windows virtual-key codes,
// SDL's millisecond clock. Only backend.cpp calls these.
#pragma once

#include <cstdint>

// Starts SDL's video for a window run. Without DISPLAY or WAYLAND_DISPLAY, or
// when SDL would fall back to a driver that shows nothing (offscreen, dummy)
// without the user asking for it in SDL_VIDEODRIVER, prints why on stderr and
// returns 0. Later calls return the first answer.
int sdlhost_video_start(void);
// Creates (first call) or resizes and centres the window; 0 on failure. A zoom
// larger than the display's usable area allows is reduced, with a message.
int sdlhost_open(int32_t w, int32_t h, int32_t zoom, int32_t fullscreen);
// Uploads w x h bottom-up blue-green-red bytes and shows them. `frame`, if
// not null, is the same picture as 0x00RRGGBB words top row first (top
// bytes ignored), which is uploaded instead: no conversion.
void sdlhost_show(const uint8_t *bgr, const uint32_t *frame, int32_t w, int32_t h);
// What sdlhost_poll returns when no event came within the wait.
enum { SDLHOST_EMPTY = -1 };
// Takes one event, waiting up to wait_ms for it (0: no wait): BACKEND_KEY (code
// in *vk), BACKEND_CLOSE, BACKEND_NONE for an event the window handled itself
// (redraw, fullscreen toggle), or SDLHOST_EMPTY.
int sdlhost_poll(int32_t *vk, int32_t wait_ms);
// Destroys the window and shuts SDL's video down.
void sdlhost_close(void);
// Windows virtual-key code of an SDL keycode; 0xFF for keys without one.
// Keypad digits give the digit keys' codes.
int32_t sdlhost_vk(int32_t keycode);
// F11 or Alt+Enter: the window's own fullscreen toggle, never a demo key.
int sdlhost_is_fullscreen_key(int32_t keycode, uint32_t modifiers);
uint32_t sdlhost_ticks(void);
void sdlhost_sleep(uint32_t ms);
