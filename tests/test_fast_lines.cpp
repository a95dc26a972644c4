// Thick lines drawn by steps (row spans, column spans, diagonal pairs) or by
// the parallels whose box meets the picture, against every parallel drawn
// one by one; and the saturating colour passes on every instruction set.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "bench/reference_lines.h"
#include "host/simd.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "tests/test_lcg.h"

namespace {

const int32_t MAX = INT32_MAX, MIN = INT32_MIN;

// An owned w x h picture of random pixels.
struct Picture {
    IMG *image;
    Picture(int32_t w, int32_t h, uint32_t seed) : image(img_new()) {
        img_resize(image, w, h);
        Lcg lcg{seed};
        for (size_t i = 0; i < (size_t)w * (size_t)h; i++) image->pixels[i] = (uint32_t)lcg.next30() & 0xFFFFFF;
    }
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;
    ~Picture() { img_del(&image); }
};

struct Line {
    int32_t x0, y0, x1, y1, t;
};

void plain_line(IMG *i, int32_t x0, int32_t y0, uint32_t c, int32_t x1, int32_t y1, uint32_t) {
    imgfx_line(i, x0, y0, x1, y1, c);
}
void thick_plain(IMG *i, int32_t x0, int32_t y0, uint32_t c, int32_t x1, int32_t y1, uint32_t, int32_t t) {
    imgfx_thick_line(i, x0, y0, x1, y1, c, t);
}

// Draws l on two copies of a picture, by the program and by `line` on every
// parallel; false (and a report) when they differ.
bool same(int32_t w, int32_t h, const Line &l, bool dither, reference_dither_fn line) {
    Picture fast(w, h, 7u + (uint32_t)w), slow(w, h, 7u + (uint32_t)w);
    const uint32_t c0 = 0x102030, c1 = dither ? 0xF0E0D0 : c0;  // a plain line's colour stays when ends swap
    if (dither)
        imgfx_thick_dither_line(fast.image, l.x0, l.y0, c0, l.x1, l.y1, c1, l.t);
    else
        thick_plain(fast.image, l.x0, l.y0, c0, l.x1, l.y1, c1, l.t);
    reference_thick_parallels(slow.image, l.x0, l.y0, c0, l.x1, l.y1, c1, l.t, dither ? line : plain_line);
    const bool equal = img_compare(fast.image, slow.image);
    EXPECT_TRUE(equal) << (dither ? "dither " : "plain ") << l.x0 << "," << l.y0 << " " << l.x1 << "," << l.y1
                       << " thick " << l.t << " on " << w << "x" << h;
    return equal;
}

// Random lines of every slope about and across pictures of several shapes,
// drawn one after another (later lines over earlier ones), and every
// direction from a centre, against the straightforward walk of each parallel.
TEST(FastThickLines, StepsDrawWhatTheParallelsDraw) {
    const int32_t sizes[][2] = {{200, 150}, {64, 64}, {1, 40}, {40, 1}, {3, 3}};
    for (const auto &s : sizes) {
        Picture fast(s[0], s[1], 3), slow(s[0], s[1], 3);
        Lcg lcg{(uint32_t)s[0] * 31u + (uint32_t)s[1]};
        auto at = [&](int32_t size) { return lcg.next() % (size + 120) - 60; };
        for (int i = 0; i < 300; i++) {
            const Line l{at(s[0]), at(s[1]), at(s[0]), at(s[1]), lcg.next() % 40 + 1};
            const uint32_t c0 = (uint32_t)lcg.next30() & 0xFFFFFF, c1 = (uint32_t)lcg.next30() & 0xFFFFFF;
            imgfx_thick_dither_line(fast.image, l.x0, l.y0, c0, l.x1, l.y1, c1, l.t);
            reference_imgfx_thick_dither_line(slow.image, l.x0, l.y0, c0, l.x1, l.y1, c1, l.t);
            ASSERT_TRUE(img_compare(fast.image, slow.image)) << l.x0 << "," << l.y0 << " " << l.x1 << "," << l.y1
                                                             << " thick " << l.t << " on " << s[0] << "x" << s[1];
        }
    }
    for (int32_t k = 0; k < 8 * 14; k++) {  // the square ring of radius 14 round (16, 16)
        const int32_t side = k / 28, p = k % 28 - 14;
        const int32_t x = side == 0 ? p : side == 1 ? 14 : side == 2 ? -p : -14;
        const int32_t y = side == 0 ? -14 : side == 1 ? p : side == 2 ? 14 : -p;
        for (int32_t t = 1; t <= 9; t++)
            if (!same(33, 33, {16, 16, 16 + x, 16 + y, t}, true, reference_imgfx_dither_line)) return;
    }
}

// Ends where offsets wrap past 32 bits (lines then cross the whole plane),
// lines across the plane, and thicknesses of thousands: the same pixels as
// every parallel drawn one by one (by the single lines, which cost what they
// draw and are checked against their walks elsewhere).
TEST(FastThickLines, WrappingAndHugeOffsetsDrawWhatTheParallelsDraw) {
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
        for (bool dither : {true, false}) same(8, 6, l, dither, imgfx_dither_line);
}

// A thickness of 2^31 - 1 costs only the parallels that can show, wrapping
// or not: the same pixels as a thickness that already holds them all.
TEST(FastThickLines, HugeThicknessCostsWhatShows) {
    const auto start = std::chrono::steady_clock::now();
    const struct {
        Line huge;
        int32_t enough;
    } cases[] = {
        {{MAX - 5, 0, MAX - 2, 40, MAX}, 41},  // steep: only the parallels whose far end wraps cross the picture
        {{0, MAX - 3, 40, MAX - 1, MAX}, 41},  // shallow, likewise
        {{MAX - 20, MAX - 20, MAX - 5, MAX - 2, MAX}, 81},
    };
    for (const auto &c : cases)
        for (bool dither : {true, false}) {
            Picture huge(8, 6, 5), enough(8, 6, 5);
            auto draw = [&](IMG *image, int32_t t) {
                if (dither)
                    imgfx_thick_dither_line(image, c.huge.x0, c.huge.y0, 0x0000FF, c.huge.x1, c.huge.y1, 0xFF0000, t);
                else
                    imgfx_thick_line(image, c.huge.x0, c.huge.y0, c.huge.x1, c.huge.y1, 0x00FF00, t);
            };
            draw(huge.image, c.huge.t);
            draw(enough.image, c.enough);
            EXPECT_TRUE(img_compare(huge.image, enough.image)) << c.huge.x0 << "," << c.huge.y0;
        }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Saturating add and subtract per channel, the top byte cleared, on runs
// of 1 to 9 pixels (whole groups of four and the rest) at every level.
TEST(FastColourPasses, AddAndSubtractSaturatePerChannel) {
    const struct {
        uint32_t pixel, colour, added, subtracted;
    } cases[] = {
        {0x00102030, 0x00050505, 0x00152535, 0x000B1B2B},
        {0xFF80FF01, 0x00FF0102, 0x00FFFF03, 0x0000FE00},
        {0x00FFFFFF, 0xFF010101, 0x00FFFFFF, 0x00FEFEFE},
        {0x7F000000, 0x00000000, 0x00000000, 0x00000000},
    };
    for (int level = SIMD_PLAIN; level <= simd_best(); level++) {
        simd_limit((simd_level)level);
        for (const auto &c : cases)
            for (int32_t n = 1; n <= 9; n++) {
                IMG *a = img_new(), *s = img_new();
                img_resize(a, n, 1);
                img_resize(s, n, 1);
                img_clear(a, c.pixel);
                img_clear(s, c.pixel);
                img_add_colour(a, c.colour);
                img_sub_colour(s, c.colour);
                for (int32_t x = 0; x < n; x++) {
                    EXPECT_EQ(a->pixels[x], c.added) << "level " << level << " pixel " << x << " of " << n;
                    EXPECT_EQ(s->pixels[x], c.subtracted) << "level " << level << " pixel " << x << " of " << n;
                }
                img_del(&a);
                img_del(&s);
            }
    }
    simd_limit(SIMD_AVX512);
}

}  // namespace
