// The fast drawing and frame paths against their straightforward versions,
// run once for every instruction set this processor has (the ceiling of
// host/simd.h forced down in turn): ellipses drawn from the radius tables and
// by the exact walk, circles, the frame's blur and glow, the present conversion, and
// lines and spans whose walk is clipped to the image before stepping.
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
int32_t between(uint32_t &state, int32_t lo, int32_t hi) {
    return lo + (int32_t)(noise(state) % (uint32_t)(hi - lo + 1));
}

// An owned image of w x h random pixels (top bytes too, when asked).
struct Picture {
    IMG *image;
    Picture(int32_t w, int32_t h, uint32_t seed, uint32_t keep = 0x00FFFFFF) : image(img_new()) {
        img_resize(image, w, h);
        for (size_t i = 0; i < (size_t)w * (size_t)h; i++) image->pixels[i] = noise(seed) & keep;
    }
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;
    ~Picture() { img_del(&image); }
};

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
    PAIR(img_line, reference_img_line, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_line, reference_img_line, a[0], a[1], a[2], a[3], C0),
    PAIR(img_line_two_ends, reference_img_line_two_ends, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_line_blend_two_ends, reference_imgfx_line_blend_two_ends, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_line_add_two_ends, reference_imgfx_line_add_two_ends, a[0], a[1], a[2], a[3], C0),
    PAIR(imgfx_dither_line, reference_imgfx_dither_line, a[0], a[1], C0, a[2], a[3], C1),
    PAIR(imgfx_gradient_line, reference_imgfx_gradient_line, a[0], a[1], C0, a[2], a[3], C1),
    PAIR(imgfx_gradient_line_add, reference_imgfx_gradient_line_add, a[0], a[1], C0, a[2], a[3], C1),
    PAIR(imgfx_thick_dither_line, reference_imgfx_thick_dither_line, a[0], a[1], C0, a[2], a[3], C1, a[6]),
};

// `count` calls with arguments from gen on two copies of one random picture,
// the fast one and the reference; stops at the first picture that differs.
template <class Gen>
void same_drawings(const Pair &p, int32_t w, int32_t h, uint32_t seed, int count, Gen gen) {
    Picture fast(w, h, seed), ref(w, h, seed);
    for (int i = 0; i < count; i++) {
        const Args a = gen(seed);
        p.fast(fast.image, a);
        p.reference(ref.image, a);
        if (!img_compare(fast.image, ref.image)) {
            ADD_FAILURE() << p.name << " " << a[0] << "," << a[1] << " " << a[2] << "," << a[3] << " thick " << a[6]
                          << " on " << w << "x" << h;
            return;
        }
    }
}

// Centres across a w x h picture and `reach` beyond it, radii rmin .. rmax.
auto centred(int32_t w, int32_t h, int32_t reach, int32_t rmin, int32_t rmax) {
    return [=](uint32_t &s) {
        const int32_t x = between(s, -reach, w + reach), y = between(s, -reach, h + reach);
        const int32_t rx = between(s, rmin, rmax), ry = between(s, rmin, rmax);
        return Args{x, y, rx, ry, (int32_t)noise(s), 0, 0};
    };
}

// Tabled radii (0 - 63), just past them, negative, and huge ones about, above,
// below and beside a small picture (the walk stops once no later point shows).
TEST(FastEllipses, EllipsesAndCirclesMatchTheWalkOnEveryInstructionSet) {
    const struct {
        int32_t w, h, rmin, rmax, count, reach;
        bool every_level;
    } cases[] = {
        {256, 256, 0, 63, 600, 90, true},         {97, 61, -63, 63, 600, 90, true},
        {1, 300, 0, 63, 600, 90, true},           {300, 1, 0, 63, 600, 90, true},
        {256, 256, 60, 200, 600, 90, true},       {40, 300, -400, 400, 600, 90, true},
        {64, 48, 20000, 200000, 40, 300000, false}, {64, 48, 200, 5000, 200, 6000, false},
    };
    for (const auto &c : cases) {
        auto run = [&] {
            for (const Pair &p : ellipses) same_drawings(p, c.w, c.h, 11u + c.w, c.count, centred(c.w, c.h, c.reach, c.rmin, c.rmax));
        };
        if (c.every_level) every_level(run); else run();
    }
    // Circles: radii from 0 to 100,000 about, across and beside small pictures.
    const int32_t circle_cases[][3] = {{64, 48, 90}, {30, 70, 3000}, {64, 48, 100000}};
    for (const Pair &p : circles)
        for (const auto &g : circle_cases)
            same_drawings(p, g[0], g[1], 77u + g[2], 150, centred(g[0], g[1], std::max(g[2], 120), -g[2], g[2]));
}

TEST(FastEllipses, EveryTabledPairCentredMatches) {
    every_level([] {
        for (const Pair &p : ellipses) {
            Picture fast(140, 140, 5), ref(140, 140, 5);
            for (int32_t rx = 0; rx < 64; rx++) {
                for (int32_t ry = 0; ry < 64; ry++) {
                    const Args a{70, 70, rx, ry, rx * 64 + ry, 0, 0};
                    p.fast(fast.image, a);
                    p.reference(ref.image, a);
                }
            }
            EXPECT_TRUE(img_compare(fast.image, ref.image)) << p.name;
        }
    });
}

