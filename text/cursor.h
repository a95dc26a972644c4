// CURSOR: a wrapping read position in a text, the walker of every scroller.
// CURSORX: a wrapping counter, value = (base + offset) mod modulus.
#pragma once

#include "host/export.h"

#include <cstdint>

// A wrapping read position in a text.
struct CURSOR {
    int32_t index;     // current read position, 0 .. length - 1
    int32_t step;      // what cursor_advance adds
    int32_t spare;     // stored by cursor_set; nothing reads it
    int32_t length;    // wrap length, normally the text's length
    const char *text;  // the text read; not owned
    int32_t mark;      // saved index
};

// A wrapping counter.
struct CURSORX {
    int32_t modulus;      // wrap size
    int32_t value;        // (base + offset) mod modulus, never negative for a positive modulus
    int32_t base;         // moved by cursorx_step, wrapped into 0 .. modulus - 1
    int32_t step;         // what cursorx_step adds to base
    int32_t offset;       // added to base for value
    int32_t offset_step;  // what cursorx_step_offset adds to offset
};

// Prints this module's error message when its debug switch is on.
RIVO_API void cursor_error(void);
// CURSORX's reporter: never prints.
RIVO_API void cursorx_error(void);

// A cursor on the default text "RIVO": length 4, spare 1, step 1, index 0.
RIVO_API CURSOR *cursor_new(void);
// Frees the record (not the text) and clears the handle.
RIVO_API void cursor_del(CURSOR **cursor);
// Stores the four values and puts index at 0 (mark is kept).
RIVO_API void cursor_set(CURSOR *cursor, const char *text, int32_t length, int32_t spare, int32_t step);
// index = (index + step) mod length, into 0 .. length - 1 for any step.
// A length of 0 or less is refused (reported, index kept).
RIVO_API void cursor_advance(CURSOR *cursor);
// index = i mod length, into 0 .. length - 1; length 0 or less is refused.
RIVO_API void cursor_seek(CURSOR *cursor, int32_t i);
// mark = index.
RIVO_API void cursor_save(CURSOR *cursor);
// index = mark.
RIVO_API void cursor_restore(CURSOR *cursor);

// Modulus 1024, value 0, base 0, step 1, offset 0, offset_step 2.
RIVO_API CURSORX *cursorx_new(void);
// Frees the record and clears the handle.
RIVO_API void cursorx_del(CURSORX **counter);
// Copies every field but value.
RIVO_API void cursorx_copy(const CURSORX *source, CURSORX *target);
// cursorx_new, then cursorx_copy from the source.
RIVO_API CURSORX *cursorx_dup(const CURSORX *source);
// Sets modulus, base and offset through their setters, then step and offset_step.
RIVO_API void cursorx_set(CURSORX *counter, int32_t modulus, int32_t base, int32_t step, int32_t offset,
                          int32_t offset_step);
// n >= 0: stores it and re-applies the current base. Returns value.
RIVO_API int32_t cursorx_set_modulus(CURSORX *counter, int32_t n);
// base = b mod modulus; a negative b gets modulus added once (so -modulus
// gives base = modulus). Needs modulus != 0. Updates and returns value.
RIVO_API int32_t cursorx_set_base(CURSORX *counter, int32_t b);
// offset = 0, then cursorx_set_base(b). Returns value.
RIVO_API int32_t cursorx_restart(CURSORX *counter, int32_t b);
// base += step, brought into 0 .. modulus - 1 (needs modulus > 0). Returns value.
RIVO_API int32_t cursorx_step(CURSORX *counter);
// offset += offset_step. Updates and returns value.
RIVO_API int32_t cursorx_step_offset(CURSORX *counter);
// offset = o. Updates and returns value.
RIVO_API int32_t cursorx_set_offset(CURSORX *counter, int32_t o);
// value = (base + offset) mod modulus, plus modulus when negative (needs modulus != 0).
RIVO_API void cursorx_update(CURSORX *counter);
