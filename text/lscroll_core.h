// The parts LSCROLL and LSCRLXYZ share, written once over any scroller record
// with LSCROLL's fields (x, y, z, width, height, depth, speed, offset, text,
// cursor, font, target): creation, attaching, the cell width, the step and the
// overflow-safe quotient. Nothing here reports; each scroller reports with its
// own reporter where these give the neutral value.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/int.h"
#include "imaging/img.h"
#include "text/cursor.h"
#include "vector/lfont.h"
#include "vector/vec2d.h"

static const char lscroll_core_default_text[] = "A scroll's default text. ";

// A zero-filled scroller at speed 1 with its cursor on the default text, or null.
template <class Scroller>
Scroller *lscroll_core_new(void) {
    Scroller *s = (Scroller *)calloc(1, sizeof(Scroller));
    if (!s) return nullptr;
    s->speed = 1;
    s->cursor = cursor_new();
    if (!s->cursor) {
        free(s);
        return nullptr;
    }
    cursor_set(s->cursor, lscroll_core_default_text,
               (int32_t)strlen(lscroll_core_default_text), 1, 1);
    return s;
}

// Frees the cursor and the record and clears *handle; false on a null handle.
template <class Scroller>
bool lscroll_core_del(Scroller **handle) {
    if (!handle || !*handle) return false;
    if ((*handle)->cursor) cursor_del(&(*handle)->cursor);
    free(*handle);
    *handle = nullptr;
    return true;
}

// Attaches text, font and target with a fresh cursor on the text; false (the
// scroller untouched) on a missing argument, an empty text or no cursor.
template <class Scroller>
bool lscroll_core_set(Scroller *s, const char *text, LFONT *font, IMG *target) {
    if (!s || !text || !font || !target || !font->size) return false;
    size_t length = strlen(text);
    if (length == 0 || length > (size_t)INT32_MAX) return false;
    CURSOR *cursor = cursor_new();
    if (!cursor) return false;
    if (s->cursor) cursor_del(&s->cursor);
    s->text = text;
    s->cursor = cursor;
    cursor_set(cursor, text, (int32_t)length, 1, 1);
    s->font = font;
    s->target = target;
    s->x = s->y = s->z = 0;
    s->width = target->width;
    s->height = font->size->y;
    s->depth = 1;
    return true;
}

// Character width in pixels; 0 when the scroller cannot run.
template <class Scroller>
int32_t lscroll_core_cell(const Scroller *s) {
    if (!s || !s->text || !s->cursor || !s->font || !s->target || !s->font->size ||
        !s->font->scale || !s->font->position)
        return 0;
    return wrap_mul(s->font->size->x, s->font->scale->x);
}

// Truncating quotient and remainder that cannot overflow (w != 0).
static inline int32_t lscroll_core_div(int32_t a, int32_t w) {
    return w == -1 ? wrap_neg(a) : a / w;
}

static inline int32_t lscroll_core_mod(int32_t a, int32_t w) {
    return w == -1 ? 0 : a % w;
}

// offset += speed, moving the cursor by whole characters of width w (w != 0).
// Gives 1 when the text moved forward, -1 when back, 0 when it stayed.
template <class Scroller>
int32_t lscroll_core_step(Scroller *s, int32_t w) {
    s->offset = wrap_add(s->offset, s->speed);
    if (s->offset >= w) {
        s->cursor->step = lscroll_core_div(s->offset, w);
        cursor_advance(s->cursor);
        s->offset = lscroll_core_mod(s->offset, w);
        return 1;
    }
    if (s->offset < 0) {
        // An exact negative multiple of w ends as w, which the next step corrects.
        s->cursor->step = wrap_sub(lscroll_core_div(s->offset, w), 1);
        cursor_advance(s->cursor);
        s->offset = wrap_add(lscroll_core_mod(s->offset, w), w);
        return -1;
    }
    return 0;
}

// True unless the strip lies wholly outside the target.
template <class Scroller>
bool lscroll_core_visible(const Scroller *s) {
    return !(s->x > s->target->width || s->y > s->target->height ||
             wrap_add(s->x, s->width) < 0 || wrap_add(s->y, s->height) < 0);
}
