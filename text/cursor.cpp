// CURSOR: the wrapping read position every scroller walks its text with; the
// text is not owned. CURSORX: a wrapping counter with a base and an offset,
// a separate record with its own identity. Remainders are taken in 64 bits,
// so steps of any size and sign land inside the wrap without overflow. A
// zero (CURSOR: non-positive) wrap length is refused rather than divided by.
#include "text/cursor.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"

RIVO_IDENTITY(cursor, "CURSOR  ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(cursor, 0, "CURSOR Error.\n");

// CURSORX lives with CURSOR: its own four unpadded fields and a reporter
// whose switch is a constant 0, so it never prints.
RIVO_IDENTITY(cursorx, "CURSORX", "20090805", "OVK", "C");
RIVO_REPORTER(cursorx, 0, "CURSORX Error.\n");

static const char cursor_default_text[] = "RIVO";

// a mod n brought into 0 .. n - 1 (n > 0).
static int32_t cursor_wrap(int64_t a, int32_t n) {
    int64_t r = a % n;
    if (r < 0) r += n;
    return (int32_t)r;
}

CURSOR *cursor_new(void) {
    CURSOR *cursor = (CURSOR *)calloc(1, sizeof(CURSOR));
    if (!cursor) {
        cursor_error();
        return nullptr;
    }
    cursor_set(cursor, cursor_default_text, 4, 1, 1);
    return cursor;
}

void cursor_del(CURSOR **cursor) {
    if (!cursor || !*cursor) {
        cursor_error();
        return;
    }
    free(*cursor);
    *cursor = nullptr;
}

void cursor_set(CURSOR *cursor, const char *text, int32_t length, int32_t spare, int32_t step) {
    if (!cursor) {
        cursor_error();
        return;
    }
    cursor->text = text;
    cursor->length = length;
    cursor->spare = spare;
    cursor->step = step;
    cursor->index = 0;
}

void cursor_advance(CURSOR *cursor) {
    if (!cursor || cursor->length <= 0) {
        cursor_error();
        return;
    }
    cursor->index = cursor_wrap((int64_t)cursor->index + cursor->step, cursor->length);
}

void cursor_seek(CURSOR *cursor, int32_t i) {
    if (!cursor || cursor->length <= 0) {
        cursor_error();
        return;
    }
    cursor->index = cursor_wrap(i, cursor->length);
}

void cursor_save(CURSOR *cursor) {
    if (!cursor) {
        cursor_error();
        return;
    }
    cursor->mark = cursor->index;
}

void cursor_restore(CURSOR *cursor) {
    if (!cursor) {
        cursor_error();
        return;
    }
    cursor->index = cursor->mark;
}

// ---- CURSORX -------------------------------------------------------------

CURSORX *cursorx_new(void) {
    CURSORX *counter = (CURSORX *)calloc(1, sizeof(CURSORX));
    if (!counter) {
        cursorx_error();
        return nullptr;
    }
    counter->modulus = 1024;
    counter->step = 1;
    counter->offset_step = 2;
    return counter;
}

void cursorx_del(CURSORX **counter) {
    if (!counter || !*counter) {
        cursorx_error();
        return;
    }
    free(*counter);
    *counter = nullptr;
}

void cursorx_copy(const CURSORX *source, CURSORX *target) {
    if (!source || !target) {
        cursorx_error();
        return;
    }
    target->modulus = source->modulus;
    target->base = source->base;
    target->step = source->step;
    target->offset = source->offset;
    target->offset_step = source->offset_step;
}

CURSORX *cursorx_dup(const CURSORX *source) {
    if (!source) {
        cursorx_error();
        return nullptr;
    }
    CURSORX *counter = cursorx_new();
    cursorx_copy(source, counter);
    return counter;
}

void cursorx_update(CURSORX *counter) {
    if (!counter || counter->modulus == 0) {
        cursorx_error();
        return;
    }
    int64_t r = ((int64_t)counter->base + counter->offset) % counter->modulus;
    if (r < 0) r += counter->modulus;
    counter->value = (int32_t)r;
}

void cursorx_set(CURSORX *counter, int32_t modulus, int32_t base, int32_t step, int32_t offset,
                 int32_t offset_step) {
    if (!counter) {
        cursorx_error();
        return;
    }
    cursorx_set_modulus(counter, modulus);
    cursorx_set_base(counter, base);
    cursorx_set_offset(counter, offset);
    counter->step = step;
    counter->offset_step = offset_step;
}

int32_t cursorx_set_modulus(CURSORX *counter, int32_t n) {
    if (!counter || n < 0) {
        cursorx_error();
        return 0;
    }
    counter->modulus = n;
    return cursorx_set_base(counter, counter->base);
}

int32_t cursorx_set_base(CURSORX *counter, int32_t b) {
    if (!counter || counter->modulus == 0) {
        cursorx_error();
        return 0;
    }
    // Only a negative b gets the modulus added, even when its remainder is 0:
    // -modulus gives base = modulus, which the update still wraps to 0.
    int64_t r = (int64_t)b % counter->modulus;
    if (b < 0) r += counter->modulus;
    counter->base = (int32_t)r;
    cursorx_update(counter);
    return counter->value;
}

int32_t cursorx_restart(CURSORX *counter, int32_t b) {
    if (!counter) {
        cursorx_error();
        return 0;
    }
    counter->offset = 0;
    return cursorx_set_base(counter, b);
}

int32_t cursorx_step(CURSORX *counter) {
    // The wrap walks base back into 0 .. modulus - 1; with a modulus of 0 or
    // less it would never get there.
    if (!counter || counter->modulus <= 0) {
        cursorx_error();
        return 0;
    }
    counter->base = cursor_wrap((int64_t)counter->base + counter->step, counter->modulus);
    cursorx_update(counter);
    return counter->value;
}

int32_t cursorx_step_offset(CURSORX *counter) {
    if (!counter) {
        cursorx_error();
        return 0;
    }
    counter->offset = wrap_add(counter->offset, counter->offset_step);
    cursorx_update(counter);
    return counter->value;
}

int32_t cursorx_set_offset(CURSORX *counter, int32_t o) {
    if (!counter) {
        cursorx_error();
        return 0;
    }
    counter->offset = o;
    cursorx_update(counter);
    return counter->value;
}