// ---- The frame's filters and the present conversion ------------------------------------

struct Size {
    int32_t w, h;
};

const Size filter_sizes[] = {{1, 1}, {2, 3}, {3, 2}, {5, 4}, {7, 3}, {8, 2}, {15, 2}, {16, 2}, {17, 3},
                             {31, 2}, {33, 2}, {63, 2}, {64, 3}, {65, 2}, {100, 3}, {256, 5}, {1030, 2}};

// Random pictures of many widths, top bytes clear, set, or small channel values.
TEST(FastFilters, BlurGlowAndConversionMatchTheReferenceOnEveryInstructionSet) {
    const int32_t radii[][3] = {{2, 2, 2}, {0, 0, 0}, {1, 1, 1}, {3, 3, 3}, {7, 7, 7}, {1, 2, 3}, {40, 0, 5}};
    every_level([&] {
        for (const Size &s : filter_sizes) {
            for (uint32_t keep : {0x00FFFFFFu, 0xFFFFFFFFu, 0x00070707u}) {
                Picture src(s.w, s.h, 3u + s.w + keep, keep);
                for (const auto &r : radii) {
                    Picture fast(s.w, s.h, 4), ref(s.w, s.h, 5);
                    imgfx_blur_h_rgb(src.image, fast.image, r[0], r[1], r[2]);
                    reference_imgfx_blur_h_rgb(src.image, ref.image, r[0], r[1], r[2]);
                    EXPECT_TRUE(img_compare(fast.image, ref.image)) << s.w << "x" << s.h << " blur " << r[0] << r[1] << r[2];
                }
                for (int32_t k : {0, 1, 3, 7, 8, 12}) {
                    Picture fast(s.w, s.h, 8), ref(s.w, s.h, 9);
                    imgfx_glow_h5(src.image, fast.image, k);
                    reference_imgfx_glow_h5(src.image, ref.image, k);
                    EXPECT_TRUE(img_compare(fast.image, ref.image)) << s.w << "x" << s.h << " glow " << k;
                }
                std::vector<uint8_t> fast((size_t)s.w * s.h * 3, 0xAA), ref((size_t)s.w * s.h * 3, 0x55);
                windpy_convert(src.image->pixels, s.w, s.h, fast.data());
                reference_windpy_convert(src.image->pixels, s.w, s.h, ref.data());
                EXPECT_EQ(fast, ref) << s.w << "x" << s.h;
            }
        }
    });
}

TEST(FastFilters, WhiteBlursToWhiteInsideAndDarkensAtTheEdges) {
    every_level([] {
        Picture src(64, 1, 1, 0), out(64, 1, 2);
        img_clear(src.image, 0x00FFFFFF);
        imgfx_blur_h_rgb(src.image, out.image, 2, 2, 2);
        // 3 of 5 window pixels inside at the edge: 765 / 5 = 153 = 0x99.
        EXPECT_EQ(out.image->pixels[0], 0x00999999u);
        EXPECT_EQ(out.image->pixels[1], 0x00CCCCCCu);
        EXPECT_EQ(out.image->pixels[2], 0x00FFFFFFu);
        EXPECT_EQ(out.image->pixels[63], 0x00999999u);
    });
}

// ---- Lines clipped before stepping -------------------------------------------------

// Ends spread over a range around a w x h picture: most lines cross its
// edges, many miss it, some are single points, axis-parallel or diagonal.
Args random_ends(uint32_t &seed, int32_t w, int32_t h, int32_t reach) {
    Args e{between(seed, -reach, w + reach), between(seed, -reach, h + reach), between(seed, -reach, w + reach),
           between(seed, -reach, h + reach), (int32_t)(noise(seed) & 0xFFFFFF), (int32_t)(noise(seed) & 0xFFFFFF),
           between(seed, 1, 16)};
    switch (noise(seed) % 8) {
    case 0: e[2] = e[0]; break;
    case 1: e[3] = e[1]; break;
    case 2: e[2] = e[0] + (e[3] - e[1]); break;
    case 3: e[2] = e[0] + between(seed, -1, 1), e[3] = e[1] + between(seed, -1, 1); break;
    default: break;
    }
    return e;
}

const Size line_pictures[] = {{200, 150}, {1, 40}, {40, 1}, {3, 3}};

TEST(FastLines, ClippedWalksMatchTheStraightforwardStepping) {
    for (const Size &s : line_pictures)
        for (int32_t reach : {5, 60, 700, 5000})
            for (const Pair &p : lines)
                same_drawings(p, s.w, s.h, 1234u + reach, 150, [&](uint32_t &seed) { return random_ends(seed, s.w, s.h, reach); });
}

