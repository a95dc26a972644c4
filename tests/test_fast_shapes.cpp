// The line-aligned span stores of the filled ellipses and the register paths
// of the frame's blur and glow against their straightforward versions, on
// every instruction set level: spans starting at every word of a cache line,
// rows around the widths where the register loops change between masked and
// whole groups, rows longer than any row buffer, and the present conversion
// into bytes at every offset from a cache line.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/reference_ellipse.h"
#include "bench/reference_imgfx.h"
#include "bench/reference_windpy.h"
#include "host/simd.h"
#include "host/windpy.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"

namespace {

struct Owned {
    IMG *image = img_new();
    Owned(int32_t w, int32_t h, uint32_t seed) {
        img_resize(image, w, h);
        for (size_t i = 0; i < (size_t)w * (size_t)h; i++) {
            seed = seed * 1664525u + 1013904223u;
            image->pixels[i] = seed ^ (seed >> 15);
        }
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    ~Owned() { img_del(&image); }
};

template <typename F>
void every_level(F f) {
    for (int level = SIMD_PLAIN; level <= simd_best(); level++) {
        SCOPED_TRACE("instruction set level " + std::to_string(level));
        simd_limit((simd_level)level);
        f();
    }
    simd_limit(SIMD_AVX512);
}

// Centres 0..47 put the span starts on every word of a line and the ends
// on every word after it; the widths make lines start mid-row as well.
TEST(FastShapes, FilledSpansOnEveryWordOfALine) {
    every_level([] {
        for (int32_t w : {16, 37, 64, 100}) {
            Owned fast(w, 40, 1), ref(w, 40, 1);
            for (int32_t cx = -3; cx < 48; cx++)
                for (int32_t rx : {0, 1, 6, 7, 8, 15, 16, 17, 40}) {
                    const int32_t cy = (cx + rx) % 40, ry = rx % 5;
                    const uint32_t colour = (uint32_t)(cx * 64 + rx);
                    img_fill_ellipse(fast.image, cx, cy, rx, ry, colour);
                    reference_fill_ellipse(ref.image, cx, cy, rx, ry, colour);
                }
            EXPECT_TRUE(img_compare(fast.image, ref.image)) << "width " << w;
        }
    });
}

// Widths 1..40 cover a row of one group, the first group reaching the row's
// end and every switch between masked and whole groups; 5000 is longer than
// any row buffer the narrower paths keep.
TEST(FastShapes, BlurAndGlowRowsOfEveryShortWidthAndALongOne) {
    every_level([] {
        for (int32_t i = 1; i <= 41; i++) {
            const int32_t w = i <= 40 ? i : 5000;
            Owned src(w, 3, (uint32_t)w), fast(w, 3, 2), ref(w, 3, 3);
            imgfx_blur_h_rgb(src.image, fast.image, 2, 2, 2);
            reference_imgfx_blur_h_rgb(src.image, ref.image, 2, 2, 2);
            EXPECT_TRUE(img_compare(fast.image, ref.image)) << "blur, width " << w;
            for (int32_t k : {0, 3, 7}) {
                imgfx_glow_h5(src.image, fast.image, k);
                reference_imgfx_glow_h5(src.image, ref.image, k);
                EXPECT_TRUE(img_compare(fast.image, ref.image)) << "glow " << k << ", width " << w;
            }
        }
    });
}

// Widths 70 and 200 leave room for whole 64-pixel groups after the first
// stretch that brings the stores onto a line, 5 does not.
TEST(FastShapes, ConversionIntoBytesAtEveryOffsetFromALine) {
    every_level([] {
        for (int32_t w : {5, 70, 200}) {
            Owned src(w, 3, (uint32_t)w);
            const size_t size = (size_t)w * 3 * 3;
            std::vector<uint8_t> ref(size);
            reference_windpy_convert(src.image->pixels, w, 3, ref.data());
            for (size_t offset = 0; offset < 64; offset++) {
                alignas(64) uint8_t out[64 + 200 * 9];
                windpy_convert(src.image->pixels, w, 3, out + offset);
                EXPECT_EQ(std::vector<uint8_t>(out + offset, out + offset + size), ref) << w << " at " << offset;
            }
        }
    });
}

}  // namespace
