// LSTAR: a star outline made of two turning rings. The star owns its two
// LRADIAL rings; their own centres are ignored, the star's centre is used.
// Limits: a star whose rings are missing reports and draws nothing.
#include "effects/lstar.h"

#include <cstdlib>

#include "effects/lradial.h"
#include "host/int.h"
#include "host/module.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"

RIVO_IDENTITY(lstar, "LSTAR   ", "20131125", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lstar, 0, "LSTAR error\n");

static const int32_t lstar_angle_mask = 0x3FFFFFF;

LSTAR *lstar_new(void) {
    LSTAR *s = (LSTAR *)calloc(1, sizeof(LSTAR));
    if (!s) {
        lstar_error();
        return nullptr;
    }
    s->x = 128;
    s->y = 128;
    s->width = 256;
    s->height = 256;
    s->ring_a = lradial_new();
    s->ring_b = lradial_new();
    if (!s->ring_a || !s->ring_b) {
        if (s->ring_a) lradial_del(&s->ring_a);
        if (s->ring_b) lradial_del(&s->ring_b);
        free(s);
        lstar_error();
        return nullptr;
    }
    lstar_set_points(s, 8);
    return s;
}

void lstar_del(LSTAR **s) {
    if (!s || !*s) {
        lstar_error();
        return;
    }
    if ((*s)->ring_a) lradial_del(&(*s)->ring_a);
    if ((*s)->ring_b) lradial_del(&(*s)->ring_b);
    free(*s);
    *s = nullptr;
}

void lstar_copy(const LSTAR *source, LSTAR *target) {
    if (!source || !target) lstar_error();
}

int lstar_compare(const LSTAR *a, const LSTAR *b) {
    if (!a || !b) lstar_error();
    return 0;
}

char *lstar_to_text(const LSTAR *s) {
    if (!s) lstar_error();
    return nullptr;
}

LSTAR *lstar_dup(const LSTAR *s) {
    if (!s) {
        lstar_error();
        return nullptr;
    }
    return lstar_new();
}

static bool lstar_has_rings(const LSTAR *s) {
    if (!s || !s->ring_a || !s->ring_b) {
        lstar_error();
        return false;
    }
    return true;
}

void lstar_set_points(LSTAR *s, int32_t n) {
    if (!lstar_has_rings(s)) return;
    if (n <= 0) {
        lstar_error();
        return;
    }
    lradial_set_lines(s->ring_a, n);
    lradial_set_lines(s->ring_b, n);
    // Added to ring_b's current angle, so each call moves it on by half a spacing.
    s->ring_b->angle = wrap_add(s->ring_b->angle, s->ring_b->spacing / 2) & lstar_angle_mask;
}

void lstar_sync(LSTAR *s) {
    if (!lstar_has_rings(s)) return;
    s->ring_b->angle = s->ring_a->angle;
    s->ring_b->spin = s->ring_a->spin;
    s->ring_b->angle = wrap_add(s->ring_b->angle, s->ring_b->spacing / 2) & lstar_angle_mask;
}

void lstar_step(LSTAR *s) {
    if (!lstar_has_rings(s)) return;
    lradial_step(s->ring_a);
    lradial_step(s->ring_b);
}

// The three ways of drawing one segment of the outline.
enum lstar_pen { lstar_pen_line, lstar_pen_thick, lstar_pen_dither };

// Walks the outline: per round the segment A->B, then the one back from B to
// the next point A' of ring_a (drawn A'->B by the plain pen, B->A' otherwise).
static void lstar_walk(LSTAR *s, IMG *img, lstar_pen pen, int32_t t) {
    if (!lstar_has_rings(s)) return;
    if (!img) {
        lstar_error();
        return;
    }
    s->width = img->width;
    s->height = img->height;
    const LRADIAL *ra = s->ring_a;
    const LRADIAL *rb = s->ring_b;
    uint32_t ca = (uint32_t)ra->colour;
    uint32_t cb = (uint32_t)rb->colour;
    int32_t aa = ra->angle;
    int32_t ab = rb->angle;
    // Each round's A' is the next round's A, so ring_a's point is worked out once.
    int32_t ax, ay;
    lradial_point(s->x, s->y, aa, ra->radius, &ax, &ay);
    for (int32_t k = 0; k < ra->lines; k++) {
        int32_t bx, by, nx, ny;
        lradial_point(s->x, s->y, ab, rb->radius, &bx, &by);
        aa = wrap_add(aa, ra->spacing) & lstar_angle_mask;
        ab = wrap_add(ab, rb->spacing) & lstar_angle_mask;
        lradial_point(s->x, s->y, aa, ra->radius, &nx, &ny);
        switch (pen) {
        case lstar_pen_line:
            img_line(img, ax, ay, bx, by, ca);
            img_line(img, nx, ny, bx, by, cb);
            break;
        case lstar_pen_thick:
            imgfx_thick_line(img, ax, ay, bx, by, ca, t);
            imgfx_thick_line(img, bx, by, nx, ny, cb, t);
            break;
        case lstar_pen_dither:
            imgfx_thick_dither_line(img, ax, ay, ca, bx, by, cb, t);
            imgfx_thick_dither_line(img, bx, by, cb, nx, ny, ca, t);
            break;
        }
        ax = nx;
        ay = ny;
    }
}

void lstar_draw(LSTAR *s, IMG *img) { lstar_walk(s, img, lstar_pen_line, 1); }

void lstar_draw_thick(LSTAR *s, IMG *img, int32_t t) { lstar_walk(s, img, lstar_pen_thick, t); }

void lstar_draw_dither(LSTAR *s, IMG *img, int32_t t) { lstar_walk(s, img, lstar_pen_dither, t); }
