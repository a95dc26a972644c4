// The frame's blur and glow run row-wise fast paths; on random pictures of
// every shape they must give exactly the words of the straightforward
// versions written from their definitions.
#include <gtest/gtest.h>

#include "bench/reference_imgfx.h"
#include "imaging/imgfx.h"
#include "tests/test_support.h"

// A small generator of its own, so the shared one is left alone.
static uint32_t fx_noise(uint32_t &state) {
    state = state * 1664525u + 1013904223u;
    return state ^ (state >> 15);
}

enum Fill { RANDOM, WHITE, SPARSE, FULL_WORDS };

static IMG *picture(int32_t w, int32_t h, uint32_t seed, Fill fill) {
    IMG *img = grid_image(w, h);
    uint32_t state = seed;
    for (size_t i = 0; i < (size_t)w * h; i++) {
        uint32_t r = fx_noise(state);
        switch (fill) {
        case RANDOM: img->pixels[i] = r & 0x00FFFFFF; break;
        case WHITE: img->pixels[i] = 0x00FFFFFF; break;
        case SPARSE: img->pixels[i] = (r & 7) == 0 ? 0x00FFFFFF : (r & 0x00030303); break;
        case FULL_WORDS: img->pixels[i] = r; break;  // top bytes set too
        }
    }
    return img;
}

struct Size {
    int32_t w, h;
};

static const Size sizes[] = {{1, 1},  {1, 9},   {9, 1},   {2, 2},    {3, 5},   {5, 3},   {6, 2},
                             {7, 3},  {8, 1},   {17, 9},  {64, 64},  {256, 4}, {255, 3}, {300, 2},
                             {1030, 2}, {2, 300}, {1, 257}, {257, 1}};

// One pass of the fast path and of the reference from the same source into
// w x h targets of different stale contents (each word must be overwritten).
static ::testing::AssertionResult same(const IMG *src, int32_t w, int32_t h, bool glow, int32_t a, int32_t b = 0,
                                       int32_t c = 0) {
    Own<img_del> fast(picture(w, h, 99, RANDOM)), ref(picture(w, h, 98, RANDOM));
    if (glow)
        imgfx_glow_h5(src, fast, a), reference_imgfx_glow_h5(src, ref, a);
    else
        imgfx_blur_h_rgb(src, fast, a, b, c), reference_imgfx_blur_h_rgb(src, ref, a, b, c);
    return grid_identical(fast, ref) << (glow ? " glow " : " blur ") << src->width << "x" << src->height << " to "
                                     << w << "x" << h << " radii " << a << " " << b << " " << c;
}

// Every shape and kind of picture: the frame's radii, small equal, mixed and
// wide ones for the blur, every shift for the glow.
TEST(ImgfxFast, EveryShapeMatchesTheReference) {
    const int32_t blurs[][3] = {{2, 2, 2}, {0, 0, 0}, {1, 1, 1}, {3, 3, 3},    {4, 4, 4},      {5, 5, 5},
                                {6, 6, 6}, {7, 7, 7}, {8, 8, 8}, {9, 9, 9},    {1, 2, 3},      {3, 0, 7},
                                {0, 5, 0}, {64, 1, 30}, {200, 200, 200}, {2100, 3, 5000}};
    for (const Size &s : sizes)
        for (Fill fill : {RANDOM, WHITE, SPARSE, FULL_WORDS}) {
            Own<img_del> src(picture(s.w, s.h, 7 + s.w * 31 + s.h, fill));
            for (auto &r : blurs) EXPECT_TRUE(same(src, s.w, s.h, false, r[0], r[1], r[2])) << " fill " << fill;
            for (int32_t k = 0; k <= 31; k++) EXPECT_TRUE(same(src, s.w, s.h, true, k)) << " fill " << fill;
        }
    // Each radius up to the largest the 16-bit lanes take, and past it.
    for (int32_t r = 0; r <= 130; r++) {
        Own<img_del> src(picture(300, 2, 1000 + r, r % 2 ? WHITE : RANDOM));
        EXPECT_TRUE(same(src, 300, 2, false, r, r, r));
        EXPECT_TRUE(same(src, 300, 2, false, r, 130 - r, r / 2));
    }
    Own<img_del> frame(picture(256, 256, 12345, RANDOM)), small(picture(5, 3, 5, RANDOM));
    EXPECT_TRUE(same(frame, 256, 256, true, 3));
    EXPECT_TRUE(same(frame, 256, 256, false, 2, 2, 2));
    for (auto [w, h] : {std::pair{7, 4}, {2, 2}}) {  // unequal sizes take the straight path
        EXPECT_TRUE(same(small, w, h, false, 2, 1, 0));
        EXPECT_TRUE(same(small, w, h, true, 1));
    }
}

TEST(ImgfxFast, InPlaceFollowsTheStatedOrder) {
    for (int32_t k : {0, 3, -1}) {  // -1: the blur with zero radii
        Own<img_del> a(picture(37, 5, 77, RANDOM)), b(picture(37, 5, 77, RANDOM));
        if (k < 0) {
            imgfx_blur_h_rgb(a, a, 0, 0, 0);
            reference_imgfx_blur_h_rgb(b, b, 0, 0, 0);
        } else {
            imgfx_glow_h5(a, a, k);
            reference_imgfx_glow_h5(b, b, k);
        }
        EXPECT_TRUE(grid_identical(a, b));
    }
}
