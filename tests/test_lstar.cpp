// LSTAR: the star's rings, their random draws, the half-spacing offset of the
// second ring, syncing and stepping, and the zigzag outline in its three pens.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "effects/lradial.h"
#include "effects/lstar.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "tests/test_lcg.h"
#include "tests/test_support.h"

// An independent copy of the generator, to know which values a create draws.
static Lcg lcg;

static const uint32_t A = 0xAAAAAA, B = 0xBBBBBB;

// A star round (2, 2) whose rings both have radius 2 and two points, ring_b a
// quarter turn ahead: A0 (2, 3), B0 (3, 2), A1 (2, 0), B1 (0, 2).
static LSTAR *small_star() {
    LSTAR *s = lstar_new();
    s->x = 2;
    s->y = 2;
    lradial_set_lines(s->ring_a, 2);
    lradial_set_lines(s->ring_b, 2);
    s->ring_a->angle = 0;
    s->ring_b->angle = 256 << 16;
    s->ring_a->radius = 2;
    s->ring_b->radius = 2;
    s->ring_a->colour = (int32_t)A;
    s->ring_b->colour = (int32_t)B;
    return s;
}

TEST(Lstar, NewMakesTwoRingsFromSixDraws) {
    random_srand(1234);
    lcg.state = 1234;
    int32_t v[6];
    for (int i = 0; i < 6; i++) v[i] = lcg.next();
    LSTAR *s = lstar_new();
    ASSERT_NE(s, nullptr);
    ASSERT_NE(s->ring_a, nullptr);
    ASSERT_NE(s->ring_b, nullptr);
    EXPECT_EQ(s->ring_a->spin, v[0] + 0x8000);
    EXPECT_EQ(s->ring_a->radius, v[1] % 128 + 32);
    EXPECT_EQ(s->ring_a->colour, (v[2] & 0x7F7F7F) + 0x808080);
    EXPECT_EQ(s->ring_b->spin, v[3] + 0x8000);
    EXPECT_EQ(s->ring_b->radius, v[4] % 128 + 32);
    EXPECT_EQ(s->ring_b->colour, (v[5] & 0x7F7F7F) + 0x808080);
    EXPECT_EQ(random_rand(), lcg.next());  // six draws, no more
    EXPECT_EQ(s->x, 128);
    EXPECT_EQ(s->y, 128);
    EXPECT_EQ(s->width, 256);
    EXPECT_EQ(s->height, 256);
    lstar_del(&s);
    EXPECT_EQ(s, nullptr);
}

TEST(Lstar, EightPointsPutRingBSixtyFourEntriesAhead) {
    LSTAR *s = lstar_new();
    EXPECT_EQ(s->ring_a->lines, 8);
    EXPECT_EQ(s->ring_b->lines, 8);
    EXPECT_EQ(s->ring_a->spacing, 128 << 16);
    EXPECT_EQ(s->ring_b->spacing, 128 << 16);
    EXPECT_EQ(s->ring_a->angle, 0);
    EXPECT_EQ(s->ring_b->angle, 64 << 16);
    lstar_del(&s);
}

TEST(Lstar, SetPointsTwiceLeavesOneWholeSpacing) {
    LSTAR *s = lstar_new();
    s->ring_b->angle = 0;
    lstar_set_points(s, 8);
    lstar_set_points(s, 8);
    EXPECT_EQ(s->ring_b->angle, 128 << 16);
    EXPECT_EQ(s->ring_a->angle, 0);
    lstar_del(&s);
}

TEST(Lstar, SetPointsHalfSpacingIsTruncatedAndMasked) {
    LSTAR *s = lstar_new();
    s->ring_b->angle = 0x3FFFFFF;
    lstar_set_points(s, 3);
    EXPECT_EQ(s->ring_b->spacing, 22369621);
    EXPECT_EQ(s->ring_b->angle, (0x3FFFFFF + 11184810) & 0x3FFFFFF);
    lstar_del(&s);
}

TEST(Lstar, SetPointsRejectsNonPositive) {
    LSTAR *s = lstar_new();
    int32_t before = s->ring_b->angle;
    lstar_set_points(s, 0);
    lstar_set_points(s, -5);
    EXPECT_EQ(s->ring_a->lines, 8);
    EXPECT_EQ(s->ring_b->lines, 8);
    EXPECT_EQ(s->ring_b->angle, before);
    lstar_set_points(nullptr, 8);
    lstar_del(&s);
}

TEST(Lstar, SyncLocksRingBToRingA) {
    LSTAR *s = lstar_new();
    lstar_set_points(s, 16);  // spacing 64 entries
    s->ring_a->angle = 0x3FF0000;
    s->ring_a->spin = 0x12345;
    s->ring_b->spin = -7;
    lstar_sync(s);
    EXPECT_EQ(s->ring_b->spin, 0x12345);
    EXPECT_EQ(s->ring_b->angle, (0x3FF0000 + (32 << 16)) & 0x3FFFFFF);
    // Turning together keeps the offset: the star keeps its shape.
    for (int i = 0; i < 100; i++) lstar_step(s);
    EXPECT_EQ((s->ring_b->angle - s->ring_a->angle) & 0x3FFFFFF, 32 << 16);
    lstar_del(&s);
}

TEST(Lstar, StepTurnsBothRingsByTheirSpins) {
    LSTAR *s = lstar_new();
    s->ring_a->angle = 100;
    s->ring_a->spin = 5;
    s->ring_b->angle = 0x3FFFFFE;
    s->ring_b->spin = 3;
    lstar_step(s);
    EXPECT_EQ(s->ring_a->angle, 105);
    EXPECT_EQ(s->ring_b->angle, 1);
    lstar_step(nullptr);
    lstar_del(&s);
}

