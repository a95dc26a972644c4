// The line stepping IMG and IMGFX share: the error walk from one end and the
// walk from both ends towards the middle, each restricted before stepping to
// the points inside an image. Header only, no module of its own: the callers
// plot and report. Coordinates are 64-bit so that no step can overflow,
// whatever the ends.
#pragma once

#include <cstdint>

static inline int64_t img_walk_sign(int64_t v) { return (v > 0) - (v < 0); }

// The error stepping every line shares. `visit(x, y)` is called for each of
// the max(ax, ay) + 1 points from (x, y); sx, sy are the signs (or forced
// steps) of each axis. The longer axis is stepped; ties go along y. The error
// starts at half the major length.
template <typename Visit>
static void img_walk_steps(int64_t x, int64_t y, int64_t ax, int64_t ay, int64_t sx, int64_t sy,
                           Visit visit) {
    if (ax <= ay) {
        int64_t err = ay >> 1;
        for (int64_t n = 0; n <= ay; n++) {
            visit(x, y);
            y += sy;
            err -= ax;
            if (err < 1) {
                x += sx;
                err += ay;
            }
        }
    } else {
        int64_t err = ax >> 1;
        for (int64_t n = 0; n <= ax; n++) {
            visit(x, y);
            x += sx;
            err -= ay;
            if (err < 1) {
                y += sy;
                err += ax;
            }
        }
    }
}

// Division rounding down and up, for any signs (d != 0), in the width T the
// operands need.
template <typename T>
static inline T img_walk_floor_div(T a, T d) {
    T q = a / d;
    return (a % d != 0 && ((a < 0) != (d < 0))) ? q - 1 : q;
}
template <typename T>
static inline T img_walk_ceil_div(T a, T d) { return -img_walk_floor_div<T>(-a, d); }

// The range [k0, k1] of steps of a walk of major length m >= 2 (minor length
// n, error starting at e0) that keep the major coordinate inside, narrowed to
// the steps whose minor count s(k) lies in lo .. hi; T is wide enough for
// every product. Returns false when no step is left.
template <typename T>
static inline bool img_walk_minor_range(T m, T n, T e0, T lo, T hi, T *k0, T *k1) {
    if (hi < 0) return false;
    const T first = img_walk_ceil_div<T>(lo * m - m + e0, n);
    const T end = img_walk_floor_div<T>(hi * m + e0 - 1, n);
    if (first > *k0) *k0 = first;
    if (end < *k1) *k1 = end;
    return *k0 <= *k1;
}

