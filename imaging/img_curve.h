// Where the circle and ellipse walks of IMG pass, found without stepping, so
// that a walk can begin at its first step that can show. Header only: img.cpp
// steps and plots. Exact integer searches with 128-bit products throughout.
#pragma once

#include <cstdint>

typedef __int128 img_wide;

// The last v in [lo, hi] for which holds(v), where holds is true up to some
// point and false after it; lo - 1 when it holds nowhere.
template <typename Holds>
static int64_t img_curve_last(int64_t lo, int64_t hi, Holds holds) {
    int64_t a = lo - 1, b = hi;
    while (a < b) {
        int64_t m = a + (b - a + 1) / 2;
        if (holds(m))
            a = m;
        else
            b = m - 1;
    }
    return a;
}

static inline int64_t img_curve_min(int64_t a, int64_t b) { return a < b ? a : b; }
static inline int64_t img_curve_max(int64_t a, int64_t b) { return a > b ? a : b; }

// The same search begun from a guess near the answer: it gallops away from
// the guess and then halves, so a guess off by d costs about 2 log2 d tests.
template <typename Holds>
static int64_t img_curve_last_near(int64_t lo, int64_t hi, int64_t guess, Holds holds) {
    if (hi < lo) return lo - 1;
    guess = img_curve_max(lo, img_curve_min(guess, hi));
    int64_t step = 1;
    if (holds(guess)) {
        while (guess + step <= hi && holds(guess + step)) {
            guess += step;
            step *= 2;
        }
        return img_curve_last(guess, img_curve_min(guess + step - 1, hi), holds);
    }
    while (guess - step >= lo && !holds(guess - step)) {
        guess -= step;
        step *= 2;
    }
    return img_curve_last(img_curve_max(guess - step, lo), guess - 1, holds);
}

// floor(sqrt(v)) for v >= 0 below 2^64 (0 for v < 0): the guesses of the
// searches below, which stay exact whatever the guess.
static inline int64_t img_curve_sqrt(img_wide v) {
    if (v <= 0) return 0;
    const uint64_t n = (uint64_t)v;
    uint64_t x = (uint64_t)1 << ((65 - __builtin_clzll(n)) / 2);  // at least sqrt(n)
    for (;;) {
        const uint64_t y = (x + n / x) / 2;
        if (y >= x) return (int64_t)x;
        x = y;
    }
}

// The offsets s in [lo, hi] (s <= limit) for which c + s or c - s lies in
// 0 .. size - 1: one interval, empty when lo > hi.
struct ImgCurveRange {
    int64_t lo, hi;
};

static inline ImgCurveRange img_curve_reach(int64_t c, int64_t size, int64_t limit) {
    ImgCurveRange r;
    if (c < 0)
        r = {-c, size - 1 - c};
    else if (c >= size)
        r = {c - size + 1, c};
    else
        r = {0, img_curve_max(c, size - 1 - c)};
    r.hi = img_curve_min(r.hi, limit);
    return r;
}

// ---- Circles ---------------------------------------------------------------------------
//
// The circle walk takes r down by one when (r - 1) fits x^2 + r^2 = R^2
// strictly better. At every x it reaches, r is the best fit of all: the r >= 0
// with the least |x^2 + r^2 - R^2|, the larger on a tie (by induction: the
// best fit falls by at most one a step while x < r, and at x = r the walk
// ends whichever it takes). So r(x) <= k exactly when x^2 >= R^2 - k^2 - k,
// and r(x) >= k (k >= 1) when x^2 <= R^2 - k^2 + k - 1.

static inline bool img_circle_at_least(int64_t R, int64_t x, int64_t k) {
    return k <= 0 || (img_wide)x * x <= (img_wide)R * R - (img_wide)k * k + k - 1;
}

// r at column x.
static inline int64_t img_circle_height(int64_t R, int64_t x) {
    const int64_t guess = img_curve_sqrt((img_wide)R * R - (img_wide)x * x);
    return img_curve_max(0, img_curve_last_near(1, R, guess, [&](int64_t k) { return img_circle_at_least(R, x, k); }));
}

// The last column the walk draws: the last x with r(x) >= x.
static inline int64_t img_circle_end(int64_t R) {
    return img_curve_last(0, R, [&](int64_t x) { return img_circle_at_least(R, x, x); });
}

