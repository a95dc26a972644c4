// IMG record: lifecycle, pixel access and whole-image operations.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "imaging/img.h"
#include "tests/test_support.h"

TEST(ImgLifecycle, NewImageIs16By16BlackAtOrigin) {
    IMG *image = img_new();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->x, 0);
    EXPECT_EQ(image->y, 0);
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->height, 16);
    ASSERT_NE(image->pixels, nullptr);
    for (int i = 0; i < 256; i++) EXPECT_EQ(image->pixels[i], 0u) << i;
    img_del(&image);
}

TEST(ImgLifecycle, DelClearsHandleAndSecondDelOnlyReports) {
    IMG *image = img_new();
    img_del(&image);
    EXPECT_EQ(image, nullptr);
    img_del(&image);  // reports, frees nothing
    EXPECT_EQ(image, nullptr);
    img_del(nullptr);
}

TEST(ImgLifecycle, ResizeMakesBlackImageOfNewSize) {
    IMG *image = img_new();
    img_clear(image, 0x00123456);
    img_resize(image, 3, 2);
    static const uint32_t black6[6] = {0};
    EXPECT_TRUE(grid_equals(image, 3, 2, black6));
    img_set_pixel(image, 1, 1, 0x00FFFFFF);
    img_resize(image, 16, 16);
    static const uint32_t black256[256] = {0};
    EXPECT_TRUE(grid_equals(image, 16, 16, black256));
    img_del(&image);
}

TEST(ImgLifecycle, ResizeNullImageDoesNothing) { img_resize(nullptr, 4, 4); }

TEST(ImgLifecycle, NegativeOrOverflowingSizesActAsFailedAllocation) {
    IMG *image = img_new();
    img_resize(image, -1, 5);
    EXPECT_EQ(image->width, -1);
    EXPECT_EQ(image->height, 5);
    EXPECT_EQ(image->pixels, nullptr);
    img_resize(image, -2, -3);  // the product would be positive
    EXPECT_EQ(image->pixels, nullptr);
    img_resize(image, 65536, 65536);  // 2^32 pixels: beyond a 32-bit index
    EXPECT_EQ(image->pixels, nullptr);
    img_resize(image, INT32_MAX, INT32_MAX);
    EXPECT_EQ(image->pixels, nullptr);
    // Every operation on the pixel-less image is neutral.
    img_set_pixel(image, 0, 0, 1);
    EXPECT_EQ(img_get_pixel(image, 0, 0), 0u);
    img_clear(image, 1);
    img_add_colour(image, 1);
    img_sub_colour(image, 1);
    img_scale_colour(image, 1, 1);
    img_invert(image);
    img_replace_colour(image, 0, 1);
    img_fill_rect(image, 0, 0, 4, 4, 1);
    img_line(image, 0, 0, 9, 9, 1);
    img_fill_ellipse(image, 2, 2, 2, 2, 1);
    EXPECT_EQ(img_dup(image), nullptr);
    EXPECT_EQ(img_to_text(image), nullptr);
    img_resize(image, 2, 2);  // recovers
    ASSERT_NE(image->pixels, nullptr);
    img_del(&image);
}

TEST(ImgLifecycle, EmptyImageHasPixelsPresent) {
    IMG *image = img_new();
    img_resize(image, 0, 0);
    EXPECT_NE(image->pixels, nullptr);
    img_clear(image, 5);
    img_del(&image);
}

TEST(ImgLifecycle, DupCopiesSizeAndPixelsButNotPosition) {
    static const uint32_t px[6] = {1, 2, 3, 4, 5, 0x00FFFFFF};
    IMG *a = grid_image(3, 2, px);
    a->x = 7;
    a->y = -4;
    IMG *b = img_dup(a);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, 0);
    EXPECT_EQ(b->y, 0);
    EXPECT_TRUE(grid_equals(b, 3, 2, px));
    EXPECT_NE(b->pixels, a->pixels);
    EXPECT_EQ(img_dup(nullptr), nullptr);
    img_del(&a);
    img_del(&b);
}