TEST(FastLines, ByteMapLinesMatchTheStraightforwardStepping) {
    for (const Size &s : line_pictures) {
        for (int32_t reach : {5, 60, 700, 300000}) {
            Own<bytemap_del> fast(bytemap_new()), ref(bytemap_new());
            bytemap_resize(fast, s.w, s.h);
            bytemap_resize(ref, s.w, s.h);
            uint32_t seed = 99u + reach;
            for (int i = 0; i < 300 && !HasFailure(); i++) {
                const Args e = random_ends(seed, s.w, s.h, reach);
                bytemap_line(fast, e[0], e[1], e[2], e[3], (uint8_t)(1 + e[4] % 255));
                reference_bytemap_line(ref, e[0], e[1], e[2], e[3], (uint8_t)(1 + e[4] % 255));
                EXPECT_TRUE(bytemap_compare(fast, ref)) << e[0] << "," << e[1] << " - " << e[2] << "," << e[3];
            }
        }
    }
}

// Lines spanning the whole 32-bit plane draw just their points inside: a row,
// a column and the main diagonal of a 5 x 4 picture.
TEST(FastLines, LinesAcrossTheWholePlaneDrawTheirInsidePoints) {
    struct Case {
        int32_t x0, y0, x1, y1;
        const char *rows[4];
    } cases[] = {
        {INT32_MIN, 2, INT32_MAX, 2, {".....", ".....", "#####", "....."}},
        {3, INT32_MAX, 3, INT32_MIN, {"...#.", "...#.", "...#.", "...#."}},
        {INT32_MIN + 1, INT32_MIN + 1, INT32_MAX, INT32_MAX, {"#....", ".#...", "..#..", "...#."}},
        {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, {".....", ".....", ".....", "....."}},
    };
    for (const Case &c : cases) {
        for (auto draw : {img_line, img_line_two_ends, imgfx_line_add_two_ends}) {
            Picture p(5, 4, 0, 0);
            draw(p.image, c.x0, c.y0, c.x1, c.y1, 0x00FFFFFF);
            for (int32_t y = 0; y < 4; y++)
                for (int32_t x = 0; x < 5; x++)
                    EXPECT_EQ(img_get_pixel(p.image, x, y) != 0, c.rows[y][x] == '#')
                        << c.x0 << "," << c.y0 << " - " << c.x1 << "," << c.y1 << " at " << x << "," << y;
        }
    }
}

// The empty image of 0 x 2^31 - 1 pixels takes every drawing call and
// returns at once; a generous bound guards against a walk of two billion
// steps (the costs themselves are measured in the benchmarks).
TEST(FastLines, AnEmptyImageReturnsAtOnceFromEveryDrawing) {
    const auto start = std::chrono::steady_clock::now();
    IMG *image = img_new();
    img_resize(image, 0, INT32_MAX);
    ASSERT_NE(image->pixels, nullptr);
    BYTEMAP *map = bytemap_new();
    bytemap_resize(map, 0, INT32_MAX);
    const int32_t far = INT32_MAX;
    img_line(image, 0, 0, 0, far, 1);
    img_line(image, -far, 0, far, far, 1);
    img_line_two_ends(image, 0, 0, 0, far, 1);
    img_vline(image, 0, 0, far, 1);
    img_hline(image, 5, -far, far, 1);
    img_ellipse(image, 0, 0, far, far, 1);
    img_fill_ellipse(image, 0, 0, far, far, 1);
    img_circle(image, 0, 0, far, 1);
    img_fill_circle(image, 0, 0, far, 1);
    img_circle_sine(image, 0, 0, far, 1);
    imgfx_dither_line(image, 0, 0, 1, 0, far, 2);
    imgfx_gradient_line(image, 0, 0, 1, 0, far, 2);
    imgfx_line_blend_two_ends(image, 0, 0, 0, far, 1);
    imgfx_thick_line(image, 0, 0, 0, far, 1, far);
    imgfx_thick_dither_line(image, 0, 0, 1, far, far, 2, far);
    imgfx_vline_alpha(image, 0, 0, far, 1, 128);
    bytemap_line(map, -1, 0, 1, far, 1);
    bytemap_vline(map, 0, 0, far, 1);
    img_del(&image);
    bytemap_del(&map);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Thick lines of any thickness in an ordinary picture draw only the
// parallels that can meet it.
TEST(FastLines, HugeThicknessCostsOnlyTheParallelsInside) {
    const auto start = std::chrono::steady_clock::now();
    Picture p(8, 6, 0, 0);
    imgfx_thick_line(p.image, 0, 0, 2, 40, 0x00FFFFFF, INT32_MAX);  // steep: columns side by side
    imgfx_thick_dither_line(p.image, 0, 0, 1, 40, 3, 2, INT32_MAX);  // shallow: rows stacked
    imgfx_thick_line(p.image, 0, 0, 40, 30, 0x00FFFFFF, INT32_MAX);  // diagonal pairs
    for (int32_t i = 0; i < 8 * 6; i++) EXPECT_NE(p.image->pixels[i], 0u) << i;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
