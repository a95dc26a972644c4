// SEG2D: segments of two owned endpoints; drawing, rotation about the origin,
// box overlap and the fixed-point crossing test. Its switch is off: bad
// arguments print nothing and give neutral values.
#include <gtest/gtest.h>

#include <string>

#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/seg2d.h"

static SEG2D *seg(int32_t ax, int32_t ay, int32_t bx, int32_t by, uint32_t color = 0xFFFFFF) {
    SEG2D *s = seg2d_new();
    s->a->x = ax;
    s->a->y = ay;
    s->b->x = bx;
    s->b->y = by;
    s->a->color = color;
    return s;
}

static const uint32_t W = 0xFFFFFF;

TEST(Seg2d, NewRunsFromOriginToOneOne) {
    SEG2D *s = seg2d_new();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->a->x, 0);
    EXPECT_EQ(s->a->y, 0);
    EXPECT_EQ(s->b->x, 1);
    EXPECT_EQ(s->b->y, 1);
    EXPECT_EQ(s->a->color, W);
    EXPECT_EQ(s->b->color, W);
    seg2d_del(&s);
    EXPECT_EQ(s, nullptr);
}

TEST(Seg2d, NewSegmentDrawsTwoPixels) {
    Own<seg2d_del> s(seg2d_new());
    Own<img_del> img(grid_image(3, 3));
    seg2d_draw(s, img);
    const uint32_t expected[9] = {W, 0, 0,
                                  0, W, 0,
                                  0, 0, 0};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Seg2d, DrawUsesFirstEndColourAndClips) {
    // (0, 0)-(3, 1) steps x with the error term starting at half of 3:
    // (0, 0), (1, 1), (2, 1), (3, 1); the part beyond x = 2 is dropped.
    Own<seg2d_del> s(seg(0, 0, 3, 1, 0x00AA00));
    s->b->color = 0x0000BB;
    Own<img_del> img(grid_image(3, 2));
    seg2d_draw(s, img);
    const uint32_t expected[6] = {0x00AA00, 0, 0,
                                  0, 0x00AA00, 0x00AA00};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Seg2d, PlotEndsEachInItsOwnColour) {
    Own<seg2d_del> s(seg(0, 1, 2, 0, 0x110000));
    s->b->color = 0x002200;
    Own<img_del> img(grid_image(3, 2));
    seg2d_plot_ends(s, img);
    const uint32_t expected[6] = {0, 0, 0x002200,
                                  0x110000, 0, 0};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Seg2d, DrawTransformedLeavesSegmentAlone) {
    // A quarter turn: (2, 0) -> (0, 65532 >> 15) = (0, 1),
    // (4, 0) -> (0, 131064 >> 15) = (0, 3); moved by (1, 0): (1, 1)-(1, 3).
    Own<seg2d_del> s(seg(2, 0, 4, 0, 0xFF0000));
    VEC2D offset = {1, 0, 0};
    Own<img_del> img(grid_image(3, 4));
    seg2d_draw_transformed(s, 256, &offset, img);
    const uint32_t R = 0xFF0000;
    const uint32_t expected[12] = {0, 0, 0,
                                   0, R, 0,
                                   0, R, 0,
                                   0, R, 0};
    EXPECT_TRUE(grid_equals(img, expected));
    EXPECT_EQ(s->a->x, 2);
    EXPECT_EQ(s->a->y, 0);
    EXPECT_EQ(s->b->x, 4);
    EXPECT_EQ(s->b->y, 0);
}

