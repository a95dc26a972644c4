// Reference ellipses: per-pixel clipping through img_set_pixel, the error
// terms recomputed with full products at every step (128-bit, so no radius
// can overflow them), every span plotted pixel by pixel.
#include "bench/reference_ellipse.h"

#include <vector>

#include "imaging/img.h"

namespace {

int64_t ref_abs(int64_t v) { return v < 0 ? -v : v; }

__int128 ref_abs128(__int128 v) { return v < 0 ? -v : v; }

// f(x, y) = x^2 B + y^2 A - A B
__int128 ref_f(__int128 x, __int128 y, __int128 A, __int128 B) { return x * x * B + y * y * A - A * B; }

// One step of the walk: to whichever of the three next points lies nearest
// the curve (down first, then diagonal, on ties).
void ref_step(int64_t &x, int64_t &y, __int128 A, __int128 B) {
    __int128 e1 = ref_abs128(ref_f(x + 1, y, A, B));
    __int128 e2 = ref_abs128(ref_f(x + 1, y - 1, A, B));
    __int128 e3 = ref_abs128(ref_f(x, y - 1, A, B));
    if (e3 <= e1 && e3 <= e2) {
        y--;
    } else if (e2 <= e1 && e2 <= e3) {
        x++;
        y--;
    } else {
        x++;
    }
}

void ref_span(IMG *image, int64_t y, int64_t x0, int64_t x1, uint32_t colour) {
    if (y < 0 || y >= image->height) return;
    if (x0 < 0) x0 = 0;
    if (x1 > image->width - 1) x1 = image->width - 1;
    for (int64_t x = x0; x <= x1; x++) img_set_pixel(image, (int32_t)x, (int32_t)y, colour);
}

void ref_point(IMG *image, int64_t x, int64_t y, uint32_t colour) {
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return;
    img_set_pixel(image, (int32_t)x, (int32_t)y, colour);
}

void ref_walk(IMG *image, int64_t cx, int64_t cy, int64_t rx, int64_t ry, uint32_t colour,
              bool fill) {
    if (!image || !image->pixels) {
        img_error();
        return;
    }
    rx = ref_abs(rx);
    ry = ref_abs(ry);
    int64_t A = rx * rx, B = ry * ry, x = 0, y = ry;
    while (y >= 0 && x <= rx) {
        if (fill) {
            ref_span(image, cy + y, cx - x, cx + x, colour);
            ref_span(image, cy - y, cx - x, cx + x, colour);
        } else {
            ref_point(image, cx + x, cy + y, colour);
            ref_point(image, cx - x, cy + y, colour);
            ref_point(image, cx + x, cy - y, colour);
            ref_point(image, cx - x, cy - y, colour);
        }
        ref_step(x, y, A, B);
    }
}

}  // namespace

void reference_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                       uint32_t colour) {
    ref_walk(image, cx, cy, rx, ry, colour, false);
}

void reference_fill_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                            uint32_t colour) {
    ref_walk(image, cx, cy, rx, ry, colour, true);
}

// Circles: the reject test, then r shrinks whenever (r - 1) fits x^2 + r^2 =
// R^2 strictly better, 64-bit throughout.
static void ref_circle_walk(IMG *image, int64_t cx, int64_t cy, int32_t radius, uint32_t colour, bool fill) {
    if (!image || !image->pixels) {
        img_error();
        return;
    }
    int64_t R = ref_abs(radius);
    if (cx + R < 0 || cy + R < 0 || cx - R >= image->width || cy - R >= image->height) return;
    int64_t r = R, x = 0, a = r * r, b = (r - 1) * (r - 1), RR = R * R;
    while (r >= x) {
        if (fill) {
            ref_span(image, cy + r, cx - x, cx + x, colour);
            ref_span(image, cy - r, cx - x, cx + x, colour);
            ref_span(image, cy + x, cx - r, cx + r, colour);
            ref_span(image, cy - x, cx - r, cx + r, colour);
        } else {
            ref_point(image, cx + x, cy + r, colour);
            ref_point(image, cx - x, cy + r, colour);
            ref_point(image, cx + x, cy - r, colour);
            ref_point(image, cx - x, cy - r, colour);
            ref_point(image, cx + r, cy + x, colour);
            ref_point(image, cx + r, cy - x, colour);
            ref_point(image, cx - r, cy + x, colour);
            ref_point(image, cx - r, cy - x, colour);
        }
        x++;
        int64_t e1 = ref_abs(x * x + a - RR), e2 = ref_abs(x * x + b - RR);
        if (e2 < e1) {
            r--;
            a = b;
            b = (r - 1) * (r - 1);
        }
    }
}