// The columns x in 0 .. end with lo <= r(x) <= hi.
static inline ImgCurveRange img_circle_columns(int64_t R, int64_t end, int64_t lo, int64_t hi) {
    int64_t first = 1 + img_curve_last(0, end, [&](int64_t x) { return img_circle_at_least(R, x, hi + 1); });
    return {first, img_curve_last(0, end, [&](int64_t x) { return img_circle_at_least(R, x, lo); })};
}

// ---- Ellipses --------------------------------------------------------------------------
//
// The ellipse walk from (0, ry) takes, of the steps down, diagonal and right,
// the one whose point has the least |f|, f(x, y) = x^2 B + y^2 A - A B (ties:
// down, then diagonal). With rx, ry >= 1 and y >= 1 the three values grow in
// the order down < diagonal < right, so the rule is two sign tests on sums of
// neighbours:
//   down      when across(x, y - 1) >= 0, across(x, y) = f(x, y) + f(x + 1, y);
//   diagonal  else when along(x + 1, y) >= 0, along(x, y) = f(x, y) + f(x, y - 1);
//   right     otherwise.
// Both sums grow with x (x >= 0) and with y (y >= 1), which places the path:
// - Upper part. row(x) = the last y >= 1 with along(x, y) < 0. The walk
//   starts at (0, row(0)) = (0, ry), and from (x, row(x)) with
//   (2x + 1) B <= 2 (row(x) - 1) A its next point is (x + 1, row(x + 1)):
//   along(x + 1, row(x) - 1) < 0 and across(x, row(x) - 1) < 0 follow from
//   along(x, row(x)) < 0 under that bound. The bound, once false, stays false.
// - Lower part. column(y) = the first x >= 0 with across(x, y) >= 0. From
//   (column(y), y), y >= 1, with (2x + 1) B >= (2y - 1) A the next point is
//   (column(y - 1), y - 1), and the bound then holds for good.
// Between the two the walk goes by runs: a step right carries on along the
// row while both sums stay negative (they grow with x), a step down carries
// on down the column while across(x, y - 1) >= 0 (it grows with y). On row 0
// the values decide directly; a step right there carries the walk along the
// row to rx, where it ends (further right |f(x + 1, 0)| only shrinks against
// the two other values). The middle is a few runs long.

struct ImgEllipseShape {
    int64_t rx, ry;
    img_wide A, B;
};

static inline ImgEllipseShape img_ellipse_shape(int64_t rx, int64_t ry) {
    return {rx, ry, (img_wide)rx * rx, (img_wide)ry * ry};
}

static inline img_wide img_ellipse_f(const ImgEllipseShape &s, img_wide x, img_wide y) {
    return x * x * s.B + y * y * s.A - s.A * s.B;
}

static inline img_wide img_ellipse_across(const ImgEllipseShape &s, int64_t x, int64_t y) {
    return img_ellipse_f(s, x, y) + img_ellipse_f(s, (img_wide)x + 1, y);
}

static inline img_wide img_ellipse_along(const ImgEllipseShape &s, int64_t x, int64_t y) {
    return img_ellipse_f(s, x, y) + img_ellipse_f(s, x, (img_wide)y - 1);
}

// Guesses: y = ry sqrt(1 - x^2 / A) and x = rx sqrt(1 - y^2 / B).
static inline int64_t img_ellipse_row(const ImgEllipseShape &s, int64_t x) {
    const int64_t guess = s.A > 0 ? img_curve_sqrt(s.B * (s.A - (img_wide)x * x) / s.A) : s.ry;
    const int64_t y = img_curve_last_near(1, s.ry, guess, [&](int64_t t) { return img_ellipse_along(s, x, t) < 0; });
    return img_curve_max(0, y);
}

static inline int64_t img_ellipse_column(const ImgEllipseShape &s, int64_t y) {
    const int64_t guess = s.B > 0 ? img_curve_sqrt(s.A * (s.B - (img_wide)y * y) / s.B) : s.rx;
    return 1 + img_curve_last_near(0, s.rx, guess, [&](int64_t x) { return img_ellipse_across(s, x, y) < 0; });
}

// The last x of row y in the upper part (y above the middle).
static inline int64_t img_ellipse_row_end(const ImgEllipseShape &s, int64_t end, int64_t y) {
    const int64_t guess = s.B > 0 ? img_curve_sqrt(s.A * (s.B - (img_wide)y * y + y) / s.B) : 0;
    return img_curve_last_near(0, end, guess, [&](int64_t x) { return img_ellipse_along(s, x, y) < 0; });
}

