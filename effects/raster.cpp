// Raster bars: a colour table and a moving position in it.
// RASTER owns `colours` (`count` words); `position` and `speed` are 16.16
// table positions. Drawing paints whole rows (or columns) through the RGB888
// span painters. Limits: at most 32767 colours, so that count * 65536, the
// wrap limit of the position, fits in 32 bits; larger sizes act as a failed
// allocation. No text form; load and save move no data.
#include "effects/raster.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/rgb888.h"

RIVO_IDENTITY(raster, "RASTER  ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(raster, 0, "RASTER error\n");

// Most colours a table holds: the position wraps at count * 65536.
static const int32_t raster_max_count = 32767;

// A raster with a table to read.
static bool raster_usable(const RASTER *r) {
    return r && r->colours && r->count >= 1;
}

// An image with pixels to paint.
static bool raster_image_ok(const IMG *img) {
    // A side of 0 shows nothing, and the other side may be two thousand
    // million lines long.
    return img && img->pixels && img->width > 0 && img->height > 0;
}

// Table entry for index i, wrapped onto 0..count-1 also for negative i.
static uint32_t raster_colour_at(const RASTER *r, int64_t i) {
    int64_t k = i % r->count;
    if (k < 0) k += r->count;
    return r->colours[k];
}

static int32_t raster_red(uint32_t c) { return (int32_t)((c >> 16) & 255); }
static int32_t raster_green(uint32_t c) { return (int32_t)((c >> 8) & 255); }
static int32_t raster_blue(uint32_t c) { return (int32_t)(c & 255); }

RASTER *raster_new(void) {
    RASTER *r = (RASTER *)calloc(1, sizeof(RASTER));
    if (!r) {
        raster_error();
        return nullptr;
    }
    raster_set_size(r, 256);
    if (!r->colours) {
        free(r);
        return nullptr;
    }
    r->position = 0;
    // rand() is at most 32767, so the modulus keeps it: 1.0 to 1.5 entries.
    r->speed = random_rand() % 1048575 + 65536;
    return r;
}

void raster_del(RASTER **r) {
    if (!r || !*r) {
        raster_error();
        return;
    }
    free((*r)->colours);
    free(*r);
    *r = nullptr;
}

void raster_set_size(RASTER *r, int32_t n) {
    if (!r || n <= 0 || n > raster_max_count) {
        raster_error();
        return;
    }
    uint32_t *colours = (uint32_t *)calloc((size_t)n, sizeof(uint32_t));
    if (!colours) {
        raster_error();
        return;
    }
    free(r->colours);
    r->colours = colours;
    r->count = n;
    r->position = 0;
}

void raster_clear(RASTER *r) {
    if (!raster_usable(r)) {
        raster_error();
        return;
    }
    memset(r->colours, 0, (size_t)r->count * sizeof(uint32_t));
}

bool raster_compare(const RASTER *a, const RASTER *b) {
    if (!raster_usable(a) || !raster_usable(b)) {
        raster_error();
        return false;
    }
    if (a->count != b->count) return false;
    return memcmp(a->colours, b->colours, (size_t)a->count * sizeof(uint32_t)) == 0;
}

void raster_copy(const RASTER *src, RASTER *dst) {
    if (!raster_usable(src) || !raster_usable(dst) || src->count != dst->count) {
        raster_error();
        return;
    }
    memcpy(dst->colours, src->colours, (size_t)src->count * sizeof(uint32_t));
    dst->position = src->position;
    dst->speed = src->speed;
}

RASTER *raster_dup(const RASTER *r) {
    if (!raster_usable(r)) {
        raster_error();
        return nullptr;
    }
    RASTER *copy = raster_new();
    if (!copy) return nullptr;
    raster_set_size(copy, r->count);
    if (copy->count != r->count) {
        raster_del(&copy);
        return nullptr;
    }
    raster_copy(r, copy);
    return copy;
}

void raster_step(RASTER *r) {
    if (!raster_usable(r)) {
        raster_error();
        return;
    }
    // In 64 bits the sum cannot overflow; the result fits again: 0..lim.
    int64_t lim = (int64_t)r->count * 65536;
    int64_t position = (int64_t)r->position + r->speed;
    if (position >= lim) position %= lim;
    if (position < 0) position = position % lim + lim;
    r->position = (int32_t)position;
}

void raster_draw_rows(const RASTER *r, IMG *img) {
    if (!raster_usable(r) || !raster_image_ok(img)) {
        raster_error();
        return;
    }
    int64_t i = r->position >> 16;
    for (int32_t y = 0; y < img->height; y++, i++) {
        rgb888_hline(img, raster_colour_at(r, i), y, 0, img->width - 1);
    }
}

void raster_draw_rows_alpha(const RASTER *r, IMG *img, int32_t alpha) {
    if (!raster_usable(r) || !raster_image_ok(img)) {
        raster_error();
        return;
    }
    int64_t i = r->position >> 16;
    for (int32_t y = 0; y < img->height; y++, i++) {
        rgb888_hline_alpha(img, raster_colour_at(r, i), y, 0, img->width - 1, alpha);
    }
}

void raster_draw_columns(const RASTER *r, IMG *img) {
    if (!raster_usable(r) || !raster_image_ok(img)) {
        raster_error();
        return;
    }
    int64_t i = r->position >> 16;
    for (int32_t x = 0; x < img->width; x++, i++) {
        rgb888_vline(img, raster_colour_at(r, i), x, 0, img->height - 1);
    }
}

void raster_smooth(RASTER *r, int32_t radius) {
    if (!raster_usable(r) || radius <= 0) {
        raster_error();
        return;
    }
    uint32_t *smooth = (uint32_t *)calloc((size_t)r->count, sizeof(uint32_t));
    if (!smooth) {
        raster_error();
        return;
    }
    // The centre counts twice; neighbours wrap past the end of the table but
    // reflect at its start. Sums are 64-bit so no radius overflows them.
    for (int32_t i = r->count - 1; i >= 0; i--) {
        uint32_t c = r->colours[i];
        int64_t red = 2 * raster_red(c), green = 2 * raster_green(c), blue = 2 * raster_blue(c);
        for (int32_t j = radius; j >= 1; j--) {
            uint32_t up = r->colours[((int64_t)i + j) % r->count];
            int64_t back = (int64_t)i - j;
            uint32_t down = r->colours[(back < 0 ? -back : back) % r->count];
            red += raster_red(up) + raster_red(down);
            green += raster_green(up) + raster_green(down);
            blue += raster_blue(up) + raster_blue(down);
        }
        int64_t d = 2 * (int64_t)radius + 2;
        smooth[i] = (uint32_t)((red / d) & 255) << 16 | (uint32_t)((green / d) & 255) << 8 |
                    (uint32_t)((blue / d) & 255);
    }
    memcpy(r->colours, smooth, (size_t)r->count * sizeof(uint32_t));
    free(smooth);
}

RASTER *raster_load(const char *name) {
    FILE *file = name ? fopen(name, "rb") : nullptr;
    if (!file) {
        raster_error();
        return nullptr;
    }
    RASTER *r = raster_new();
    fclose(file);
    return r;
}

bool raster_save(const RASTER *r, const char *name) {
    if (!raster_usable(r) || !name) {
        raster_error();
        return false;
    }
    FILE *file = fopen(name, "w");
    if (!file) {
        raster_error();
        return false;
    }
    fclose(file);
    return true;
}
