// Reference lines: 64-bit coordinates so that no walk can overflow; points
// beyond the 32-bit range are outside every image and dropped.
#include "bench/reference_lines.h"

#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "imaging/rgb888.h"

namespace {

int64_t ref_abs(int64_t v) { return v < 0 ? -v : v; }
int64_t ref_sign(int64_t v) { return (v > 0) - (v < 0); }

bool ref_fits(int64_t x, int64_t y) {
    return x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN && y <= INT32_MAX;
}

enum RefPlot { REF_SET, REF_BLEND, REF_ADD };

void ref_plot(IMG *image, int64_t x, int64_t y, uint32_t colour, RefPlot how) {
    if (!ref_fits(x, y)) return;
    if (how == REF_SET) {
        img_set_pixel(image, (int32_t)x, (int32_t)y, colour);
        return;
    }
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
    uint32_t p = img_get_pixel(image, (int32_t)x, (int32_t)y);
    img_set_pixel(image, (int32_t)x, (int32_t)y, how == REF_BLEND ? rgb888_average(p, colour) : rgb888_add(p, colour));
}

// The err stepping of img_line: plot(x, y, step number) for all m + 1 points.
template <typename Plot>
int64_t ref_walk(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Plot plot) {
    int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0, sx = ref_sign(dx), sy = ref_sign(dy);
    int64_t ax = ref_abs(dx), ay = ref_abs(dy), x = x0, y = y0;
    if (ax <= ay) {
        int64_t err = ay >> 1;
        for (int64_t n = 0; n <= ay; n++) {
            plot(x, y, n);
            y += sy;
            err -= ax;
            if (err < 1) {
                x += sx;
                err += ay;
            }
        }
        return ay;
    }
    int64_t err = ax >> 1;
    for (int64_t n = 0; n <= ax; n++) {
        plot(x, y, n);
        x += sx;
        err -= ay;
        if (err < 1) {
            y += sy;
            err += ax;
        }
    }
    return ax;
}

void ref_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour, RefPlot how) {
    int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0, sx = ref_sign(dx), sy = ref_sign(dy);
    int64_t ax = ref_abs(dx), ay = ref_abs(dy);
    bool along_y = ax <= ay;
    int64_t m = along_y ? ay : ax, n = along_y ? ax : ay, err = m >> 1;
    int64_t ax0 = x0, ay0 = y0, bx = x1, by = y1;
    for (int64_t pass = 0; pass <= m / 2; pass++) {
        ref_plot(image, ax0, ay0, colour, how);
        ref_plot(image, bx, by, colour, how);
        if (along_y) {
            ay0 += sy;
            by -= sy;
        } else {
            ax0 += sx;
            bx -= sx;
        }
        err -= n;
        if (err < 1) {
            if (along_y) {
                ax0 += sx;
                bx -= sx;
            } else {
                ay0 += sy;
                by -= sy;
            }
            err += m;
        }
    }
}

void ref_gradient(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1, uint32_t colour1,
                  RefPlot how) {
    if (!image) return;
    if (x0 == x1 && y0 == y1) {
        ref_plot(image, x0, y0, how == REF_ADD ? rgb888_average(colour0, colour1) : colour0, how);
        return;
    }
    int64_t m = ref_abs((int64_t)x1 - x0) > ref_abs((int64_t)y1 - y0) ? ref_abs((int64_t)x1 - x0)
                                                                      : ref_abs((int64_t)y1 - y0);
    int64_t r = (int64_t)((colour0 >> 16) & 0xFF) << 16, g = (int64_t)((colour0 >> 8) & 0xFF) << 16,
            b = (int64_t)(colour0 & 0xFF) << 16;
    int64_t sr = ((((int64_t)colour1 >> 16) & 0xFF) - ((colour0 >> 16) & 0xFF)) * 65536 / m;
    int64_t sg = ((((int64_t)colour1 >> 8) & 0xFF) - ((colour0 >> 8) & 0xFF)) * 65536 / m;
    int64_t sb = (((int64_t)colour1 & 0xFF) - (colour0 & 0xFF)) * 65536 / m;
    ref_walk(x0, y0, x1, y1, [&](int64_t x, int64_t y, int64_t) {
        ref_plot(image, x, y, (uint32_t)(((r >> 16) << 16) | ((g >> 16) << 8) | (b >> 16)), how);
        r += sr;
        g += sg;
        b += sb;
    });
}

}  // namespace

void reference_img_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    ref_walk(x0, y0, x1, y1, [&](int64_t x, int64_t y, int64_t) { ref_plot(image, x, y, colour, REF_SET); });
}

