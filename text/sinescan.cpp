// SINESCAN: a row of an image coloured from a sum of three sine waves. The
// record owns two SAMPLEs: the per-column wave and a 2048-colour palette.
// Phases wrap under 1024 << 16; only the whole part of each amplitude, taken
// as a signed 16-bit number, scales the table. Limits: one row per draw; a
// wave shorter than the width leaves the columns past its end untouched, and
// amplitudes whose sum gives a zero divisor are refused.
#include "text/sinescan.h"

#include <cstdlib>

#include "audio/sample.h"
#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/rgb888.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(sinescan, "SINESCAN", "20121201", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sinescan, 0, "SINESCAN error\n");

// Phases wrap at 1024 table steps in 16.16: whole part 0..1023, any fraction.
static const int32_t sinescan_phase_mask = (1023 << 16) | 0xFFFF;
// A reset speed or step of rand() - 15.0 steps: -15.0 to about -14.5.
static const int32_t sinescan_drift = 983040;
static const int32_t sinescan_palette_size = 2048;

SINESCAN *sinescan_new(void) {
    SINESCAN *scan = (SINESCAN *)calloc(1, sizeof(SINESCAN));
    if (!scan) {
        sinescan_error();
        return nullptr;
    }
    scan->width = 256;
    scan->height = 256;
    scan->depth = 256;
    scan->wave = sample_new();
    scan->palette = sample_new();
    if (!scan->wave || !scan->palette) {
        if (scan->wave) sample_del(&scan->wave);
        if (scan->palette) sample_del(&scan->palette);
        free(scan);
        sinescan_error();
        return nullptr;
    }
    sinescan_reset(scan);
    // The reset sizes the wave and the palette; without them there is no scan.
    if (scan->wave->count != scan->width || scan->palette->count == 0) {
        sinescan_del(&scan);
        sinescan_error();
        return nullptr;
    }
    return scan;
}

void sinescan_del(SINESCAN **scan) {
    if (!scan || !*scan) {
        sinescan_error();
        return;
    }
    if ((*scan)->wave) sample_del(&(*scan)->wave);
    if ((*scan)->palette) sample_del(&(*scan)->palette);
    free(*scan);
    *scan = nullptr;
}

int sinescan_compare(const SINESCAN *s, const SINESCAN *t) {
    if (!s || !t) {
        sinescan_error();
        return 0;
    }
    for (int32_t w = 0; w < 3; w++) {
        const SINESCAN_WAVE &a = s->waves[w], &b = t->waves[w];
        if (a.phase != b.phase || a.speed != b.speed || a.step != b.step ||
            a.amplitude != b.amplitude)
            return 0;
    }
    return s->color == t->color;
}

static void sinescan_take_waves(const SINESCAN *source, SINESCAN *target) {
    for (int32_t w = 0; w < 3; w++) target->waves[w] = source->waves[w];
    target->color = source->color;
}

void sinescan_copy(const SINESCAN *source, SINESCAN *target) {
    if (!source || !target) {
        sinescan_error();
        return;
    }
    target->x = source->x;
    target->y = source->y;
    target->z = source->z;
    target->width = source->width;
    target->height = source->height;
    target->depth = source->depth;
    sinescan_take_waves(source, target);
}

SINESCAN *sinescan_dup(const SINESCAN *source) {
    if (!source) {
        sinescan_error();
        return nullptr;
    }
    SINESCAN *scan = sinescan_new();
    if (scan) sinescan_take_waves(source, scan);
    return scan;
}

// Black for the lower half, then blue rising, green rising over full blue,
// red rising over full green and blue, and white.
static void sinescan_fill_palette(SAMPLE *palette) {
    sample_set_count(palette, sinescan_palette_size);
    if (palette->count != sinescan_palette_size) return;
    int32_t *c = palette->data;
    for (int32_t i = 0; i < 256; i++) {
        c[i] = c[256 + i] = c[512 + i] = c[768 + i] = 0;
        c[1024 + i] = i;
        c[1280 + i] = (i << 8) | 0xFF;
        c[1536 + i] = (i << 16) | 0xFFFF;
        c[1792 + i] = 0xFFFFFF;
    }
}

