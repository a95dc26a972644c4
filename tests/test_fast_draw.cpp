// The fast drawing and frame paths against their straightforward versions,
// run once for every instruction set this processor has (the ceiling of
// host/simd.h forced down in turn): ellipses drawn from the radius tables and
// by the exact walk, the frame's blur and glow, the present conversion, and
// lines and spans whose walk is clipped to the image before stepping.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "bench/reference_ellipse.h"
#include "bench/reference_imgfx.h"
#include "bench/reference_windpy.h"
#include "host/simd.h"
#include "host/windpy.h"
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
void same_ellipses(const EllipseCase &c, int32_t w, int32_t h, int32_t rmin, int32_t rmax, uint32_t seed) {
    Picture fast(w, h, seed), ref(w, h, seed);
    for (int i = 0; i < 600; i++) {
        const int32_t x = between(seed, -90, w + 90), y = between(seed, -90, h + 90);
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

}  // namespace
