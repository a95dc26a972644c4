// VEC2D: rotations by the sine table (a table of angles and results), the
// arithmetic that wraps, plotting, and the refusals the built-in debug
// switch prints as "VEC2D error".
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/vec2d.h"

namespace {

const std::string error = "VEC2D error\n";
VEC2D at(int32_t x, int32_t y, uint32_t color = 0x00FFFFFF) { return VEC2D{x, y, color}; }
std::string xy(const VEC2D &v) { return std::to_string(v.x) + "," + std::to_string(v.y); }

}  // namespace

// Turns are clockwise on screen, multiplied out through the table and
// floored, so a full turn shrinks and a quarter turn of 16 gives 15.
TEST(Vec2d, Rotations) {
    const struct {
        int32_t x, y, angle;
        const char *want;
    } cases[] = {
        {100, -37, 0, "100,-37"}, {100, 0, 1024, "99,0"}, {16, 0, 256, "0,15"},  {-16, 0, 256, "0,-16"},
        {0, 10, 256, "-10,0"},    {10, 0, -256, "0,-10"}, {100, 50, 512, "-100,-50"}, {1000, 0, 128, "702,707"},
    };
    for (auto &c : cases) {
        VEC2D v = at(c.x, c.y, 0x010203);
        vec2d_rotate(&v, c.angle);
        EXPECT_EQ(xy(v), c.want) << c.x << "," << c.y << " by " << c.angle;
        EXPECT_EQ(v.color, 0x010203u);
    }
}

TEST(Vec2d, ArithmeticChangesTheNamedArgumentAndWraps) {
    const struct {
        std::function<void(VEC2D *)> op;
        int32_t x, y;
        const char *want;
    } cases[] = {
        {[](VEC2D *v) { VEC2D o = at(3, -4, 0x111111); vec2d_add(&o, v); EXPECT_EQ(o.x, 3); }, 10, 10, "13,6"},
        {[](VEC2D *v) { VEC2D o = at(3, -4); vec2d_sub(v, &o); EXPECT_EQ(o.x, 3); }, 10, 10, "7,14"},
        {[](VEC2D *v) { vec2d_negate(v), vec2d_scale(v, 3); }, 5, -6, "-15,18"},
        {[](VEC2D *v) { VEC2D f = at(2, -1); vec2d_mul(v, &f); }, -15, 18, "-30,-18"},
        {[](VEC2D *v) { vec2d_divide(v, 2); }, -7, 7, "-3,3"},  // toward zero
        {[](VEC2D *v) { EXPECT_EQ(printed([&] { vec2d_divide(v, 0); }), error); }, -7, 7, "-7,7"},
        {[](VEC2D *v) { vec2d_divide(v, -1); }, INT_MIN, 0x40000000, "-2147483648,-1073741824"},
        {[](VEC2D *v) { vec2d_scale(v, 2); }, INT_MIN, -0x40000000, "0,-2147483648"},
    };
    for (auto &c : cases) {
        VEC2D v = at(c.x, c.y, 0x222222);
        c.op(&v);
        EXPECT_EQ(xy(v), c.want);
        EXPECT_EQ(v.color, 0x222222u);
    }
    VEC2D a = at(10, 3), b = at(4, 7), len = at(3, -4);
    EXPECT_EQ(vec2d_dx(&a, &b), 6);
    EXPECT_EQ(vec2d_dy(&a, &b), -4);
    EXPECT_EQ(vec2d_length2(&len), 25);
    VEC2D c = at(3, 4, 0xA5123456), d = c;
    EXPECT_TRUE(vec2d_compare(&c, &d));
    d.color ^= 0x80000000;  // the colour's top byte counts too
    EXPECT_FALSE(vec2d_compare(&c, &d));
    vec2d_copy(&c, &d);
    Own<vec2d_del> e(vec2d_dup(&c));
    EXPECT_TRUE(vec2d_compare(&c, &d) && vec2d_compare(&c, e));
}

TEST(Vec2d, PlotsClipSilentlyAndLeaveTheVectorAlone) {
    expect_image_cases({
        {"plot", 3, 2, {},
         [](IMG *m) {
             VEC2D v = at(1, 1, 0xFF0000), outside[4] = {at(-1, 0, 1), at(3, 0, 1), at(0, -1, 1), at(0, 2, 1)};
             vec2d_plot(&v, m);
             EXPECT_EQ(printed([&] { for (auto &o : outside) vec2d_plot(&o, m); }), "");
         },
         {0, 0, 0, 0, 0xFF0000, 0}},
        {"plot transformed", 3, 3, {},
         [](IMG *m) {
             VEC2D v = at(2, 0, 0x00FF00), offset = at(1, 1);
             vec2d_plot_transformed(&v, 256, &offset, m);
             EXPECT_EQ(xy(v), "2,0");
         },
         {0, 0, 0, 0, 0, 0, 0, 0x00FF00, 0}},
    });
}

TEST(Vec2d, NullArgumentsReport) {
    VEC2D v = at(1, 2);
    const std::function<void()> calls[] = {
        [] { EXPECT_EQ(vec2d_length2(nullptr), -1); },     [&] { EXPECT_EQ(vec2d_dx(&v, nullptr), 0); },
        [&] { EXPECT_EQ(vec2d_dy(nullptr, &v), 0); },      [&] { EXPECT_FALSE(vec2d_compare(&v, nullptr)); },
        [] { EXPECT_EQ(vec2d_dup(nullptr), nullptr); },    [&] { vec2d_add(nullptr, &v); },
        [&] { vec2d_sub(&v, nullptr); },                   [&] { vec2d_mul(&v, nullptr); },
        [&] { vec2d_copy(nullptr, &v); },                  [] { vec2d_rotate(nullptr, 5); },
        [] { vec2d_negate(nullptr); },                     [] { vec2d_scale(nullptr, 2); },
        [] { vec2d_plot(nullptr, nullptr); },              [&] { vec2d_plot_transformed(&v, 1, nullptr, nullptr); },
        [] { vec2d_del(nullptr); },
    };
    for (auto &call : calls) EXPECT_EQ(printed(call), error);
    EXPECT_EQ(xy(v), "1,2");
    VEC2D *p = vec2d_new();
    EXPECT_EQ(printed([&] { vec2d_del(&p); }), "");
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(printed([&] { vec2d_del(&p); }), error);
}
