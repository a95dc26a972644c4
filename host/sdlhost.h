// The SDL2 backend behind host/backend.h: one window with a streaming texture,
// key-down events as Windows virtual-key codes, SDL's millisecond clock.
// Only backend.cpp calls these.
#pragma once

#include <cstdint>

// Creates (first call) or resizes and centres the window; 0 on failure.
int sdlhost_open(int32_t w, int32_t h, int32_t zoom, int32_t fullscreen);
// Uploads w x h bottom-up blue-green-red bytes and shows them.
void sdlhost_show(const uint8_t *bgr, int32_t w, int32_t h);
// One waiting event: BACKEND_NONE, BACKEND_KEY (code in *vk) or BACKEND_CLOSE.
int sdlhost_poll(int32_t *vk);
// Destroys the window and shuts SDL's video down.
void sdlhost_close(void);
// Windows virtual-key code of an SDL keycode; 0xFF for keys without one.
int32_t sdlhost_vk(int32_t keycode);
uint32_t sdlhost_ticks(void);
void sdlhost_sleep(uint32_t ms);