TEST(Seg2d, DrawAverageBlendsEachPixelOnce) {
    // Three steps from both ends: (0,0)/(3,0) then (1,0)/(2,0). Per channel
    // (0x30 + 0x10) / 2 = 0x20, (0x50 + 0x20) / 2 = 0x38, (0x70 + 0x30) / 2 = 0x50.
    Own<seg2d_del> s(seg(0, 0, 3, 0, 0x102030));
    Own<img_del> img(grid_filled(5, 1, 0x305070));
    seg2d_draw_average(s, img);
    const uint32_t expected[5] = {0x203850, 0x203850, 0x203850, 0x203850, 0x305070};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Seg2d, DrawAddSaturates) {
    // Red 0x30 + 0xE0 passes 255 and stops there; green and blue add 0.
    Own<seg2d_del> s(seg(1, 0, 4, 0, 0xE00000));
    Own<img_del> img(grid_filled(5, 1, 0x305070));
    seg2d_draw_add(s, img);
    const uint32_t expected[5] = {0x305070, 0xFF5070, 0xFF5070, 0xFF5070, 0xFF5070};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Seg2d, RotateIsAboutTheOrigin) {
    Own<seg2d_del> s(seg(10, 0, 20, 0));
    seg2d_rotate(s, 512);
    // cv = -32766: 10 -> -327660 >> 15 = -10, 20 -> -655320 >> 15 = -20.
    EXPECT_EQ(s->a->x, -10);
    EXPECT_EQ(s->a->y, 0);
    EXPECT_EQ(s->b->x, -20);
    EXPECT_EQ(s->b->y, 0);
}

TEST(Seg2d, TranslateScaleMul) {
    Own<seg2d_del> s(seg(1, 2, 3, 4));
    VEC2D offset = {10, -10, 0};
    seg2d_translate(s, &offset);
    EXPECT_EQ(s->a->x, 11);
    EXPECT_EQ(s->a->y, -8);
    EXPECT_EQ(s->b->x, 13);
    EXPECT_EQ(s->b->y, -6);
    seg2d_scale(s, 2);
    EXPECT_EQ(s->a->x, 22);
    EXPECT_EQ(s->b->y, -12);
    VEC2D factors = {-1, 3, 0};
    seg2d_mul(s, &factors);
    EXPECT_EQ(s->a->x, -22);
    EXPECT_EQ(s->a->y, -48);
    EXPECT_EQ(s->b->x, -26);
    EXPECT_EQ(s->b->y, -36);
}

TEST(Seg2d, CompareCopyDup) {
    Own<seg2d_del> s(seg(1, 2, 3, 4, 0x123456));
    Own<seg2d_del> t(seg2d_dup(s));
    ASSERT_NE(t, nullptr);
    EXPECT_NE(t->a, s->a);
    EXPECT_TRUE(seg2d_compare(s, t));
    t->b->color = 0;
    EXPECT_FALSE(seg2d_compare(s, t));
    seg2d_copy(s, t);
    EXPECT_TRUE(seg2d_compare(s, t));
}

TEST(Seg2d, BoxesOverlapEdgesIncluded) {
    SEG2D *a = seg(0, 0, 1, 1), *b = seg(2, 2, 3, 3), *c = seg(0, 0, 2, 2);
    EXPECT_FALSE(seg2d_boxes_overlap(a, b));
    EXPECT_TRUE(seg2d_boxes_overlap(c, b));
    EXPECT_TRUE(seg2d_boxes_overlap(b, c));
    // Endpoints given in reverse order make the same box.
    Own<seg2d_del> d(seg(3, 3, 2, 2));
    EXPECT_TRUE(seg2d_boxes_overlap(c, d));
    seg2d_del(&a);
    seg2d_del(&b);
    seg2d_del(&c);
}

TEST(Seg2d, CollinearHorizontalSegments) {
    SEG2D *a = seg(0, 5, 10, 5), *b = seg(5, 5, 20, 5), *c = seg(0, 5, 4, 5);
    EXPECT_TRUE(seg2d_intersect(a, b));
    EXPECT_FALSE(seg2d_intersect(c, b));
    EXPECT_TRUE(seg2d_collinear_overlap(a, b));
    EXPECT_FALSE(seg2d_collinear_overlap(c, b));
    seg2d_del(&a);
    seg2d_del(&b);
    seg2d_del(&c);
}

