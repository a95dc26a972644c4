// IMG blits, wrap copies, rectangles and resampling.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "imaging/img.h"
#include "tests/test_support.h"

namespace {

// Source pixel (x, y) of the test sources: 0xYX + 0x11, never 0.
uint32_t sp(int x, int y) { return (uint32_t)(0x10 * y + x + 0x11); }

IMG *numbered(int w, int h) {
    IMG *image = grid_image(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) image->pixels[y * w + x] = sp(x, y);
    return image;
}

std::vector<uint32_t> filled(int n, uint32_t v) { return std::vector<uint32_t>(n, v); }

}  // namespace

// ---- Rectangle blits --------------------------------------------------------------

TEST(ImgBlit, NegativeTargetCornerTakesBottomRightOfSource) {
    IMG *s = numbered(4, 4);
    IMG *t = grid_image(10, 10);
    img_blit(s, t, 0, 0, -2, -2, 4, 4);
    std::vector<uint32_t> want = filled(100, 0);
    want[0] = sp(2, 2);
    want[1] = sp(3, 2);
    want[10] = sp(2, 3);
    want[11] = sp(3, 3);
    EXPECT_TRUE(grid_equals(t, 10, 10, want.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, NegativeSourceXShiftsTarget) {
    IMG *s = numbered(3, 1);
    IMG *t = grid_image(5, 1);
    img_blit(s, t, -1, 0, 1, 0, 3, 1);
    static const uint32_t want[5] = {0, 0, sp(0, 0), sp(1, 0), 0};
    EXPECT_TRUE(grid_equals(t, 5, 1, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, ClipsAtRightAndBottomOfTarget) {
    IMG *s = numbered(3, 3);
    IMG *t = grid_image(5, 4);
    img_blit(s, t, 0, 0, 3, 2, 3, 3);
    std::vector<uint32_t> want = filled(20, 0);
    want[2 * 5 + 3] = sp(0, 0);
    want[2 * 5 + 4] = sp(1, 0);
    want[3 * 5 + 3] = sp(0, 1);
    want[3 * 5 + 4] = sp(1, 1);
    EXPECT_TRUE(grid_equals(t, 5, 4, want.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, ClipsAtEveryEdgeOfSource) {
    IMG *s = numbered(3, 3);
    IMG *t = grid_image(6, 6);
    // Source rectangle (1, -1) .. 5 x 5: only columns 1-2 and rows 0-2 exist,
    // landing at (dx + 0, dy + 1).
    img_blit(s, t, 1, -1, 2, 0, 5, 5);
    std::vector<uint32_t> want = filled(36, 0);
    for (int y = 0; y < 3; y++)
        for (int x = 1; x < 3; x++) want[(y + 1) * 6 + (x - 1) + 2] = sp(x, y);
    EXPECT_TRUE(grid_equals(t, 6, 6, want.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, OutsideOrEmptyRectanglesTransferNothing) {
    IMG *s = numbered(3, 3);
    IMG *t = grid_image(4, 4);
    std::vector<uint32_t> black = filled(16, 0);
    img_blit(s, t, 0, 0, 4, 0, 3, 3);    // right of the target
    img_blit(s, t, 0, 0, 0, 4, 3, 3);    // below
    img_blit(s, t, 0, 0, -3, 0, 3, 3);   // just left
    img_blit(s, t, 0, 0, 0, -3, 3, 3);   // just above
    img_blit(s, t, 3, 0, 0, 0, 3, 3);    // right of the source
    img_blit(s, t, 0, 3, 0, 0, 3, 3);    // below the source
    img_blit(s, t, -3, 0, 0, 0, 3, 3);   // left of the source
    img_blit(s, t, 0, 0, 0, 0, 0, 3);    // empty
    img_blit(s, t, 0, 0, 0, 0, -2, -2);  // negative
    img_blit(s, t, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    img_blit(s, t, INT32_MIN, 0, 0, 0, INT32_MAX, 1);
    EXPECT_TRUE(grid_equals(t, 4, 4, black.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, HugeSizesAreClippedWithoutOverflow) {
    IMG *s = numbered(2, 2);
    IMG *t = grid_image(3, 3);
    img_blit(s, t, 0, 0, 1, 1, INT32_MAX, INT32_MAX);
    std::vector<uint32_t> want = filled(9, 0);
    want[4] = sp(0, 0);
    want[5] = sp(1, 0);
    want[7] = sp(0, 1);
    want[8] = sp(1, 1);
    EXPECT_TRUE(grid_equals(t, 3, 3, want.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, ZeroSourceIsTransparentButOpaqueCopiesIt) {
    static const uint32_t src[4] = {0, 0x00000001, 0xFF000000, 0};
    IMG *s = grid_image(2, 2, src);
    IMG *t = grid_image(2, 2);
    img_clear(t, 0x00777777);
    img_blit(s, t, 0, 0, 0, 0, 2, 2);
    static const uint32_t keyed[4] = {0x00777777, 0x00000001, 0xFF000000, 0x00777777};
    EXPECT_TRUE(grid_equals(t, 2, 2, keyed));
    img_clear(t, 0x00777777);
    img_blit_opaque(s, t, 0, 0, 0, 0, 2, 2);
    EXPECT_TRUE(grid_equals(t, 2, 2, src));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, AddWrapsWholeWords) {
    static const uint32_t src[3] = {0x000000FF, 0xFFFFFFFF, 0x00000000};
    static const uint32_t dst[3] = {0x00000001, 0x00000002, 0x00123456};
    IMG *s = grid_image(3, 1, src);
    IMG *t = grid_image(3, 1, dst);
    img_blit_add(s, t, 0, 0, 0, 0, 3, 1);
    static const uint32_t want[3] = {0x00000100, 0x00000001, 0x00123456};
    EXPECT_TRUE(grid_equals(t, 3, 1, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, AddSatSaturatesEachChannel) {
    static const uint32_t src[3] = {0x000000FF, 0x00018001, 0xFF000000};
    static const uint32_t dst[3] = {0x00000001, 0x00FF80FF, 0x00102030};
    IMG *s = grid_image(3, 1, src);
    IMG *t = grid_image(3, 1, dst);
    img_blit_add_sat(s, t, 0, 0, 0, 0, 3, 1);
    static const uint32_t want[3] = {0x000000FF, 0x00FFFFFF, 0x00102030};
    EXPECT_TRUE(grid_equals(t, 3, 1, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, DrawUsesSourcePosition) {
    IMG *s = numbered(2, 2);
    s->pixels[3] = 0;  // transparent
    IMG *t = grid_image(4, 3);
    s->x = 3;
    s->y = 1;
    img_draw(s, t);
    std::vector<uint32_t> want = filled(12, 0);
    want[1 * 4 + 3] = sp(0, 0);
    want[2 * 4 + 3] = sp(0, 1);
    EXPECT_TRUE(grid_equals(t, 4, 3, want.data()));
    s->x = 4;  // wholly right of the target
    img_draw(s, t);
    s->x = -2;
    s->y = 0;  // x + width < 1
    img_draw(s, t);
    EXPECT_TRUE(grid_equals(t, 4, 3, want.data()));
    img_draw(nullptr, t);
    img_draw(s, nullptr);
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlit, BadImagesAreRefused) {
    IMG *s = numbered(2, 2);
    IMG *t = grid_image(2, 2);
    IMG *broken = grid_image(2, 2);
    img_resize(broken, -1, 2);
    img_blit(nullptr, t, 0, 0, 0, 0, 2, 2);
    img_blit(s, nullptr, 0, 0, 0, 0, 2, 2);
    img_blit_opaque(broken, t, 0, 0, 0, 0, 2, 2);
    img_blit_add(s, broken, 0, 0, 0, 0, 2, 2);
    img_blit_add_sat(nullptr, nullptr, 0, 0, 0, 0, 2, 2);
    std::vector<uint32_t> black = filled(4, 0);
    EXPECT_TRUE(grid_equals(t, 2, 2, black.data()));
    img_del(&s);
    img_del(&t);
    img_del(&broken);
}

// ---- Spaced blit ---------------------------------------------------------------

TEST(ImgBlitSpaced, SpreadsPixelsByStep) {
    static const uint32_t src[4] = {0x0A, 0x0B, 0, 0x0D};
    IMG *s = grid_image(2, 2, src);
    IMG *t = grid_image(5, 5);
    img_clear(t, 0x77);
    img_blit_spaced(s, t, 0, 0, 1, 0, 2, 2, 2, 3);
    std::vector<uint32_t> want = filled(25, 0x77);
    want[0 * 5 + 1] = 0x0A;
    want[0 * 5 + 3] = 0x0B;
    want[3 * 5 + 3] = 0x0D;  // (1, 3) keeps 0x77: source 0 is transparent
    EXPECT_TRUE(grid_equals(t, 5, 5, want.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlitSpaced, ClipsPerPixelAtEveryEdge) {
    IMG *s = numbered(3, 3);
    IMG *t = grid_image(4, 4);
    // Columns land at -2, 0, 2; rows at -3, 0, 3.
    img_blit_spaced(s, t, 0, 0, -2, -3, 3, 3, 2, 3);
    std::vector<uint32_t> want = filled(16, 0);
    want[0 * 4 + 0] = sp(1, 1);
    want[0 * 4 + 2] = sp(2, 1);
    want[3 * 4 + 0] = sp(1, 2);
    want[3 * 4 + 2] = sp(2, 2);
    EXPECT_TRUE(grid_equals(t, 4, 4, want.data()));
    // Source rectangle partly outside the source: only existing pixels move.
    IMG *u = grid_image(4, 4);
    img_blit_spaced(s, u, 2, -1, 0, 0, 5, 5, 1, 1);
    std::vector<uint32_t> want2 = filled(16, 0);
    for (int j = 1; j < 4; j++) want2[j * 4 + 0] = sp(2, j - 1);
    EXPECT_TRUE(grid_equals(u, 4, 4, want2.data()));
    img_del(&u);
    img_del(&s);
    img_del(&t);
}

TEST(ImgBlitSpaced, StepOneIsBlitAndBadStepsAreRefused) {
    IMG *s = numbered(3, 2);
    IMG *a = grid_image(5, 4);
    IMG *b = grid_image(5, 4);
    img_blit_spaced(s, a, 0, 0, 1, 1, 3, 2, 1, 1);
    img_blit(s, b, 0, 0, 1, 1, 3, 2);
    EXPECT_EQ(img_compare(a, b), 1);
    img_clear(a, 0);
    img_blit_spaced(s, a, 0, 0, 0, 0, 3, 2, 0, 1);
    img_blit_spaced(s, a, 0, 0, 0, 0, 3, 2, 1, -1);
    std::vector<uint32_t> black = filled(20, 0);
    EXPECT_TRUE(grid_equals(a, 5, 4, black.data()));
    img_blit_spaced(s, a, 0, 0, 0, 0, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX);
    black[0] = sp(0, 0);
    EXPECT_TRUE(grid_equals(a, 5, 4, black.data()));
    img_blit_spaced(nullptr, a, 0, 0, 0, 0, 1, 1, 1, 1);
    img_del(&s);
    img_del(&a);
    img_del(&b);
}

// ---- Wrap copies ----------------------------------------------------------------

TEST(ImgWrap, RowWrapNegativeOffset) {
    static const uint32_t src[3] = {0x0A, 0, 0x0C};
    IMG *s = grid_image(3, 1, src);
    IMG *t = grid_image(8, 2);
    img_clear(t, 0x77);
    img_blit_row_wrap(s, t, 0, 1, -1);
    std::vector<uint32_t> want = filled(16, 0x77);
    want[8 + 7] = 0x0A;
    want[8 + 1] = 0x0C;  // column 0 kept: the source pixel there is 0
    EXPECT_TRUE(grid_equals(t, 8, 2, want.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgWrap, RowWrapCopiesOnlyTheNarrowerWidth) {
    IMG *s = numbered(6, 1);
    IMG *t = grid_image(4, 1);
    img_blit_row_wrap(s, t, 0, 0, 2 + 4 * 1000);
    static const uint32_t want[4] = {sp(2, 0), sp(3, 0), sp(0, 0), sp(1, 0)};
    EXPECT_TRUE(grid_equals(t, 4, 1, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgWrap, OrRowWrapIncludesZeros) {
    static const uint32_t src[3] = {0x01, 0, 0x10};
    static const uint32_t dst[3] = {0x02, 0x04, 0x08};
    IMG *s = grid_image(3, 1, src);
    IMG *t = grid_image(3, 1, dst);
    img_or_row_wrap(s, t, 0, 0, INT32_MIN);  // INT32_MIN mod 3 = 1 after wrapping
    // offset -2147483648 mod 3: -2147483648 = -715827883 * 3 + 1, so x0 = 1.
    static const uint32_t want[3] = {0x02 | 0x10, 0x04 | 0x01, 0x08};
    EXPECT_TRUE(grid_equals(t, 3, 1, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgWrap, ColumnWrap) {
    static const uint32_t src[6] = {0x0A, 0x1A, 0, 0x1B, 0x0C, 0x1C};  // 2 wide, 3 high
    IMG *s = grid_image(2, 3, src);
    IMG *t = grid_image(3, 4);
    img_clear(t, 0x77);
    img_blit_column_wrap(s, t, 1, 2, -2);
    std::vector<uint32_t> want = filled(12, 0x77);
    // y0 = -2 mod 4 = 2: rows 2, 3, 0 get 0x1A, 0x1B, 0x1C.
    want[2 * 3 + 2] = 0x1A;
    want[3 * 3 + 2] = 0x1B;
    want[0 * 3 + 2] = 0x1C;
    EXPECT_TRUE(grid_equals(t, 3, 4, want.data()));
    img_blit_column_wrap(s, t, 0, 0, 0);
    want[0] = 0x0A;
    want[2 * 3] = 0x0C;  // row 1 keeps 0x77: source 0
    EXPECT_TRUE(grid_equals(t, 3, 4, want.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgWrap, CopyRowCopiesZeros) {
    static const uint32_t src[4] = {0x01, 0, 0x03, 0x04};
    IMG *s = grid_image(4, 1, src);
    IMG *t = grid_image(3, 2);
    img_clear(t, 0x77);
    img_copy_row(s, t, 0, 1);
    static const uint32_t want[6] = {0x77, 0x77, 0x77, 0x01, 0, 0x03};
    EXPECT_TRUE(grid_equals(t, 3, 2, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgWrap, RowsAndColumnsOutsideAreRefused) {
    IMG *s = numbered(3, 3);
    IMG *t = grid_image(3, 3);
    img_blit_row_wrap(s, t, -1, 0, 0);
    img_blit_row_wrap(s, t, 3, 0, 0);
    img_blit_row_wrap(s, t, 0, -1, 0);
    img_blit_row_wrap(s, t, 0, 3, 0);
    img_or_row_wrap(s, t, 0, 3, 0);
    img_blit_column_wrap(s, t, 3, 0, 0);
    img_blit_column_wrap(s, t, 0, -1, 0);
    img_copy_row(s, t, 0, 3);
    img_copy_row(s, t, -1, 0);
    img_copy_row(nullptr, t, 0, 0);
    img_blit_row_wrap(s, nullptr, 0, 0, 0);
    std::vector<uint32_t> black = filled(9, 0);
    EXPECT_TRUE(grid_equals(t, 3, 3, black.data()));
    img_del(&s);
    img_del(&t);
}

TEST(ImgWrap, EmptyTargetLinesNeverDivideByZero) {
    IMG *s = numbered(3, 3);
    IMG *t = grid_image(0, 3);
    img_blit_row_wrap(s, t, 0, 1, 5);
    img_or_row_wrap(s, t, 0, 1, 5);
    img_copy_row(s, t, 0, 1);
    img_resize(t, 3, 0);
    img_blit_column_wrap(s, t, 0, 1, 5);
    img_del(&s);
    img_del(&t);
}

// ---- Rectangles ------------------------------------------------------------------

TEST(ImgRect, FillRectClipsLeftEdge) {
    IMG *t = grid_image(3, 2);
    img_fill_rect(t, -5, 0, 5, 2, 0x0F);
    std::vector<uint32_t> want = filled(6, 0);
    EXPECT_TRUE(grid_equals(t, 3, 2, want.data()));
    img_fill_rect(t, -5, 0, 6, 2, 0x0F);
    want[0] = want[3] = 0x0F;
    EXPECT_TRUE(grid_equals(t, 3, 2, want.data()));
    img_del(&t);
}

TEST(ImgRect, FillRectClipsEveryEdge) {
    IMG *t = grid_image(4, 4);
    img_fill_rect(t, 2, -1, 9, 2, 0x01);  // top and right
    img_fill_rect(t, -1, 3, 2, 9, 0x02);  // left and bottom
    img_fill_rect(t, 4, 0, 1, 1, 0x03);   // x = width: nothing
    img_fill_rect(t, 0, 4, 1, 1, 0x03);   // y = height: nothing
    img_fill_rect(t, 0, -1, 1, 1, 0x03);  // y + h = 0: nothing
    img_fill_rect(t, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0x03);  // ends at -1
    static const uint32_t want[16] = {0, 0, 1, 1,
                                      0, 0, 0, 0,
                                      0, 0, 0, 0,
                                      2, 0, 0, 0};
    EXPECT_TRUE(grid_equals(t, 4, 4, want));
    img_fill_rect(t, 1, 1, INT32_MAX, INT32_MAX, 0x04);
    static const uint32_t want2[16] = {0, 0, 1, 1,
                                       0, 4, 4, 4,
                                       0, 4, 4, 4,
                                       2, 4, 4, 4};
    EXPECT_TRUE(grid_equals(t, 4, 4, want2));
    img_fill_rect(nullptr, 0, 0, 1, 1, 0);
    img_del(&t);
}

TEST(ImgRect, OutlineInside) {
    IMG *t = grid_image(6, 5);
    img_rect(t, 1, 1, 4, 3, 0x09);
    static const uint32_t want[30] = {0, 0, 0, 0, 0, 0,
                                      0, 9, 9, 9, 9, 0,
                                      0, 9, 0, 0, 9, 0,
                                      0, 9, 9, 9, 9, 0,
                                      0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(t, 6, 5, want));
    img_del(&t);
}

TEST(ImgRect, OutlineOfOnePixelAndWholeImage) {
    IMG *t = grid_image(3, 3);
    img_rect(t, 0, 0, 3, 3, 0x05);
    img_rect(t, 1, 1, 1, 1, 0x06);
    static const uint32_t want[9] = {5, 5, 5, 5, 6, 5, 5, 5, 5};
    EXPECT_TRUE(grid_equals(t, 3, 3, want));
    img_del(&t);
}

TEST(ImgRect, OutlineNotWhollyInsideDrawsNothing) {
    IMG *t = grid_image(4, 4);
    img_rect(t, 0, 0, 0, 2, 1);   // w = 0
    img_rect(t, 0, 0, 2, 0, 1);   // h = 0
    img_rect(t, 1, 0, 4, 2, 1);   // one past the right edge
    img_rect(t, 0, 1, 2, 4, 1);   // one past the bottom
    img_rect(t, -1, 0, 2, 2, 1);  // left
    img_rect(t, 0, -1, 2, 2, 1);  // top
    img_rect(t, 1, 1, INT32_MAX, 1, 1);
    img_rect(nullptr, 0, 0, 1, 1, 1);
    std::vector<uint32_t> black = filled(16, 0);
    EXPECT_TRUE(grid_equals(t, 4, 4, black.data()));
    img_del(&t);
}

TEST(ImgRect, InvertRectFlipsWholeWordsClipped) {
    static const uint32_t px[6] = {0x00123456, 0x00000000, 0xFF000000,
                                   0x00FFFFFF, 0x00010101, 0x00000001};
    IMG *t = grid_image(3, 2, px);
    img_invert_rect(t, -1, -4, 3, 5);  // covers columns 0-1 of row 0
    static const uint32_t want[6] = {0xFFEDCBA9, 0xFFFFFFFF, 0xFF000000,
                                     0x00FFFFFF, 0x00010101, 0x00000001};
    EXPECT_TRUE(grid_equals(t, 3, 2, want));
    img_invert_rect(t, 2, 1, 5, 5);  // bottom-right corner only
    static const uint32_t want2[6] = {0xFFEDCBA9, 0xFFFFFFFF, 0xFF000000,
                                      0x00FFFFFF, 0x00010101, 0xFFFFFFFE};
    EXPECT_TRUE(grid_equals(t, 3, 2, want2));
    img_invert_rect(t, -3, 0, 3, 2);  // x + w = 0: nothing
    img_invert_rect(t, 3, 0, 3, 2);   // x = width: nothing
    EXPECT_TRUE(grid_equals(t, 3, 2, want2));
    img_invert_rect(nullptr, 0, 0, 1, 1);
    img_del(&t);
}

// ---- Run lengths -------------------------------------------------------------------

TEST(ImgRuns, SplitsIntoNearEqualRuns) {
    int32_t *r = img_run_lengths(4, 2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(r[1], 2);
    EXPECT_EQ(r[2], 1);  // leftover
    free(r);
    r = img_run_lengths(5, 3);
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(r[1], 2);
    EXPECT_EQ(r[2], 1);
    EXPECT_EQ(r[3], 1);
    free(r);
    r = img_run_lengths(-3, 5);  // order and signs do not matter
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(r[1], 2);
    EXPECT_EQ(r[2], 1);
    free(r);
    r = img_run_lengths(3, 3);
    for (int i = 0; i < 4; i++) EXPECT_EQ(r[i], 1) << i;
    free(r);
    r = img_run_lengths(0, 0);
    EXPECT_EQ(r[0], 1);
    free(r);
    r = img_run_lengths(4, 0);
    EXPECT_EQ(r[0], 5);
    free(r);
    EXPECT_EQ(img_run_lengths(INT32_MIN, 3), nullptr);
}

TEST(ImgRuns, MirroredFillsFromBothEnds) {
    int32_t *r = img_run_lengths_mirrored(7, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r[0], 3);
    EXPECT_EQ(r[1], 2);
    EXPECT_EQ(r[2], 3);
    free(r);
    r = img_run_lengths_mirrored(5, 3);
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(r[1], 2);
    EXPECT_EQ(r[2], 2);
    free(r);
    r = img_run_lengths_mirrored(2, -4);
    EXPECT_EQ(r[0], 2);
    EXPECT_EQ(r[1], 2);
    free(r);
    r = img_run_lengths_mirrored(5, 0);
    EXPECT_NE(r, nullptr);
    free(r);
}

// ---- Scaling -------------------------------------------------------------------------

TEST(ImgScale, TwoByTwoToFourByFourDoubles) {
    static const uint32_t src[4] = {1, 2, 3, 4};
    IMG *s = grid_image(2, 2, src);
    IMG *t = grid_image(4, 4);
    img_clear(t, 0x77);
    img_scale(s, t);
    static const uint32_t want[16] = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    EXPECT_TRUE(grid_equals(t, 4, 4, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgScale, FourByFourToTwoByTwoTakesLastOfRuns) {
    IMG *s = numbered(4, 4);
    IMG *t = grid_image(2, 2);
    img_scale(s, t);
    static const uint32_t want[4] = {sp(1, 1), sp(3, 1), sp(1, 3), sp(3, 3)};
    EXPECT_TRUE(grid_equals(t, 2, 2, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgScale, WiderButLowerTakesFirstRowOfRuns) {
    IMG *s = numbered(2, 4);
    IMG *t = grid_image(4, 2);
    img_scale(s, t);
    static const uint32_t want[8] = {sp(0, 0), sp(0, 0), sp(1, 0), sp(1, 0),
                                     sp(0, 2), sp(0, 2), sp(1, 2), sp(1, 2)};
    EXPECT_TRUE(grid_equals(t, 4, 2, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgScale, NarrowerButHigherTakesLastColumnOfRuns) {
    IMG *s = numbered(4, 2);
    IMG *t = grid_image(2, 4);
    img_scale(s, t);
    static const uint32_t want[8] = {sp(1, 0), sp(3, 0), sp(1, 0), sp(3, 0),
                                     sp(1, 1), sp(3, 1), sp(1, 1), sp(3, 1)};
    EXPECT_TRUE(grid_equals(t, 2, 4, want));
    img_del(&s);
    img_del(&t);
}

TEST(ImgScale, UnevenRuns) {
    IMG *s = numbered(3, 1);
    IMG *t = grid_image(5, 1);
    img_scale(s, t);  // runs 2, 2, 1
    static const uint32_t want[5] = {sp(0, 0), sp(0, 0), sp(1, 0), sp(1, 0), sp(2, 0)};
    EXPECT_TRUE(grid_equals(t, 5, 1, want));
    img_del(&s);
    s = numbered(5, 1);
    img_resize(t, 3, 1);
    img_scale(s, t);  // runs 2, 2, 1 of source columns: last of each
    static const uint32_t want2[3] = {sp(1, 0), sp(3, 0), sp(4, 0)};
    EXPECT_TRUE(grid_equals(t, 3, 1, want2));
    img_del(&s);
    img_del(&t);
}

TEST(ImgScale, BadSizesAreRefused) {
    IMG *s = numbered(2, 2);
    IMG *t = grid_image(2, 2);
    img_resize(t, -2, 2);
    img_scale(s, t);
    img_resize(t, 0, 3);
    img_scale(s, t);
    img_resize(t, 2, 2);
    IMG *empty = grid_image(0, 2);
    img_scale(empty, t);
    std::vector<uint32_t> black = filled(4, 0);
    EXPECT_TRUE(grid_equals(t, 2, 2, black.data()));
    img_scale(nullptr, t);
    img_scale(s, nullptr);
    img_del(&s);
    img_del(&t);
    img_del(&empty);
}

// ---- Rotation ------------------------------------------------------------------------

TEST(ImgRotate, SizeGrowsBySquareRootOfTwo) {
    IMG *s = grid_image(100, 50);
    IMG *r = img_rotate(s, 123);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->width, 141);
    EXPECT_EQ(r->height, 70);
    EXPECT_EQ(r->x, 0);
    img_del(&s);
    img_del(&r);
    EXPECT_EQ(img_rotate(nullptr, 0), nullptr);
}

TEST(ImgRotate, AngleZeroIsHalfTurn) {
    IMG *s = numbered(4, 4);
    IMG *r = img_rotate(s, 0);
    // 4 * 92667 >> 16 = 5; centres 2 and 2; c = -32766, s = 0: source x is
    // 2 + ((u * -32766) >> 15) = 3, 2, 2, 1, 0 for u = -2 .. 2, rows alike.
    const int m[5] = {3, 2, 2, 1, 0};
    std::vector<uint32_t> want;
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 5; x++) want.push_back(sp(m[x], m[y]));
    EXPECT_TRUE(grid_equals(r, 5, 5, want.data()));
    img_del(&s);
    img_del(&r);
}

TEST(ImgRotate, QuarterTurn) {
    IMG *s = numbered(4, 4);
    IMG *r = img_rotate(s, 256 + 1024 * 3);
    // s = T[768] = -32766, c = T[512] = 0: source x = 2 - ((v * -32766) >> 15)
    // = 1, 2, 2, 3, 4 for rows 0..4; source y = 2 + ((u * -32766) >> 15) =
    // 3, 2, 2, 1, 0 for columns 0..4; column 4 of the source is outside (0).
    const int sx[5] = {1, 2, 2, 3, 4}, sy[5] = {3, 2, 2, 1, 0};
    std::vector<uint32_t> want;
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 5; x++) want.push_back(sx[y] < 4 ? sp(sx[y], sy[x]) : 0);
    EXPECT_TRUE(grid_equals(r, 5, 5, want.data()));
    img_del(&s);
    img_del(&r);
}

TEST(ImgRotate, ExtremeAnglesWrap) {
    IMG *s = numbered(4, 4);
    IMG *a = img_rotate(s, INT32_MIN);  // INT32_MIN & 1023 = 0
    IMG *b = img_rotate(s, 0);
    EXPECT_EQ(img_compare(a, b), 1);
    img_del(&a);
    img_del(&b);
    img_del(&s);
}
