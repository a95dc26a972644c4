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

static void same_blur(int32_t rr, int32_t rg, int32_t rb) {
    for (const Size &s : sizes) {
        for (Fill fill : {RANDOM, WHITE, SPARSE, FULL_WORDS}) {
            Own<img_del> src(picture(s.w, s.h, 7 + s.w * 31 + s.h, fill));
            Own<img_del> fast(picture(s.w, s.h, 99, RANDOM)); // stale contents must all be overwritten
            Own<img_del> ref(picture(s.w, s.h, 98, RANDOM));
            imgfx_blur_h_rgb(src, fast, rr, rg, rb);
            reference_imgfx_blur_h_rgb(src, ref, rr, rg, rb);
            EXPECT_TRUE(grid_identical(fast, ref)) << s.w << "x" << s.h << " fill " << fill << " radii " << rr
                                                 << " " << rg << " " << rb;
        }
    }
}

static void same_glow(int32_t k) {
    for (const Size &s : sizes) {
        for (Fill fill : {RANDOM, WHITE, SPARSE, FULL_WORDS}) {
            Own<img_del> src(picture(s.w, s.h, 3 + s.w * 17 + s.h, fill));
            Own<img_del> fast(picture(s.w, s.h, 97, RANDOM));
            Own<img_del> ref(picture(s.w, s.h, 96, RANDOM));
            imgfx_glow_h5(src, fast, k);
            reference_imgfx_glow_h5(src, ref, k);
            EXPECT_TRUE(grid_identical(fast, ref)) << s.w << "x" << s.h << " fill " << fill << " k " << k;
        }
    }
}

TEST(ImgfxFast, BlurOfTheFrameMatchesTheReference) { same_blur(2, 2, 2); }

TEST(ImgfxFast, BlurWithSmallEqualRadiiMatches) {
    for (int32_t r = 0; r <= 9; r++) same_blur(r, r, r);
}

TEST(ImgfxFast, BlurWithMixedRadiiMatches) {
    same_blur(1, 2, 3);
    same_blur(3, 0, 7);
    same_blur(0, 5, 0);
    same_blur(64, 1, 30);
}

TEST(ImgfxFast, BlurWithEveryVectorRadiusMatches) {
    // Each radius up to the largest the 16-bit lanes take, and past it.
    for (int32_t r = 0; r <= 130; r++) {
        Own<img_del> src(picture(300, 2, 1000 + r, r % 2 ? WHITE : RANDOM));
        Own<img_del> fast(grid_image(300, 2));
        Own<img_del> ref(grid_image(300, 2));
        imgfx_blur_h_rgb(src, fast, r, r, r);
        reference_imgfx_blur_h_rgb(src, ref, r, r, r);
        EXPECT_TRUE(grid_identical(fast, ref)) << "radius " << r;
        imgfx_blur_h_rgb(src, fast, r, 130 - r, r / 2);
        reference_imgfx_blur_h_rgb(src, ref, r, 130 - r, r / 2);
        EXPECT_TRUE(grid_identical(fast, ref)) << "radii " << r << " " << 130 - r << " " << r / 2;
    }
}

TEST(ImgfxFast, BlurWithWideRadiiMatches) {
    same_blur(200, 200, 200);
    same_blur(2100, 3, 5000);
}

TEST(ImgfxFast, GlowOfTheFrameMatchesTheReference) { same_glow(3); }

TEST(ImgfxFast, GlowWithEveryShiftMatches) {
    for (int32_t k = 0; k <= 31; k++) same_glow(k);
}

TEST(ImgfxFast, FullFrameMatches) {
    Own<img_del> src(picture(256, 256, 12345, RANDOM));
    Own<img_del> glow(grid_image(256, 256));
    Own<img_del> blur(grid_image(256, 256));
    Own<img_del> ref_glow(grid_image(256, 256));
    Own<img_del> ref_blur(grid_image(256, 256));
    imgfx_glow_h5(src, glow, 3);
    imgfx_blur_h_rgb(glow, blur, 2, 2, 2);
    reference_imgfx_glow_h5(src, ref_glow, 3);
    reference_imgfx_blur_h_rgb(ref_glow, ref_blur, 2, 2, 2);
    EXPECT_TRUE(grid_identical(glow, ref_glow));
    EXPECT_TRUE(grid_identical(blur, ref_blur));
}

TEST(ImgfxFast, UnequalSizesTakeTheStraightPath) {
    Own<img_del> src(picture(5, 3, 5, RANDOM));
    for (auto [w, h] : {std::pair{7, 4}, {2, 2}}) {
        Own<img_del> fast(grid_image(w, h)), ref(grid_image(w, h));
        imgfx_blur_h_rgb(src, fast, 2, 1, 0);
        reference_imgfx_blur_h_rgb(src, ref, 2, 1, 0);
        EXPECT_TRUE(grid_identical(fast, ref));
        imgfx_glow_h5(src, fast, 1);
        reference_imgfx_glow_h5(src, ref, 1);
        EXPECT_TRUE(grid_identical(fast, ref));
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
