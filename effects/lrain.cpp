// LRAIN: a rain of drops sharing one 16.16 velocity, wrapping round the image.
// The record owns its drop array; the font of the glyph rain is the caller's.
// Limits: a drop wraps once it is out by twice the velocity's whole pixels,
// signed, so drops moving up or left wrap before they have fully left.
#include "effects/lrain.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "text/font.h"

RIVO_IDENTITY(lrain, "LRAIN  ", "20130725", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lrain, 0, "LRAIN error\n");

LRAIN *lrain_new(void) {
    LRAIN *r = (LRAIN *)calloc(1, sizeof(LRAIN));
    if (!r) {
        lrain_error();
        return nullptr;
    }
    r->width = 256;
    r->height = 256;
    r->vx = 0;
    r->vy = 0x10000;  // one pixel down per step
    r->colour = 0xFFFFFF;
    lrain_set_count(r, 16);
    if (!r->drops) {
        free(r);
        lrain_error();
        return nullptr;
    }
    return r;
}

void lrain_del(LRAIN **r) {
    if (!r || !*r) {
        lrain_error();
        return;
    }
    free((*r)->drops);
    free(*r);
    *r = nullptr;
}

char *lrain_to_text(const LRAIN *r) {
    if (!r) lrain_error();
    return nullptr;
}

int lrain_compare(const LRAIN *a, const LRAIN *b) {
    if (!a || !b) lrain_error();
    return 0;
}

void lrain_copy(const LRAIN *source, LRAIN *target) {
    if (!source || !target) lrain_error();
}

LRAIN *lrain_dup(const LRAIN *source) {
    if (!source) {
        lrain_error();
        return nullptr;
    }
    return lrain_new();
}

void lrain_set_count(LRAIN *r, int32_t n) {
    if (!r || n <= 0) {
        lrain_error();
        return;
    }
    free(r->drops);
    r->drops = (int32_t *)calloc((size_t)n, 2 * sizeof(int32_t));
    if (!r->drops) {
        r->count = 0;
        lrain_error();
        return;
    }
    r->count = n;
    lrain_scatter_all(r);
}

// Drops, and an area to scatter them in.
static bool lrain_can_scatter(const LRAIN *r) {
    if (!r || !r->drops || r->width < 1 || r->height < 1) {
        lrain_error();
        return false;
    }
    return true;
}

void lrain_scatter_all(LRAIN *r) {
    if (!lrain_can_scatter(r)) return;
    for (int32_t i = r->count - 1; i >= 0; i--) lrain_scatter(r, i);
}

void lrain_scatter(LRAIN *r, int32_t i) {
    if (!lrain_can_scatter(r)) return;
    if (i < 0 || i >= r->count) {
        lrain_error();
        return;
    }
    // rand() stays below 2^15, so the 16.16 positions never overflow.
    r->drops[2 * i] = (random_rand() % r->width) << 16;
    r->drops[2 * i + 1] = (random_rand() % r->height) << 16;
}

// Brings one coordinate back once it is out by the margin m on either side.
static int32_t lrain_wrap(int32_t p, int32_t size, int32_t m) {
    int32_t whole = asr(p, 16);
    if (whole < -m) return shl(wrap_sub(wrap_add(size, m), 1), 16);
    if (whole >= wrap_add(size, m)) return shl(1 - m, 16);
    return p;
}

void lrain_step(LRAIN *r) {
    if (!r || !r->drops) {
        lrain_error();
        return;
    }
    // Twice the velocity in whole pixels, with its sign: the streak's length.
    int32_t mx = (int16_t)asr(r->vx, 15);
    int32_t my = (int16_t)asr(r->vy, 15);
    for (int32_t i = 0; i < r->count; i++) {
        int32_t *d = r->drops + 2 * i;
        d[0] = lrain_wrap(wrap_add(d[0], r->vx), r->width, mx);
        d[1] = lrain_wrap(wrap_add(d[1], r->vy), r->height, my);
    }
}

// Checks the rain, its drops and the image; takes the image's size.
static bool lrain_ready(LRAIN *r, const IMG *img) {
    if (!r || !img || !r->drops) {
        lrain_error();
        return false;
    }
    r->width = img->width;
    r->height = img->height;
    return true;
}

void lrain_draw_points(LRAIN *r, IMG *img) {
    if (!lrain_ready(r, img)) return;
    for (int32_t i = 0; i < r->count; i++)
        img_set_pixel(img, asr(r->drops[2 * i], 16), asr(r->drops[2 * i + 1], 16), r->colour);
}

void lrain_draw_streaks(LRAIN *r, IMG *img) {
    if (!lrain_ready(r, img)) return;
    int32_t tx = wrap_mul(r->vx, 2), ty = wrap_mul(r->vy, 2);
    for (int32_t i = r->count - 1; i >= 0; i--) {
        int32_t x = r->drops[2 * i], y = r->drops[2 * i + 1];
        img_line(img, asr(x, 16), asr(y, 16), asr(wrap_sub(x, tx), 16), asr(wrap_sub(y, ty), 16),
                 r->colour);
    }
}

void lrain_draw_glyphs(LRAIN *r, IMG *img) {
    if (r && !r->font) {
        lrain_error();
        return;
    }
    if (!lrain_ready(r, img)) return;
    FONT *font = r->font;
    for (int32_t i = 0; i < r->count; i++) {
        int32_t px = asr(r->drops[2 * i], 16), py = asr(r->drops[2 * i + 1], 16);
        font->target = img;
        // The C remainder: drops above the image pick negative codes.
        font->code = py % 64;
        font->x = px - 4;
        font->y = py - 4;
        font_draw_char(font);
    }
}
