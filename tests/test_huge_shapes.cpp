// Circles and ellipses far larger than the image or far outside it: the walks
// that start at their first visible step draw exactly the pixels of the
// straightforward stepping from the curve's start.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "bench/reference_ellipse.h"
#include "imaging/img.h"
#include "tests/test_lcg.h"

namespace {

const int32_t MAX = INT32_MAX;

struct Shape {
    int32_t w, h, cx, cy, rx, ry;  // ry < 0: a circle of radius rx
};

uint64_t pixel_hash(const IMG *image) {
    uint64_t hash = 14695981039346656037ull;
    for (int64_t i = 0; i < (int64_t)image->width * image->height; i++)
        hash = (hash ^ image->pixels[i]) * 1099511628211ull;
    return hash;
}

IMG *blank(const Shape &s) {
    IMG *image = img_new();
    img_resize(image, s.w, s.h);
    img_clear(image, 0x123456);
    return image;
}

// The outline and fill of a shape, fast or stepped, as hashes of the images.
struct Drawn {
    uint64_t outline, fill;
};

Drawn draw_fast(const Shape &s) {
    IMG *outline = blank(s), *fill = blank(s);
    if (s.ry < 0) {
        img_circle(outline, s.cx, s.cy, s.rx, 0xABCDEF);
        img_fill_circle(fill, s.cx, s.cy, s.rx, 0xABCDEF);
    } else {
        img_ellipse(outline, s.cx, s.cy, s.rx, s.ry, 0xABCDEF);
        img_fill_ellipse(fill, s.cx, s.cy, s.rx, s.ry, 0xABCDEF);
    }
    Drawn d = {pixel_hash(outline), pixel_hash(fill)};
    img_del(&outline);
    img_del(&fill);
    return d;
}

Drawn draw_reference(const Shape &s) {
    IMG *outline = blank(s), *fill = blank(s);
    if (s.ry < 0)
        reference_circle_both(outline, fill, s.cx, s.cy, s.rx, 0xABCDEF);
    else
        reference_ellipse_both(outline, fill, s.cx, s.cy, s.rx, s.ry, 0xABCDEF);
    Drawn d = {pixel_hash(outline), pixel_hash(fill)};
    img_del(&outline);
    img_del(&fill);
    return d;
}

std::string describe(const Shape &s) {
    char text[160];
    snprintf(text, sizeof text, "%dx%d image, centre (%d, %d), radii %d %d", s.w, s.h, s.cx, s.cy, s.rx, s.ry);
    return text;
}

// A centre that puts the curve through a point near the image: a point of the
// quarter curve (picked along x or along y, so that both the flat and the
// steep parts come up) is laid onto a random point in or just beside the
// image, mirrored into a random quadrant.
Shape random_shape(Lcg &g, int bits) {
    Shape s;
    s.w = 1 + g.next() % 300;
    s.h = 1 + g.next() % 200;
    auto radius = [&] {
        int b = g.next() % (bits + 1);
        return (int32_t)(((int64_t)g.next30() & ((1ll << b) - 1)) | (1ll << b) >> 1);
    };
    s.rx = radius();
    bool circle = g.next() % 3 == 0;
    s.ry = circle ? s.rx : radius();
    double a = s.rx, b = s.ry, px, py;
    if (g.next() % 2) {
        px = a * (g.next() % 32769) / 32768.0;
        py = a > 0 ? b * std::sqrt(std::fmax(0.0, 1.0 - (px / a) * (px / a))) : b * (g.next() % 32769) / 32768.0;
    } else {
        py = b * (g.next() % 32769) / 32768.0;
        px = b > 0 ? a * std::sqrt(std::fmax(0.0, 1.0 - (py / b) * (py / b))) : a * (g.next() % 32769) / 32768.0;
    }
    int64_t tx = g.next() % (s.w + 8) - 4, ty = g.next() % (s.h + 8) - 4;
    s.cx = (int32_t)(tx + (g.next() % 2 ? -1 : 1) * (int64_t)std::llround(px));
    s.cy = (int32_t)(ty + (g.next() % 2 ? -1 : 1) * (int64_t)std::llround(py));
    if (circle) s.ry = -1;
    return s;
}

TEST(HugeShapes, RandomShapesThroughTheImageMatchTheStepping) {
    // RIVO_HUGE_RANDOM="count bits seed" runs a longer campaign.
    int n = 600, bits = 17;
    unsigned seed = 2026;
    if (const char *more = getenv("RIVO_HUGE_RANDOM")) sscanf(more, "%d %d %u", &n, &bits, &seed);
    Lcg g{seed};
    int drawn = 0;
    for (int i = 0; i < n; i++) {
        Shape s = random_shape(g, bits);
        Drawn fast = draw_fast(s), ref = draw_reference(s);
        ASSERT_EQ(fast.outline, ref.outline) << "outline: " << describe(s);
        ASSERT_EQ(fast.fill, ref.fill) << "fill: " << describe(s);
        IMG *empty = blank(s);
        drawn += fast.outline != pixel_hash(empty);
        img_del(&empty);
    }
    EXPECT_GT(drawn, n * 3 / 4);  // the curves do pass through the images
}

// Radii up to 2^31 - 1 and centres far out on every side: recorded from
// the stepping (RIVO_HUGE_REFERENCE=1 steps them again, minutes in all).
struct Golden {
    Shape s;
    uint64_t outline, fill;
};

const int32_t D = 1518500249;             // MAX / sqrt(2): the 45 degree point of radius MAX
const int32_t M = 134217727, E = 94906264;  // 2^27 - 1 and M / sqrt(2)
const Golden golden[] = {
    {{300, 200, 150, MAX, MAX, MAX - 100}, 0x3537e77f0f8a4eb9, 0xdc2da1bc9b1ea155},  // the top, from far below
    {{300, 200, 150, MAX, MAX, -1}, 0xe3742fe8e1bea9b9, 0x5c91b7fc23e9b845},         // a circle's top
    {{300, 200, 150, -MAX + 150, MAX, MAX}, 0x7c61005bbd237af9, 0x7cf6e9320e301591},  // the bottom, from far above
    {{256, 256, 128 - MAX, 100, MAX, MAX / 2}, 0x3e28d7111cc52325, 0x9b10f293dd5ca325}, // the right end
    {{300, 200, 150 - D, 100 - D, MAX, MAX}, 0x0df4bc48225a2e4d, 0x9af9855545a5ebd5},  // the 45 degree point
    {{300, 200, 150 - D, 100 - D, MAX, -1}, 0x0df4bc48225a2e4d, 0x9af9855545a5ebd5},
    {{256, 256, 128 - MAX, 100, MAX, -1}, 0x3e28d7111cc52325, 0x9b10f293dd5ca325},
    {{1, 1, -1000000000, 723987482, 1234567890, -1}, 0x172f624d3660c13e, 0x172f624d3660c13e},
    {{1, 1, -D, -D, MAX, MAX}, 0xbd580b4c9db7d869, 0x172f624d3660c13e},
    {{300, 200, 150 - MAX + 3, 100, MAX, 7}, 0x9410de3a6a7db213, 0x9410de3a6a7db213},  // flat end
    {{300, 200, -2000000000, -264, MAX, 1000}, 0x3537e77f0f8a4eb9, 0xf86d426188fae4e9},  // flat, crossed late
    {{20, 20, 10, MAX - 5, 5, MAX}, 0xfb5b32253f410d95, 0xfb5b32253f410d95},           // tall, its top end
    {{300, 200, 100 - MAX / 3, 100 + 574329, MAX / 3 + 40, MAX / 5 * 4}, 0x2e9d35e618a808c5, 0x3cc3b5ba3e6ec545},
    {{300, 200, 150, M, M, M - 100}, 0x3537e77f0f8a4eb9, 0xdc2da1bc9b1ea155},
    {{300, 200, 150 - E, 100 - E, M, M}, 0x05870399e899295d, 0xafffa454c310c27d},    // the 45 degree point
    {{256, 256, 128 - M, 100, M, M / 2}, 0x3e28d7111cc52325, 0x9b10f293dd5ca325},    // the right end, from far left
    {{300, 200, 150 - M + 3, 100, M, 7}, 0x9410de3a6a7db213, 0x9410de3a6a7db213},    // flat end: runs on rows 1, 0
    {{20, 20, 10, M - 5, 5, M}, 0xfb5b32253f410d95, 0xfb5b32253f410d95},             // tall, its top end
    {{1, 1, -E, -E, M, M}, 0xbd580b4c9db7d869, 0x172f624d3660c13e},
    {{300, 200, 150, -M + 150, M, M}, 0x7c61005bbd237af9, 0x7cf6e9320e301591},
    {{300, 200, 150, M, M, -1}, 0xe3742fe8e1bea9b9, 0x5c91b7fc23e9b845},
    {{300, 200, 150 - E, 100 - E, M, -1}, 0x05870399e899295d, 0xafffa454c310c27d},
    {{300, 200, INT32_MIN, 0, MAX, -1}, 0xce5642abe9be94a5, 0xce5642abe9be94a5},    // just out of reach
    {{300, 200, 100 - M / 3, 100 + 143582, M / 3 + 40, M / 5 * 4}, 0x2e9d35e618a808c5, 0x3cc3b5ba3e6ec545},
    {{300, 200, -124822486, -268, M, 1000}, 0x3537e77f0f8a4eb9, 0xf86d426188fae4e9},  // flat, crossed late
    {{256, 256, 128 - M, 100, M, -1}, 0x3e28d7111cc52325, 0x9b10f293dd5ca325},        // a circle's right end
};

TEST(HugeShapes, HugeShapesMatchTheirRecordedStepping) {
    const bool step = getenv("RIVO_HUGE_REFERENCE") != nullptr;
    for (const Golden &c : golden) {
        Drawn fast = draw_fast(c.s);
        EXPECT_EQ(fast.outline, c.outline) << "outline: " << describe(c.s);
        EXPECT_EQ(fast.fill, c.fill) << "fill: " << describe(c.s);
        if (!step) continue;
        Drawn ref = draw_reference(c.s);
        EXPECT_EQ(fast.outline, ref.outline) << "outline, stepped: " << describe(c.s);
        EXPECT_EQ(fast.fill, ref.fill) << "fill, stepped: " << describe(c.s);
        printf("stepped: %s: 0x%016llx, 0x%016llx\n", describe(c.s).c_str(), (unsigned long long)ref.outline,
               (unsigned long long)ref.fill);
    }
}

}  // namespace