// The steps k of [0, last] of the error walk from (x, y) (lengths ax, ay,
// signs sx, sy, as img_walk_steps) whose point lies inside a w x h image,
// found before stepping: visit(x, y, k) sees exactly those points, in order,
// so a walk of any length costs what it draws. For a major length m >= 2 the
// error starts at e0 = m / 2 and stays within 1 .. m, so after k steps the
// minor axis has moved s(k) = (k n + m - e0) / m times (n the minor length):
// s grows with k, and the steps that keep each coordinate inside form one
// range, worked out by division (in 64 bits when the products fit, the usual
// case, else in 128).
template <typename Visit>
static void img_walk_inside(int64_t x, int64_t y, int64_t ax, int64_t ay, int64_t sx, int64_t sy, int64_t last,
                            int64_t w, int64_t h, Visit visit) {
    if (w <= 0 || h <= 0 || last < 0) return;
    const bool along_y = ax <= ay;
    const int64_t m = along_y ? ay : ax, n = along_y ? ax : ay;
    if (m < 2) {  // at most two points: the error starts at 0, so the second steps along both axes
        if (x >= 0 && y >= 0 && x < w && y < h) visit(x, y, (int64_t)0);
        x += sx;
        y += sy;
        if (m == 1 && last >= 1 && x >= 0 && y >= 0 && x < w && y < h) visit(x, y, (int64_t)1);
        return;
    }
    const int64_t major0 = along_y ? y : x, minor0 = along_y ? x : y;
    const int64_t smajor = along_y ? sy : sx, sminor = along_y ? sx : sy;
    const int64_t major_size = along_y ? h : w, minor_size = along_y ? w : h;
    const int64_t e0 = m >> 1;
    int64_t k0 = 0, k1 = last < m ? last : m;
    // The major coordinate moves by one every step (its limits fit 64 bits:
    // coordinates and sizes stay well inside them).
    if (smajor > 0) {
        if (-major0 > k0) k0 = -major0;
        if (major_size - 1 - major0 < k1) k1 = major_size - 1 - major0;
    } else {
        if (major0 - (major_size - 1) > k0) k0 = major0 - (major_size - 1);
        if (major0 < k1) k1 = major0;
    }
    if (k0 > k1) return;
    // The minor one needs lo <= s(k) <= hi, which holds for every step when
    // both ends of the line are inside (it moves one way).
    const int64_t minor_end = minor0 + sminor * n;
    if (sminor == 0 || n == 0) {
        if (minor0 < 0 || minor0 >= minor_size) return;
    } else if (minor0 < 0 || minor0 >= minor_size || minor_end < 0 || minor_end >= minor_size) {
        const int64_t lo = sminor > 0 ? -minor0 : minor0 - (minor_size - 1);
        const int64_t hi = sminor > 0 ? minor_size - 1 - minor0 : minor0;
        const int64_t fits = (int64_t)1 << 32;
        if (m < ((int64_t)1 << 30) && lo > -fits && lo < fits && hi > -fits && hi < fits) {
            if (!img_walk_minor_range<int64_t>(m, n, e0, lo, hi, &k0, &k1)) return;
        } else {
            __int128 w0 = k0, w1 = k1;
            if (!img_walk_minor_range<__int128>(m, n, e0, lo, hi, &w0, &w1)) return;
            k0 = (int64_t)w0;
            k1 = (int64_t)w1;
        }
    }
    // s(k0) in 64 bits when k0 n fits, as it does below 2^31 steps (and
    // without a division from the first step).
    const int64_t s = k0 == 0                   ? 0
                      : m < ((int64_t)1 << 31) ? (k0 * n + m - e0) / m
                                               : (int64_t)(((__int128)k0 * n + m - e0) / m);
    int64_t err = k0 == 0 ? e0 : (int64_t)(e0 - (__int128)k0 * n + (__int128)s * m);
    int64_t major = major0 + k0 * smajor, minor = minor0 + s * sminor;
    for (int64_t k = k0; k <= k1; k++) {
        if (along_y)
            visit(minor, major, k);
        else
            visit(major, minor, k);
        major += smajor;
        err -= n;
        if (err < 1) {
            minor += sminor;
            err += m;
        }
    }
}

// img_line's points from (x0, y0) to (x1, y1) inside a w x h image, each
// with its step number.
template <typename Visit>
static void img_walk_line_inside(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int64_t w, int64_t h,
                                 Visit visit) {
    const int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0;
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    // Both ends inside (short lines mostly): every point between them is too,
    // and the walk needs no range.
    if (x0 >= 0 && y0 >= 0 && x1 >= 0 && y1 >= 0 && x0 < w && x1 < w && y0 < h && y1 < h) {
        int64_t k = 0;
        img_walk_steps(x0, y0, ax, ay, img_walk_sign(dx), img_walk_sign(dy),
                       [&](int64_t x, int64_t y) { visit(x, y, k++); });
        return;
    }
    img_walk_inside(x0, y0, ax, ay, img_walk_sign(dx), img_walk_sign(dy), ax <= ay ? ay : ax, w, h, visit);
}

// img_line_two_ends' points inside a w x h image: the first end's walk and
// the second end's mirror walk, each over passes 0 .. m / 2. Every point of
// one line is plotted the same way, so the order of the two walks does not
// show.
template <typename Visit>
static void img_walk_two_ends_inside(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int64_t w, int64_t h,
                                     Visit visit) {
    const int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0;
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const int64_t sx = img_walk_sign(dx), sy = img_walk_sign(dy), half = (ax <= ay ? ay : ax) / 2;
    img_walk_inside(x0, y0, ax, ay, sx, sy, half, w, h, visit);
    img_walk_inside(x1, y1, ax, ay, -sx, -sy, half, w, h, visit);
}