void reference_img_line_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    ref_two_ends(image, x0, y0, x1, y1, colour, REF_SET);
}

void reference_imgfx_line_blend_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                         uint32_t colour) {
    ref_two_ends(image, x0, y0, x1, y1, colour, REF_BLEND);
}

void reference_imgfx_line_add_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                       uint32_t colour) {
    ref_two_ends(image, x0, y0, x1, y1, colour, REF_ADD);
}

void reference_imgfx_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                                 uint32_t colour1) {
    if (x0 == x1 && y0 == y1) {
        img_set_pixel(image, x0, y0, colour0);
        return;
    }
    int64_t m = ref_abs((int64_t)x1 - x0) > ref_abs((int64_t)y1 - y0) ? ref_abs((int64_t)x1 - x0)
                                                                      : ref_abs((int64_t)y1 - y0);
    int64_t d = m, t = 0;
    ref_walk(x0, y0, x1, y1, [&](int64_t x, int64_t y, int64_t) {
        d -= t;
        t++;
        uint32_t colour = colour0;
        if (d < 1) {
            colour = colour1;
            d += m;
        }
        ref_plot(image, x, y, colour, REF_SET);
    });
}

void reference_imgfx_gradient_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                   int32_t y1, uint32_t colour1) {
    ref_gradient(image, x0, y0, colour0, x1, y1, colour1, REF_SET);
}

void reference_imgfx_gradient_line_add(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                       int32_t y1, uint32_t colour1) {
    ref_gradient(image, x0, y0, colour0, x1, y1, colour1, REF_ADD);
}

void reference_thick_parallels(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                               uint32_t colour1, int32_t t, reference_dither_fn line) {
    if (!image || t < 1) return;
    if (x0 > x1) {
        int32_t tx = x0, ty = y0;
        uint32_t tc = colour0;
        x0 = x1, y0 = y1, colour0 = colour1;
        x1 = tx, y1 = ty, colour1 = tc;
    }
    // Offsets wrap as 32-bit values, as the program's coordinates do.
    auto add = [](int32_t a, int64_t b) { return (int32_t)(uint32_t)((uint32_t)a + (uint32_t)b); };
    int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0, ay = ref_abs(dy), half = ((int64_t)t + 1) / 2;
    if (ay >= 2 * dx) {
        for (int64_t i = -(int64_t)t / 2; i <= half - 1; i++)
            line(image, add(x0, i), y0, colour0, add(x1, i), y1, colour1);
    } else if (ay >= (dx >> 1)) {
        int64_t t3 = (3 * (int64_t)t) / 4, half3 = (t3 + 1) / 2;
        for (int64_t i = -t3 / 2; i <= half3 - 1; i++) {
            int64_t v = dy < 1 ? i : -i;
            line(image, add(x0, i), add(y0, v), colour0, add(x1, i), add(y1, v), colour1);
            line(image, add(x0, i + 1), add(y0, v), colour0, add(x1, i + 1), add(y1, v), colour1);
        }
    } else {
        for (int64_t i = -(int64_t)t / 2; i <= half - 1; i++)
            line(image, x0, add(y0, i), colour0, x1, add(y1, i), colour1);
    }
}

void reference_imgfx_thick_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                       int32_t y1, uint32_t colour1, int32_t t) {
    reference_thick_parallels(image, x0, y0, colour0, x1, y1, colour1, t, reference_imgfx_dither_line);
}

void reference_bytemap_line(BYTEMAP *map, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value) {
    if (x0 > x1) {
        int32_t t = x0;
        x0 = x1;
        x1 = t;
        t = y0;
        y0 = y1;
        y1 = t;
    }
    if (x1 < 0 || x0 >= map->width || (y0 < 0 && y1 < 0) || (y0 >= map->height && y1 >= map->height)) return;
    int64_t dx = (int64_t)x1 - x0, dy = ref_abs((int64_t)y1 - y0), sy = y1 < y0 ? -1 : 1;
    auto set = [&](int64_t x, int64_t y) {
        if (ref_fits(x, y)) bytemap_set_pixel(map, (int32_t)x, (int32_t)y, value);
    };
    if (dx == 0 && dy == 0) {
        set(x0, y0);
    } else if (dx >= dy) {
        int64_t step = ((dy << 16) / dx) * sy, y = ((int64_t)y0 << 16) | 0x8000;
        for (int64_t x = x0; x != x1; x++, y += step) set(x, y >> 16);
    } else {
        int64_t step = (dx << 16) / dy, x = ((int64_t)x0 << 16) | 0x8000;
        for (int64_t y = y0; y != y1; y += sy, x += step) set(x >> 16, y);
    }
}
