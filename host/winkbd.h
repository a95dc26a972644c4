// WINKBD: the keyboard record. Turns the window's pending key into the
// character the demo's key handler reads from byte 0 of the key buffer.
#pragma once

#include "host/export.h"

#include <cstdint>

// The one shared keyboard record.
struct WINKBD {
    uint8_t *keys;  // 8 zero-filled bytes; byte 0: character of the last key read, 0 for none
};

// Prints this module's error message when its debug switch is on.
RIVO_API void winkbd_error(void);

// The shared record, made (zero-filled, with its key buffer) on the first call.
RIVO_API WINKBD *winkbd_new(void);
// If a key is pending: its character into byte 0 and the pending key cleared.
RIVO_API void winkbd_update(WINKBD *keyboard);
// Frees the buffer and the record and clears the handle.
RIVO_API void winkbd_del(WINKBD **keyboard);

// Stand-in for the system's virtual-key-to-character mapping (type 2, the
// unshifted character): letters give 'A'..'Z', digits '0'..'9', space 32 and
// escape 27; every other code (negative ones included) gives 0.
RIVO_API int32_t winkbd_map_key(int32_t code);
