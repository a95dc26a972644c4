// WINMAIN: the program entry, the window procedure, the pending key and the
// message pump that handles at most one window message per call.
#pragma once

#include <cstdint>

// The window messages the procedure acts on.
enum { WINMAIN_DESTROY = 2, WINMAIN_KEYDOWN = 0x100 };

// Runs the demo, which never returns: the run ends in winmain_exit (with
// status 1 should the demo return after all).
int winmain_entry(void *instance);
// The one way out of a run, in this order: the demo lets go of what runs
// beside it (demo_end), the synthesiser is let go after playing up to now,
// the outputs are finished and the backend stopped (the loop plays on to the
// end of the last round; a write that failed at any time makes the status
// RUN_WRITE_FAILED), the sound device is closed, and the process ends with
// the status.
[[noreturn]] void winmain_exit(int status);
// The window procedure: destroy ends the run with backend_exit_status() (0,
// or 128 + the signal after a caught SIGHUP, SIGINT or SIGTERM, see
// backend.h); key-down stores the low byte of `wparam` (the virtual-key
// code) as the pending key.
intptr_t winmain_window_proc(void *window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Takes at most one waiting message and hands it to the window procedure.
void winmain_pump(void);

// The pending key: a signed byte, 0 when no key is waiting.
int8_t winmain_pending_key(void);
// Replaces the pending key (WINKBD clears it with 0 after reading).
void winmain_set_pending_key(int8_t key);