TEST(Seg2d, ParallelSegmentsNeverCross) {
    SEG2D *a = seg(0, 0, 10, 0), *b = seg(0, 1, 10, 1);
    EXPECT_FALSE(seg2d_intersect(a, b));
    seg2d_del(&a);
    seg2d_del(&b);
}

TEST(Seg2d, DiagonalsCross) {
    // m1 = 256, c1 = 0; m2 = -256, c2 = 2560; x = 2560 / 512 = 5.
    SEG2D *a = seg(0, 0, 10, 10), *b = seg(0, 10, 10, 0);
    EXPECT_TRUE(seg2d_intersect(a, b));
    seg2d_del(&a);
    seg2d_del(&b);
}

TEST(Seg2d, LinesCrossingOutsideTheSegments) {
    // The lines meet at x = 2560 / 512 = 5, beyond s's x range 0..2.
    SEG2D *a = seg(0, 0, 2, 2), *b = seg(10, 0, 12, -2);
    EXPECT_FALSE(seg2d_intersect(a, b));
    seg2d_del(&a);
    seg2d_del(&b);
}

TEST(Seg2d, TouchingEndCountsOnlyLeftToRight) {
    // t = (0,0)-(4,4); s meets it at x = 4, its own end point (4, 4).
    // s from (0,8) to (4,4): m = -256, c = 2048, x = -2048 / -512 = 4, accepted.
    // s from (4,4) to (0,8): (4 >= 4) differs from (4 <= 0): refused.
    SEG2D *t = seg(0, 0, 4, 4), *forward = seg(0, 8, 4, 4), *backward = seg(4, 4, 0, 8);
    EXPECT_TRUE(seg2d_intersect(forward, t));
    EXPECT_FALSE(seg2d_intersect(backward, t));
    seg2d_del(&t);
    seg2d_del(&forward);
    seg2d_del(&backward);
}

TEST(Seg2d, VerticalSegmentCountsAsSteep) {
    // dx 0 becomes 1: m1 = 2560, c1 = -12800; t: m2 = 0, c2 = 1280;
    // x = 14080 / 2560 = 5 (truncated), inside both.
    SEG2D *s = seg(5, 0, 5, 10), *t = seg(0, 5, 10, 5);
    EXPECT_TRUE(seg2d_intersect(s, t));
    seg2d_del(&s);
    seg2d_del(&t);
}

TEST(Seg2d, MissingEndpointsGiveFalseSilently) {
    SEG2D *s = seg2d_new(), *t = seg2d_new();
    VEC2D *keep = t->b;
    t->b = nullptr;
    std::string out = printed([&] {
        EXPECT_FALSE(seg2d_intersect(s, t));
        EXPECT_FALSE(seg2d_boxes_overlap(s, t));
        EXPECT_FALSE(seg2d_compare(s, t));
        EXPECT_FALSE(seg2d_intersect(s, nullptr));
        EXPECT_EQ(seg2d_dup(nullptr), nullptr);
    });
    EXPECT_EQ(out, "");
    t->b = keep;
    seg2d_del(&s);
    seg2d_del(&t);
}

TEST(Seg2d, NullArgumentsChangeNothing) {
    Own<seg2d_del> s(seg(1, 2, 3, 4));
    Own<img_del> img(grid_image(2, 2));
    seg2d_translate(s, nullptr);
    seg2d_mul(s, nullptr);
    seg2d_copy(nullptr, s);
    seg2d_draw(nullptr, img);
    seg2d_draw(s, nullptr);
    seg2d_draw_transformed(s, 10, nullptr, img);
    seg2d_rotate(nullptr, 3);
    EXPECT_EQ(s->a->x, 1);
    EXPECT_EQ(s->b->y, 4);
    const uint32_t expected[4] = {0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Seg2d, DelDestroysEndpointsAndClearsHandle) {
    SEG2D *s = seg2d_new();
    seg2d_del(&s);
    EXPECT_EQ(s, nullptr);
    seg2d_del(&s);  // only reports
    EXPECT_EQ(s, nullptr);
    seg2d_del(nullptr);
}
