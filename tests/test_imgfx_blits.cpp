// IMGFX blits and rectangles of its own (blend, xor, multiply) and the
// copies of IMG operations that report through IMGFX.
#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/imgfx.h"
#include "tests/test_support.h"

TEST(ImgfxBlend, AveragesWithNonZeroSourcePixels) {
    Own<img_del> s(grid_image(2, 1, {0x00FFFFFF, 0x00000000}));
    Own<img_del> t(grid_image(2, 1, {0x00000000, 0x00406080}));
    imgfx_blit_blend(s, t, 0, 0, 0, 0, 2, 1);
    EXPECT_TRUE(grid_equals(t, {0x007F7F7F, 0x00406080}));  // source 0 is transparent
}

TEST(ImgfxBlend, TopByteOnlySourceIsNotTransparent) {
    Own<img_del> s(grid_image(1, 1, {0x01000000}));
    Own<img_del> t(grid_image(1, 1, {0x00818181}));
    imgfx_blit_blend(s, t, 0, 0, 0, 0, 1, 1);
    EXPECT_TRUE(grid_equals(t, {0x00404040}));
}

TEST(ImgfxBlend, ClipsAgainstBothImages) {
    Own<img_del> s(grid_image(2, 2, {0x00020202, 0x00040404, 0x00060606, 0x00080808}));
    Own<img_del> t(grid_image(3, 3));
    imgfx_blit_blend(s, t, 0, 0, -1, -1, 2, 2);  // only the bottom-right pixel lands
    EXPECT_TRUE(grid_equals(t, {0x00040404, 0, 0, 0, 0, 0, 0, 0, 0}));
    imgfx_blit_blend(s, t, -1, 0, 1, 1, 3, 1);   // sx = -1: two columns, the first to x = 2
    EXPECT_TRUE(grid_equals(t, {0x00040404, 0, 0, 0, 0, 0x00010101, 0, 0, 0}));
    imgfx_blit_blend(s, t, 0, 0, 3, 0, 2, 2);    // wholly right of the target
    imgfx_blit_blend(s, t, 0, 0, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX);
    imgfx_blit_blend(s, t, INT32_MIN, 0, 0, 0, INT32_MAX, 1);
    EXPECT_TRUE(grid_equals(t, {0x00040404, 0, 0, 0, 0, 0x00010101, 0, 0, 0}));
    imgfx_blit_blend(nullptr, t, 0, 0, 0, 0, 1, 1);
    imgfx_blit_blend(s, nullptr, 0, 0, 0, 0, 1, 1);
}

TEST(ImgfxBlend, DrawUsesTheSourcePlace) {
    Own<img_del> s(grid_image(2, 1, {0x00FEFEFE, 0x00FEFEFE}));
    s->x = 2;
    s->y = 1;
    Own<img_del> t(grid_image(3, 2));
    imgfx_draw_blend(s, t);
    EXPECT_TRUE(grid_equals(t, {0, 0, 0, 0, 0, 0x007F7F7F}));
    s->x = -2;
    imgfx_draw_blend(s, t);  // x + width < 1: nothing
    EXPECT_TRUE(grid_equals(t, {0, 0, 0, 0, 0, 0x007F7F7F}));
    imgfx_draw_blend(nullptr, t);
}

TEST(ImgfxXorRect, OnlyWhenWhollyInside) {
    Own<img_del> img(grid_image(3, 2, {1, 2, 3, 4, 5, 6}));
    imgfx_xor_rect(img, 1, 0, 2, 2, 0x00FF0000);
    EXPECT_TRUE(grid_equals(img, {1, 0x00FF0002, 0x00FF0003, 4, 0x00FF0005, 0x00FF0006}));
    imgfx_xor_rect(img, 1, 0, 3, 2, 0x00FF0000);  // one column past the edge
    imgfx_xor_rect(img, -1, 0, 2, 1, 0x00FF0000);
    imgfx_xor_rect(img, 0, 0, 0, 1, 0x00FF0000);
    imgfx_xor_rect(img, 0, 1, 1, 2, 0x00FF0000);
    imgfx_xor_rect(img, INT32_MAX, 0, INT32_MAX, 1, 0x00FF0000);
    imgfx_xor_rect(nullptr, 0, 0, 1, 1, 1);
    EXPECT_TRUE(grid_equals(img, {1, 0x00FF0002, 0x00FF0003, 4, 0x00FF0005, 0x00FF0006}));
}

