// The SDL2 backend's key mapping (its record is backend_shown, in backend.h):
// key-down events become Windows virtual-key codes, and two key chords belong
// to the window itself.
#pragma once

#include <cstdint>

// Windows virtual-key code of an SDL keycode; 0xFF for keys without one.
// Keypad digits give the digit keys' codes.
int32_t backend_sdl_vk(int32_t keycode);
// F11 or Alt+Enter: the window's own fullscreen toggle, never a demo key.
int backend_sdl_is_fullscreen_key(int32_t keycode, uint32_t modifiers);
