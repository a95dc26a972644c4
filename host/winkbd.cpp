// WINKBD: the keyboard record, one shared instance made on first use. Byte 0
// of its 8-byte key buffer holds the character of the last key read; the
// other seven bytes are never used. Only the characters the demo can act on
// are mapped; every other key reads as no key.
#include "host/winkbd.h"

#include <cstdlib>

#include "host/module.h"
#include "host/winmain.h"

RIVO_IDENTITY(winkbd, "WINKBD  ", "20140328", "Ostrevik", "WINDOWS ", "CODE    ");
RIVO_REPORTER(winkbd, 0, "WINKBD error\n");

static WINKBD *winkbd_shared;

WINKBD *winkbd_new(void) {
    if (winkbd_shared) return winkbd_shared;
    WINKBD *keyboard = (WINKBD *)calloc(1, sizeof(WINKBD));
    if (!keyboard) {
        winkbd_error();
        return nullptr;
    }
    keyboard->keys = (uint8_t *)calloc(8, 1);
    if (!keyboard->keys) {
        free(keyboard);
        winkbd_error();
        return nullptr;
    }
    winkbd_shared = keyboard;
    return keyboard;
}

int32_t winkbd_map_key(int32_t code) {
    if (code == 0x1B || code == 0x20) return code;              // escape, space
    if (code >= 0x30 && code <= 0x39) return code;              // '0'..'9'
    if (code >= 0x41 && code <= 0x5A) return code;              // 'A'..'Z'
    return 0;
}

void winkbd_update(WINKBD *keyboard) {
    if (!keyboard || !keyboard->keys) {
        winkbd_error();
        return;
    }
    int8_t key = winmain_pending_key();
    if (key == 0) return;
    // The key is a signed byte: codes from 0x80 up reach the mapping negative.
    keyboard->keys[0] = (uint8_t)(winkbd_map_key((int32_t)key) & 0xFF);
    winmain_set_pending_key(0);
}

void winkbd_del(WINKBD **keyboard) {
    if (!keyboard || !*keyboard || !(*keyboard)->keys) {
        winkbd_error();
        return;
    }
    if (*keyboard == winkbd_shared) winkbd_shared = nullptr;
    free((*keyboard)->keys);
    free(*keyboard);
    *keyboard = nullptr;
}