void reference_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour) {
    ref_circle_walk(image, cx, cy, r, colour, false);
}

void reference_fill_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour) {
    ref_circle_walk(image, cx, cy, r, colour, true);
}

// Both drawings from one straightforward walk, for shapes of any size: the
// outline's points go to `outline`; each span of the fill is centred on cx,
// so of the spans one row receives only the widest shows, and the fill keeps
// the widest per image row and draws it at the end (a huge shape puts
// millions of spans on one row).
namespace {

struct RefRows {
    IMG *image;
    int64_t cx, cy;
    std::vector<int64_t> widest;
    RefRows(IMG *fill, int64_t x, int64_t y) : image(fill), cx(x), cy(y), widest((size_t)fill->height, -1) {}
    void span(int64_t y, int64_t half) {
        if (y < 0 || y >= image->height) return;
        if (half > widest[(size_t)y]) widest[(size_t)y] = half;
    }
    void draw(uint32_t colour) {
        for (int64_t y = 0; y < image->height; y++)
            if (widest[(size_t)y] >= 0) ref_span(image, y, cx - widest[(size_t)y], cx + widest[(size_t)y], colour);
    }
};

}  // namespace

void reference_ellipse_both(IMG *outline, IMG *fill, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                            uint32_t colour) {
    const int64_t ax = ref_abs(rx), ay = ref_abs(ry);
    const __int128 A = (__int128)ax * ax, B = (__int128)ay * ay;
    RefRows rows(fill, cx, cy);
    int64_t x = 0, y = ay;
    while (y >= 0 && x <= ax) {
        ref_point(outline, cx + x, cy + y, colour);
        ref_point(outline, cx - x, cy + y, colour);
        ref_point(outline, cx + x, cy - y, colour);
        ref_point(outline, cx - x, cy - y, colour);
        rows.span(cy + y, x);
        rows.span(cy - y, x);
        ref_step(x, y, A, B);
    }
    rows.draw(colour);
}

void reference_circle_both(IMG *outline, IMG *fill, int32_t cx, int32_t cy, int32_t radius, uint32_t colour) {
    int64_t R = ref_abs(radius);
    if (cx + R < 0 || cy + R < 0 || cx - R >= outline->width || cy - R >= outline->height) return;
    RefRows rows(fill, cx, cy);
    int64_t r = R, x = 0, a = r * r, b = (r - 1) * (r - 1), RR = R * R;
    while (r >= x) {
        ref_point(outline, (int64_t)cx + x, (int64_t)cy + r, colour);
        ref_point(outline, (int64_t)cx - x, (int64_t)cy + r, colour);
        ref_point(outline, (int64_t)cx + x, (int64_t)cy - r, colour);
        ref_point(outline, (int64_t)cx - x, (int64_t)cy - r, colour);
        ref_point(outline, (int64_t)cx + r, (int64_t)cy + x, colour);
        ref_point(outline, (int64_t)cx + r, (int64_t)cy - x, colour);
        ref_point(outline, (int64_t)cx - r, (int64_t)cy + x, colour);
        ref_point(outline, (int64_t)cx - r, (int64_t)cy - x, colour);
        rows.span((int64_t)cy + r, x);
        rows.span((int64_t)cy - r, x);
        rows.span((int64_t)cy + x, r);
        rows.span((int64_t)cy - x, r);
        x++;
        int64_t e1 = ref_abs(x * x + a - RR), e2 = ref_abs(x * x + b - RR);
        if (e2 < e1) {
            r--;
            a = b;
            b = (r - 1) * (r - 1);
        }
    }
    rows.draw(colour);
}
