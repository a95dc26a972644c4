// Line font scroller with depth: the LSCROLL design (same fields first) plus
// three sine waves that move each character sideways, up and down and in
// size. Phases stay in 0..1023; each whole character scrolled moves them by
// their spreads, each step by their speeds. It owns its cursor only.
// The plain, random, colour and spiral draws are those of LSCROLL, run on a
// view of the shared fields after this module has checked them.
#include "text/lscrlxyz.h"

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "text/cursor.h"
#include "text/lscroll.h"
#include "text/lscroll_core.h"
#include "vector/lfont.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

RIVO_IDENTITY(lscrlxyz, "LSCRLXYZ ", "20130903", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lscrlxyz, 0, "LSCRLXYZ error\n");

LSCRLXYZ *lscrlxyz_new(void) {
    LSCRLXYZ *s = lscroll_core_new<LSCRLXYZ>();
    if (!s) {
        lscrlxyz_error();
        return nullptr;
    }
    // Nine draws, in this order.
    s->x_speed = (random_rand() & 31) + 16;
    s->x_spread = (random_rand() & 31) + 32;
    s->x_amplitude = (random_rand() & 63) + 16;
    s->y_speed = (random_rand() & 31) + 16;
    s->y_spread = (random_rand() & 31) + 32;
    s->y_amplitude = (random_rand() & 31) + 64;
    s->z_speed = (random_rand() & 31) + 16;
    s->z_spread = (random_rand() & 31) + 32;
    s->z_amplitude = (random_rand() & 7) + 1;
    return s;
}

void lscrlxyz_del(LSCRLXYZ **handle) {
    if (!lscroll_core_del(handle)) lscrlxyz_error();
}

void lscrlxyz_set(LSCRLXYZ *s, const char *text, LFONT *font, IMG *target) {
    if (!lscroll_core_set(s, text, font, target)) lscrlxyz_error();
}

// Character width in pixels; 0 (after a report) when the scroller cannot run.
static int32_t lscrlxyz_cell(const LSCRLXYZ *s) {
    int32_t w = lscroll_core_cell(s);
    if (w == 0) lscrlxyz_error();
    return w;
}

static void lscrlxyz_move_phases(LSCRLXYZ *s, int32_t sign) {
    s->x_phase = wrap_add(s->x_phase, wrap_mul(sign, s->x_spread));
    s->y_phase = wrap_add(s->y_phase, wrap_mul(sign, s->y_spread));
    s->z_phase = wrap_add(s->z_phase, wrap_mul(sign, s->z_spread));
}

void lscrlxyz_step(LSCRLXYZ *s) {
    int32_t w = lscrlxyz_cell(s);
    if (w == 0) return;
    int32_t moved = lscroll_core_step(s, w);
    if (moved != 0) lscrlxyz_move_phases(s, moved);
    s->x_phase = wrap_add(s->x_phase, s->x_speed) & sine_mask;
    s->y_phase = wrap_add(s->y_phase, s->y_speed) & sine_mask;
    s->z_phase = wrap_add(s->z_phase, s->z_speed) & sine_mask;
}

// The fields LSCROLL draws with; the cursor is shared, so its save and
// restore act on this scroller's own cursor.
static LSCROLL lscrlxyz_view(const LSCRLXYZ *s) {
    LSCROLL v = {s->x,     s->y,      s->z,    s->width, s->height, s->depth,
                 s->speed, s->offset, s->text, s->cursor, s->font,  s->target};
    return v;
}

void lscrlxyz_draw(LSCRLXYZ *s) {
    if (lscrlxyz_cell(s) == 0) return;
    LSCROLL v = lscrlxyz_view(s);
    lscroll_draw(&v);
}

void lscrlxyz_draw_random(LSCRLXYZ *s) {
    if (lscrlxyz_cell(s) == 0) return;
    LSCROLL v = lscrlxyz_view(s);
    lscroll_draw_random(&v);
}

void lscrlxyz_draw_color(LSCRLXYZ *s, uint32_t color) {
    if (lscrlxyz_cell(s) == 0) return;
    LSCROLL v = lscrlxyz_view(s);
    lscroll_draw_color(&v, color);
}

void lscrlxyz_draw_spiral(LSCRLXYZ *s, int32_t k) {
    if (lscrlxyz_cell(s) == 0) return;
    LSCROLL v = lscrlxyz_view(s);
    lscroll_draw_spiral(&v, k);
}

// (S[phase + i * spread] * amplitude) >> 15
static int32_t lscrlxyz_wave(int32_t phase, int32_t i, int32_t spread, int32_t amplitude) {
    int32_t v = sine_table[wrap_add(phase, wrap_mul(i, spread)) & sine_mask];
    return asr(wrap_mul(v, amplitude), 15);
}

void lscrlxyz_draw_wave(LSCRLXYZ *s) {
    int32_t w = lscrlxyz_cell(s);
    if (w == 0) return;
    if (!lscroll_core_visible(s)) return;
    LFONT *f = s->font;
    f->target = s->target;
    VEC2D saved = *f->scale;
    int32_t n = wrap_add(lscroll_core_div(s->width, w), 2);
    cursor_save(s->cursor);
    s->cursor->step = 1;
    for (int32_t i = 0; i < n; i++) {
        f->position->y = wrap_add(s->y, lscrlxyz_wave(s->y_phase, i, s->y_spread, s->y_amplitude));
        f->position->x = wrap_add(wrap_add(wrap_sub(s->x, s->offset), wrap_mul(i, w)),
                                  lscrlxyz_wave(s->x_phase, i, s->x_spread, s->x_amplitude));
        // Size wave: zero and negative scales are drawn as they come.
        int32_t d = lscrlxyz_wave(s->z_phase, i, s->z_spread, s->z_amplitude);
        f->scale->x = wrap_add(saved.x, d);
        f->scale->y = wrap_add(saved.y, d);
        f->code = (signed char)s->text[s->cursor->index];
        lfont_draw_char(f);
        cursor_advance(s->cursor);
    }
    cursor_restore(s->cursor);
    f->scale->x = saved.x;
    f->scale->y = saved.y;
}