TEST(ImgfxMultiply, MultipliesWholeWordsWrapping) {
    Own<img_del> a(grid_image(2, 1, {2, 0x00010000}));
    Own<img_del> b(grid_image(2, 1, {3, 0x00010000}));
    imgfx_multiply(a, b);
    EXPECT_TRUE(grid_equals(b, {6, 0}));
    EXPECT_TRUE(grid_equals(a, {2, 0x00010000}));
    Own<img_del> c(grid_image(1, 1, {7}));
    imgfx_multiply(a, c);  // sizes differ: refused
    EXPECT_TRUE(grid_equals(c, {7}));
    imgfx_multiply(nullptr, c);
}

// ---- Copies of IMG operations ----------------------------------------------

TEST(ImgfxCopies, BlitAddWrapsAndBlitAddSatSaturates) {
    Own<img_del> s(grid_image(1, 1, {0x000000FF}));
    Own<img_del> t(grid_image(2, 1, {0x00000001, 0x00000001}));
    imgfx_blit_add(s, t, 0, 0, 0, 0, 1, 1);
    imgfx_blit_add_sat(s, t, 0, 0, 1, 0, 1, 1);
    EXPECT_TRUE(grid_equals(t, {0x00000100, 0x000000FF}));
    imgfx_blit_add(nullptr, t, 0, 0, 0, 0, 1, 1);
    imgfx_blit_add_sat(s, nullptr, 0, 0, 0, 0, 1, 1);
}

TEST(ImgfxCopies, BlitOpaqueCopiesBlack) {
    Own<img_del> s(grid_image(2, 1, {0, 5}));
    Own<img_del> t(grid_image(2, 1, {9, 9}));
    imgfx_blit_opaque(s, t, 0, 0, 0, 0, 2, 1);
    EXPECT_TRUE(grid_equals(t, {0, 5}));
}

TEST(ImgfxCopies, BlitSpacedSpreadsThePixels) {
    Own<img_del> s(grid_image(2, 1, {7, 0}));
    Own<img_del> t(grid_image(4, 1, {1, 1, 1, 1}));
    imgfx_blit_spaced(s, t, 0, 0, 0, 0, 2, 1, 2, 1);  // the 0 at x = 2 is transparent
    EXPECT_TRUE(grid_equals(t, {7, 1, 1, 1}));
}

TEST(ImgfxCopies, RowAndColumnWraps) {
    Own<img_del> s(grid_image(2, 1, {5, 6}));
    Own<img_del> t(grid_image(8, 1));
    imgfx_blit_row_wrap(s, t, 0, 0, -1);
    EXPECT_TRUE(grid_equals(t, {6, 0, 0, 0, 0, 0, 0, 5}));
    imgfx_or_row_wrap(s, t, 0, 0, 0);
    EXPECT_TRUE(grid_equals(t, {7, 6, 0, 0, 0, 0, 0, 5}));
    imgfx_blit_row_wrap(s, t, 1, 0, 0);  // source row outside: refused
    imgfx_or_row_wrap(s, t, 0, -1, 0);
    EXPECT_TRUE(grid_equals(t, {7, 6, 0, 0, 0, 0, 0, 5}));

    Own<img_del> col(grid_image(1, 2, {3, 4}));
    Own<img_del> tc(grid_image(2, 3));
    imgfx_blit_column_wrap(col, tc, 0, 1, 2);
    EXPECT_TRUE(grid_equals(tc, {0, 4, 0, 0, 0, 3}));
    imgfx_blit_column_wrap(col, tc, 0, 2, 0);  // target column outside: refused
    EXPECT_TRUE(grid_equals(tc, {0, 4, 0, 0, 0, 3}));
}

TEST(ImgfxCopies, CopyRowCopiesZerosToo) {
    Own<img_del> s(grid_image(3, 1, {0, 2, 3}));
    Own<img_del> t(grid_image(2, 2, {9, 9, 9, 9}));
    imgfx_copy_row(s, t, 0, 1);
    EXPECT_TRUE(grid_equals(t, {9, 9, 0, 2}));
    imgfx_copy_row(s, t, 0, 2);
    EXPECT_TRUE(grid_equals(t, {9, 9, 0, 2}));
}

