// ARCHPATH: creation's draws in their order, the point on the circle, arc
// ends that keep the point in place (all four variants), the torus wrap of
// the centre, the point and both sprites drawn across the area's edges and
// mirrored, copy/dup/compare with owned sprites, and the refusals.
#include <gtest/gtest.h>

#include "effects/archpath.h"
#include "host/random.h"
#include "imaging/img.h"
#include "test_support.h"

TEST(Archpath, NewDrawsInItsOrder) {
    random_srand(4242);
    int32_t r[6];
    for (int32_t &v : r) v = random_rand();
    int32_t colour = random_next();
    random_srand(4242);
    ARCHPATH *a = archpath_new();
    ASSERT_NE(a, nullptr);
    int32_t turn = (r[3] & 3) + 1;
    EXPECT_EQ(a->x, r[0] % 256);
    EXPECT_EQ(a->y, r[1] % 256);
    EXPECT_EQ(a->angle, r[2] & 1023);
    EXPECT_EQ(a->turn, turn);
    EXPECT_EQ(a->arc_length, (r[4] % 768 + 256) / turn);
    EXPECT_EQ(a->radius, (r[5] & 31) + 16);
    EXPECT_EQ(a->arc_frame, 0);
    EXPECT_EQ(a->colour, (uint32_t)(colour & 0x7F7F7F) + 0x808080u);
    EXPECT_EQ(a->z, 0);
    EXPECT_EQ(a->width, 256);
    EXPECT_EQ(a->height, 256);
    EXPECT_EQ(a->depth, 256);
    ASSERT_NE(a->sprite_a, nullptr);
    ASSERT_NE(a->sprite_b, nullptr);
    EXPECT_NE(a->sprite_a, a->sprite_b);
    EXPECT_EQ(a->sprite_a->width, 16);
    EXPECT_EQ(a->sprite_b->height, 16);
    archpath_del(&a);
    EXPECT_EQ(a, nullptr);
    archpath_del(&a);
}

TEST(Archpath, RandomizeReplacesEverythingAndFreesTheOldSprites) {
    random_srand(7);
    ARCHPATH *a = archpath_new();
    a->width = 100;
    img_resize(a->sprite_a, 3, 3);
    random_srand(4242);
    archpath_randomize(a);
    random_srand(4242);
    ARCHPATH *b = archpath_new();
    EXPECT_TRUE(archpath_compare(a, b));
    EXPECT_EQ(a->width, 256);
    EXPECT_EQ(a->sprite_a->width, 16);
    archpath_del(&a);
    archpath_del(&b);
}

// A path at a known place: centre (100, 100), radius 20.
static ARCHPATH *known_path(int32_t angle, int32_t turn, int32_t length, int32_t frame) {
    random_srand(1);
    ARCHPATH *a = archpath_new();
    a->x = a->y = 100;
    a->radius = 20;
    a->angle = angle;
    a->turn = turn;
    a->arc_length = length;
    a->arc_frame = frame;
    return a;
}

TEST(Archpath, PointLiesOnTheCircle) {
    ARCHPATH *a = known_path(0, 1, 10, 0);
    int32_t px, py;
    ASSERT_TRUE(archpath_point(a, &px, &py));
    EXPECT_EQ(px, 100);  // sin 0 = 0
    EXPECT_EQ(py, 119);  // 32766 * 20 >> 15 = 19
    a->angle = 256;
    archpath_point(a, &px, &py);
    EXPECT_EQ(px, 119);
    EXPECT_EQ(py, 100);  // cos at 256 is table[512] = 0
    a->angle = 768;
    archpath_point(a, &px, &py);
    EXPECT_EQ(px, 80);  // -32766 * 20 >> 15 = -20 (floor)
    EXPECT_EQ(py, 100);
    a->angle = 768 + 1024;  // angles beyond the table wrap
    archpath_point(a, &px, &py);
    EXPECT_EQ(px, 80);
    EXPECT_FALSE(archpath_point(nullptr, &px, &py));
    archpath_del(&a);
}

TEST(Archpath, StepWithinTheArcOnlyTurns) {
    ARCHPATH *a = known_path(1020, 3, 10, 0);
    archpath_step(a);
    EXPECT_EQ(a->angle, 1023);
    EXPECT_EQ(a->arc_frame, 1);
    archpath_step(a);
    EXPECT_EQ(a->angle, 2);  // wraps at 1024
    EXPECT_EQ(a->x, 100);
    EXPECT_EQ(a->y, 100);
    EXPECT_EQ(a->turn, 3);
    archpath_del(&a);
}