static inline bool img_ellipse_upper(const ImgEllipseShape &s, int64_t x, int64_t y) {
    return (img_wide)(2 * x + 1) * s.B <= (img_wide)(2 * (y - 1)) * s.A;
}

static inline bool img_ellipse_lower(const ImgEllipseShape &s, int64_t x, int64_t y) {
    return (img_wide)(2 * x + 1) * s.B >= (img_wide)(2 * y - 1) * s.A;
}

// The last column of the upper part (-1 when it is empty).
static inline int64_t img_ellipse_upper_end(const ImgEllipseShape &s) {
    return img_curve_last(0, s.rx, [&](int64_t x) {
        int64_t y = img_ellipse_row(s, x);
        return y >= 1 && img_ellipse_upper(s, x, y);
    });
}

// Whether (x, y), a point of the path, starts the lower part.
static inline bool img_ellipse_lower_starts(const ImgEllipseShape &s, int64_t x, int64_t y) {
    return y >= 1 && img_ellipse_lower(s, x, y) && x == img_ellipse_column(s, y);
}

// The upper part's columns x in 0 .. end whose row lies in lo .. hi.
static inline ImgCurveRange img_ellipse_upper_columns(const ImgEllipseShape &s, int64_t end, int64_t lo,
                                                      int64_t hi) {
    int64_t first = 1 + img_curve_last(0, end, [&](int64_t x) { return img_ellipse_along(s, x, hi + 1) < 0; });
    int64_t last = lo <= 1 ? end : img_curve_last(0, end, [&](int64_t x) { return img_ellipse_along(s, x, lo) < 0; });
    return {first, last};
}

// The lower part's rows y in 0 .. top whose column lies in lo .. hi.
static inline ImgCurveRange img_ellipse_lower_rows(const ImgEllipseShape &s, int64_t top, int64_t lo,
                                                   int64_t hi) {
    int64_t first = 1 + img_curve_last(0, top, [&](int64_t y) { return img_ellipse_across(s, hi, y) < 0; });
    int64_t last =
        lo <= 0 ? top : img_curve_last(0, top, [&](int64_t y) { return img_ellipse_across(s, lo - 1, y) < 0; });
    return {first, last};
}

struct ImgCurvePoint {
    int64_t x, y;
};

// The middle from (x, y), a point of the path, as runs of the points it
// leaves: run(x0, x1, y0, y1) sees the points x0 .. x1 of row y0 (y0 == y1)
// or the points y0 down to y1 of column x0 (x0 == x1). Returns the first
// point of the lower part, or a point past the end (y < 0 or x > rx) when the
// walk ends first.
template <typename Run>
static ImgCurvePoint img_ellipse_middle(const ImgEllipseShape &s, int64_t x, int64_t y, Run run) {
    while (y >= 1 && x <= s.rx && !img_ellipse_lower_starts(s, x, y)) {
        if (img_ellipse_across(s, x, y - 1) >= 0) {
            const int64_t end =
                1 + img_curve_last(0, y - 1, [&](int64_t t) { return img_ellipse_across(s, x, t) < 0; });
            run(x, x, y, end + 1);
            y = end;
        } else if (img_ellipse_along(s, x + 1, y) >= 0) {
            run(x, x, y, y);
            x++;
            y--;
        } else {
            const int64_t end = 1 + img_curve_last(x, s.rx, [&](int64_t t) {
                return img_ellipse_across(s, t, y - 1) < 0 && img_ellipse_along(s, t + 1, y) < 0;
            });
            run(x, end - 1, y, y);
            x = end;
        }
    }
    if (y != 0 || x > s.rx) return {x, y};
    const auto size = [](img_wide v) { return v < 0 ? -v : v; };
    const img_wide e1 = size(img_ellipse_f(s, (img_wide)x + 1, 0)), e2 = size(img_ellipse_f(s, (img_wide)x + 1, -1)),
                   e3 = size(img_ellipse_f(s, x, -1));
    if ((e3 <= e1 && e3 <= e2) || e2 <= e1) {
        run(x, x, 0, 0);
        return {x, -1};
    }
    run(x, s.rx, 0, 0);
    return {s.rx + 1, 0};
}
