// HELIX: ribbon and band effects on the shared sine table. The record owns no
// buffers. Edges are c + (sin * amplitude) >> 15, c the middle of the image.
// Limits: phases are read through the table mask; spans and band rows are
// clipped to the image, so huge amplitudes or spreads only cost loop time.
#include "effects/helix.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "imaging/rgb888.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(helix, "HELIX   ", "20121123", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(helix, 0, "HELIX error\n");

// The back of a column ribbon is a fixed span this many pixels below its edge.
static const int32_t helix_back_length = 32;

HELIX *helix_new(void) {
    HELIX *h = (HELIX *)calloc(1, sizeof(HELIX));
    if (!h) {
        helix_error();
        return nullptr;
    }
    h->width = 256;
    h->height = 256;
    h->depth = 256;
    helix_randomize(h);
    return h;
}

void helix_del(HELIX **h) {
    if (!h || !*h) {
        helix_error();
        return;
    }
    free(*h);
    *h = nullptr;
}

static void helix_take_wave(const HELIX *source, HELIX *target) {
    target->phase = source->phase;
    target->speed = source->speed;
    target->frequency = source->frequency;
    target->amplitude = source->amplitude;
    target->spread = source->spread;
    target->colour = source->colour;
    target->shade = source->shade;
}

void helix_copy(const HELIX *source, HELIX *target) {
    if (!source || !target) {
        helix_error();
        return;
    }
    target->x = source->x;
    target->y = source->y;
    target->z = source->z;
    helix_take_wave(source, target);
}

HELIX *helix_dup(const HELIX *source) {
    if (!source) {
        helix_error();
        return nullptr;
    }
    HELIX *h = helix_new();
    if (h) helix_take_wave(source, h);
    return h;
}

int helix_compare(const HELIX *a, const HELIX *b) {
    if (!a || !b) {
        helix_error();
        return 0;
    }
    return a->phase == b->phase && a->speed == b->speed && a->frequency == b->frequency &&
           a->amplitude == b->amplitude && a->spread == b->spread && a->colour == b->colour;
}

void helix_randomize(HELIX *h) {
    if (!h) {
        helix_error();
        return;
    }
    h->phase = random_next() & 1023;
    h->speed = random_next() % 24 + 8;
    h->frequency = (random_next() & 7) + 1;
    h->amplitude = random_next() % 100 + 16;
    h->spread = random_next() % 63 + 64;
    h->colour = ((uint32_t)random_next() & 0x7F7F7Fu) + 0x808080u;
    // Each channel halved; the mask keeps a channel's low bit out of the next.
    h->shade = (h->colour & 0xFEFEFEu) >> 1;
}

void helix_step(HELIX *h) {
    if (!h) {
        helix_error();
        return;
    }
    h->phase = wrap_add(h->phase, h->speed) & 1023;
}

// An image without pixels (its size refused, or one side 0) has nothing to
// draw on; its other side could still number two thousand million lines.
static bool helix_ready(const HELIX *h, const IMG *img) {
    if (!h || !img || !img->pixels || img->width <= 0 || img->height <= 0) {
        helix_error();
        return false;
    }
    return true;
}

// An edge at table angle a: the middle c moved by the swing.
static int32_t helix_edge(int32_t c, int32_t a, int32_t amplitude) {
    return wrap_add(c, asr(wrap_mul(sine_table[a & sine_mask], amplitude), 15));
}

// The passes of the ribbon, one span per line across it.
enum helix_pass { helix_back, helix_front };

