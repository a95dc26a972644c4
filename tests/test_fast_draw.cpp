// The fast drawing and frame paths against their straightforward versions,
// run once for every instruction set this processor has (the ceiling of
// host/simd.h forced down in turn): ellipses drawn from the radius tables and
// by the exact walk, circles, the frame's blur and glow, the present conversion, and
// lines and spans whose walk is clipped to the image before stepping.
#include <gtest/gtest.h>

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

// ---- Ellipses ---------------------------------------------------------------------

using EllipseDraw = void (*)(IMG *, int32_t, int32_t, int32_t, int32_t, uint32_t);

struct EllipseCase {
    EllipseDraw fast, reference;
    const char *name;
};

const EllipseCase ellipse_cases[] = {
    {img_ellipse, reference_ellipse, "outline"},
    {img_fill_ellipse, reference_fill_ellipse, "filled"},
};

// Many ellipses on one picture each way: centres inside, across the edges
// and outside, radii of the tables (0 - 63), just past them and negative.
void same_ellipses(const EllipseCase &c, int32_t w, int32_t h, int32_t rmin, int32_t rmax, uint32_t seed,
                   int count = 600, int32_t reach = 90) {
    Picture fast(w, h, seed), ref(w, h, seed);
    for (int i = 0; i < count; i++) {
        const int32_t x = between(seed, -reach, w + reach), y = between(seed, -reach, h + reach);
        const int32_t rx = between(seed, rmin, rmax), ry = between(seed, rmin, rmax);
        const uint32_t colour = noise(seed);
        c.fast(fast.image, x, y, rx, ry, colour);
        c.reference(ref.image, x, y, rx, ry, colour);
        if (!img_compare(fast.image, ref.image)) {
            ADD_FAILURE() << c.name << " ellipse " << x << "," << y << " radii " << rx << "," << ry << " on " << w
                          << "x" << h;
            return;
        }
    }
}

TEST(FastEllipses, TabledRadiiMatchTheWalkOnEveryInstructionSet) {
    every_level([] {
        for (const EllipseCase &c : ellipse_cases) {
            same_ellipses(c, 256, 256, 0, 63, 11);
            same_ellipses(c, 97, 61, -63, 63, 12);
            same_ellipses(c, 1, 300, 0, 63, 13);
            same_ellipses(c, 300, 1, 0, 63, 14);
        }
    });
}

TEST(FastEllipses, RadiiBeyondTheTablesMatchTheWalk) {
    every_level([] {
        for (const EllipseCase &c : ellipse_cases) {
            same_ellipses(c, 256, 256, 60, 200, 21);
            same_ellipses(c, 40, 300, -400, 400, 22);
        }
    });
}

// Walks that stop once no later point can show: huge ellipses about, above,
// below and beside a small picture.
TEST(FastEllipses, HugeRadiiMatchTheWalk) {
    for (const EllipseCase &c : ellipse_cases) {
        same_ellipses(c, 64, 48, 20000, 200000, 31, 40, 300000);
        same_ellipses(c, 64, 48, 200, 5000, 32, 200, 6000);
    }
}

TEST(FastEllipses, EveryTabledPairCentredMatches) {
    every_level([] {
        for (const EllipseCase &c : ellipse_cases) {
            Picture fast(140, 140, 5), ref(140, 140, 5);
            for (int32_t rx = 0; rx < 64; rx++) {
                for (int32_t ry = 0; ry < 64; ry++) {
                    c.fast(fast.image, 70, 70, rx, ry, (uint32_t)(rx * 64 + ry));
                    c.reference(ref.image, 70, 70, rx, ry, (uint32_t)(rx * 64 + ry));
                }
            }
            EXPECT_TRUE(img_compare(fast.image, ref.image)) << c.name;
        }
    });
}

// Circles whose walk stops once no later point or span can show, against the
// full walk: radii from 0 to 100,000 about, across and beside small pictures.
TEST(FastCircles, EarlyStoppedWalksMatchTheFullWalk) {
    using CircleDraw = void (*)(IMG *, int32_t, int32_t, int32_t, uint32_t);
    const struct {
        CircleDraw fast, reference;
    } cases[] = {{img_circle, reference_circle}, {img_fill_circle, reference_fill_circle}};
    const struct {
        int32_t w, h, rmax, reach;
    } ranges[] = {{64, 48, 90, 120}, {30, 70, 3000, 3000}, {64, 48, 100000, 100000}};
    for (const auto &c : cases) {
        for (const auto &g : ranges) {
            uint32_t seed = 77 + (uint32_t)g.rmax;
            Picture fast(g.w, g.h, seed), ref(g.w, g.h, seed);
            for (int i = 0; i < 150; i++) {
                const int32_t x = between(seed, -g.reach, g.w + g.reach), y = between(seed, -g.reach, g.h + g.reach);
                const int32_t r = between(seed, -g.rmax, g.rmax);
                const uint32_t colour = noise(seed);
                c.fast(fast.image, x, y, r, colour);
                c.reference(ref.image, x, y, r, colour);
                if (!img_compare(fast.image, ref.image)) {
                    ADD_FAILURE() << "circle " << x << "," << y << " radius " << r << " on " << g.w << "x" << g.h;
                    break;
                }
            }
        }
    }
}

