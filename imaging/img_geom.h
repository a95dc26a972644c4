// Geometry that IMG, BYTEMAP and IMGFX share, whatever their pixel type:
// clipping a blit rectangle, the index range of a spaced blit, wrapping an
// index and the positions a nearest-neighbour scale takes. Header only, no
// module of its own: nothing here reports; the callers do.
#pragma once

#include <cstdint>

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
