// Geometry that IMG, BYTEMAP and IMGFX share, whatever their pixel type:
// clipping a blit rectangle, the index range of a spaced blit, wrapping an
// index, the nearest-neighbour scale and the turned copy. Header only, no
// module of its own: the callers pass in their reporter where one is needed.
// The records are any with width, height and row-major pixels (IMG, BYTEMAP).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "host/int.h"
#include "vector/seg2d.h"

// A clipped blit rectangle: source (sx, sy) and target (dx, dy), w x h pixels.
struct img_geom_span {
    int32_t sx, sy, dx, dy, w, h;
};

// Clips a source rectangle against a source of sw x sh and a target of
// tw x th (source first, then target) into ranges that are safe to walk
// without any per-pixel test. False when nothing is transferred. 64-bit sums
// so that no argument can overflow.
static inline bool img_geom_clip_blit(int64_t sw, int64_t sh, int64_t tw, int64_t th, int64_t sx,
                                      int64_t sy, int64_t dx, int64_t dy, int64_t w, int64_t h,
                                      img_geom_span *out) {
    if (dx >= tw || dx + w < 0 || dy >= th || dy + h < 0 || sx >= sw || sx + w < 0 || sy >= sh ||
        sy + h < 0)
        return false;
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    if (sx + w > sw) w = sw - sx;
    if (sy + h > sh) h = sh - sy;
    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    if (dx + w > tw) w = tw - dx;
    if (dy + h > th) h = th - dy;
    if (w <= 0 || h <= 0) return false;
    *out = {(int32_t)sx, (int32_t)sy, (int32_t)dx, (int32_t)dy, (int32_t)w, (int32_t)h};
    return true;
}

// First index i in [0, n) for which start + i * step is not below 0, and the
// end index below which it stays under limit (step >= 1).
static inline void img_geom_spaced_range(int64_t start, int64_t step, int64_t n, int64_t limit,
                                         int64_t *first, int64_t *end) {
    int64_t lo = start >= 0 ? 0 : (-start + step - 1) / step;
    int64_t hi = start >= limit ? 0 : (limit - start + step - 1) / step;
    *first = lo;
    *end = hi < n ? hi : n;
}

// x mod n taken into 0 .. n - 1 for negative x too (n > 0).
static inline int32_t img_geom_wrap_index(int32_t x, int32_t n) {
    int32_t m = x % n;
    return m < 0 ? m + n : m;
}

// For each of `to` target positions, the source position it takes along one
// axis of `from` positions, given the run lengths of the split of `to` and
// `from`. Growing: each source position k repeats runs[k] times. Shrinking:
// target k takes the first or last position of its run.
static inline void img_geom_scale_positions(int32_t to, int32_t from, const int32_t *runs,
                                            bool shrink_takes_last, int32_t *map) {
    if (to >= from) {
        int32_t t = 0;
        for (int32_t k = 0; k < from; k++)
            for (int32_t r = 0; r < runs[k] && t < to; r++) map[t++] = k;
    } else {
        int32_t start = 0;
        for (int32_t k = 0; k < to; k++) {
            map[k] = shrink_takes_last ? start + runs[k] - 1 : start;
            start += runs[k];
        }
    }
}

// Positions for one axis from the run lengths `run_lengths` gives; false
// (after its report) when it cannot.
static inline bool img_geom_scale_map(int32_t to, int32_t from, bool shrink_takes_last,
                                      int32_t *(*run_lengths)(int32_t, int32_t), int32_t *map) {
    int32_t *runs = run_lengths(to, from);
    if (!runs) return false;
    img_geom_scale_positions(to, from, runs, shrink_takes_last, map);
    free(runs);
    return true;
}

// Nearest-neighbour scale of the whole source onto the whole target. An
// unusable record, a negative target size, an empty source or a failed
// allocation calls `report`; an empty target is left alone.
template <class Record>
static void img_geom_scale(const Record *source, Record *target,
                           int32_t *(*run_lengths)(int32_t, int32_t), void (*report)(void)) {
    if (!source || !source->pixels || !target || !target->pixels) {
        report();
        return;
    }
    if (target->width < 0 || target->height < 0) {
        report();
        return;
    }
    int32_t tw = target->width, th = target->height;
    if (tw == 0 || th == 0) return;
    if (source->width <= 0 || source->height <= 0) {
        report();
        return;
    }
    // Columns that shrink take the last source column of their run; rows that
    // shrink take the last source row, except when the columns grow: then
    // the first.
    bool rows_take_last = tw < source->width;
    int32_t *cols = (int32_t *)calloc((size_t)tw, 4);
    int32_t *rows = (int32_t *)calloc((size_t)th, 4);
    if (cols && rows && img_geom_scale_map(tw, source->width, true, run_lengths, cols) &&
        img_geom_scale_map(th, source->height, rows_take_last, run_lengths, rows)) {
        for (int32_t y = 0; y < th; y++) {
            const auto *s = source->pixels + (size_t)rows[y] * (size_t)source->width;
            auto *t = target->pixels + (size_t)y * (size_t)tw;
            for (int32_t x = 0; x < tw; x++) t[x] = s[cols[x]];
        }
    } else {
        report();
    }
    free(cols);
    free(rows);
}

// The sides of a turned copy: 92667 / 65536 = 1.41400, just under the square
// root of 2, so the turned corners of a square stay inside.
static inline int64_t img_geom_turned_side(int32_t side) { return ((int64_t)side * 92667) >> 16; }