// ---- The frame's filters and the present conversion ------------------------------------

struct Size {
    int32_t w, h;
};

const Size filter_sizes[] = {{1, 1}, {2, 3}, {3, 2}, {5, 4}, {7, 3}, {8, 2}, {15, 2}, {16, 2}, {17, 3},
                             {31, 2}, {33, 2}, {63, 2}, {64, 3}, {65, 2}, {100, 3}, {256, 5}, {1030, 2}};

TEST(FastFilters, BlurMatchesTheReferenceOnEveryInstructionSet) {
    const int32_t radii[][3] = {{2, 2, 2}, {0, 0, 0}, {1, 1, 1}, {3, 3, 3}, {7, 7, 7}, {1, 2, 3}, {40, 0, 5}};
    every_level([&] {
        for (const Size &s : filter_sizes) {
            for (const auto &r : radii) {
                for (uint32_t keep : {0x00FFFFFFu, 0xFFFFFFFFu}) {
                    Picture src(s.w, s.h, 3 + (uint32_t)s.w, keep), fast(s.w, s.h, 4), ref(s.w, s.h, 5);
                    imgfx_blur_h_rgb(src.image, fast.image, r[0], r[1], r[2]);
                    reference_imgfx_blur_h_rgb(src.image, ref.image, r[0], r[1], r[2]);
                    EXPECT_TRUE(img_compare(fast.image, ref.image))
                        << s.w << "x" << s.h << " radii " << r[0] << " " << r[1] << " " << r[2];
                }
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

TEST(FastFilters, GlowMatchesTheReferenceOnEveryInstructionSet) {
    every_level([] {
        for (const Size &s : filter_sizes) {
            for (int32_t k : {0, 1, 3, 7, 8, 12}) {
                for (uint32_t keep : {0x00FFFFFFu, 0xFFFFFFFFu, 0x00070707u}) {
                    Picture src(s.w, s.h, 7 + (uint32_t)s.h, keep), fast(s.w, s.h, 8), ref(s.w, s.h, 9);
                    imgfx_glow_h5(src.image, fast.image, k);
                    reference_imgfx_glow_h5(src.image, ref.image, k);
                    EXPECT_TRUE(img_compare(fast.image, ref.image)) << s.w << "x" << s.h << " k " << k;
                }
            }
        }
    });
}

TEST(FastFilters, ConversionMatchesTheReferenceOnEveryInstructionSet) {
    every_level([] {
        for (const Size &s : filter_sizes) {
            Picture src(s.w, s.h, 17, 0xFFFFFFFF);
            std::vector<uint8_t> fast((size_t)s.w * s.h * 3, 0xAA), ref((size_t)s.w * s.h * 3, 0x55);
            windpy_convert(src.image->pixels, s.w, s.h, fast.data());
            reference_windpy_convert(src.image->pixels, s.w, s.h, ref.data());
            EXPECT_EQ(fast, ref) << s.w << "x" << s.h;
        }
    });
}

// ---- Lines clipped before stepping -------------------------------------------------

using Line = void (*)(IMG *, int32_t, int32_t, int32_t, int32_t, uint32_t);
using Line2 = void (*)(IMG *, int32_t, int32_t, uint32_t, int32_t, int32_t, uint32_t);

void thick_dither_7(IMG *i, int32_t x0, int32_t y0, uint32_t c0, int32_t x1, int32_t y1, uint32_t c1) {
    imgfx_thick_dither_line(i, x0, y0, c0, x1, y1, c1, 7);
}
void reference_thick_dither_7(IMG *i, int32_t x0, int32_t y0, uint32_t c0, int32_t x1, int32_t y1, uint32_t c1) {
    reference_imgfx_thick_dither_line(i, x0, y0, c0, x1, y1, c1, 7);
}
void thick_dither_16(IMG *i, int32_t x0, int32_t y0, uint32_t c0, int32_t x1, int32_t y1, uint32_t c1) {
    imgfx_thick_dither_line(i, x0, y0, c0, x1, y1, c1, 16);
}
void reference_thick_dither_16(IMG *i, int32_t x0, int32_t y0, uint32_t c0, int32_t x1, int32_t y1,
                               uint32_t c1) {
    reference_imgfx_thick_dither_line(i, x0, y0, c0, x1, y1, c1, 16);
}

struct LineCase {
    Line fast, reference;
    const char *name;
};

const LineCase line_cases[] = {
    {img_line, reference_img_line, "img_line"},
    {imgfx_line, reference_img_line, "imgfx_line"},
    {img_line_two_ends, reference_img_line_two_ends, "img_line_two_ends"},
    {imgfx_line_blend_two_ends, reference_imgfx_line_blend_two_ends, "imgfx_line_blend_two_ends"},
    {imgfx_line_add_two_ends, reference_imgfx_line_add_two_ends, "imgfx_line_add_two_ends"},
};

struct Line2Case {
    Line2 fast, reference;
    const char *name;
};

const Line2Case line2_cases[] = {
    {imgfx_dither_line, reference_imgfx_dither_line, "imgfx_dither_line"},
    {imgfx_gradient_line, reference_imgfx_gradient_line, "imgfx_gradient_line"},
    {imgfx_gradient_line_add, reference_imgfx_gradient_line_add, "imgfx_gradient_line_add"},
    {thick_dither_7, reference_thick_dither_7, "thick dither 7"},
    {thick_dither_16, reference_thick_dither_16, "thick dither 16"},
};

// Ends spread over a range around a w x h picture: most lines cross its
// edges, many miss it, some are single points or axis-parallel.
struct Ends {
    int32_t x0, y0, x1, y1;
};

Ends random_ends(uint32_t &seed, int32_t w, int32_t h, int32_t reach) {
    Ends e;
    e.x0 = between(seed, -reach, w + reach);
    e.y0 = between(seed, -reach, h + reach);
    e.x1 = between(seed, -reach, w + reach);
    e.y1 = between(seed, -reach, h + reach);
    switch (noise(seed) % 8) {
    case 0: e.x1 = e.x0; break;
    case 1: e.y1 = e.y0; break;
    case 2: e.x1 = e.x0 + (e.y1 - e.y0); break;  // diagonal
    case 3: e.x1 = e.x0 + between(seed, -1, 1), e.y1 = e.y0 + between(seed, -1, 1); break;
    default: break;
    }
    return e;
}

TEST(FastLines, ClippedWalksMatchTheStraightforwardStepping) {
    const Size pictures[] = {{200, 150}, {1, 40}, {40, 1}, {3, 3}};
    for (const Size &s : pictures) {
        for (int32_t reach : {5, 60, 700, 5000}) {
            for (const LineCase &c : line_cases) {
                uint32_t seed = 1234 + (uint32_t)reach;
                Picture fast(s.w, s.h, 1), ref(s.w, s.h, 1);
                for (int i = 0; i < 300; i++) {
                    const Ends e = random_ends(seed, s.w, s.h, reach);
                    const uint32_t colour = noise(seed) & 0x00FFFFFF;
                    c.fast(fast.image, e.x0, e.y0, e.x1, e.y1, colour);
                    c.reference(ref.image, e.x0, e.y0, e.x1, e.y1, colour);
                    if (!img_compare(fast.image, ref.image)) {
                        ADD_FAILURE() << c.name << " " << e.x0 << "," << e.y0 << " - " << e.x1 << "," << e.y1
                                      << " on " << s.w << "x" << s.h;
                        break;
                    }
                }
            }
            for (const Line2Case &c : line2_cases) {
                uint32_t seed = 4321 + (uint32_t)reach;
                Picture fast(s.w, s.h, 2), ref(s.w, s.h, 2);
                for (int i = 0; i < 60; i++) {
                    const Ends e = random_ends(seed, s.w, s.h, reach);
                    const uint32_t c0 = noise(seed) & 0x00FFFFFF, c1 = noise(seed) & 0x00FFFFFF;
                    c.fast(fast.image, e.x0, e.y0, c0, e.x1, e.y1, c1);
                    c.reference(ref.image, e.x0, e.y0, c0, e.x1, e.y1, c1);
                    if (!img_compare(fast.image, ref.image)) {
                        ADD_FAILURE() << c.name << " " << e.x0 << "," << e.y0 << " - " << e.x1 << "," << e.y1
                                      << " on " << s.w << "x" << s.h;
                        break;
                    }
                }
            }
        }
    }
}

TEST(FastLines, ByteMapLinesMatchTheStraightforwardStepping) {
    const Size maps[] = {{200, 150}, {1, 40}, {40, 1}, {3, 3}};
    for (const Size &s : maps) {
        for (int32_t reach : {5, 60, 700, 300000}) {
            BYTEMAP *fast = bytemap_new(), *ref = bytemap_new();
            bytemap_resize(fast, s.w, s.h);
            bytemap_resize(ref, s.w, s.h);
            uint32_t seed = 99 + (uint32_t)reach;
            for (int i = 0; i < 300; i++) {
                const Ends e = random_ends(seed, s.w, s.h, reach);
                const uint8_t value = (uint8_t)(1 + noise(seed) % 255);
                bytemap_line(fast, e.x0, e.y0, e.x1, e.y1, value);
                reference_bytemap_line(ref, e.x0, e.y0, e.x1, e.y1, value);
                if (!bytemap_compare(fast, ref)) {
                    ADD_FAILURE() << "bytemap_line " << e.x0 << "," << e.y0 << " - " << e.x1 << "," << e.y1 << " on "
                                  << s.w << "x" << s.h;
                    break;
                }
            }
            bytemap_del(&fast);
            bytemap_del(&ref);
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
        for (Line draw : {img_line, img_line_two_ends, imgfx_line_add_two_ends}) {
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
