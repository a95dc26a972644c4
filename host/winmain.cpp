// WINMAIN: program entry and message handling. Module state: the pending key,
// one signed byte written by the window procedure and read and cleared by
// WINKBD. The window class of the original host maps onto nothing here: the
// backend names its window "RIVO7315" when it creates it.
#include "host/winmain.h"

#include <cstdio>
#include <cstdlib>

#include "host/module.h"
#include "platform/backend.h"
#include "platform/midi.h"
#include "platform/options.h"
#include "platform/player.h"

RIVO_IDENTITY(winmain, "WINMAIN ", "20150119", "WINDOWS ", "Ostrevik", "CODE    ");
RIVO_DEBUG_SWITCH(winmain, 0);  // WINMAIN has no reporter

// The demo's main and its part of the shutdown: the host is built beneath
// the demo, so the program that links both supplies them, as a platform
// library calls its program's main.
void demo_main(void);
void demo_end(void);

static int8_t winmain_key;

int8_t winmain_pending_key(void) { return winmain_key; }

void winmain_set_pending_key(int8_t key) { winmain_key = key; }

int winmain_entry(void *instance) {
    (void)instance;
    // The scene loop never ends; the process ends from inside it.
    demo_main();
    // Should the demo return after all: end with 1, as the entry always has.
    winmain_exit(1);
}

void winmain_exit(int status) {
    demo_end();
    midi_let_go();
    // The sound loop still plays while the outputs finish: headless, the last
    // round's sound is what it played until the round's end.
    if (!backend_stop()) status = RUN_WRITE_FAILED;
    player_stop();
    fflush(stdout);
    fflush(stderr);
    exit(status);
}

intptr_t winmain_window_proc(void *window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    (void)window;
    (void)lparam;
    // Closing the window ends the demo at once, with 0 (128 + signal after one).
    if (message == WINMAIN_DESTROY) winmain_exit(backend_exit_status());
    if (message == WINMAIN_KEYDOWN) winmain_key = (int8_t)(uint8_t)(wparam & 0xFF);  // a later key replaces an unread one
    return 0;  // what the default procedure answers for the messages that reach it
}

void winmain_pump(void) {
    int32_t vk = 0;
    int kind = backend_poll(&vk);
    if (kind == BACKEND_KEY) winmain_window_proc(nullptr, WINMAIN_KEYDOWN, (uintptr_t)(uint32_t)vk, 0);
    if (kind == BACKEND_CLOSE) winmain_window_proc(nullptr, WINMAIN_DESTROY, 0, 0);
}
