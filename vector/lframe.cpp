// Line frame: one segment whose two ends run around the border of a
// width x height rectangle, turning at each edge to follow it.
// LFRAME never owns its segments: copies and duplicates share them, so
// whoever made them (or reset the frame) releases them. A frame without a
// positive width and height cannot be reset (no random position fits).
#include "vector/lframe.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

RIVO_IDENTITY(lframe, "LFRAME  ", "20120922", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lframe, 0, "LFRAME error\n");

LFRAME *lframe_new(void) {
    LFRAME *f = (LFRAME *)calloc(1, sizeof(LFRAME));
    if (!f) {
        lframe_error();
        return nullptr;
    }
    f->width = 256;
    f->height = 256;
    f->depth = 256;
    lframe_reset_random(f);
    // Without its segments (a failed allocation) the frame is no frame at all.
    if (!f->line || !f->velocity) {
        free(f);
        lframe_error();
        return nullptr;
    }
    return f;
}

void lframe_del(LFRAME **handle) {
    if (!handle || !*handle) {
        lframe_error();
        return;
    }
    free(*handle);
    *handle = nullptr;
}

int lframe_compare(LFRAME *s, LFRAME *t) {
    if (!s || !t) {
        lframe_error();
        return 0;
    }
    return s->line == t->line && s->velocity == t->velocity && s->speed == t->speed;
}

void lframe_copy(LFRAME *source, LFRAME *target) {
    if (!source || !target) {
        lframe_error();
        return;
    }
    target->x = source->x;
    target->y = source->y;
    target->z = source->z;
    target->line = source->line;
    target->velocity = source->velocity;
    target->speed = source->speed;
}

LFRAME *lframe_dup(LFRAME *source) {
    if (!source) {
        lframe_error();
        return nullptr;
    }
    LFRAME *f = lframe_new();
    if (!f) return nullptr;
    // The fresh frame's own segments are unshared; release them before
    // taking over the source's.
    if (f->line) seg2d_del(&f->line);
    if (f->velocity) seg2d_del(&f->velocity);
    f->line = source->line;
    f->velocity = source->velocity;
    f->speed = source->speed;
    return f;
}

// r % n of a fresh 30-bit draw.
static int32_t lframe_draw_below(int32_t n) {
    return random_next() % n;
}

static uint32_t lframe_draw_colour(void) {
    return (uint32_t)random_next() & 0xFFFFFFu;
}

static void lframe_set(VEC2D *v, int32_t x, int32_t y) {
    v->x = x;
    v->y = y;
}

// A new line and velocity for the frame; false (nothing changed) when the
// frame has no room or memory runs out.
static bool lframe_fresh(LFRAME *f, SEG2D **line, SEG2D **velocity) {
    if (!f || f->width <= 0 || f->height <= 0) {
        lframe_error();
        return false;
    }
    *line = seg2d_new();
    *velocity = seg2d_new();
    if (!*line || !*velocity || !(*line)->a || !(*line)->b || !(*velocity)->a ||
        !(*velocity)->b) {
        if (*line) seg2d_del(line);
        if (*velocity) seg2d_del(velocity);
        lframe_error();
        return false;
    }
    return true;
}

static void lframe_install(LFRAME *f, SEG2D *line, SEG2D *velocity) {
    f->line = line;
    f->velocity = velocity;
    f->speed = (random_next() & 7) + 4;
}

void lframe_reset_random(LFRAME *f) {
    SEG2D *line, *velocity;
    if (!lframe_fresh(f, &line, &velocity)) return;
    int32_t ax = lframe_draw_below(f->width);
    int32_t ay = lframe_draw_below(f->height);
    lframe_set(line->a, ax, ay);
    int32_t bx = lframe_draw_below(f->width);
    int32_t by = lframe_draw_below(f->height);
    lframe_set(line->b, bx, by);
    line->a->color = lframe_draw_colour();
    line->b->color = lframe_draw_colour();
    lframe_set(velocity->a, -1, -1);
    lframe_set(velocity->b, -1, -1);
    // Four draws are made and dropped while the directions are set.
    for (int i = 0; i < 4; i++) random_next();
    lframe_install(f, line, velocity);
}

// Colours, the edge choice k; the positions follow.
static int32_t lframe_start_reset(SEG2D *line) {
    line->a->color = lframe_draw_colour();
    line->b->color = lframe_draw_colour();
    return random_next() % 3;
}

// -1 or +1, drawn after the positions.
static int32_t lframe_draw_direction(void) {
    return (random_next() & 1) * 2 - 1;
}