void sinescan_reset(SINESCAN *scan) {
    if (!scan || !scan->wave || !scan->palette) {
        sinescan_error();
        return;
    }
    scan->x = 0;
    // The draw is made even for a height of 0 (no row to choose), so the
    // sequence of draws does not depend on the size.
    int32_t r = random_rand();
    scan->y = scan->height != 0 ? r % scan->height : 0;
    for (int32_t w = 0; w < 3; w++) {
        SINESCAN_WAVE &v = scan->waves[w];
        v.phase = random_rand();
        v.speed = random_rand() - sinescan_drift;
        v.step = random_rand() - sinescan_drift;
        v.amplitude = 0x1000000;  // 256.0
    }
    scan->color = (uint32_t)random_rand();
    sinescan_fill_palette(scan->palette);
    sample_set_count(scan->wave, scan->width);
}

// The table entry at the whole part of a 16.16 phase.
static int32_t sinescan_sine(int32_t phase) { return sine_table[asr(phase, 16) & sine_mask]; }

void sinescan_update(SINESCAN *scan) {
    if (!scan || !scan->wave || !scan->wave->data) {
        sinescan_error();
        return;
    }
    int32_t p[3], a[3];
    for (int32_t w = 0; w < 3; w++) {
        p[w] = scan->waves[w].phase;
        a[w] = (int16_t)asr(scan->waves[w].amplitude, 16);
    }
    for (int32_t x = 0; x < scan->wave->count; x++) {
        int32_t v = 0;
        for (int32_t w = 0; w < 3; w++) {
            v = wrap_add(v, wrap_mul(sinescan_sine(p[w]), a[w]));
            p[w] = wrap_add(p[w], scan->waves[w].step) & sinescan_phase_mask;
        }
        scan->wave->data[x] = v;
    }
    for (int32_t w = 0; w < 3; w++)
        scan->waves[w].phase =
            wrap_add(scan->waves[w].phase, scan->waves[w].speed) & sinescan_phase_mask;
}

// The divisor that brings a wave value into -16384..16383: the summed
// amplitudes in 16.16 shifted right 15 (1536 after a reset).
static int32_t sinescan_divisor(const SINESCAN *scan) {
    int32_t sum = 0;
    for (int32_t w = 0; w < 3; w++) sum = wrap_add(sum, scan->waves[w].amplitude);
    return asr(sum, 15);
}

// Truncating quotient that wraps where 32 bits cannot hold it (the minimum by -1).
static int32_t sinescan_quotient(int32_t a, int32_t b) { return (int32_t)(uint32_t)((int64_t)a / b); }

// Checks the scan, its wave, the image and the divisor; the number of columns drawn.
static int32_t sinescan_columns(const SINESCAN *scan, const IMG *img, int32_t *divisor) {
    if (!scan || !img || !scan->wave || !scan->wave->data) {
        sinescan_error();
        return 0;
    }
    *divisor = sinescan_divisor(scan);
    if (*divisor == 0) {
        sinescan_error();
        return 0;
    }
    return scan->width < scan->wave->count ? scan->width : scan->wave->count;
}

void sinescan_draw_shade(const SINESCAN *scan, IMG *img) {
    int32_t s = 0;
    int32_t n = sinescan_columns(scan, img, &s);
    for (int32_t x = 0; x < n; x++) {
        int32_t level = asr(sinescan_quotient(scan->wave->data[x], s), 7);
        img_set_pixel(img, x, scan->y, rgb888_shade(scan->color, level));
    }
}

void sinescan_draw_palette(const SINESCAN *scan, IMG *img) {
    if (scan && (!scan->palette || !scan->palette->data || scan->palette->count <= 0)) {
        sinescan_draw_shade(scan, img);
        return;
    }
    int32_t s = 0;
    int32_t n = sinescan_columns(scan, img, &s);
    if (n <= 0) return;
    const SAMPLE *pal = scan->palette;
    int32_t half = asr(pal->count, 1);
    for (int32_t x = 0; x < n; x++) {
        int32_t q = sinescan_quotient(scan->wave->data[x], s);
        int32_t index = wrap_add(half, asr(wrap_mul(q, half), 14));
        uint32_t colour = (index >= 0 && index < pal->count) ? (uint32_t)pal->data[index] : 0;
        img_set_pixel(img, x, scan->y, colour);
    }
}
