// FILL: a breadth-first flood fill that paints one ring per call. The record
// keeps two ARRAYs of points (x, y as two int32): `front` is painted in this
// step, neighbours that still hold the target colour go to `next_front`, and
// the two are exchanged. A mark per pixel keeps every point to one entry: the
// walk would otherwise queue a point once per painted neighbour, and forever
// when the paint equals the target. The images are the caller's; the fill owns
// its two arrays and the marks.
#include "imaging/fill.h"

#include <cstdlib>

#include "host/module.h"
#include "imaging/img.h"
#include "vector/array.h"

RIVO_IDENTITY(fill, "FILL    ", "20140828", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(fill, 0, "FILL error\n");

namespace {
struct FillPoint {
    int32_t x, y;
};
}  // namespace

FILL *fill_new(void) {
    FILL *fill = (FILL *)calloc(1, sizeof(FILL));
    if (!fill) fill_error();
    return fill;
}

void fill_del(FILL **fill) {
    if (!fill || !*fill) {
        fill_error();
        return;
    }
    if ((*fill)->front) array_del(&(*fill)->front);
    if ((*fill)->next_front) array_del(&(*fill)->next_front);
    free((*fill)->queued);
    free(*fill);
    *fill = nullptr;
}

char *fill_to_text(const FILL *fill) {
    if (!fill) fill_error();
    return nullptr;
}

int fill_compare(const FILL *a, const FILL *b) {
    if (!a || !b) fill_error();
    return 0;
}

FILL *fill_dup(const FILL *source) {
    if (!source) {
        fill_error();
        return nullptr;
    }
    return fill_new();
}

void fill_copy(const FILL *source, FILL *target) {
    if (!source || !target) fill_error();
}

// A new array of 8-byte points, or the old one emptied; false on failure.
static bool fill_ready_array(ARRAY **array) {
    if (*array) {
        array_set_count(*array, 0);
        return true;
    }
    *array = array_new();
    if (!*array) return false;
    array_set_element_size(*array, sizeof(FillPoint));
    if ((*array)->data) return true;
    array_del(array);
    return false;
}

// Clear marks for the image's region (none for an empty one); false when
// they cannot be had.
static bool fill_ready_marks(FILL *fill) {
    int32_t w = fill->image->width > 0 ? fill->image->width : 0;
    int32_t h = fill->image->height > 0 ? fill->image->height : 0;
    free(fill->queued);
    fill->queued = nullptr;
    fill->queued_width = fill->queued_height = 0;
    if (w == 0 || h == 0) return true;
    fill->queued = (uint32_t *)calloc((size_t)w * (size_t)h, sizeof(uint32_t));
    if (!fill->queued) return false;
    fill->queued_width = w;
    fill->queued_height = h;
    return true;
}

static bool fill_in_marks(const FILL *fill, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < fill->queued_width && y < fill->queued_height;
}

static uint32_t &fill_mark(FILL *fill, int32_t x, int32_t y) {
    return fill->queued[(size_t)y * (size_t)fill->queued_width + (size_t)x];
}

static FillPoint *fill_points(ARRAY *array) { return (FillPoint *)array->data; }

void fill_start(FILL *fill, int32_t x, int32_t y, uint32_t colour) {
    if (!fill || !fill->image) {
        fill_error();
        return;
    }
    if (!fill_ready_array(&fill->front) || !fill_ready_array(&fill->next_front) || !fill_ready_marks(fill)) {
        fill_error();
        return;
    }
    fill->state = 'f';
    fill->target_colour = img_get_pixel(fill->image, x, y);
    fill->fill_colour = colour;
    FillPoint seed = {x, y};
    array_push(fill->front, &seed);
    if (fill_in_marks(fill, x, y)) fill_mark(fill, x, y) = 1;
}

// Non-negative remainder, so negative offsets still repeat the pattern.
static int32_t fill_wrap(int64_t v, int32_t size) {
    int64_t m = v % size;
    return (int32_t)(m < 0 ? m + size : m);
}

// An entry found again in the same ring, dropped when the ring ends. Queued
// points lie in the region, so their x is never negative.
static const int32_t fill_dropped = INT32_MIN;

// Queues (x, y) for the next ring unless it was queued in an earlier one.
// The front is walked from its end, so of two entries for one point the
// walk meets the later one first: a point found again in this ring moves to
// the back, which keeps the order in which the points are painted. Returns
// true when an earlier entry was dropped.
static bool fill_queue(FILL *fill, int32_t x, int32_t y) {
    uint32_t &mark = fill_mark(fill, x, y);
    ARRAY *next = fill->next_front;
    int32_t earlier = -1;
    if (mark != 0) {
        // The mark names an entry of this ring only if that entry is this point.
        int32_t at = (int32_t)(mark - 1);
        const FillPoint *points = fill_points(next);
        if (at >= next->count || points[at].x != x || points[at].y != y) return false;
        earlier = at;
    }
    FillPoint n = {x, y};
    int32_t before = next->count;
    array_push(next, &n);
    if (next->count == before) return false;  // no room: an earlier entry stays
    if (earlier >= 0) fill_points(next)[earlier].x = fill_dropped;
    mark = (uint32_t)next->count;
    return earlier >= 0;
}

// Closes the gaps that moved entries left.
static void fill_squeeze(ARRAY *array) {
    FillPoint *points = fill_points(array);
    int32_t kept = 0;
    for (int32_t i = 0; i < array->count; i++)
        if (points[i].x != fill_dropped) points[kept++] = points[i];
    array_set_count(array, kept);
}

// One ring: paints every front point still holding the target colour and
// queues its right, lower, left and upper neighbours that hold it too.
static int32_t fill_ring(FILL *fill, bool from_pattern) {
    IMG *image = fill->image;
    fill->left = 0;
    fill->top = 0;
    fill->right = image->width;
    fill->bottom = image->height;
    if (fill->front->count == 0 && fill->next_front->count == 0) return 0;
    // Painting the target colour would leave every point to be found again.
    if (!from_pattern && fill->fill_colour == fill->target_colour) return 0;
    // An image resized since the start has marks made anew.
    int32_t w = fill->right > 0 ? fill->right : 0, h = fill->bottom > 0 ? fill->bottom : 0;
    if ((w != fill->queued_width || h != fill->queued_height) && !fill_ready_marks(fill)) {
        fill_error();
        return 0;
    }
    static const int32_t step_x[4] = {1, 0, -1, 0};
    static const int32_t step_y[4] = {0, 1, 0, -1};
    bool dropped = false;
    for (int32_t i = fill->front->count - 1; i >= 0; i--) {
        FillPoint p = fill_points(fill->front)[i];
        if (img_get_pixel(image, p.x, p.y) != fill->target_colour) continue;
        if (from_pattern) {
            const IMG *pat = fill->pattern;
            fill->fill_colour = img_get_pixel(pat, fill_wrap((int64_t)p.x + fill->pattern_x, pat->width),
                                              fill_wrap((int64_t)p.y + fill->pattern_y, pat->height));
        }
        img_set_pixel(image, p.x, p.y, fill->fill_colour);
        for (int k = 0; k < 4; k++) {
            int64_t nx = (int64_t)p.x + step_x[k], ny = (int64_t)p.y + step_y[k];
            if (nx < fill->left || nx >= fill->right || ny < fill->top || ny >= fill->bottom) continue;
            if (img_get_pixel(image, (int32_t)nx, (int32_t)ny) != fill->target_colour) continue;
            dropped |= fill_queue(fill, (int32_t)nx, (int32_t)ny);
        }
    }
    if (dropped) fill_squeeze(fill->next_front);
    array_set_count(fill->front, 0);
    ARRAY *swap = fill->front;
    fill->front = fill->next_front;
    fill->next_front = swap;
    return fill->front->count;
}

static bool fill_can_step(const FILL *fill) {
    return fill && fill->image && fill->front && fill->next_front && fill->state == 'f';
}

int32_t fill_step(FILL *fill) {
    if (!fill_can_step(fill)) {
        fill_error();
        return 0;
    }
    return fill_ring(fill, false);
}

int32_t fill_step_pattern(FILL *fill) {
    // An empty pattern has no pixel to repeat (and would divide by zero).
    if (!fill_can_step(fill) || !fill->pattern || fill->pattern->width < 1 ||
        fill->pattern->height < 1) {
        fill_error();
        return 0;
    }
    return fill_ring(fill, true);
}

void fill_reset(FILL *fill) {
    if (!fill) {
        fill_error();
        return;
    }
    if (fill->front && fill->next_front) {
        array_set_count(fill->front, 0);
        array_set_count(fill->next_front, 0);
    }
}

static int64_t fill_abs(int32_t v) { return v < 0 ? -(int64_t)v : v; }

int32_t *fill_run_lengths(int32_t a, int32_t b) {
    int64_t big = fill_abs(a) > fill_abs(b) ? fill_abs(a) : fill_abs(b);
    int64_t small = fill_abs(a) < fill_abs(b) ? fill_abs(a) : fill_abs(b);
    int32_t *runs = (int32_t *)calloc((size_t)small + 1, sizeof(int32_t));
    if (!runs) {
        fill_error();
        return nullptr;
    }
    // Without runs every step lands in the leftover count, which saturates.
    if (small == 0) {
        runs[0] = big < INT32_MAX ? (int32_t)(big + 1) : INT32_MAX;
        return runs;
    }
    int64_t e = big >> 1, k = 0;
    for (int64_t t = 0; t <= big; t++) {
        runs[k]++;
        e -= small;
        // Starting at half can move one run early; the index stays on the
        // leftover slot instead of running past the array (big 1, small 0).
        if (e < 1) {
            e += big;
            if (k < small) k++;
        }
    }
    return runs;
}

int32_t *fill_run_lengths_mirrored(int32_t a, int32_t b) {
    int64_t big = fill_abs(a) > fill_abs(b) ? fill_abs(a) : fill_abs(b);
    int64_t small = fill_abs(a) < fill_abs(b) ? fill_abs(a) : fill_abs(b);
    // At least one slot, so an empty split is still a fresh allocation.
    int32_t *runs = (int32_t *)calloc(small > 0 ? (size_t)small : 1, sizeof(int32_t));
    if (!runs) {
        fill_error();
        return nullptr;
    }
    int64_t e = big >> 1, lo = 0, hi = small - 1;
    while (lo <= hi) {
        runs[lo]++;
        e -= small;
        if (e < 1) {
            e += big;
            runs[hi] = runs[lo];
            lo++;
            hi--;
        }
    }
    return runs;
}

int32_t *fill_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return img_line_points(x0, y0, x1, y1);
}
