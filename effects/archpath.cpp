// ARCHPATH: a point wandering in S-curves. It turns round the centre (x, y)
// by `turn` sine-table steps a frame; when the arc's frames run out it moves
// the centre across the current point onto a new circle touching the old one,
// so the point itself never jumps, and usually turns the other way. The area
// (width x height) wraps like a torus. The record owns its two sprites; a copy
// gets its own copies of them, so every path frees exactly what it holds.
#include "effects/archpath.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(archpath, "ARCHPATH", "20131015", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(archpath, 0, "ARCHPATH error\n");

// Sine and cosine from the shared table; cosine is the sine a quarter turn on.
static int32_t archpath_sin(int32_t angle) { return sine_table[angle & sine_mask]; }
static int32_t archpath_cos(int32_t angle) { return sine_table[wrap_add(angle, 256) & sine_mask]; }

// length * table value >> 15: the value is a fraction of 32768.
static int32_t archpath_apply(int32_t value, int32_t length) { return asr(wrap_mul(value, length), 15); }

// v mod n into 0 .. n - 1 when n > 0; 0 for an empty area.
static int32_t archpath_random_mod(int32_t n) {
    int32_t r = random_rand();
    return n > 0 ? r % n : 0;
}

static void archpath_free_sprites(ARCHPATH *a) {
    if (a->sprite_a) img_del(&a->sprite_a);
    if (a->sprite_b) img_del(&a->sprite_b);
}

void archpath_randomize(ARCHPATH *a) {
    if (!a) {
        archpath_error();
        return;
    }
    a->z = 0;
    a->width = a->height = a->depth = 256;
    a->x = archpath_random_mod(a->width);
    a->y = archpath_random_mod(a->height);
    a->angle = random_rand() & 1023;
    a->turn = (random_rand() & 3) + 1;
    a->arc_length = (random_rand() % 768 + 256) / a->turn;
    a->radius = (random_rand() & 31) + 16;
    a->arc_frame = 0;
    archpath_free_sprites(a);
    a->sprite_b = img_new();
    a->sprite_a = img_new();
    a->colour = (uint32_t)(random_next() & 0x7F7F7F) + 0x808080;
}

ARCHPATH *archpath_new(void) {
    ARCHPATH *a = (ARCHPATH *)calloc(1, sizeof(ARCHPATH));
    if (!a) {
        archpath_error();
        return nullptr;
    }
    archpath_randomize(a);
    if (!a->sprite_a || !a->sprite_b) {
        archpath_free_sprites(a);
        free(a);
        archpath_error();
        return nullptr;
    }
    return a;
}

void archpath_del(ARCHPATH **a) {
    if (!a || !*a) {
        archpath_error();
        return;
    }
    archpath_free_sprites(*a);
    free(*a);
    *a = nullptr;
}

int archpath_point(const ARCHPATH *a, int32_t *px, int32_t *py) {
    if (!a || !px || !py) {
        archpath_error();
        return 0;
    }
    *px = wrap_add(a->x, archpath_apply(archpath_sin(a->angle), a->radius));
    *py = wrap_add(a->y, archpath_apply(archpath_cos(a->angle), a->radius));
    return 1;
}

// Once per axis, as the path only ever strays by less than one area.
static int32_t archpath_wrap_once(int32_t v, int32_t size) {
    if (v < 0) return wrap_add(v, size);
    if (v >= size) return wrap_sub(v, size);
    return v;
}

void archpath_draw_point(const ARCHPATH *a, IMG *img) {
    int32_t px, py;
    if (!img) {
        archpath_error();
        return;
    }
    if (!archpath_point(a, &px, &py)) return;
    img_set_pixel(img, archpath_wrap_once(px, a->width), archpath_wrap_once(py, a->height), a->colour);
}

// |numerator / turn|; a turn of 0 (the path standing still) counts as 1.
static int32_t archpath_arc_length(int32_t numerator, int32_t turn) {
    int64_t q = (int64_t)numerator / (turn ? turn : 1);
    return (int32_t)(q < 0 ? -q : q);
}

enum archpath_variant { ARCHPATH_SAME, ARCHPATH_VARY, ARCHPATH_VARY_LONG, ARCHPATH_LOOP };

static void archpath_advance(ARCHPATH *a, archpath_variant variant) {
    if (!a) {
        archpath_error();
        return;
    }
    a->angle = wrap_add(a->angle, a->turn) & 1023;
    a->arc_frame = wrap_add(a->arc_frame, 1);
    if (a->arc_frame < a->arc_length) return;

    int32_t r = a->radius;
    if (variant == ARCHPATH_VARY) r = (random_rand() & 31) + 16;
    if (variant == ARCHPATH_VARY_LONG || variant == ARCHPATH_LOOP) r = (random_rand() & 15) + 8;
    // The new centre lies on the line from the old centre through P, radius
    // + r' away, so both circles pass through P.
    int32_t reach = wrap_add(a->radius, r);
    a->x = archpath_wrap_once(wrap_add(a->x, archpath_apply(archpath_sin(a->angle), reach)), a->width);
    a->y = archpath_wrap_once(wrap_add(a->y, archpath_apply(archpath_cos(a->angle), reach)), a->height);
    a->radius = r;
    if (variant == ARCHPATH_VARY) a->arc_length = archpath_arc_length((random_rand() & 1023) + 256, a->turn);
    if (variant == ARCHPATH_VARY_LONG)
        a->arc_length = archpath_arc_length((random_rand() & 2047) + 2048, a->turn);
    if (variant == ARCHPATH_LOOP) a->arc_length = archpath_arc_length(random_rand() % 768 + 256, a->turn);
    a->arc_frame = 0;
    // Seen from the new centre, P lies half a turn round.
    a->angle = (a->angle + 512) & 1023;
    if (variant != ARCHPATH_LOOP) a->turn = wrap_neg(a->turn);
}