TEST(ImgfxCopies, Rectangles) {
    Own<img_del> img(grid_image(3, 2));
    imgfx_fill_rect(img, -5, 0, 5, 2, 7);  // nothing
    imgfx_fill_rect(img, -5, 0, 6, 1, 7);  // column 0 of row 0
    EXPECT_TRUE(grid_equals(img, {7, 0, 0, 0, 0, 0}));
    imgfx_rect(img, 0, 0, 0, 2, 8);  // w = 0: refused
    imgfx_rect(img, 1, 0, 3, 2, 8);  // one past the right edge: refused
    EXPECT_TRUE(grid_equals(img, {7, 0, 0, 0, 0, 0}));
    imgfx_rect(img, 1, 0, 2, 2, 8);
    EXPECT_TRUE(grid_equals(img, {7, 8, 8, 0, 8, 8}));
    imgfx_invert_rect(img, -1, 1, 2, 5);
    EXPECT_TRUE(grid_equals(img, {7, 8, 8, 0xFFFFFFFF, 8, 8}));
    imgfx_fill_rect(nullptr, 0, 0, 1, 1, 1);
    imgfx_rect(nullptr, 0, 0, 1, 1, 1);
    imgfx_invert_rect(nullptr, 0, 0, 1, 1);
}

TEST(ImgfxCopies, SpansOrderTheirEnds) {
    Own<img_del> img(grid_image(3, 3));
    imgfx_hline(img, 0, 5, 1, 4);
    imgfx_vline(img, 0, 2, -4, 6);
    EXPECT_TRUE(grid_equals(img, {6, 4, 4, 6, 0, 0, 6, 0, 0}));
    imgfx_hline(nullptr, 0, 0, 1, 1);
    imgfx_vline(nullptr, 0, 0, 1, 1);
}

TEST(ImgfxCopies, WholeImageColourOperations) {
    Own<img_del> img(grid_image(3, 1, {0x00080808, 0x00FFFFFF, 0xFF000000}));
    imgfx_sub_colour(img, 0x00102030);
    EXPECT_TRUE(grid_equals(img, {0, 0x00EFDFCF, 0}));
    imgfx_invert(img);
    EXPECT_TRUE(grid_equals(img, {0x00FFFFFF, 0x00102030, 0x00FFFFFF}));
    imgfx_replace_colour(img, 0x00FFFFFF, 5);
    EXPECT_TRUE(grid_equals(img, {5, 0x00102030, 5}));
    Own<img_del> mask(grid_image(3, 1, {0x0000FFFF, 0xFFFF0000, 0}));
    imgfx_and(mask, img);
    EXPECT_TRUE(grid_equals(img, {5, 0x00100000, 0}));
    imgfx_sub_colour(nullptr, 1);
    imgfx_invert(nullptr);
    imgfx_replace_colour(nullptr, 1, 2);
    imgfx_and(nullptr, img);
    imgfx_and(mask, nullptr);
}

TEST(ImgfxCopies, ScaleAndRotate) {
    Own<img_del> s(grid_image(2, 2, {1, 2, 3, 4}));
    Own<img_del> t(grid_image(4, 4));
    imgfx_scale(s, t);
    EXPECT_TRUE(grid_equals(t, {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
    Own<img_del> wide(grid_image(100, 50));
    Own<img_del> r(imgfx_rotate(wide, 0));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->width, 141);
    EXPECT_EQ(r->height, 70);
    EXPECT_EQ(imgfx_rotate(nullptr, 0), nullptr);
    imgfx_scale(nullptr, t);
    imgfx_scale(s, nullptr);
}

static std::vector<int32_t> take(int32_t *values, size_t n) {
    std::vector<int32_t> v(values, values + n);
    free(values);
    return v;
}

TEST(ImgfxCopies, RunLengthsPointsAndText) {
    EXPECT_EQ(take(imgfx_run_lengths(5, 3), 3), (std::vector<int32_t>{2, 2, 1}));
    EXPECT_EQ(take(imgfx_run_lengths(4, 2), 2), (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(take(imgfx_run_lengths_mirrored(5, 3), 3), (std::vector<int32_t>{2, 2, 2}));
    EXPECT_EQ(take(imgfx_run_lengths_mirrored(6, 2), 2), (std::vector<int32_t>{3, 3}));
    EXPECT_EQ(take(imgfx_line_points(0, 0, 2, 1), 7), (std::vector<int32_t>{6, 0, 0, 1, 1, 2, 1}));
    EXPECT_EQ(imgfx_find_text("xIMG{", "IMG"), 4);
    EXPECT_EQ(imgfx_find_text("abc", "{"), 0);
    EXPECT_EQ(imgfx_find_text(nullptr, "{"), 0);
    EXPECT_EQ(imgfx_find_text("abc", nullptr), 0);
}