static void helix_ribbon(const HELIX *h, IMG *img, bool rows, helix_pass pass) {
    int32_t lines = rows ? img->height : img->width;
    int32_t c = (rows ? img->width : img->height) / 2;
    int32_t a = h->phase;
    int32_t b = wrap_add(h->phase, h->spread) & 1023;
    for (int32_t k = 0; k < lines; k++) {
        int32_t e1 = helix_edge(c, a, h->amplitude);
        int32_t e2 = helix_edge(c, b, h->amplitude);
        if (pass == helix_back && e1 > e2) {
            // Facing away: the rows' back spans the edges, the columns' a fixed length.
            if (rows)
                imgfx_hline(img, k, e1, e2, h->shade);
            else
                imgfx_vline(img, k, e1, wrap_add(e1, helix_back_length), h->shade);
        } else if (pass == helix_front && e1 <= e2) {
            if (rows)
                imgfx_hline(img, k, e1, e2, h->colour);
            else
                imgfx_vline(img, k, e1, e2, h->colour);
        }
        a = wrap_add(a, h->frequency) & 1023;
        b = wrap_add(b, h->frequency) & 1023;
    }
}

void helix_draw_columns(const HELIX *h, IMG *img) {
    if (!helix_ready(h, img)) return;
    helix_ribbon(h, img, false, helix_back);
    helix_ribbon(h, img, false, helix_front);
}

void helix_draw_rows(const HELIX *h, IMG *img) {
    if (!helix_ready(h, img)) return;
    helix_ribbon(h, img, true, helix_back);
    helix_ribbon(h, img, true, helix_front);
}

// A 64-bit coordinate held to the 32-bit range; the spans clip it anyway.
static int32_t helix_clamp(int64_t v) {
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int32_t)v;
}

// One pass of the band. Along the band (columns, or rows when `down`) the
// sine rises or falls between neighbours; the front pass fills the rising
// steps, the back pass the falling ones, each as spans `spread` long across
// every row (column) the step passes, darkened by the table value.
static void helix_band(const HELIX *h, IMG *img, bool down, helix_pass pass) {
    int32_t along = down ? img->height : img->width;
    int32_t across = down ? img->width : img->height;
    int32_t c = across / 2;
    int32_t prev = helix_edge(c, h->phase, h->amplitude);
    int32_t a = wrap_add(h->phase, h->frequency) & 1023;
    int64_t first = -(int64_t)h->spread, last = (int64_t)along + h->spread - 1;
    for (int64_t p = first; p <= last; p++) {
        int32_t cur = helix_edge(c, a, h->amplitude);
        int32_t s = sine_table[a & sine_mask];
        bool fill = pass == helix_front ? cur > prev : cur < prev;
        if (fill) {
            uint32_t colour = pass == helix_front ? rgb888_darken(h->colour, (uint8_t)abs(s >> 8))
                                                  : rgb888_darken(h->shade, (uint8_t)abs(s >> 9));
            // Lines outside the image would be clipped away one by one. In
            // 64 bits, as the last line of an image without any (height
            // INT32_MIN) lies below the 32-bit range.
            int64_t lo = prev < cur ? prev : cur, hi = prev < cur ? cur : prev;
            if (lo < 0) lo = 0;
            if (hi > (int64_t)across - 1) hi = (int64_t)across - 1;
            int32_t p0 = helix_clamp(p), p1 = helix_clamp(p + h->spread);
            for (int64_t q = lo; q <= hi; q++) {
                if (down)
                    imgfx_vline(img, (int32_t)q, p0, p1, colour);
                else
                    imgfx_hline(img, (int32_t)q, p0, p1, colour);
            }
        }
        a = wrap_add(a, h->frequency) & 1023;
        prev = cur;
    }
}

void helix_draw_bands(const HELIX *h, IMG *img) {
    if (!helix_ready(h, img)) return;
    helix_band(h, img, false, helix_back);
    helix_band(h, img, false, helix_front);
}

void helix_draw_bands_vertical(const HELIX *h, IMG *img) {
    if (!helix_ready(h, img)) return;
    helix_band(h, img, true, helix_front);
}

void helix_draw_bands_vertical_back(const HELIX *h, IMG *img) {
    if (!helix_ready(h, img)) return;
    helix_band(h, img, true, helix_back);
}
