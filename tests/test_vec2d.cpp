// VEC2D: integer points with a colour, rotated through the sine table. Its
// debug switch is on, so each bad argument prints "VEC2D error\n".
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/vec2d.h"

static const std::string error = "VEC2D error\n";

static VEC2D at(int32_t x, int32_t y, uint32_t color = 0x00FFFFFF) {
    return VEC2D{x, y, color};
}

TEST(Vec2d, NewIsWhiteOrigin) {
    VEC2D *v = vec2d_new();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->x, 0);
    EXPECT_EQ(v->y, 0);
    EXPECT_EQ(v->color, 0x00FFFFFFu);
    vec2d_del(&v);
    EXPECT_EQ(v, nullptr);
}

TEST(Vec2d, CompareIncludesColour) {
    VEC2D a = at(3, 4, 0x123456), b = at(3, 4, 0x123456);
    EXPECT_TRUE(vec2d_compare(&a, &b));
    b.color = 0x123457;
    EXPECT_FALSE(vec2d_compare(&a, &b));
    b = at(3, 5, 0x123456);
    EXPECT_FALSE(vec2d_compare(&a, &b));
}

TEST(Vec2d, CopyAndDup) {
    VEC2D a = at(-7, 9, 0xABCDEF), b = at(0, 0, 0);
    vec2d_copy(&a, &b);
    EXPECT_TRUE(vec2d_compare(&a, &b));
    Own<vec2d_del> c(vec2d_dup(&a));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(vec2d_compare(&a, c));
}

TEST(Vec2d, RotateByZeroLeavesVectorUntouched) {
    VEC2D v = at(100, -37);
    vec2d_rotate(&v, 0);
    EXPECT_EQ(v.x, 100);
    EXPECT_EQ(v.y, -37);
}

TEST(Vec2d, FullTurnShrinks) {
    // sv = 0, cv = 32766: x = 100 * 32766 >> 15 = 3276600 >> 15 = 99.
    VEC2D v = at(100, 0);
    vec2d_rotate(&v, 1024);
    EXPECT_EQ(v.x, 99);
    EXPECT_EQ(v.y, 0);
}

TEST(Vec2d, QuarterTurnFloors) {
    // sv = 32766, cv = 0: y = 16 * 32766 >> 15 = 524256 >> 15 = 15.
    VEC2D v = at(16, 0);
    vec2d_rotate(&v, 256);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 15);
    // -524256 >> 15 rounds toward minus infinity: -16.
    VEC2D w = at(-16, 0);
    vec2d_rotate(&w, 256);
    EXPECT_EQ(w.x, 0);
    EXPECT_EQ(w.y, -16);
}

TEST(Vec2d, QuarterTurnIsClockwiseOnScreen) {
    // (0, 10) points down; a quarter turn clockwise points it left:
    // x = (0 - 10 * 32766) >> 15 = -327660 >> 15 = -10.
    VEC2D v = at(0, 10);
    vec2d_rotate(&v, 256);
    EXPECT_EQ(v.x, -10);
    EXPECT_EQ(v.y, 0);
}

TEST(Vec2d, NegativeAngleTurnsBack) {
    // -256: sv = table[768] = -32766, cv = table[0] = 0.
    VEC2D v = at(10, 0);
    vec2d_rotate(&v, -256);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, -10);
}

TEST(Vec2d, HalfTurn) {
    // 512: sv = 0, cv = table[768] = -32766.
    // x = 100 * -32766 >> 15 = -3276600 >> 15 = -100; y = 50 * -32766 >> 15 = -50.
    VEC2D v = at(100, 50, 0x010203);
    vec2d_rotate(&v, 512);
    EXPECT_EQ(v.x, -100);
    EXPECT_EQ(v.y, -50);
    EXPECT_EQ(v.color, 0x010203u);
}

TEST(Vec2d, EighthTurnUsesTableEntries) {
    // 128: sv = table[128] = 23170, cv = table[384] = table[127] = 23027
    // (entry 127 = 32767 sin(2 pi 127 / 1024) = 23027.16 rounded).
    // x = 1000 * 23027 >> 15 = 23027000 >> 15 = 702; y = 23170000 >> 15 = 707.
    VEC2D v = at(1000, 0);
    vec2d_rotate(&v, 128);
    EXPECT_EQ(v.x, 702);
    EXPECT_EQ(v.y, 707);
}

TEST(Vec2d, AddChangesSecondArgument) {
    VEC2D offset = at(3, -4, 0x111111), target = at(10, 10, 0x222222);
    vec2d_add(&offset, &target);
    EXPECT_EQ(target.x, 13);
    EXPECT_EQ(target.y, 6);
    EXPECT_EQ(target.color, 0x222222u);
    EXPECT_EQ(offset.x, 3);
}

TEST(Vec2d, SubChangesFirstArgument) {
    VEC2D target = at(10, 10), amount = at(3, -4);
    vec2d_sub(&target, &amount);
    EXPECT_EQ(target.x, 7);
    EXPECT_EQ(target.y, 14);
    EXPECT_EQ(amount.x, 3);
}