TEST(Archpath, ArcEndMovesTheCentreAcrossThePointAndTurnsBack) {
    ARCHPATH *a = known_path(1023, 1, 5, 4);  // the step lands on angle 0, frame 5
    random_srand(3);
    int32_t next = random_rand();
    random_srand(3);
    archpath_step(a);
    EXPECT_EQ(a->x, 100);
    EXPECT_EQ(a->y, 139);  // 32766 * 40 >> 15 = 39
    EXPECT_EQ(a->angle, 512);
    EXPECT_EQ(a->turn, -1);
    EXPECT_EQ(a->arc_frame, 0);
    EXPECT_EQ(a->arc_length, 5);
    EXPECT_EQ(a->radius, 20);
    int32_t px, py;
    archpath_point(a, &px, &py);
    EXPECT_EQ(px, 100);
    EXPECT_EQ(py, 119);  // 139 - 20: the point did not move
    EXPECT_EQ(random_rand(), next);  // the plain step draws nothing
    archpath_del(&a);
}

TEST(Archpath, CentreWrapsRoundTheArea) {
    ARCHPATH *a = known_path(1023, 1, 1, 0);
    a->y = 250;
    archpath_step(a);
    EXPECT_EQ(a->y, 289 - 256);
    a->angle = 767;  // next step at 768: sin -32766, moves x by -40
    a->arc_frame = 0;
    a->turn = 1;
    a->x = 10;
    archpath_step(a);
    EXPECT_EQ(a->x, 10 - 40 + 256);
    archpath_del(&a);
}

TEST(Archpath, VaryDrawsRadiusThenLengthWithTheOldTurn) {
    ARCHPATH *a = known_path(1023, -3, 1, 0);
    random_srand(11);
    int32_t r1 = random_rand(), r2 = random_rand();
    random_srand(11);
    archpath_step_vary(a);
    int32_t r = (r1 & 31) + 16;
    EXPECT_EQ(a->radius, r);
    EXPECT_EQ(a->arc_length, ((r2 & 1023) + 256) / 3);
    EXPECT_EQ(a->turn, 3);
    // angle 1023 - 3 = 1020: sin[1020] and cos[1020] from the table.
    int32_t px, py;
    archpath_point(a, &px, &py);
    ARCHPATH *before = known_path(1020, -3, 1, 0);
    int32_t bx, by;
    archpath_point(before, &bx, &by);
    // The new circle passes through the old point, up to the table's rounding.
    EXPECT_NEAR(px, bx, 1);
    EXPECT_NEAR(py, by, 1);
    archpath_del(&a);
    archpath_del(&before);
}

TEST(Archpath, VaryLongUsesLongArcsAndSmallCircles) {
    ARCHPATH *a = known_path(0, 2, 1, 0);
    random_srand(12);
    int32_t r1 = random_rand(), r2 = random_rand();
    random_srand(12);
    archpath_step_vary_long(a);
    EXPECT_EQ(a->radius, (r1 & 15) + 8);
    EXPECT_EQ(a->arc_length, ((r2 & 2047) + 2048) / 2);
    EXPECT_EQ(a->turn, -2);
    archpath_del(&a);
}

TEST(Archpath, LoopKeepsTurningTheSameWay) {
    ARCHPATH *a = known_path(0, -4, 1, 0);
    random_srand(13);
    int32_t r1 = random_rand(), r2 = random_rand();
    random_srand(13);
    archpath_step_loop(a);
    EXPECT_EQ(a->radius, (r1 & 15) + 8);
    EXPECT_EQ(a->arc_length, (r2 % 768 + 256) / 4);
    EXPECT_EQ(a->turn, -4);
    EXPECT_EQ(a->angle, (1020 + 512) & 1023);
    archpath_del(&a);
}

TEST(Archpath, StandingStillStillGetsAFiniteArc) {
    ARCHPATH *a = known_path(0, 0, 1, 0);
    random_srand(14);
    random_rand();
    int32_t r2 = random_rand();
    random_srand(14);
    archpath_step_vary(a);
    EXPECT_EQ(a->arc_length, (r2 & 1023) + 256);
    EXPECT_EQ(a->turn, 0);
    archpath_del(&a);
}