TEST(ImgLifecycle, CopyNeedsEqualSizes) {
    static const uint32_t px[4] = {9, 8, 7, 6};
    IMG *a = grid_image(2, 2, px);
    a->x = 3;
    IMG *b = grid_image(2, 2);
    img_copy(a, b);
    EXPECT_TRUE(grid_equals(b, 2, 2, px));
    EXPECT_EQ(b->x, 0);
    IMG *wide = img_new();
    IMG *half = img_new();
    img_resize(half, 16, 8);
    img_clear(wide, 0x00ABCDEF);
    img_copy(wide, half);
    static const uint32_t black[128] = {0};
    EXPECT_TRUE(grid_equals(half, 16, 8, black));
    img_copy(nullptr, b);
    img_copy(a, nullptr);
    img_del(&a);
    img_del(&b);
    img_del(&wide);
    img_del(&half);
}

TEST(ImgLifecycle, CompareWholeWordsAndSizes) {
    IMG *a = img_new();
    img_clear(a, 0x00010203);
    IMG *b = img_dup(a);
    EXPECT_EQ(img_compare(a, b), 1);
    img_set_pixel(b, 15, 15, 0x01010203);  // differs only in the top byte
    EXPECT_EQ(img_compare(a, b), 0);
    img_set_pixel(b, 15, 15, 0x00010203);
    EXPECT_EQ(img_compare(a, b), 1);
    img_resize(b, 16, 8);
    EXPECT_EQ(img_compare(a, b), 0);
    EXPECT_EQ(img_compare(a, nullptr), 0);
    EXPECT_EQ(img_compare(nullptr, a), 0);
    img_del(&a);
    img_del(&b);
}

TEST(ImgPixels, SetAndGetInside) {
    IMG *image = grid_image(3, 2);
    img_set_pixel(image, 2, 1, 0xFF123456);
    img_set_pixel(image, 0, 0, 0x00000007);
    static const uint32_t want[6] = {7, 0, 0, 0, 0, 0xFF123456};
    EXPECT_TRUE(grid_equals(image, 3, 2, want));
    EXPECT_EQ(img_get_pixel(image, 2, 1), 0xFF123456u);
    EXPECT_EQ(img_get_pixel(image, 0, 0), 7u);
    img_del(&image);
}

TEST(ImgPixels, OutsideIsIgnoredAndReadsZero) {
    IMG *image = grid_image(3, 2);
    img_clear(image, 0x00111111);
    const int32_t outside[][2] = {{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT32_MIN, 0}, {0, INT32_MAX}};
    for (auto &p : outside) {
        img_set_pixel(image, p[0], p[1], 0x00FFFFFF);
        EXPECT_EQ(img_get_pixel(image, p[0], p[1]), 0u);
    }
    static const uint32_t want[6] = {0x111111, 0x111111, 0x111111, 0x111111, 0x111111, 0x111111};
    EXPECT_TRUE(grid_equals(image, 3, 2, want));
    img_set_pixel(nullptr, 0, 0, 1);
    EXPECT_EQ(img_get_pixel(nullptr, 0, 0), 0u);
    img_del(&image);
}

TEST(ImgWhole, ClearSetsEveryWord) {
    IMG *image = grid_image(2, 2);
    img_clear(image, 0xFF00FF00);
    static const uint32_t want[4] = {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00};
    EXPECT_TRUE(grid_equals(image, 2, 2, want));
    img_clear(nullptr, 1);
    img_del(&image);
}

TEST(ImgWhole, AddColourSaturatesEachChannel) {
    static const uint32_t px[4] = {0x00F0F0F0, 0x00000000, 0xFF0000FF, 0x00FE01FF};
    IMG *image = grid_image(2, 2, px);
    img_add_colour(image, 0x00102030);
    // 0xFE+0x10 saturates red; 0x01+0x20 = 0x21; 0xFF+0x30 saturates blue
    // without carrying into green; the top byte of every result is 0.
    static const uint32_t want[4] = {0x00FFFFFF, 0x00102030, 0x001020FF, 0x00FF21FF};
    EXPECT_TRUE(grid_equals(image, 2, 2, want));
    img_add_colour(nullptr, 1);
    img_del(&image);
}

TEST(ImgWhole, SubColourFloorsEachChannel) {
    static const uint32_t px[4] = {0x00080808, 0x00FFFFFF, 0xFF102030, 0x00200010};
    IMG *image = grid_image(2, 2, px);
    img_sub_colour(image, 0x00102030);
    // 0x20-0x10 = 0x10; green 0x00 floors at 0 without borrowing from red.
    static const uint32_t want[4] = {0x00000000, 0x00EFDFCF, 0x00000000, 0x00100000};
    EXPECT_TRUE(grid_equals(image, 2, 2, want));
    img_sub_colour(nullptr, 1);
    img_del(&image);
}