// Fills `turned` with the source turned by `angle` about both centres; a
// point that falls outside the source is 0.
template <class Record>
static void img_geom_turn(const Record *source, Record *turned, int32_t angle) {
    using Pixel = std::remove_pointer_t<decltype(Record::pixels)>;
    int64_t nw = turned->width, nh = turned->height;
    // A turned copy without pixels has nothing to fill, however tall it is.
    if (nw <= 0 || nh <= 0) return;
    // s = -sin(angle), c = -cos(angle): angle 0 is a half turn.
    int64_t s = sine_table[wrap_neg(angle) & sine_mask];
    int64_t c = sine_table[wrap_sub(wrap_neg(angle), 256) & sine_mask];
    int64_t cx = source->width / 2, cy = source->height / 2;
    int64_t cx2 = nw / 2, cy2 = nh / 2;
    for (int64_t y = 0; y < nh; y++) {
        int64_t v = y - cy2;
        for (int64_t x = 0; x < nw; x++) {
            int64_t u = x - cx2;
            // Each product is shifted on its own (>> 15: table values are
            // fractions of 32768), so the rounding matches term by term.
            int64_t px = cx + ((u * c) >> 15) - ((v * s) >> 15);
            int64_t py = cy + ((u * s) >> 15) + ((v * c) >> 15);
            Pixel p = 0;
            if (px >= 0 && py >= 0 && px < source->width && py < source->height)
                p = source->pixels[(size_t)py * (size_t)source->width + (size_t)px];
            turned->pixels[(size_t)y * (size_t)nw + (size_t)x] = p;
        }
    }
}

// Every `step`-th target column and row from (dx, dy) takes the source pixel
// (sx + i, sy + j), 0 being transparent; only the indices whose source and
// target both lie inside are walked. Steps below 1 and unusable records call
// `report`.
template <class Record>
static void img_geom_blit_spaced(const Record *source, Record *target, int32_t sx, int32_t sy,
                                 int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step_x,
                                 int32_t step_y, void (*report)(void)) {
    if (!source || !source->pixels || !target || !target->pixels || step_x < 1 || step_y < 1) {
        report();
        return;
    }
    int64_t i0, i1, j0, j1, ti0, ti1, tj0, tj1;
    img_geom_spaced_range(sx, 1, w, source->width, &i0, &i1);
    img_geom_spaced_range(dx, step_x, w, target->width, &ti0, &ti1);
    img_geom_spaced_range(sy, 1, h, source->height, &j0, &j1);
    img_geom_spaced_range(dy, step_y, h, target->height, &tj0, &tj1);
    if (ti0 > i0) i0 = ti0;
    if (ti1 < i1) i1 = ti1;
    if (tj0 > j0) j0 = tj0;
    if (tj1 < j1) j1 = tj1;
    if (i0 >= i1) return;  // no column: the rows need no walk (a 0-wide image may be 2^31 - 1 high)
    for (int64_t j = j0; j < j1; j++) {
        const auto *s = source->pixels + (size_t)(sy + j) * (size_t)source->width;
        auto *t = target->pixels + (size_t)(dy + j * step_y) * (size_t)target->width;
        for (int64_t i = i0; i < i1; i++) {
            auto v = s[sx + i];
            if (v) t[dx + i * step_x] = v;
        }
    }
}

// Checks shared by the row and column wrap copies: both records usable, the
// source line inside the source and the target line inside the target;
// `report` otherwise.
template <class Record>
static bool img_geom_wrap_args(const Record *source, const Record *target, int32_t source_line,
                               int32_t target_line, bool columns, void (*report)(void)) {
    if (!source || !source->pixels || !target || !target->pixels) {
        report();
        return false;
    }
    int32_t source_lines = columns ? source->width : source->height;
    int32_t target_lines = columns ? target->width : target->height;
    if (source_line < 0 || source_line >= source_lines || target_line < 0 ||
        target_line >= target_lines) {
        report();
        return false;
    }
    return true;
}

// Source row `source_row` into target row `target_row` from column `offset`
// on, wrapping round the target: keyed (0 transparent) or or-ed in. A target
// without columns takes nothing.
template <bool keyed, class Record>
static void img_geom_row_wrap(const Record *source, Record *target, int32_t source_row,
                              int32_t target_row, int32_t offset, void (*report)(void)) {
    if (!img_geom_wrap_args(source, target, source_row, target_row, false, report)) return;
    int32_t n = source->width < target->width ? source->width : target->width;
    if (n <= 0) return;
    const auto *s = source->pixels + (size_t)source_row * (size_t)source->width;
    auto *t = target->pixels + (size_t)target_row * (size_t)target->width;
    int32_t x = img_geom_wrap_index(offset, target->width);
    for (int32_t i = 0; i < n; i++) {
        if (keyed) {
            if (s[i]) t[x] = s[i];
        } else {
            t[x] |= s[i];
        }
        if (++x == target->width) x = 0;
    }
}

// Source column into target column from row `offset` on, keyed, wrapping
// round the target. A target without rows takes nothing.
template <class Record>
static void img_geom_column_wrap(const Record *source, Record *target, int32_t source_column,
                                 int32_t target_column, int32_t offset, void (*report)(void)) {
    if (!img_geom_wrap_args(source, target, source_column, target_column, true, report)) return;
    int32_t n = source->height < target->height ? source->height : target->height;
    if (n <= 0) return;
    int32_t y = img_geom_wrap_index(offset, target->height);
    for (int32_t i = 0; i < n; i++) {
        auto v = source->pixels[(size_t)i * (size_t)source->width + (size_t)source_column];
        if (v) target->pixels[(size_t)y * (size_t)target->width + (size_t)target_column] = v;
        if (++y == target->height) y = 0;
    }
}