TEST(Archpath, PointIsPlottedWrappedIntoTheArea) {
    ARCHPATH *a = known_path(0, 1, 10, 0);
    a->x = -3;
    a->y = 260 - 19;  // P = (-3, 260)
    a->colour = 0xABCDEF;
    IMG *frame = grid_image(256, 256);
    archpath_draw_point(a, frame);
    EXPECT_EQ(img_get_pixel(frame, 253, 4), 0xABCDEFu);
    img_clear(frame, 0);
    a->x = 5;
    a->y = 5;
    archpath_draw_point(a, frame);
    EXPECT_EQ(img_get_pixel(frame, 5, 24), 0xABCDEFu);
    archpath_draw_point(a, nullptr);
    archpath_draw_point(nullptr, frame);
    img_del(&frame);
    archpath_del(&a);
}

// A path whose point P sits at (px, py) with a 16 x 16 area.
static ARCHPATH *path_at(int32_t px, int32_t py) {
    ARCHPATH *a = known_path(256, 1, 10, 0);  // P = (x + 19, y)
    a->x = px - 19;
    a->y = py;
    a->width = a->height = 16;
    return a;
}

TEST(Archpath, SpriteBIsAddedAndRepeatedOverTheRightEdge) {
    ARCHPATH *a = path_at(14, 1);
    img_resize(a->sprite_b, 4, 2);
    img_clear(a->sprite_b, 0x010101);
    IMG *frame = grid_image(16, 4);
    img_clear(frame, 0x100000);
    img_set_pixel(frame, 15, 1, 0xFFFFFF);
    archpath_draw_b(a, frame);
    // At x 14 (columns 14, 15 visible) and again at 14 - 16 = -2 (columns 0, 1).
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 0; x < 16; x++) {
            bool hit = (y == 1 || y == 2) && (x <= 1 || x >= 14);
            uint32_t want = hit ? 0x110101 : 0x100000;
            if (x == 15 && y == 1) want = 0xFFFFFF;  // saturates
            EXPECT_EQ(img_get_pixel(frame, x, y), want) << x << "," << y;
        }
    EXPECT_EQ(a->sprite_b->x, 14);
    EXPECT_EQ(a->sprite_b->y, 1);
    img_del(&frame);
    archpath_del(&a);
}

TEST(Archpath, ASpriteAt250IsAlsoDrawnAtMinusSix) {
    ARCHPATH *a = path_at(250, 0);
    a->width = a->height = 256;
    img_resize(a->sprite_b, 20, 1);
    img_clear(a->sprite_b, 1);
    IMG *frame = grid_image(256, 1);
    archpath_draw_b(a, frame);
    for (int32_t x = 0; x < 256; x++)
        EXPECT_EQ(frame->pixels[x], (x < 14 || x >= 250) ? 1u : 0u) << x;
    img_del(&frame);
    archpath_del(&a);
}

TEST(Archpath, ACornerGetsThreeCopiesNotFour) {
    ARCHPATH *a = path_at(-2, -2);
    img_resize(a->sprite_b, 4, 4);
    img_clear(a->sprite_b, 0x000001);
    IMG *frame = grid_image(16, 16);
    archpath_draw_b(a, frame);
    // At (-2, -2), then (14, -2), then (14, 14); (-2, 14) is left out.
    EXPECT_EQ(img_get_pixel(frame, 0, 0), 1u);
    EXPECT_EQ(img_get_pixel(frame, 1, 1), 1u);
    EXPECT_EQ(img_get_pixel(frame, 15, 0), 1u);
    EXPECT_EQ(img_get_pixel(frame, 14, 1), 1u);
    EXPECT_EQ(img_get_pixel(frame, 14, 14), 1u);
    EXPECT_EQ(img_get_pixel(frame, 15, 15), 1u);
    EXPECT_EQ(img_get_pixel(frame, 0, 15), 0u);
    EXPECT_EQ(img_get_pixel(frame, 1, 14), 0u);
    uint32_t sum = 0;
    for (int32_t i = 0; i < 256; i++) sum += frame->pixels[i];
    EXPECT_EQ(sum, 12u);
    img_del(&frame);
    archpath_del(&a);
}

