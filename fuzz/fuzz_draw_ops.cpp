// Runs of lines, dither and thick dither lines, circles, ellipses and lists
// of filled ellipses, each drawn by the fast path (at a fuzzed instruction-set
// level) into one image and by its straightforward version into a copy: the
// two must stay equal pixel for pixel, and nothing may be read or written
// outside the pixels.
#include <cstdlib>
#include <cstring>

#include "bench/reference_ellipse.h"
#include "bench/reference_lines.h"
#include "fuzz/fuzz_ops.h"
#include "host/simd.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"

// Positions reach well past the image on every side; the straightforward
// versions step every point, so they stay within a few hundred.
static int32_t fuzz_near(fuzz_stream *s, int32_t reach) {
    const int64_t v = fuzz_int(s);
    return (int32_t)(((v % (2 * reach + 1)) + 2 * reach + 1) % (2 * reach + 1) - reach);
}

// A list of n filled ellipses made from a seed about the image, radii up to
// 63 (tabled) or 127, either sign: drawn as one list into `fast` and one by
// one by the straightforward version into `plain`.
static void fill_list(IMG *fast, IMG *plain, int32_t n, uint32_t seed, bool wide) {
    IMG_ELLIPSE *list = (IMG_ELLIPSE *)calloc((size_t)n + 1, sizeof(IMG_ELLIPSE));
    if (!list) abort();
    auto next = [&](int32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (int32_t)((seed >> 8) % (uint32_t)range);
    };
    const int32_t reach = wide ? 127 : 63;
    for (int32_t i = 0; i < n; i++) {
        IMG_ELLIPSE &e = list[i];
        e.x = next(fast->width + 2 * reach + 1) - reach;
        e.y = next(fast->height + 2 * reach + 1) - reach;
        e.rx = next(2 * reach + 1) - reach;
        e.ry = next(2 * reach + 1) - reach;
        e.colour = (uint32_t)next(1 << 24);
        reference_fill_ellipse(plain, e.x, e.y, e.rx, e.ry, e.colour);
    }
    img_fill_ellipses(fast, list, n);
    free(list);
}

static bool same_pixels(const IMG *a, const IMG *b) {
    return std::memcmp(a->pixels, b->pixels, (size_t)a->width * (size_t)a->height * sizeof(uint32_t)) == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_stream in{data, size};
    IMG *fast = img_new(), *plain = img_new();
    if (!fast || !plain) abort();
    const int32_t w = fuzz_byte(&in) % 49, h = fuzz_byte(&in) % 49;  // empty sides included
    img_resize(fast, w, h);
    img_resize(plain, w, h);
    if (!fast->pixels || !plain->pixels) abort();
    simd_limit((simd_level)(fuzz_byte(&in) % 4));
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        const uint8_t kind = fuzz_byte(&in) % 8;
        int32_t v[6];
        for (int32_t &x : v) x = fuzz_near(&in, 300);
        const uint32_t c0 = (uint32_t)fuzz_int(&in), c1 = (uint32_t)fuzz_int(&in);
        const int32_t t = fuzz_near(&in, 40);
        switch (kind) {
        case 0:
            img_line(fast, v[0], v[1], v[2], v[3], c0);
            reference_img_line(plain, v[0], v[1], v[2], v[3], c0);
            break;
        case 1:
            img_ellipse(fast, v[0], v[1], v[2] / 2, v[3] / 2, c0);
            reference_ellipse(plain, v[0], v[1], v[2] / 2, v[3] / 2, c0);
            break;
        case 2:
            img_fill_ellipse(fast, v[0], v[1], v[2] / 2, v[3] / 2, c0);
            reference_fill_ellipse(plain, v[0], v[1], v[2] / 2, v[3] / 2, c0);
            break;
        case 3:
            img_circle(fast, v[0], v[1], v[2] / 2, c0);
            reference_circle(plain, v[0], v[1], v[2] / 2, c0);
            break;
        case 4:
            img_fill_circle(fast, v[0], v[1], v[2] / 2, c0);
            reference_fill_circle(plain, v[0], v[1], v[2] / 2, c0);
            break;
        case 5:
            imgfx_dither_line(fast, v[0], v[1], c0, v[2], v[3], c1);
            reference_imgfx_dither_line(plain, v[0], v[1], c0, v[2], v[3], c1);
            break;
        case 6:
            fill_list(fast, plain, v[4] + 300, c1, c0 & 1);
            break;
        default:
            imgfx_thick_dither_line(fast, v[0], v[1], c0, v[2], v[3], c1, t);
            reference_imgfx_thick_dither_line(plain, v[0], v[1], c0, v[2], v[3], c1, t);
            break;
        }
        fuzz_check(same_pixels(fast, plain));
    }
    simd_limit(SIMD_AVX512);
    img_del(&fast);
    img_del(&plain);
    return 0;
}
