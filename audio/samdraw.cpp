// SAMDRAW: waveform drawing. The record points at a SAM and an IMG it does
// not own, holds three colours and the index range to draw. Each image column
// shows one value as a vertical span from the middle row, scaled so that the
// 16-bit range fills half the height; values beyond it are clipped.
#include "audio/samdraw.h"

#include <climits>
#include <cstdlib>

#include "audio/sam.h"
#include "audio/sample.h"
#include "host/module.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"

RIVO_IDENTITY(samdraw, "SAMDRAW ", "20131111", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(samdraw, 0, "SAMDRAW error.\n");

SAMDRAW *samdraw_new(void) {
    SAMDRAW *d = (SAMDRAW *)calloc(1, sizeof(SAMDRAW));
    if (!d) {
        samdraw_error();
        return nullptr;
    }
    d->background = 0x808080;
    d->wave = 0xFFFFFF;
    d->marker = 0x000000;
    return d;
}

void samdraw_del(SAMDRAW **d) {
    if (!d || !*d) {
        samdraw_error();
        return;
    }
    free(*d);
    *d = nullptr;
}

char *samdraw_to_text(const SAMDRAW *d) {
    if (!d) samdraw_error();
    return nullptr;
}

int samdraw_compare(const SAMDRAW *a, const SAMDRAW *b) {
    if (!a || !b) {
        samdraw_error();
        return 0;
    }
    return 1;
}

void samdraw_copy(const SAMDRAW *source, SAMDRAW *target) {
    if (!source || !target) samdraw_error();
}

// The sample to draw when the record, its SAM, the sample and an image with
// pixels and columns are all there; reports otherwise.
static const SAMPLE *samdraw_sample(const SAMDRAW *d) {
    if (!d || !d->sam || !d->sam->sample || !d->sam->sample->data || !d->target ||
        !d->target->pixels || d->target->width <= 0 || d->target->height <= 0) {
        samdraw_error();
        return nullptr;
    }
    return d->sam->sample;
}

// A value outside the sample reads as 0.
static int64_t samdraw_value(const SAMPLE *s, int64_t i) {
    return (i >= 0 && i < s->count) ? s->data[i] : 0;
}

// The span of one value from the middle row: mid to mid + (v * mid) >> 15,
// kept in range (the span is clipped to the image anyway).
static void samdraw_span(IMG *target, int64_t x, int64_t v, uint32_t colour) {
    int64_t mid = target->height / 2;
    int64_t end = mid + ((v * mid) >> 15);
    if (end < INT32_MIN) end = INT32_MIN;
    if (end > INT32_MAX) end = INT32_MAX;
    imgfx_vline(target, (int32_t)x, (int32_t)mid, (int32_t)end, colour);
}

// The shared walk of samdraw_draw and samdraw_draw_smooth.
static void samdraw_walk(SAMDRAW *d, bool smooth) {
    const SAMPLE *s = samdraw_sample(d);
    if (!s) return;
    IMG *target = d->target;
    imgfx_fill_rect(target, 0, 0, target->width, target->height, d->background);
    int64_t count = s->count;
    if (count < 1) return;
    // The range is clamped on a copy: the caller's first and last stay as set.
    int64_t first = d->first < 0 ? 0 : d->first;
    int64_t last = d->last > count - 1 ? count - 1 : d->last;
    if (first > last) {
        int64_t t = first;
        first = last;
        last = t;
    }
    int64_t width = target->width;
    // 16.16 index step per column: a fraction when the sample is shorter than
    // the image, otherwise a whole number of values.
    int64_t step = count <= width ? (count << 16) / width : (count / width) << 16;
    int64_t frac = 0;
    for (int64_t x = 0, i = first; x < width && i <= last; x++) {
        int64_t v = smooth ? (samdraw_value(s, i - 1) + samdraw_value(s, i) + samdraw_value(s, i + 1)) / 3
                           : samdraw_value(s, i);
        samdraw_span(target, x, v, d->wave);
        frac += step;
        i += frac >> 16;
        frac &= 0xFFFF;
    }
}

void samdraw_draw(SAMDRAW *d) { samdraw_walk(d, false); }

void samdraw_draw_smooth(SAMDRAW *d) { samdraw_walk(d, true); }

void samdraw_draw_peaks(SAMDRAW *d) {
    const SAMPLE *s = samdraw_sample(d);
    if (!s || s->count < 1) return;
    int64_t width = d->target->width;
    int32_t peaks[2] = {sample_argmax(s), sample_argmin(s)};
    for (int32_t index : peaks)
        samdraw_span(d->target, width * index / s->count, s->data[index], d->marker);
}