TEST(Archpath, MirroredDrawsFourPlaces) {
    ARCHPATH *a = path_at(3, 4);
    a->width = a->height = 256;
    img_resize(a->sprite_b, 1, 1);
    img_clear(a->sprite_b, 0x000001);
    IMG *frame = grid_image(16, 16);
    archpath_draw_b_mirrored(a, frame);
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 16; x++) {
            bool hit = (x == 3 || x == 13) && (y == 4 || y == 12);
            EXPECT_EQ(img_get_pixel(frame, x, y), hit ? 1u : 0u) << x << "," << y;
        }
    EXPECT_EQ(a->sprite_b->x, 3);  // left at P
    EXPECT_EQ(a->sprite_b->y, 12);
    img_del(&frame);
    archpath_del(&a);
}

TEST(Archpath, SpriteAIsSprinkledEighteenPixelsAtATime) {
    ARCHPATH *a = path_at(5, 6);
    a->width = a->height = 256;
    for (int32_t i = 0; i < 256; i++) a->sprite_a->pixels[i] = 0x1000 + (uint32_t)i;
    IMG *frame = grid_image(32, 32);
    IMG *expected = grid_image(32, 32);
    random_srand(21);
    for (int i = 0; i < 18; i++) {
        int32_t x = random_rand() % 16, y = random_rand() % 16;
        img_set_pixel(expected, 5 + x, 6 + y, 0x1000 + (uint32_t)(16 * y + x));
    }
    random_srand(21);
    archpath_draw_a(a, frame);
    EXPECT_TRUE(img_compare(frame, expected));
    EXPECT_EQ(a->sprite_a->x, 5);
    EXPECT_EQ(a->sprite_a->y, 6);
    img_del(&frame);
    img_del(&expected);
    archpath_del(&a);
}

TEST(Archpath, SprinkledSpriteMovesToEachWrappedPlace) {
    ARCHPATH *a = path_at(250, 3);
    a->width = a->height = 256;
    img_resize(a->sprite_a, 20, 2);
    IMG *frame = grid_image(256, 8);
    random_srand(22);
    archpath_draw_a(a, frame);
    EXPECT_EQ(a->sprite_a->x, -6);  // the last place drawn
    EXPECT_EQ(a->sprite_a->y, 3);
    random_srand(22);
    archpath_draw_a_mirrored(a, frame);
    EXPECT_EQ(a->sprite_a->x, 250 - 256);  // (px, h - py) = (250, 5): wrapped again
    EXPECT_EQ(a->sprite_a->y, 5);
    img_del(&frame);
    archpath_del(&a);
}

TEST(Archpath, DrawsNeedTheirSprite) {
    ARCHPATH *a = path_at(5, 5);
    IMG *frame = grid_image(16, 16);
    img_del(&a->sprite_b);
    img_del(&a->sprite_a);
    archpath_draw_a(a, frame);
    archpath_draw_b(a, frame);
    archpath_draw_a_mirrored(a, frame);
    archpath_draw_b_mirrored(a, frame);
    archpath_draw_b(nullptr, frame);
    archpath_draw_b(a, nullptr);
    const uint32_t black[256] = {};
    EXPECT_TRUE(grid_equals(frame, 16, 16, black));
    img_del(&frame);
    archpath_del(&a);
    archpath_step(nullptr);
    archpath_step_vary(nullptr);
    archpath_step_vary_long(nullptr);
    archpath_step_loop(nullptr);
    archpath_randomize(nullptr);
}

TEST(Archpath, DupIsEqualAndOwnsItsOwnSprites) {
    random_srand(31);
    ARCHPATH *a = archpath_new();
    img_set_pixel(a->sprite_a, 1, 1, 0x123456);
    ARCHPATH *d = archpath_dup(a);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(archpath_compare(a, d));
    EXPECT_NE(d->sprite_a, a->sprite_a);
    EXPECT_EQ(img_get_pixel(d->sprite_a, 1, 1), 0x123456u);
    img_set_pixel(d->sprite_a, 1, 1, 0);
    EXPECT_FALSE(archpath_compare(a, d));
    archpath_copy(a, d);
    EXPECT_TRUE(archpath_compare(a, d));
    d->radius++;
    EXPECT_FALSE(archpath_compare(a, d));
    archpath_del(&a);  // each frees only its own sprites
    archpath_del(&d);
    EXPECT_EQ(archpath_dup(nullptr), nullptr);
    EXPECT_FALSE(archpath_compare(nullptr, nullptr));
}