void archpath_step(ARCHPATH *a) { archpath_advance(a, ARCHPATH_SAME); }

void archpath_step_vary(ARCHPATH *a) { archpath_advance(a, ARCHPATH_VARY); }

void archpath_step_vary_long(ARCHPATH *a) { archpath_advance(a, ARCHPATH_VARY_LONG); }

void archpath_step_loop(ARCHPATH *a) { archpath_advance(a, ARCHPATH_LOOP); }

enum archpath_kind { ARCHPATH_SPRINKLE, ARCHPATH_ADD };

static void archpath_put(IMG *sprite, IMG *img, archpath_kind kind, int32_t sx, int32_t sy) {
    if (kind == ARCHPATH_SPRINKLE) {
        sprite->x = sx;
        sprite->y = sy;
        imgfx_sprinkle(img, sprite, 18);
    } else {
        imgfx_blit_add_sat(sprite, img, 0, 0, sx, sy, sprite->width, sprite->height);
    }
}

// Draws the sprite at (sx, sy) and again shifted by one area where it hangs
// over the area's edges: once across x, then once across y from the x used
// last. A sprite over a corner so shows three times (the copy shifted only
// in y is left out).
static void archpath_draw_wrapped(const ARCHPATH *a, IMG *sprite, IMG *img, archpath_kind kind,
                                  int32_t sx, int32_t sy) {
    archpath_put(sprite, img, kind, sx, sy);
    int32_t x = sx;
    if (sx < 0) {
        x = wrap_add(sx, a->width);
        archpath_put(sprite, img, kind, x, sy);
    } else if (wrap_add(sx, sprite->width) > a->width) {
        x = wrap_sub(sx, a->width);
        archpath_put(sprite, img, kind, x, sy);
    }
    if (sy < 0)
        archpath_put(sprite, img, kind, x, wrap_add(sy, a->height));
    else if (wrap_add(sy, sprite->height) > a->height)
        archpath_put(sprite, img, kind, x, wrap_sub(sy, a->height));
    if (kind == ARCHPATH_ADD) {
        sprite->x = sx;
        sprite->y = sy;
    }
}

static void archpath_draw(ARCHPATH *a, IMG *img, archpath_kind kind, bool mirrored) {
    IMG *sprite = a ? (kind == ARCHPATH_SPRINKLE ? a->sprite_a : a->sprite_b) : nullptr;
    int32_t px, py;
    if (!a || !img || !sprite) {
        archpath_error();
        return;
    }
    archpath_point(a, &px, &py);
    archpath_draw_wrapped(a, sprite, img, kind, px, py);
    if (!mirrored) return;
    int32_t mx = wrap_sub(img->width, px), my = wrap_sub(img->height, py);
    archpath_draw_wrapped(a, sprite, img, kind, mx, py);
    archpath_draw_wrapped(a, sprite, img, kind, mx, my);
    archpath_draw_wrapped(a, sprite, img, kind, px, my);
}

void archpath_draw_a(ARCHPATH *a, IMG *img) { archpath_draw(a, img, ARCHPATH_SPRINKLE, false); }

void archpath_draw_b(ARCHPATH *a, IMG *img) { archpath_draw(a, img, ARCHPATH_ADD, false); }

void archpath_draw_a_mirrored(ARCHPATH *a, IMG *img) { archpath_draw(a, img, ARCHPATH_SPRINKLE, true); }

void archpath_draw_b_mirrored(ARCHPATH *a, IMG *img) { archpath_draw(a, img, ARCHPATH_ADD, true); }

void archpath_copy(const ARCHPATH *source, ARCHPATH *target) {
    if (!source || !target) {
        archpath_error();
        return;
    }
    if (source == target) return;
    // Shared sprites would be freed twice, once by each path's destroy.
    IMG *sprite_a = source->sprite_a ? img_dup(source->sprite_a) : nullptr;
    IMG *sprite_b = source->sprite_b ? img_dup(source->sprite_b) : nullptr;
    if (sprite_a) {
        sprite_a->x = source->sprite_a->x;
        sprite_a->y = source->sprite_a->y;
    }
    if (sprite_b) {
        sprite_b->x = source->sprite_b->x;
        sprite_b->y = source->sprite_b->y;
    }
    archpath_free_sprites(target);
    *target = *source;
    target->sprite_a = sprite_a;
    target->sprite_b = sprite_b;
}

ARCHPATH *archpath_dup(const ARCHPATH *source) {
    if (!source) {
        archpath_error();
        return nullptr;
    }
    ARCHPATH *a = archpath_new();
    if (a) archpath_copy(source, a);
    return a;
}

// Sprites are equal when both are absent or both hold the same picture.
static int archpath_same_sprite(const IMG *a, const IMG *b) {
    if (!a || !b) return a == b;
    return a == b || img_compare(a, b);
}

int archpath_compare(const ARCHPATH *a, const ARCHPATH *b) {
    if (!a || !b) {
        archpath_error();
        return 0;
    }
    return a->x == b->x && a->y == b->y && a->z == b->z && a->width == b->width &&
           a->height == b->height && a->depth == b->depth && a->angle == b->angle &&
           a->turn == b->turn && a->radius == b->radius && a->arc_length == b->arc_length &&
           a->arc_frame == b->arc_frame && a->colour == b->colour &&
           archpath_same_sprite(a->sprite_a, b->sprite_a) && archpath_same_sprite(a->sprite_b, b->sprite_b);
}