TEST(Vec2d, NegateScaleMul) {
    VEC2D v = at(5, -6);
    vec2d_negate(&v);
    EXPECT_EQ(v.x, -5);
    EXPECT_EQ(v.y, 6);
    vec2d_scale(&v, 3);
    EXPECT_EQ(v.x, -15);
    EXPECT_EQ(v.y, 18);
    VEC2D f = at(2, -1);
    vec2d_mul(&v, &f);
    EXPECT_EQ(v.x, -30);
    EXPECT_EQ(v.y, -18);
}

TEST(Vec2d, DivideTruncatesTowardZero) {
    VEC2D v = at(-7, 7);
    vec2d_divide(&v, 2);
    EXPECT_EQ(v.x, -3);
    EXPECT_EQ(v.y, 3);
}

TEST(Vec2d, DivideByZeroReportsAndKeepsValue) {
    VEC2D v = at(-7, 7);
    EXPECT_EQ(printed([&] { vec2d_divide(&v, 0); }), error);
    EXPECT_EQ(v.x, -7);
    EXPECT_EQ(v.y, 7);
}

TEST(Vec2d, ProductsAndQuotientsWrap) {
    VEC2D v = at(INT_MIN, 0x40000000);
    vec2d_divide(&v, -1);
    EXPECT_EQ(v.x, INT_MIN);
    EXPECT_EQ(v.y, -0x40000000);
    vec2d_scale(&v, 2);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, INT_MIN);
}

TEST(Vec2d, DxDyLength2) {
    VEC2D a = at(10, 3), b = at(4, 7);
    EXPECT_EQ(vec2d_dx(&a, &b), 6);
    EXPECT_EQ(vec2d_dy(&a, &b), -4);
    VEC2D v = at(3, -4);
    EXPECT_EQ(vec2d_length2(&v), 25);
}

TEST(Vec2d, PlotClipsSilently) {
    Own<img_del> img(grid_image(3, 2));
    VEC2D v = at(1, 1, 0xFF0000);
    vec2d_plot(&v, img);
    VEC2D outside[4] = {at(-1, 0, 1), at(3, 0, 1), at(0, -1, 1), at(0, 2, 1)};
    std::string out = printed([&] {
        for (auto &o : outside) vec2d_plot(&o, img);
    });
    EXPECT_EQ(out, "");
    const uint32_t expected[6] = {0, 0, 0,
                                  0, 0xFF0000, 0};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Vec2d, PlotTransformedLeavesVectorAlone) {
    // (2, 0) turned a quarter: (0, 65532 >> 15) = (0, 1); moved by (1, 1): (1, 2).
    Own<img_del> img(grid_image(3, 3));
    VEC2D v = at(2, 0, 0x00FF00), offset = at(1, 1);
    vec2d_plot_transformed(&v, 256, &offset, img);
    EXPECT_EQ(v.x, 2);
    EXPECT_EQ(v.y, 0);
    const uint32_t expected[9] = {0, 0, 0,
                                  0, 0, 0,
                                  0, 0x00FF00, 0};
    EXPECT_TRUE(grid_equals(img, expected));
}

TEST(Vec2d, NullArgumentsReport) {
    VEC2D v = at(1, 2);
    EXPECT_EQ(printed([] { EXPECT_EQ(vec2d_length2(nullptr), -1); }), error);
    EXPECT_EQ(printed([&] { EXPECT_EQ(vec2d_dx(&v, nullptr), 0); }), error);
    EXPECT_EQ(printed([&] { EXPECT_EQ(vec2d_dy(nullptr, &v), 0); }), error);
    EXPECT_EQ(printed([&] { EXPECT_FALSE(vec2d_compare(&v, nullptr)); }), error);
    EXPECT_EQ(printed([] { EXPECT_EQ(vec2d_dup(nullptr), nullptr); }), error);
    EXPECT_EQ(printed([&] { vec2d_add(nullptr, &v); }), error);
    EXPECT_EQ(printed([&] { vec2d_sub(&v, nullptr); }), error);
    EXPECT_EQ(printed([&] { vec2d_mul(&v, nullptr); }), error);
    EXPECT_EQ(printed([&] { vec2d_copy(nullptr, &v); }), error);
    EXPECT_EQ(printed([] { vec2d_rotate(nullptr, 5); }), error);
    EXPECT_EQ(printed([] { vec2d_negate(nullptr); }), error);
    EXPECT_EQ(printed([] { vec2d_scale(nullptr, 2); }), error);
    EXPECT_EQ(printed([] { vec2d_plot(nullptr, nullptr); }), error);
    EXPECT_EQ(printed([&] { vec2d_plot_transformed(&v, 1, nullptr, nullptr); }), error);
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.y, 2);
}

TEST(Vec2d, DelReportsOnNullAndFreesOnce) {
    VEC2D *v = nullptr;
    EXPECT_EQ(printed([&] { vec2d_del(&v); }), error);
    EXPECT_EQ(printed([] { vec2d_del(nullptr); }), error);
    v = vec2d_new();
    EXPECT_EQ(printed([&] { vec2d_del(&v); }), "");
    EXPECT_EQ(printed([&] { vec2d_del(&v); }), error);
}
