// LRADIAL: a turning ring of points drawn as dots or spokes. The record is
// owned by its creator; the 1536-colour palette the dithered spokes use is a
// module-level SAMPLE built on the first lradial_new and kept for the process.
// Limits: radii up to 65535 keep the sine products inside 32 bits.
#include "effects/lradial.h"

#include <cstdlib>

#include "audio/sample.h"
#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(lradial, "LRADIAL ", "20130821", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lradial, 0, "LRADIAL error\n");

// The angle keeps 10 integer bits (one turn) and 16 fraction bits.
static const int32_t lradial_angle_mask = 0x3FFFFFF;
static const int32_t lradial_palette_size = 1536;

static SAMPLE *lradial_palette = nullptr;

// Six ramps of 256 that close on themselves: green, cyan, blue, magenta, red, yellow.
static void lradial_build_palette(void) {
    if (lradial_palette) return;
    SAMPLE *p = sample_new();
    if (!p) return;
    sample_set_count(p, lradial_palette_size);
    for (int32_t v = 0; v < 256; v++) {
        sample_set(p, v, 0x00FF00 + v);
        sample_set(p, 256 + v, 0x00FFFF - (v << 8));
        sample_set(p, 512 + v, (v << 16) | 0xFF);
        sample_set(p, 768 + v, 0xFF00FF - v);
        sample_set(p, 1024 + v, 0xFF0000 + (v << 8));
        sample_set(p, 1280 + v, 0xFFFF00 - (v << 16));
    }
    lradial_palette = p;
}

uint32_t lradial_palette_colour(int32_t k) {
    if (!lradial_palette || k < 0 || k >= lradial_palette_size) return 0;
    return (uint32_t)sample_get(lradial_palette, k);
}

void lradial_point(int32_t cx, int32_t cy, int32_t a, int32_t radius, int32_t *px, int32_t *py) {
    int32_t i = asr(a, 16) & sine_mask;
    // Sine values are fractions of 32768: multiply, then shift right by 15.
    *px = wrap_add(cx, asr(wrap_mul(sine_table[i], radius), 15));
    *py = wrap_add(cy, asr(wrap_mul(sine_table[(i + 256) & sine_mask], radius), 15));
}

LRADIAL *lradial_new(void) {
    LRADIAL *r = (LRADIAL *)calloc(1, sizeof(LRADIAL));
    if (!r) {
        lradial_error();
        return nullptr;
    }
    lradial_build_palette();
    r->x = 128;
    r->y = 128;
    r->width = 256;
    r->height = 256;
    // The order of the three draws is part of the demo's random sequence.
    r->spin = (random_rand() & 0x7FFFF) + 0x8000;
    r->radius = random_rand() % (r->width / 2) + 32;
    r->colour = (random_rand() & 0x7F7F7F) + 0x808080;
    r->angle = 0;
    lradial_set_lines(r, 16);
    return r;
}

void lradial_del(LRADIAL **r) {
    if (!r || !*r) {
        lradial_error();
        return;
    }
    free(*r);
    *r = nullptr;
}

void lradial_copy(const LRADIAL *source, LRADIAL *target) {
    if (!source || !target) lradial_error();
}

int lradial_compare(const LRADIAL *a, const LRADIAL *b) {
    if (!a || !b) lradial_error();
    return 0;
}

char *lradial_to_text(const LRADIAL *r) {
    if (!r) lradial_error();
    return nullptr;
}

LRADIAL *lradial_dup(const LRADIAL *r) {
    if (!r) {
        lradial_error();
        return nullptr;
    }
    return lradial_new();
}

void lradial_set_lines(LRADIAL *r, int32_t n) {
    if (!r || n <= 0) {
        lradial_error();
        return;
    }
    r->lines = n;
    r->spacing = (1024 << 16) / n;
}

void lradial_step(LRADIAL *r) {
    if (!r) {
        lradial_error();
        return;
    }
    r->angle = wrap_add(r->angle, r->spin) & lradial_angle_mask;
}

// Every draw records the size of the image it draws into.
static bool lradial_begin(LRADIAL *r, IMG *img) {
    if (!r || !img) {
        lradial_error();
        return false;
    }
    r->width = img->width;
    r->height = img->height;
    return true;
}

// The ways of drawing one point of the ring.
enum lradial_pen { lradial_pen_dot, lradial_pen_spoke, lradial_pen_origin, lradial_pen_thick,
                   lradial_pen_dither };

// Walks the ring from its current angle, one spacing per point.
static void lradial_walk(LRADIAL *r, IMG *img, lradial_pen pen, int32_t t) {
    if (!lradial_begin(r, img)) return;
    uint32_t colour = (uint32_t)r->colour;
    int32_t a = r->angle;
    for (int32_t k = 0; k < r->lines; k++) {
        int32_t px, py;
        // Spokes towards the origin take their tips from a ring round (0, 0).
        int32_t cx = pen == lradial_pen_origin ? 0 : r->x;
        int32_t cy = pen == lradial_pen_origin ? 0 : r->y;
        lradial_point(cx, cy, a, r->radius, &px, &py);
        switch (pen) {
        case lradial_pen_dot:
            img_set_pixel(img, px, py, colour);
            break;
        case lradial_pen_spoke:
        case lradial_pen_origin:
            img_line(img, r->x, r->y, px, py, colour);
            break;
        case lradial_pen_thick:
            imgfx_thick_line(img, r->x, r->y, px, py, colour, t);
            break;
        case lradial_pen_dither: {
            // The palette index counts down from lines to 1, so the colours
            // run once round the palette.
            int64_t n = r->lines - k;
            int32_t index = (int32_t)((lradial_palette_size * n / r->lines) % lradial_palette_size);
            uint32_t c1 = lradial_palette_colour(index);
            uint32_t c2 = lradial_palette_colour((index + 192) % lradial_palette_size);
            imgfx_dither_line(img, r->x, r->y, c1, px, py, c2);
            break;
        }
        }
        a = wrap_add(a, r->spacing) & lradial_angle_mask;
    }
}

void lradial_draw_points(LRADIAL *r, IMG *img) { lradial_walk(r, img, lradial_pen_dot, 1); }

void lradial_draw_spokes(LRADIAL *r, IMG *img) { lradial_walk(r, img, lradial_pen_spoke, 1); }

void lradial_draw_spokes_origin(LRADIAL *r, IMG *img) {
    lradial_walk(r, img, lradial_pen_origin, 1);
}

void lradial_draw_spokes_thick(LRADIAL *r, IMG *img, int32_t t) {
    lradial_walk(r, img, lradial_pen_thick, t);
}

void lradial_draw_spokes_dither(LRADIAL *r, IMG *img) {
    lradial_walk(r, img, lradial_pen_dither, 1);
}