void lframe_reset_edge(LFRAME *f) {
    SEG2D *line, *velocity;
    if (!lframe_fresh(f, &line, &velocity)) return;
    int32_t w = f->width, h = f->height;
    int32_t k = lframe_start_reset(line);
    int32_t p, q, d;
    if (k == 0) {
        p = lframe_draw_below(h);
        q = lframe_draw_below(h);
        lframe_set(line->a, 0, p);
        lframe_set(line->b, 0, q);
        d = lframe_draw_direction();
        lframe_set(velocity->a, 0, d);
        lframe_set(velocity->b, 0, d);
    } else if (k == 1) {
        p = lframe_draw_below(w);
        q = lframe_draw_below(w);
        lframe_set(line->a, p, 0);
        lframe_set(line->b, q, 0);
        d = lframe_draw_direction();
        lframe_set(velocity->a, d, 0);
        lframe_set(velocity->b, d, 0);
    } else {
        p = lframe_draw_below(h);
        q = lframe_draw_below(h);
        lframe_set(line->a, w - 1, p);
        lframe_set(line->b, w - 1, q);
        d = lframe_draw_direction();
        lframe_set(velocity->a, 0, d);
        lframe_set(velocity->b, 0, d);
    }
    lframe_install(f, line, velocity);
}

void lframe_reset_corner(LFRAME *f) {
    SEG2D *line, *velocity;
    if (!lframe_fresh(f, &line, &velocity)) return;
    int32_t w = f->width, h = f->height;
    int32_t k = lframe_start_reset(line);
    int32_t p, q, d;
    if (k == 0) {
        p = lframe_draw_below(h);
        q = lframe_draw_below(w);
        lframe_set(line->a, 0, p);
        lframe_set(line->b, q, 0);
        d = lframe_draw_direction();
        lframe_set(velocity->a, 0, d);
        lframe_set(velocity->b, -d, 0);
    } else if (k == 1) {
        p = lframe_draw_below(w);
        q = lframe_draw_below(h);
        lframe_set(line->a, p, 0);
        lframe_set(line->b, w - 1, q);
        d = lframe_draw_direction();
        lframe_set(velocity->a, d, 0);
        lframe_set(velocity->b, 0, d);
    } else {
        p = lframe_draw_below(h);
        q = lframe_draw_below(w);
        lframe_set(line->a, w - 1, p);
        lframe_set(line->b, q, h - 1);
        d = lframe_draw_direction();
        lframe_set(velocity->a, 0, d);
        lframe_set(velocity->b, -d, 0);
    }
    lframe_install(f, line, velocity);
}

void lframe_step_point(LFRAME *f, VEC2D *p, VEC2D *v) {
    if (!f || !p || !v) {
        lframe_error();
        return;
    }
    int32_t w = f->width, h = f->height, s = f->speed;
    int32_t vx = v->x, vy = v->y;
    // A side edge turns the point up along it (down when on the top row).
    int32_t nx = wrap_add(p->x, wrap_mul(vx, s));
    if (nx < 0) {
        vy = p->y != 0 ? vx : wrap_neg(vx);
        nx = 0;
        vx = 0;
    } else if (nx >= w) {
        vy = p->y != 0 ? wrap_neg(vx) : vx;
        nx = wrap_sub(w, 1);  // a width of INT32_MIN has no last column
        vx = 0;
    }
    // The top or bottom edge turns it left (right when in the leftmost column).
    int32_t ny = wrap_add(p->y, wrap_mul(vy, s));
    if (ny < 0) {
        vx = nx != 0 ? vy : wrap_neg(vy);
        ny = 0;
        vy = 0;
    } else if (ny >= h) {
        vx = nx != 0 ? wrap_neg(vy) : vy;
        ny = wrap_sub(h, 1);
        vy = 0;
    }
    p->x = nx;
    p->y = ny;
    v->x = vx;
    v->y = vy;
}

static bool lframe_has_segments(const LFRAME *f) {
    if (!f || !f->line || !f->line->a || !f->line->b) {
        lframe_error();
        return false;
    }
    return true;
}

void lframe_step(LFRAME *f) {
    if (!lframe_has_segments(f)) return;
    if (!f->velocity || !f->velocity->a || !f->velocity->b) {
        lframe_error();
        return;
    }
    lframe_step_point(f, f->line->a, f->velocity->a);
    lframe_step_point(f, f->line->b, f->velocity->b);
}

void lframe_draw(LFRAME *f, IMG *image) {
    if (!lframe_has_segments(f)) return;
    if (!image) {
        lframe_error();
        return;
    }
    seg2d_draw(f->line, image);
}

void lframe_plot_middle(LFRAME *f, IMG *image) {
    if (!lframe_has_segments(f)) return;
    if (!image) {
        lframe_error();
        return;
    }
    const VEC2D *a = f->line->a, *b = f->line->b;
    img_set_pixel(image, wrap_add(a->x, b->x) / 2, wrap_add(a->y, b->y) / 2, a->color);
}

void lframe_plot_ends(LFRAME *f, IMG *image) {
    if (!lframe_has_segments(f)) return;
    if (!image) {
        lframe_error();
        return;
    }
    seg2d_plot_ends(f->line, image);
}