TEST(Lstar, DrawZigzagOutline) {
    IMG *img = grid_image(5, 5);
    LSTAR *s = small_star();
    lstar_draw(s, img);
    // A0->B0 in A, A1->B0 in B; A1->B1 in A, A2(=A0)->B1 in B.
    const uint32_t expected[25] = {
        0, 0, A, 0, 0,
        0, A, 0, B, 0,
        B, B, 0, B, 0,
        0, 0, B, 0, 0,
        0, 0, 0, 0, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    EXPECT_EQ(s->width, 5);
    EXPECT_EQ(s->height, 5);
    EXPECT_EQ(s->ring_a->angle, 0);  // drawing does not turn the rings
    EXPECT_EQ(s->ring_b->angle, 256 << 16);
    lstar_del(&s);
    img_del(&img);
}

TEST(Lstar, DrawUsesTheStarCentreNotTheRings) {
    IMG *img = grid_image(5, 5);
    LSTAR *s = small_star();
    s->ring_a->x = 100;
    s->ring_b->y = -40;
    lstar_draw(s, img);
    EXPECT_EQ(img_get_pixel(img, 2, 0), A);
    EXPECT_EQ(img_get_pixel(img, 2, 3), B);
    lstar_del(&s);
    img_del(&img);
}

// The thick and dither pens visit A->B then B->A' (the reverse of the plain
// pen's second segment); the expectation is built from the primitives.
TEST(Lstar, DrawThickVisitsBToNextA) {
    IMG *img = grid_image(7, 7);
    IMG *want = grid_image(7, 7);
    LSTAR *s = small_star();
    s->x = 3;
    s->y = 3;
    lstar_draw_thick(s, img, 2);
    // A0 (3, 4), B0 (4, 3), A1 (3, 1), B1 (1, 3), A2 = A0.
    imgfx_thick_line(want, 3, 4, 4, 3, A, 2);
    imgfx_thick_line(want, 4, 3, 3, 1, B, 2);
    imgfx_thick_line(want, 3, 1, 1, 3, A, 2);
    imgfx_thick_line(want, 1, 3, 3, 4, B, 2);
    EXPECT_TRUE(grid_equals(img, want->pixels));
    lstar_del(&s);
    img_del(&img);
    img_del(&want);
}

TEST(Lstar, DrawDitherRunsFromRingToRing) {
    IMG *img = grid_image(7, 7);
    IMG *want = grid_image(7, 7);
    LSTAR *s = small_star();
    s->x = 3;
    s->y = 3;
    lstar_draw_dither(s, img, 3);
    imgfx_thick_dither_line(want, 3, 4, A, 4, 3, B, 3);
    imgfx_thick_dither_line(want, 4, 3, B, 3, 1, A, 3);
    imgfx_thick_dither_line(want, 3, 1, A, 1, 3, B, 3);
    imgfx_thick_dither_line(want, 1, 3, B, 3, 4, A, 3);
    EXPECT_TRUE(grid_equals(img, want->pixels));
    lstar_del(&s);
    img_del(&img);
    img_del(&want);
}

TEST(Lstar, DitherOneRoundByHand) {
    IMG *img = grid_image(5, 5);
    LSTAR *s = small_star();
    lradial_set_lines(s->ring_a, 1);  // one point per ring: A' is A again
    lradial_set_lines(s->ring_b, 1);
    s->ring_a->radius = 3;            // A = (2, 4)
    s->ring_b->angle = 512 << 16;     // B = (2, 0)
    lstar_draw_dither(s, img, 1);
    // A->B from A to B: A A A B B downwards from row 4; then B->A' from B to
    // A: B B B A A from row 0, which is what stays.
    const uint32_t expected[25] = {
        0, 0, B, 0, 0,
        0, 0, B, 0, 0,
        0, 0, B, 0, 0,
        0, 0, A, 0, 0,
        0, 0, A, 0, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    lstar_del(&s);
    img_del(&img);
}

TEST(Lstar, BadArgumentsAndMissingRingsDrawNothing) {
    IMG *img = grid_image(5, 5);
    LSTAR *s = small_star();
    lstar_draw(nullptr, img);
    lstar_draw_thick(nullptr, img, 2);
    lstar_draw_dither(nullptr, img, 2);
    lstar_draw(s, nullptr);
    lstar_draw_thick(s, nullptr, 2);
    lstar_draw_dither(s, nullptr, 2);
    LRADIAL *kept = s->ring_b;
    s->ring_b = nullptr;
    lstar_draw(s, img);
    lstar_step(s);
    lstar_sync(s);
    lstar_set_points(s, 4);
    EXPECT_EQ(s->ring_a->lines, 2);
    const uint32_t none[25] = {0};
    EXPECT_TRUE(grid_equals(img, none));
    EXPECT_EQ(s->width, 256);
    s->ring_b = kept;
    lstar_del(&s);
    img_del(&img);
}

TEST(Lstar, EmptyRecordOperationsAndDel) {
    LSTAR *s = lstar_new();
    LSTAR *d = lstar_dup(s);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d->ring_a, s->ring_a);
    EXPECT_EQ(lstar_compare(s, s), 0);
    EXPECT_EQ(lstar_to_text(s), nullptr);
    EXPECT_EQ(lstar_dup(nullptr), nullptr);
    lstar_copy(s, d);
    lstar_del(&s);
    lstar_del(&d);
    EXPECT_EQ(s, nullptr);
    lstar_del(&s);  // only reports
    lstar_del(nullptr);
}