TEST(ImgWhole, ScaleColourTruncatesAndSaturates) {
    static const uint32_t px[3] = {0x00804020, 0x00010203, 0xFF0A0B0C};
    IMG *image = grid_image(3, 1, px);
    img_scale_colour(image, 3, 2);
    // 0x80*3/2 = 0xC0, 0x40*3/2 = 0x60, 0x20*3/2 = 0x30; 1*3/2 = 1, 2*3/2 = 3,
    // 3*3/2 = 4; 10*3/2 = 15, 11*3/2 = 16, 12*3/2 = 18; top byte cleared.
    static const uint32_t want[3] = {0x00C06030, 0x00010304, 0x000F1012};
    EXPECT_TRUE(grid_equals(image, 3, 1, want));
    img_scale_colour(image, 4, 1);
    // 0xC0*4 and 0x60*4 saturate, 0x30*4 = 0xC0; 4, 12, 16; 60, 64, 72.
    static const uint32_t want2[3] = {0x00FFFFC0, 0x00040C10, 0x003C4048};
    EXPECT_TRUE(grid_equals(image, 3, 1, want2));
    img_del(&image);
}

TEST(ImgWhole, ScaleColourRefusesZeroOrNegativeDivisor) {
    static const uint32_t px[2] = {0x00102030, 0x00FFFFFF};
    IMG *image = grid_image(2, 1, px);
    img_scale_colour(image, 1, 0);
    img_scale_colour(image, 1, -2);
    img_scale_colour(image, -1, 2);
    EXPECT_TRUE(grid_equals(image, 2, 1, px));
    img_scale_colour(image, INT32_MAX, 1);  // no overflow: everything saturates
    static const uint32_t want[2] = {0x00FFFFFF, 0x00FFFFFF};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_scale_colour(image, 0, 5);
    static const uint32_t zero[2] = {0, 0};
    EXPECT_TRUE(grid_equals(image, 2, 1, zero));
    img_scale_colour(nullptr, 1, 1);
    img_del(&image);
}

TEST(ImgWhole, InvertClearsTopByte) {
    static const uint32_t px[2] = {0x00123456, 0xFF000000};
    IMG *image = grid_image(2, 1, px);
    img_invert(image);
    static const uint32_t want[2] = {0x00EDCBA9, 0x00FFFFFF};
    EXPECT_TRUE(grid_equals(image, 2, 1, want));
    img_invert(nullptr);
    img_del(&image);
}

TEST(ImgWhole, ReplaceColourMatchesWholeWords) {
    static const uint32_t px[4] = {0x00CCCCCC, 0x01CCCCCC, 0x00CCCCCD, 0x00CCCCCC};
    IMG *image = grid_image(2, 2, px);
    img_replace_colour(image, 0x00CCCCCC, 0x00747474);
    static const uint32_t want[4] = {0x00747474, 0x01CCCCCC, 0x00CCCCCD, 0x00747474};
    EXPECT_TRUE(grid_equals(image, 2, 2, want));
    img_replace_colour(nullptr, 0, 1);
    img_del(&image);
}

TEST(ImgWhole, AndMasksTarget) {
    static const uint32_t mask_px[4] = {0x00FFFFFF, 0x00000000, 0x00FF00FF, 0xFFFFFFFF};
    static const uint32_t target_px[4] = {0x00123456, 0x00123456, 0x00123456, 0xF0123456};
    IMG *mask = grid_image(2, 2, mask_px);
    IMG *target = grid_image(2, 2, target_px);
    img_and(mask, target);
    static const uint32_t want[4] = {0x00123456, 0x00000000, 0x00120056, 0xF0123456};
    EXPECT_TRUE(grid_equals(target, 2, 2, want));
    EXPECT_TRUE(grid_equals(mask, 2, 2, mask_px));
    img_and(nullptr, target);
    img_and(mask, nullptr);
    img_del(&mask);
    img_del(&target);
}

TEST(ImgWhole, AndRefusesDifferentSizes) {
    IMG *mask = grid_image(4, 4);
    IMG *target = grid_image(2, 2);
    img_clear(target, 0x00FFFFFF);
    img_and(mask, target);  // would walk past the smaller target
    static const uint32_t want[4] = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
    EXPECT_TRUE(grid_equals(target, 2, 2, want));
    img_del(&mask);
    img_del(&target);
}
