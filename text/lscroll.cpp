// Line font scroller: an endless text moved sideways through a strip of the
// target, drawn with an LFONT one cell w = size.x * scale.x per character.
// LSCROLL owns its CURSOR (the first visible character); text, font and
// target belong to the caller. Drawing never moves the text: the cursor is
// saved before and restored after. Empty texts and zero-width cells are
// refused, since the cursor and the step divide by them.
#include "text/lscroll.h"

#include "host/int.h"
#include "host/module.h"
#include "imaging/img.h"
#include "text/cursor.h"
#include "text/lscroll_core.h"
#include "vector/lfont.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

RIVO_IDENTITY(lscroll, "LSCROLL ", "20120731", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lscroll, 0, "LSCROLL error\n");

LSCROLL *lscroll_new(void) {
    LSCROLL *s = lscroll_core_new<LSCROLL>();
    if (!s) lscroll_error();
    return s;
}

void lscroll_del(LSCROLL **handle) {
    if (!lscroll_core_del(handle)) lscroll_error();
}

void lscroll_set(LSCROLL *s, const char *text, LFONT *font, IMG *target) {
    if (!lscroll_core_set(s, text, font, target)) lscroll_error();
}

// Character width in pixels; 0 (after a report) when the scroller cannot run.
static int32_t lscroll_cell(const LSCROLL *s) {
    int32_t w = lscroll_core_cell(s);
    if (w == 0) lscroll_error();
    return w;
}

void lscroll_step(LSCROLL *s) {
    int32_t w = lscroll_cell(s);
    if (w != 0) lscroll_core_step(s, w);
}

enum LscrollKind { LSCROLL_PLAIN, LSCROLL_RANDOM };

// The line of width / w + 2 characters from the cursor, the first partly
// scrolled out and one spare at the right.
static void lscroll_line(LSCROLL *s, int32_t w, LscrollKind kind) {
    LFONT *f = s->font;
    f->position->x = wrap_sub(s->x, s->offset);
    f->position->y = s->y;
    f->target = s->target;
    int32_t n = wrap_add(lscroll_core_div(s->width, w), 2);
    cursor_save(s->cursor);
    s->cursor->step = 1;
    for (int32_t i = 0; i < n; i++) {
        f->code = (signed char)s->text[s->cursor->index];
        if (kind == LSCROLL_RANDOM)
            lfont_draw_char_random(f);
        else
            lfont_draw_char(f);
        cursor_advance(s->cursor);
    }
    cursor_restore(s->cursor);
}

void lscroll_draw(LSCROLL *s) {
    int32_t w = lscroll_cell(s);
    if (w == 0 || !lscroll_core_visible(s)) return;
    lscroll_line(s, w, LSCROLL_PLAIN);
}

void lscroll_draw_random(LSCROLL *s) {
    int32_t w = lscroll_cell(s);
    if (w == 0) return;
    lscroll_line(s, w, LSCROLL_RANDOM);
}

void lscroll_draw_color(LSCROLL *s, uint32_t color) {
    int32_t w = lscroll_cell(s);
    if (w == 0) return;
    lfont_set_color(s->font, color);
    lscroll_line(s, w, LSCROLL_PLAIN);
}

void lscroll_draw_spiral(LSCROLL *s, int32_t k) {
    int32_t w = lscroll_cell(s);
    if (w == 0) return;
    LFONT *f = s->font;
    int32_t h = wrap_mul(f->size->y, f->scale->y);
    // k picks a radius of about 2i, i, i/2 or i/4 pixels for character i.
    int shift = (k & 3) + 14;
    int32_t cx = s->target->width / 2, cy = s->target->height / 2;
    f->target = s->target;
    cursor_save(s->cursor);
    s->cursor->step = 1;
    // Outermost character first; the radius shrinks towards the centre.
    for (int32_t i = 512; i >= 1; i--) {
        int32_t ax = shl(wrap_add(s->offset, wrap_mul(i, w)), 2) & sine_mask;
        int32_t ay = wrap_add(shl(wrap_add(s->offset, wrap_mul(i, h)), 2), 256) & sine_mask;
        f->position->x = wrap_add(cx, asr(sine_table[ax] * i, shift));
        f->position->y = wrap_add(cy, asr(sine_table[ay] * i, shift));
        f->angle = wrap_sub(wrap_sub(wrap_add(1024, 512), wrap_mul(wrap_mul(4, i), w)),
                            wrap_mul(4, s->offset)) &
                   sine_mask;
        f->code = (signed char)s->text[s->cursor->index];
        lfont_draw_char(f);
        cursor_advance(s->cursor);
    }
    cursor_restore(s->cursor);
}
