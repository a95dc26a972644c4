// SEG2D: drawing a segment (first end's colour, averaged, added, turned and
// moved without changing it), moving and scaling its ends, and the tests
// of boxes and crossings, each as a table line.
#include <gtest/gtest.h>

#include <string>

#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/seg2d.h"

namespace {

const uint32_t W = 0xFFFFFF, R = 0xFF0000;

// A segment whose ends have the given colours.
SEG2D *seg(int32_t ax, int32_t ay, int32_t bx, int32_t by, uint32_t ca = W, uint32_t cb = W) {
    SEG2D *s = make_segment(ax, ay, bx, by, ca);
    s->b->color = cb;
    return s;
}

std::string ends(const SEG2D *s) {
    return std::to_string(s->a->x) + "," + std::to_string(s->a->y) + " " + std::to_string(s->b->x) + "," +
           std::to_string(s->b->y);
}

}  // namespace

TEST(Seg2d, DrawingsAsPictures) {
    expect_image_cases({
        {"new segment", 3, 3, {}, [](IMG *m) { Own<seg2d_del> s(seg2d_new()); seg2d_draw(s, m); }, {W, 0, 0, 0, W, 0, 0, 0, 0}},
        {"first end's colour, clipped", 3, 2, {},
         [](IMG *m) { Own<seg2d_del> s(seg(0, 0, 3, 1, 0x00AA00, 0x0000BB)); seg2d_draw(s, m); },
         {0x00AA00, 0, 0, 0, 0x00AA00, 0x00AA00}},
        {"ends in their colours", 3, 2, {},
         [](IMG *m) { Own<seg2d_del> s(seg(0, 1, 2, 0, 0x110000, 0x002200)); seg2d_plot_ends(s, m); },
         {0, 0, 0x002200, 0x110000, 0, 0}},
        {"turned and moved", 3, 4, {},
         [](IMG *m) {
             Own<seg2d_del> s(seg(2, 0, 4, 0, R));
             VEC2D offset = {1, 0, 0};
             seg2d_draw_transformed(s, 256, &offset, m);
             EXPECT_EQ(ends(s), "2,0 4,0");
         },
         {0, 0, 0, 0, R, 0, 0, R, 0, 0, R, 0}},
        {"average each pixel once", 5, 1, std::vector<uint32_t>(5, 0x305070),
         [](IMG *m) { Own<seg2d_del> s(seg(0, 0, 3, 0, 0x102030)); seg2d_draw_average(s, m); },
         {0x203850, 0x203850, 0x203850, 0x203850, 0x305070}},
        {"add saturates", 5, 1, std::vector<uint32_t>(5, 0x305070),
         [](IMG *m) { Own<seg2d_del> s(seg(1, 0, 4, 0, 0xE00000)); seg2d_draw_add(s, m); },
         {0x305070, 0xFF5070, 0xFF5070, 0xFF5070, 0xFF5070}},
        {"refused", 2, 2, {},
         [](IMG *m) {
             Own<seg2d_del> s(seg(0, 0, 1, 1));
             seg2d_draw(nullptr, m), seg2d_draw(s, nullptr), seg2d_draw_transformed(s, 10, nullptr, m);
         },
         {0, 0, 0, 0}},
    });
}

TEST(Seg2d, MovesScalesAndTurns) {
    Own<seg2d_del> s(seg(1, 2, 3, 4));
    VEC2D offset = {10, -10, 0}, factors = {-1, 3, 0};
    seg2d_translate(s, &offset);
    EXPECT_EQ(ends(s), "11,-8 13,-6");
    seg2d_scale(s, 2);
    EXPECT_EQ(ends(s), "22,-16 26,-12");
    seg2d_mul(s, &factors);
    EXPECT_EQ(ends(s), "-22,-48 -26,-36");
    seg2d_translate(s, nullptr), seg2d_mul(s, nullptr), seg2d_copy(nullptr, s), seg2d_rotate(nullptr, 3);
    EXPECT_EQ(ends(s), "-22,-48 -26,-36");
    Own<seg2d_del> r(seg(10, 0, 20, 0));
    seg2d_rotate(r, 512);  // about the origin
    EXPECT_EQ(ends(r), "-10,0 -20,0");
    Own<seg2d_del> c(seg(1, 2, 3, 4, 0x123456)), d(seg2d_dup(c));
    EXPECT_NE(d->a, c->a);
    EXPECT_TRUE(seg2d_compare(c, d));
    d->b->color = 0;
    EXPECT_FALSE(seg2d_compare(c, d));
    seg2d_copy(c, d);
    EXPECT_TRUE(seg2d_compare(c, d));
}

// Boxes overlap with their edges included; segments cross when they share a
// point, a touching end counting only when the other segment runs left to right.
TEST(Seg2d, BoxesAndCrossings) {
    const struct {
        int32_t a[4], b[4];
        bool boxes, cross;
    } cases[] = {
        {{0, 0, 1, 1}, {2, 2, 3, 3}, false, false},   {{0, 0, 2, 2}, {2, 2, 3, 3}, true, true},
        {{0, 0, 2, 2}, {3, 3, 2, 2}, true, true},     {{0, 5, 10, 5}, {5, 5, 20, 5}, true, true},
        {{0, 5, 4, 5}, {5, 5, 20, 5}, false, false},  {{0, 0, 10, 0}, {0, 1, 10, 1}, false, false},
        {{0, 0, 10, 10}, {0, 10, 10, 0}, true, true}, {{0, 0, 2, 2}, {10, 0, 12, -2}, false, false},
        {{0, 8, 4, 4}, {0, 0, 4, 4}, true, true},     {{4, 4, 0, 8}, {0, 0, 4, 4}, true, false},
        {{5, 0, 5, 10}, {0, 5, 10, 5}, true, true},
    };
    for (auto &c : cases) {
        Own<seg2d_del> a(seg(c.a[0], c.a[1], c.a[2], c.a[3])), b(seg(c.b[0], c.b[1], c.b[2], c.b[3]));
        EXPECT_EQ(seg2d_boxes_overlap(a, b), c.boxes) << ends(a) << " / " << ends(b);
        EXPECT_EQ(seg2d_intersect(a, b), c.cross) << ends(a) << " / " << ends(b);
    }
    Own<seg2d_del> a(seg(0, 5, 10, 5)), b(seg(5, 5, 20, 5)), c(seg(0, 5, 4, 5));
    EXPECT_TRUE(seg2d_collinear_overlap(a, b));
    EXPECT_FALSE(seg2d_collinear_overlap(c, b));
    VEC2D *keep = b->b;
    b->b = nullptr;  // a missing end gives false, silently
    EXPECT_EQ(printed([&] {
                  EXPECT_FALSE(seg2d_intersect(a, b));
                  EXPECT_FALSE(seg2d_boxes_overlap(a, b));
                  EXPECT_FALSE(seg2d_compare(a, b));
                  EXPECT_FALSE(seg2d_intersect(a, nullptr));
                  EXPECT_EQ(seg2d_dup(nullptr), nullptr);
              }),
              "");
    b->b = keep;
    SEG2D *s = seg2d_new();
    seg2d_del(&s);
    EXPECT_EQ(s, nullptr);
    seg2d_del(&s);  // only reports
}
