// The fast drawing and frame paths against their straightforward versions,
// run once for every instruction set this processor has (the ceiling of
// host/simd.h forced down in turn): ellipses drawn from the radius tables and
// by the exact walk, circles, the frame's blur and glow, the present
// conversion, lines and spans whose walk is clipped to the image before
// stepping, thick lines against their parallels drawn one by one, and the
// saturating colour passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "bench/reference_ellipse.h"
#include "bench/reference_imgfx.h"
#include "bench/reference_lines.h"
#include "bench/reference_windpy.h"
#include "host/simd.h"
#include "host/windpy.h"
#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "tests/test_owned.h"

namespace {

uint32_t noise(uint32_t &state) {
    state = state * 1664525u + 1013904223u;
    return state ^ (state >> 15);
}

// A value in lo .. hi.
int32_t between(uint32_t &state, int32_t lo, int32_t hi) { return lo + (int32_t)(noise(state) % (uint32_t)(hi - lo + 1)); }

// An owned image of w x h random pixels (kept to `keep`, or one in eight
// white and the rest dark when `sparse`).
Own<img_del> picture(int32_t w, int32_t h, uint32_t seed, uint32_t keep = 0x00FFFFFF, bool sparse = false) {
    Own<img_del> image(img_new());
    img_resize(image, w, h);
    for (size_t i = 0; i < (size_t)w * (size_t)h; i++) {
        const uint32_t r = noise(seed);
        image->pixels[i] = sparse && (r & 7) == 0 ? 0x00FFFFFF : r & keep;
    }
    return image;
}

// Runs f once per instruction set the processor has, the ceiling lowered to it.
template <typename F>
void every_level(F f) {
    for (int level = SIMD_PLAIN; level <= simd_best(); level++) {
        SCOPED_TRACE("instruction set level " + std::to_string(level));
        EXPECT_EQ(simd_limit((simd_level)level), level);
        f();
    }
    simd_limit(SIMD_AVX512);
}

// ---- Random draws against the straightforward versions --------------------------

// One drawing call's arguments (positions, radii or ends, two colours, a thickness).
using Args = std::array<int32_t, 7>;
using Draw = void (*)(IMG *, const Args &);
struct Pair {
    const char *name;
    Draw fast, reference;
};
#define DRAW(f, ...) [](IMG *i, const Args &a) { f(i, __VA_ARGS__); }
#define PAIR(f, r, ...) Pair{#f, DRAW(f, __VA_ARGS__), DRAW(r, __VA_ARGS__)}
#define C0 (uint32_t) a[4]
#define C1 (uint32_t) a[5]

const Pair ellipses[] = {PAIR(img_ellipse, reference_ellipse, a[0], a[1], a[2], a[3], C0),
                         PAIR(img_fill_ellipse, reference_fill_ellipse, a[0], a[1], a[2], a[3], C0)};
const Pair circles[] = {PAIR(img_circle, reference_circle, a[0], a[1], a[2], C0),
                        PAIR(img_fill_circle, reference_fill_circle, a[0], a[1], a[2], C0)};
const Pair lines[] = {
    PAIR(img_line, reference_img_line, a[0], a[1], a[2], a[3], C0), PAIR(imgfx_line, reference_img_line, a[0], a[1], a[2], a[3], C0),
    PAIR(img_line_two_ends, reference_img_line_two_ends, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_line_two_ends, reference_img_line_two_ends, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_line_blend_two_ends, reference_imgfx_line_blend_two_ends, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_line_add_two_ends, reference_imgfx_line_add_two_ends, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_dither_line, reference_imgfx_dither_line, a[0], a[1], C0, a[2], a[3], C1),
    PAIR(imgfx_gradient_line, reference_imgfx_gradient_line, a[0], a[1], C0, a[2], a[3], C1),
    PAIR(imgfx_gradient_line_add, reference_imgfx_gradient_line_add, a[0], a[1], C0, a[2], a[3], C1),
    PAIR(imgfx_thick_dither_line, reference_imgfx_thick_dither_line, a[0], a[1], C0, a[2], a[3], C1, a[6]),
};

// The arguments one after another on two copies of one random picture, the
// fast one and the reference; stops at the first picture that differs.
template <class Gen>
void same_drawings(const Pair &p, int32_t w, int32_t h, uint32_t seed, int count, Gen gen) {
    auto fast = picture(w, h, seed), ref = picture(w, h, seed);
    for (int i = 0; i < count; i++) {
        const Args a = gen(seed, i);
        p.fast(fast, a);
        p.reference(ref, a);
        if (!img_compare(fast, ref)) {
            ADD_FAILURE() << p.name << " " << a[0] << "," << a[1] << " " << a[2] << "," << a[3] << " thick " << a[6] << " on " << w << "x" << h;
            return;
        }
    }
}

// Centres across a w x h picture and `reach` beyond it, radii rmin .. rmax.
auto centred(int32_t w, int32_t h, int32_t reach, int32_t rmin, int32_t rmax) {
    return [=](uint32_t &s, int) {
        const int32_t x = between(s, -reach, w + reach), y = between(s, -reach, h + reach);
        const int32_t rx = between(s, rmin, rmax), ry = between(s, rmin, rmax);
        return Args{x, y, rx, ry, (int32_t)noise(s), 0, 0};
    };
}

// Tabled radii (0 - 63), just past them, negative, and huge ones about, above,
// below and beside a small picture (the walk stops once no later point shows);
// the fast walk's 32-, 64- and 128-bit error terms change over at radius 150
// and 32767.
TEST(FastEllipses, EllipsesAndCirclesMatchTheWalkOnEveryInstructionSet) {
    const struct {
        int32_t w, h, rmin, rmax, count, reach;
        bool every_level;
    } cases[] = {
        {256, 256, 0, 63, 600, 90, true},  {97, 61, -63, 63, 600, 90, true},   {1, 300, 0, 63, 600, 90, true},
        {300, 1, 0, 63, 600, 90, true},    {256, 256, 60, 200, 600, 90, true}, {40, 300, -400, 400, 600, 90, true},
        {61, 47, -3, 3, 300, 80, true},    {64, 48, 20000, 200000, 40, 300000, false},
        {64, 48, 200, 5000, 200, 6000, false}, {300, 200, 145, 185, 100, 200, false}, {300, 200, 32760, 32775, 30, 33000, false},
    };
    for (const auto &c : cases) {
        auto run = [&] {
            for (const Pair &p : ellipses) same_drawings(p, c.w, c.h, 11u + c.w, c.count, centred(c.w, c.h, c.reach, c.rmin, c.rmax));
        };
        if (c.every_level) every_level(run); else run();
    }
    // Centres on, just inside and just outside every edge and corner of a 20 x 16 picture.
    const int32_t xs[] = {-9, -1, 0, 1, 9, 18, 19, 20, 28}, ys[] = {-7, -1, 0, 1, 8, 14, 15, 16, 22};
    const int32_t radii[][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {7, 3}, {3, 7}, {9, 9}, {25, 2}, {2, 25}};
    for (const Pair &p : ellipses)
        same_drawings(p, 20, 16, 777, 9 * 9 * 9, [&](uint32_t &s, int i) {
            return Args{xs[i % 9], ys[i / 9 % 9], radii[i / 81][0], radii[i / 81][1], (int32_t)noise(s), 0, 0};
        });
    const int32_t wide[][4] = {{150, 100, 32766, 5},    {150, 100, 32767, 32767}, {150, 100, 32768, 3},     {150, 100, 3, 32768},
                               {150, 100, 33000, 200},  {150, -32650, 32767, 32767}, {-32660, 100, 32767, 100}, {150, 100, 32767, 0},
                               {150, 100, 0, 32767},    {0, 0, 1000, 20000},      {299, 199, 40000, 40000}, {150, 40100, 40000, 40000},
                               {150, 100, -32767, -32767}};
    for (const Pair &p : ellipses)
        same_drawings(p, 300, 200, 5150, 13, [&](uint32_t &s, int i) { return Args{wide[i][0], wide[i][1], wide[i][2], wide[i][3], (int32_t)noise(s), 0, 0}; });
    // Circles: radii from 0 to 100,000 about, across and beside small pictures.
    const int32_t circle_cases[][3] = {{64, 48, 90}, {30, 70, 3000}, {64, 48, 100000}};
    for (const Pair &p : circles)
        for (const auto &g : circle_cases)
            same_drawings(p, g[0], g[1], 77u + g[2], 150, centred(g[0], g[1], std::max(g[2], 120), -g[2], g[2]));
}

TEST(FastEllipses, EveryTabledPairCentredMatches) {
    every_level([] {
        for (const Pair &p : ellipses) {
            auto fast = picture(140, 140, 5), ref = picture(140, 140, 5);
            for (int32_t i = 0; i < 64 * 64; i++) {
                const Args a{70, 70, i / 64, i % 64, i, 0, 0};
                p.fast(fast, a), p.reference(ref, a);
            }
            EXPECT_TRUE(img_compare(fast, ref)) << p.name;
        }
    });
}

// A list of filled ellipses drawn at once against the same drawn one by one:
// lengths about the one where the list starts being drawn from its end, a
// frame, one pixel, thin and empty images (rows starting at every word of a
// line), radii negative, tabled, just past the tables and huge.
TEST(FastEllipses, AListDrawsWhatItsEllipsesDrawInTurn) {
    const int32_t cases[][6] = {  // w, h, list length, reach, rmin, rmax
        {256, 256, 0, 90, 0, 63},     {256, 256, 1, 90, 0, 63},      {256, 256, 64, 90, 0, 63},   {256, 256, 191, 90, 0, 63},
        {256, 256, 192, 90, 0, 63},   {256, 256, 193, 90, -63, 63},  {256, 256, 500, 90, -63, 63}, {256, 256, 2000, 90, 0, 63},
        {1, 1, 300, 70, -63, 63},     {300, 7, 500, 90, -63, 63},    {7, 300, 500, 90, -63, 63},  {0, 40, 300, 60, 0, 63},
        {97, 61, 300, 90, -64, 64},   {40, 30, 300, 300, 0, 63},     {64, 48, 200, 80000, -70000, 70000},
    };
    every_level([&] {
        for (const auto &c : cases) {
            auto fast = picture(c[0], c[1], 3), ref = picture(c[0], c[1], 3);
            std::vector<IMG_ELLIPSE> list;
            uint32_t s = 5u + (uint32_t)c[2];
            for (int32_t i = 0; i < c[2]; i++) {
                const Args a = centred(c[0], c[1], c[3], c[4], c[5])(s, i);
                list.push_back(IMG_ELLIPSE{a[0], a[1], a[2], a[3], (uint32_t)a[4]});
                img_fill_ellipse(ref, a[0], a[1], a[2], a[3], (uint32_t)a[4]);
            }
            img_fill_ellipses(fast, list.data(), c[2]);
            EXPECT_TRUE(img_compare(fast, ref)) << c[0] << "x" << c[1] << ", " << c[2] << " ellipses";
        }
    });
}

// Centres -3..47 put the filled spans' starts on every word of a cache line
// and the ends on every word after it; the widths start lines mid-row too.
TEST(FastEllipses, FilledSpansOnEveryWordOfALine) {
    every_level([] {
        for (int32_t w : {16, 37, 64, 100}) {
            auto fast = picture(w, 40, 1), ref = picture(w, 40, 1);
            for (int32_t cx = -3; cx < 48; cx++)
                for (int32_t rx : {0, 1, 6, 7, 8, 15, 16, 17, 40}) {
                    img_fill_ellipse(fast, cx, (cx + rx) % 40, rx, rx % 5, (uint32_t)(cx * 64 + rx));
                    reference_fill_ellipse(ref, cx, (cx + rx) % 40, rx, rx % 5, (uint32_t)(cx * 64 + rx));
                }
            EXPECT_TRUE(img_compare(fast, ref)) << "width " << w;
        }
    });
}

// ---- The frame's filters and the present conversion ------------------------------------

// Random pictures of many widths (around every lane count), top bytes clear,
// set, small channel values, sparse white, or all white; the frame's radii,
// small, mixed and wide ones for the blur, every shift for the glow.
TEST(FastFilters, BlurGlowAndConversionMatchTheReferenceOnEveryInstructionSet) {
    const std::array<int32_t, 2> sizes[] = {{1, 1}, {2, 3}, {3, 2}, {5, 4},  {7, 3},  {8, 2},   {15, 2},  {16, 2},  {17, 3}, {31, 2},
                                            {33, 2}, {63, 2}, {64, 3}, {65, 2}, {100, 3}, {255, 3}, {256, 5}, {1030, 2}, {2, 300}, {1, 257}};
    const int32_t radii[][3] = {{2, 2, 2}, {0, 0, 0}, {1, 1, 1}, {3, 3, 3}, {5, 5, 5}, {7, 7, 7}, {8, 8, 8},
                                {9, 9, 9}, {1, 2, 3}, {3, 0, 7}, {0, 5, 0}, {40, 0, 5}, {64, 1, 30}, {200, 200, 200}, {2100, 3, 5000}};
    const std::pair<uint32_t, bool> fills[] = {{0x00FFFFFF, false}, {0xFFFFFFFF, false}, {0x00070707, false}, {0x00030303, true}, {0, false}};
    // The reference once, then the fast path at every level into stale words
    // (each must be overwritten).
    auto same = [](const IMG *src, int32_t w, int32_t h, bool glow, int32_t a, int32_t b = 0, int32_t c = 0) {
        auto ref = picture(w, h, 5);
        if (glow) reference_imgfx_glow_h5(src, ref, a);
        else reference_imgfx_blur_h_rgb(src, ref, a, b, c);
        every_level([&] {
            auto fast = picture(w, h, 4);
            if (glow) imgfx_glow_h5(src, fast, a);
            else imgfx_blur_h_rgb(src, fast, a, b, c);
            EXPECT_TRUE(img_compare(fast, ref)) << src->width << "x" << src->height << " to " << w << "x" << h << (glow ? " glow " : " blur ") << a << " " << b << " " << c;
        });
    };
    for (const auto &size : sizes)
        for (auto [keep, sparse] : fills) {
            const int32_t w = size[0], h = size[1];  // named, not bound: lambdas below take them
            auto src = picture(w, h, 3u + w + keep, keep, sparse);
            if (!keep) img_clear(src, 0x00FFFFFF);
            for (const auto &r : radii) same(src, w, h, false, r[0], r[1], r[2]);
            for (int32_t k : {0, 1, 3, 7, 8, 12, 31}) same(src, w, h, true, k);
            for (int32_t k = 0; k <= 31 && w == 1030; k++) same(src, w, h, true, k);
            std::vector<uint8_t> ref((size_t)w * h * 3, 0x55);
            reference_windpy_convert(src->pixels, w, h, ref.data());
            every_level([&] {
                std::vector<uint8_t> fast((size_t)w * h * 3, 0xAA);
                windpy_convert(src->pixels, w, h, fast.data());
                EXPECT_EQ(fast, ref) << w << "x" << h;
            });
        }
    // Each radius up to the largest the 16-bit lanes take, and past it.
    for (int32_t r = 0; r <= 130; r++) {
        auto src = picture(300, 2, 1000 + r);
        if (r % 2) img_clear(src, 0x00FFFFFF);
        same(src, 300, 2, false, r, r, r);
        same(src, 300, 2, false, r, 130 - r, r / 2);
    }
    // Every width to 40 (each switch between masked and whole groups) and one
    // longer than any row buffer the narrower paths keep.
    for (int32_t w = 1; w <= 41; w++) {
        auto src = picture(w <= 40 ? w : 5000, 3, (uint32_t)w);
        same(src, src->width, 3, false, 2, 2, 2);
        for (int32_t k : {0, 3, 7}) same(src, src->width, 3, true, k);
    }
    // The conversion into bytes at every offset from a cache line (70 and 200
    // leave whole 64-pixel groups after the stretch that aligns the stores).
    for (int32_t w : {5, 70, 200}) {
        auto src = picture(w, 3, (uint32_t)w);
        std::vector<uint8_t> ref((size_t)w * 9);
        reference_windpy_convert(src->pixels, w, 3, ref.data());
        every_level([&] {
            for (size_t offset = 0; offset < 64; offset++) {
                alignas(64) uint8_t out[64 + 200 * 9];
                windpy_convert(src->pixels, w, 3, out + offset);
                EXPECT_EQ(std::vector<uint8_t>(out + offset, out + offset + ref.size()), ref) << w << " at " << offset;
            }
        });
    }
    auto small = picture(5, 3, 5);
    for (auto [w, h] : {std::pair{7, 4}, {2, 2}}) same(small, w, h, false, 2, 1, 0), same(small, w, h, true, 1);  // unequal sizes
    every_level([&] {
        for (int32_t k : {0, 3, -1}) {  // in place, in the stated order; -1: the blur with zero radii
            auto a = picture(37, 5, 77), b = picture(37, 5, 77);
            if (k < 0) imgfx_blur_h_rgb(a, a, 0, 0, 0), reference_imgfx_blur_h_rgb(b, b, 0, 0, 0);
            else imgfx_glow_h5(a, a, k), reference_imgfx_glow_h5(b, b, k);
            EXPECT_TRUE(img_compare(a, b)) << k;
        }
    });
}

// ---- Lines clipped before stepping -------------------------------------------------

// Ends spread over a range around a w x h picture: most lines cross its
// edges, many miss it, some are single points, axis-parallel or diagonal.
Args random_ends(uint32_t &seed, int32_t w, int32_t h, int32_t reach) {
    Args e{between(seed, -reach, w + reach), between(seed, -reach, h + reach), between(seed, -reach, w + reach),
           between(seed, -reach, h + reach), (int32_t)(noise(seed) & 0xFFFFFF), (int32_t)(noise(seed) & 0xFFFFFF), between(seed, 1, 40)};
    switch (noise(seed) % 8) {
    case 0: e[2] = e[0]; break;
    case 1: e[3] = e[1]; break;
    case 2: e[2] = e[0] + (e[3] - e[1]); break;
    case 3: e[2] = e[0] + between(seed, -1, 1), e[3] = e[1] + between(seed, -1, 1); break;
    default: break;
    }
    return e;
}

const std::array<int32_t, 2> line_pictures[] = {{200, 150}, {64, 64}, {1, 40}, {40, 1}, {3, 3}};

TEST(FastLines, ClippedWalksMatchTheStraightforwardStepping) {
    for (const auto &size : line_pictures)
        for (int32_t reach : {5, 60, 700, 5000})
            for (const Pair &p : lines)
                same_drawings(p, size[0], size[1], 1234u + reach, 150, [&](uint32_t &seed, int) { return random_ends(seed, size[0], size[1], reach); });
    for (auto [w, h] : line_pictures)
        for (int32_t reach : {5, 60, 700, 300000}) {
            Own<bytemap_del> fast(bytemap_new()), ref(bytemap_new());
            bytemap_resize(fast, w, h), bytemap_resize(ref, w, h);
            uint32_t seed = 99u + reach;
            for (int i = 0; i < 300 && !HasFailure(); i++) {
                const Args e = random_ends(seed, w, h, reach);
                bytemap_line(fast, e[0], e[1], e[2], e[3], (uint8_t)(1 + e[4] % 255));
                reference_bytemap_line(ref, e[0], e[1], e[2], e[3], (uint8_t)(1 + e[4] % 255));
                EXPECT_TRUE(bytemap_compare(fast, ref)) << e[0] << "," << e[1] << " - " << e[2] << "," << e[3];
            }
        }
}

// Lines spanning the whole 32-bit plane draw just their points inside: a row,
// a column and the main diagonal of a 5 x 4 picture.
TEST(FastLines, LinesAcrossTheWholePlaneDrawTheirInsidePoints) {
    const std::pair<std::array<int32_t, 4>, const char *> cases[] = {
        {{INT32_MIN, 2, INT32_MAX, 2}, ".....|.....|#####|....."},
        {{3, INT32_MAX, 3, INT32_MIN}, "...#.|...#.|...#.|...#."},
        {{INT32_MIN + 1, INT32_MIN + 1, INT32_MAX, INT32_MAX}, "#....|.#...|..#..|...#."},
        {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, "#....|.#...|..#..|...#."},
        {{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX}, ".....|.....|.....|....."},
    };
    for (const auto &[e, rows] : cases)
        for (auto draw : {img_line, img_line_two_ends, imgfx_line_add_two_ends}) {
            auto p = picture(5, 4, 0, 0);
            draw(p, e[0], e[1], e[2], e[3], 0x00FFFFFF);
            std::string got;
            for (int32_t i = 0; i < 20; i++) got += std::string(i && i % 5 == 0 ? "|" : "") + (p->pixels[i] ? "#" : ".");
            EXPECT_EQ(got, rows) << e[0] << "," << e[1] << " - " << e[2] << "," << e[3];
        }
}

// The empty image of 0 x 2^31 - 1 pixels takes every drawing call and
// returns at once; so does a thick line of any thickness, drawing only the
// parallels that meet the picture. A generous bound guards against a walk of
// two billion steps (the costs themselves are measured in the benchmarks).
TEST(FastLines, EmptyImagesAndHugeThicknessReturnAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    Own<img_del> image(img_new());
    img_resize(image, 0, INT32_MAX);
    ASSERT_NE(image->pixels, nullptr);
    Own<bytemap_del> map(bytemap_new());
    bytemap_resize(map, 0, INT32_MAX);
    const int32_t far = INT32_MAX;
    img_line(image, 0, 0, 0, far, 1), img_line(image, -far, 0, far, far, 1), img_line_two_ends(image, 0, 0, 0, far, 1);
    img_vline(image, 0, 0, far, 1), img_hline(image, 5, -far, far, 1);
    img_ellipse(image, 0, 0, far, far, 1), img_fill_ellipse(image, 0, 0, far, far, 1);
    img_circle(image, 0, 0, far, 1), img_fill_circle(image, 0, 0, far, 1), img_circle_sine(image, 0, 0, far, 1);
    imgfx_dither_line(image, 0, 0, 1, 0, far, 2), imgfx_gradient_line(image, 0, 0, 1, 0, far, 2);
    imgfx_line_blend_two_ends(image, 0, 0, 0, far, 1), imgfx_vline_alpha(image, 0, 0, far, 1, 128);
    imgfx_thick_line(image, 0, 0, 0, far, 1, far), imgfx_thick_dither_line(image, 0, 0, 1, far, far, 2, far);
    bytemap_line(map, -1, 0, 1, far, 1), bytemap_vline(map, 0, 0, far, 1);
    auto p = picture(8, 6, 0, 0);
    imgfx_thick_line(p, 0, 0, 2, 40, 0x00FFFFFF, INT32_MAX);  // steep: columns side by side
    imgfx_thick_dither_line(p, 0, 0, 1, 40, 3, 2, INT32_MAX);  // shallow: rows stacked
    imgfx_thick_line(p, 0, 0, 40, 30, 0x00FFFFFF, INT32_MAX);  // diagonal pairs
    for (int32_t i = 0; i < 8 * 6; i++) EXPECT_NE(p->pixels[i], 0u) << i;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// ---- Thick lines by steps and by the parallels that show --------------------------

const int32_t MAX = INT32_MAX, MIN = INT32_MIN;
using Line = std::array<int32_t, 5>;  // x0, y0, x1, y1, thickness

void plain_line(IMG *i, int32_t x0, int32_t y0, uint32_t c, int32_t x1, int32_t y1, uint32_t) { imgfx_line(i, x0, y0, x1, y1, c); }

// A thick line by the program and by `line` on every parallel, on two copies of a picture.
bool same_thick(int32_t w, int32_t h, const Line &l, bool dither, reference_dither_fn line) {
    auto fast = picture(w, h, 7u + w), slow = picture(w, h, 7u + w);
    const uint32_t c0 = 0x102030, c1 = dither ? 0xF0E0D0 : c0;  // a plain line's colour stays when ends swap
    if (dither) imgfx_thick_dither_line(fast, l[0], l[1], c0, l[2], l[3], c1, l[4]);
    else imgfx_thick_line(fast, l[0], l[1], l[2], l[3], c0, l[4]);
    reference_thick_parallels(slow, l[0], l[1], c0, l[2], l[3], c1, l[4], dither ? line : plain_line);
    EXPECT_TRUE(img_compare(fast, slow)) << dither << " " << l[0] << "," << l[1] << " " << l[2] << "," << l[3] << " thick " << l[4] << " on " << w << "x" << h;
    return img_compare(fast, slow);
}

// Every direction from a centre (the square ring of radius 14); ends where
// offsets wrap past 32 bits, lines across the plane and thicknesses of
// thousands, against the single lines (checked against their walks above).
TEST(FastThickLines, StepsDrawWhatTheParallelsDraw) {
    for (int32_t k = 0; k < 8 * 14; k++) {
        const int32_t side = k / 28, p = k % 28 - 14;
        const int32_t x = side == 0 ? p : side == 1 ? 14 : side == 2 ? -p : -14;
        const int32_t y = side == 0 ? -14 : side == 1 ? p : side == 2 ? 14 : -p;
        for (int32_t t = 1; t <= 9; t++)
            if (!same_thick(33, 33, {16, 16, 16 + x, 16 + y, t}, true, reference_imgfx_dither_line)) return;
    }
    const Line cases[] = {
        {MAX - 5, 0, MAX - 2, 40, 30},       {MIN + 3, 2, MIN + 5, 30, 40},     {0, MAX - 3, 40, MAX - 1, 30},
        {2, MIN + 1, 50, MIN + 4, 40},       {MAX - 20, MAX - 20, MAX - 5, MAX - 2, 60},
        {MIN + 2, MAX - 3, MIN + 30, MAX - 25, 60}, {MIN, 0, MAX, 3, 9},   {-5, MIN, 5, MAX, 11},
        {MIN, MIN, MAX, MAX, 7},             {MIN, MAX, MAX, MIN, 7},           {0, 0, 2, 40, 20001},
        {0, 0, 40, 3, 20001},                {0, 0, 40, 30, 20001},             {3, 40, 0, 0, 20001},
        {MAX - 100, 0, MAX - 90, 50, 20001}, {MIN + 10, 3, MIN + 60, 9, 20001}, {-7, 3, 5, 4, 1},
        {-3000, -2000, 3000, 2500, 9},       {-3000, 2500, 3000, -2000, 14},   {2, -900, 5, 1200, 5},
        {-2000, 3, 2000, 5, 9},              {-2000, 5, 2000, 2, 6},
    };
    for (const Line &l : cases)
        for (bool dither : {true, false}) same_thick(8, 6, l, dither, imgfx_dither_line);
}

// A thickness of 2^31 - 1 costs only the parallels that can show, wrapping
// or not: the same pixels as a thickness that already holds them all.
TEST(FastThickLines, HugeThicknessCostsWhatShows) {
    const auto start = std::chrono::steady_clock::now();
    const std::pair<Line, int32_t> cases[] = {
        {{MAX - 5, 0, MAX - 2, 40, MAX}, 41},  // steep: only the parallels whose far end wraps cross the picture
        {{0, MAX - 3, 40, MAX - 1, MAX}, 41},  // shallow, likewise
        {{MAX - 20, MAX - 20, MAX - 5, MAX - 2, MAX}, 81},
    };
    for (const auto &[l, enough] : cases)
        for (bool dither : {true, false}) {
            auto huge = picture(8, 6, 5), held = picture(8, 6, 5);
            for (auto [image, t] : {std::pair{(IMG *)huge, l[4]}, {(IMG *)held, enough}})
                if (dither) imgfx_thick_dither_line(image, l[0], l[1], 0x0000FF, l[2], l[3], 0xFF0000, t);
                else imgfx_thick_line(image, l[0], l[1], l[2], l[3], 0x00FF00, t);
            EXPECT_TRUE(img_compare(huge, held)) << l[0] << "," << l[1];
        }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Saturating add and subtract per channel, the top byte cleared, on runs
// of 1 to 9 pixels (whole groups of four and the rest) at every level.
TEST(FastColourPasses, AddAndSubtractSaturatePerChannel) {
    const std::array<uint32_t, 4> cases[] = {  // pixel, colour, added, subtracted
        {0x00102030, 0x00050505, 0x00152535, 0x000B1B2B},
        {0xFF80FF01, 0x00FF0102, 0x00FFFF03, 0x0000FE00},
        {0x00FFFFFF, 0xFF010101, 0x00FFFFFF, 0x00FEFEFE},
        {0x7F000000, 0x00000000, 0x00000000, 0x00000000},
    };
    every_level([&] {
        for (const auto &c : cases)
            for (int32_t n = 1; n <= 9; n++) {
                auto a = picture(n, 1, 0, 0), s = picture(n, 1, 0, 0);
                img_clear(a, c[0]), img_clear(s, c[0]);
                img_add_colour(a, c[1]), img_sub_colour(s, c[1]);
                for (int32_t x = 0; x < n; x++)
                    EXPECT_TRUE(a->pixels[x] == c[2] && s->pixels[x] == c[3]) << std::hex << a->pixels[x] << " " << s->pixels[x] << " pixel " << x << " of " << n;
            }
    });
}

}  // namespace
