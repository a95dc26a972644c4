// WINMAIN: the program entry, the window procedure, the pending key and the
// message pump that handles at most one window message per call.
#pragma once

#include "host/export.h"

#include <cstdint>

// The window messages the procedure acts on.
enum { WINMAIN_DESTROY = 2, WINMAIN_KEYDOWN = 0x100 };

// Runs the demo; returns 1 only if the demo ever returns (after ending the
// process with code 1, so in practice it does not return at all).
RIVO_API int winmain_entry(void *instance);
// The window procedure: destroy ends the process with code 0 (128 + the signal
// after a caught SIGHUP, SIGINT or SIGTERM, see backend.h); key-down stores
// the low byte of `wparam` (the virtual-key code) as the pending key.
RIVO_API intptr_t winmain_window_proc(void *window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Takes at most one waiting message and hands it to the window procedure.
RIVO_API void winmain_pump(void);

// The pending key: a signed byte, 0 when no key is waiting.
RIVO_API int8_t winmain_pending_key(void);
// Replaces the pending key (WINKBD clears it with 0 after reading).
RIVO_API void winmain_set_pending_key(int8_t key);
