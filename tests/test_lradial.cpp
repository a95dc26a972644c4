// LRADIAL: ring fields and their random draws, the palette, stepping, and
// every way of drawing the ring, checked pixel by pixel on small images.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "effects/lradial.h"
#include "host/random.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "tests/test_lcg.h"
#include "tests/test_support.h"

// An independent copy of the generator, to know which values a create draws.
static Lcg lcg;

// A ring with every field chosen by the test.
static LRADIAL *ring(int32_t cx, int32_t cy, int32_t radius, int32_t lines, uint32_t colour) {
    LRADIAL *r = lradial_new();
    r->x = cx;
    r->y = cy;
    r->radius = radius;
    r->colour = (int32_t)colour;
    r->angle = 0;
    lradial_set_lines(r, lines);
    return r;
}

TEST(Lradial, NewDrawsSpinRadiusColourInThatOrder) {
    random_srand(45429);
    lcg.state = 45429;
    int32_t r1 = lcg.next(), r2 = lcg.next(), r3 = lcg.next();
    ASSERT_EQ(r1, 17318);
    ASSERT_EQ(r2, 21105);
    LRADIAL *r = lradial_new();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->spin, 17318 + 0x8000);
    EXPECT_EQ(r->radius, 21105 % 128 + 32);  // 145
    EXPECT_EQ(r->colour, (r3 & 0x7F7F7F) + 0x808080);
    EXPECT_EQ(random_rand(), lcg.next());  // exactly three draws
    EXPECT_EQ(r->x, 128);
    EXPECT_EQ(r->y, 128);
    EXPECT_EQ(r->z, 0);
    EXPECT_EQ(r->width, 256);
    EXPECT_EQ(r->height, 256);
    EXPECT_EQ(r->depth, 0);
    EXPECT_EQ(r->lines, 16);
    EXPECT_EQ(r->angle, 0);
    EXPECT_EQ(r->spacing, (1024 << 16) / 16);
    lradial_del(&r);
    EXPECT_EQ(r, nullptr);
}

TEST(Lradial, FieldRangesOverManyRings) {
    random_srand(7);
    for (int i = 0; i < 200; i++) {
        LRADIAL *r = lradial_new();
        EXPECT_GE(r->radius, 32);
        EXPECT_LE(r->radius, 159);
        EXPECT_GE(r->spin, 0x8000);
        EXPECT_LE(r->spin, 0x8000 + 32767);
        for (int s = 0; s < 24; s += 8) EXPECT_GE((r->colour >> s) & 0xFF, 0x80);
        lradial_del(&r);
    }
}

TEST(Lradial, PaletteIsAClosedRainbowRing) {
    LRADIAL *r = lradial_new();
    EXPECT_EQ(lradial_palette_colour(0), 0x00FF00u);
    EXPECT_EQ(lradial_palette_colour(1), 0x00FF01u);
    EXPECT_EQ(lradial_palette_colour(255), 0x00FFFFu);
    EXPECT_EQ(lradial_palette_colour(256), 0x00FFFFu);
    EXPECT_EQ(lradial_palette_colour(511), 0x0000FFu);
    EXPECT_EQ(lradial_palette_colour(512), 0x0000FFu);
    EXPECT_EQ(lradial_palette_colour(767), 0xFF00FFu);
    EXPECT_EQ(lradial_palette_colour(768), 0xFF00FFu);
    EXPECT_EQ(lradial_palette_colour(1023), 0xFF0000u);
    EXPECT_EQ(lradial_palette_colour(1024), 0xFF0000u);
    EXPECT_EQ(lradial_palette_colour(1279), 0xFFFF00u);
    EXPECT_EQ(lradial_palette_colour(1280), 0xFFFF00u);
    EXPECT_EQ(lradial_palette_colour(1535), 0x00FF00u);
    EXPECT_EQ(lradial_palette_colour(-1), 0u);
    EXPECT_EQ(lradial_palette_colour(1536), 0u);
    lradial_del(&r);
}

TEST(Lradial, SetLinesSetsSpacingAndRejectsNonPositive) {
    LRADIAL *r = lradial_new();
    lradial_set_lines(r, 4);
    EXPECT_EQ(r->lines, 4);
    EXPECT_EQ(r->spacing, 256 << 16);
    lradial_set_lines(r, 0);
    lradial_set_lines(r, -3);
    EXPECT_EQ(r->lines, 4);
    EXPECT_EQ(r->spacing, 256 << 16);
    lradial_set_lines(r, 3);
    EXPECT_EQ(r->spacing, 22369621);  // 67108864 / 3, truncated
    lradial_set_lines(nullptr, 5);
    lradial_del(&r);
}

TEST(Lradial, StepAddsSpinAndWrapsAtOneTurn) {
    LRADIAL *r = lradial_new();
    r->angle = 0x3FFFFFF - 5;
    r->spin = 10;
    lradial_step(r);
    EXPECT_EQ(r->angle, 4);
    r->spin = -8;  // a flipped spin turns backwards through 0
    lradial_step(r);
    EXPECT_EQ(r->angle, 0x3FFFFFC);
    lradial_step(nullptr);
    lradial_del(&r);
}

TEST(Lradial, PointsOfAFourLineRingRoundDown) {
    int32_t px, py;
    lradial_point(128, 128, 0, 100, &px, &py);
    EXPECT_EQ(px, 128);
    EXPECT_EQ(py, 227);  // +99.99 rounds down to +99
    lradial_point(128, 128, 256 << 16, 100, &px, &py);
    EXPECT_EQ(px, 227);
    EXPECT_EQ(py, 128);
    lradial_point(128, 128, 512 << 16, 100, &px, &py);
    EXPECT_EQ(px, 128);
    EXPECT_EQ(py, 28);  // -99.99 rounds down to -100
    lradial_point(128, 128, 768 << 16, 100, &px, &py);
    EXPECT_EQ(px, 28);
    EXPECT_EQ(py, 128);
}

TEST(Lradial, DrawPointsOnTheBigRing) {
    IMG *img = grid_image(256, 256);
    LRADIAL *r = ring(128, 128, 100, 4, 0x123456);
    lradial_draw_points(r, img);
    int set = 0;
    for (int32_t i = 0; i < 256 * 256; i++) set += img->pixels[i] != 0;
    EXPECT_EQ(set, 4);
    EXPECT_EQ(img_get_pixel(img, 128, 227), 0x123456u);
    EXPECT_EQ(img_get_pixel(img, 227, 128), 0x123456u);
    EXPECT_EQ(img_get_pixel(img, 128, 28), 0x123456u);
    EXPECT_EQ(img_get_pixel(img, 28, 128), 0x123456u);
    EXPECT_EQ(r->angle, 0);  // drawing does not turn the ring
    lradial_del(&r);
    img_del(&img);
}

static const uint32_t C = 0xC0FFEE;

TEST(Lradial, DrawPointsSmallRingAndCopiesImageSize) {
    IMG *img = grid_image(5, 5);
    LRADIAL *r = ring(2, 2, 2, 4, C);
    lradial_draw_points(r, img);
    const uint32_t expected[25] = {
        0, 0, C, 0, 0,
        0, 0, 0, 0, 0,
        C, 0, 0, C, 0,
        0, 0, C, 0, 0,
        0, 0, 0, 0, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    EXPECT_EQ(r->width, 5);
    EXPECT_EQ(r->height, 5);
    lradial_del(&r);
    img_del(&img);
}

TEST(Lradial, DrawPointsClipsAtEveryEdge) {
    IMG *img = grid_image(3, 3);
    // Radius 2 around (1, 1): (1, 2) inside, (2, 1) inside, (1, -1) and (-1, 1) outside.
    LRADIAL *r = ring(1, 1, 2, 4, C);
    lradial_draw_points(r, img);
    const uint32_t expected[9] = {
        0, 0, 0,
        0, 0, C,
        0, C, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    lradial_del(&r);
    img_del(&img);
}

TEST(Lradial, DrawSpokesFromTheCentre) {
    IMG *img = grid_image(5, 5);
    LRADIAL *r = ring(2, 2, 2, 4, C);
    lradial_draw_spokes(r, img);
    const uint32_t expected[25] = {
        0, 0, C, 0, 0,
        0, 0, C, 0, 0,
        C, C, C, C, 0,
        0, 0, C, 0, 0,
        0, 0, 0, 0, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    lradial_del(&r);
    img_del(&img);
}

TEST(Lradial, DrawSpokesOriginEndOnARingAroundTheCorner) {
    IMG *img = grid_image(5, 5);
    LRADIAL *r = ring(2, 2, 2, 4, C);
    // Ends (0, 1), (1, 0), (0, -2), (-2, 0); the last two lines are clipped.
    lradial_draw_spokes_origin(r, img);
    const uint32_t expected[25] = {
        0, C, 0, 0, 0,
        C, C, 0, 0, 0,
        0, 0, C, 0, 0,
        0, 0, 0, 0, 0,
        0, 0, 0, 0, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    lradial_del(&r);
    img_del(&img);
}

TEST(Lradial, DrawSpokesThickWidensASteepSpoke) {
    IMG *img = grid_image(5, 5);
    LRADIAL *r = ring(2, 2, 2, 1, C);  // one spoke, down to (2, 3)
    lradial_draw_spokes_thick(r, img, 3);
    const uint32_t expected[25] = {
        0, 0, 0, 0, 0,
        0, 0, 0, 0, 0,
        0, C, C, C, 0,
        0, C, C, C, 0,
        0, 0, 0, 0, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    img_clear(img, 0);
    lradial_draw_spokes_thick(r, img, 0);  // thickness 0 draws nothing
    const uint32_t none[25] = {0};
    EXPECT_TRUE(grid_equals(img, none));
    lradial_del(&r);
    img_del(&img);
}

TEST(Lradial, DrawSpokesDitherRunsRoundThePalette) {
    IMG *img = grid_image(5, 5);
    LRADIAL *r = ring(2, 2, 2, 2, C);
    // k = 2: palette[0] to palette[192] down to (2, 3); k = 1: palette[768]
    // to palette[960] up to (2, 0), whose centre pixel overwrites the first.
    lradial_draw_spokes_dither(r, img);
    const uint32_t G2 = 0x00FFC0, M = 0xFF00FF, M2 = 0xFF003F;
    const uint32_t expected[25] = {
        0, 0, M2, 0, 0,
        0, 0, M, 0, 0,
        0, 0, M, 0, 0,
        0, 0, G2, 0, 0,
        0, 0, 0, 0, 0,
    };
    EXPECT_TRUE(grid_equals(img, expected));
    lradial_del(&r);
    img_del(&img);
}

TEST(Lradial, BadArgumentsDrawNothing) {
    IMG *img = grid_image(4, 4);
    LRADIAL *r = ring(2, 2, 1, 4, C);
    lradial_draw_points(nullptr, img);
    lradial_draw_spokes(nullptr, img);
    lradial_draw_spokes_origin(nullptr, img);
    lradial_draw_spokes_thick(nullptr, img, 2);
    lradial_draw_spokes_dither(nullptr, img);
    lradial_draw_points(r, nullptr);
    lradial_draw_spokes(r, nullptr);
    lradial_draw_spokes_origin(r, nullptr);
    lradial_draw_spokes_thick(r, nullptr, 2);
    lradial_draw_spokes_dither(r, nullptr);
    const uint32_t none[16] = {0};
    EXPECT_TRUE(grid_equals(img, none));
    EXPECT_EQ(r->width, 256);  // no image, so no size was copied
    lradial_del(&r);
    img_del(&img);
}

TEST(Lradial, EmptyRecordOperations) {
    LRADIAL *a = lradial_new();
    a->radius = 77;
    LRADIAL *b = lradial_dup(a);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(b, a);
    EXPECT_EQ(b->x, 128);
    EXPECT_EQ(b->lines, 16);
    EXPECT_EQ(lradial_compare(a, a), 0);
    EXPECT_EQ(lradial_to_text(a), nullptr);
    b->radius = 5;
    lradial_copy(a, b);  // copies nothing
    EXPECT_EQ(b->radius, 5);
    EXPECT_EQ(lradial_dup(nullptr), nullptr);
    lradial_del(&a);
    lradial_del(&b);
}

TEST(Lradial, DelClearsAndSecondDelOnlyReports) {
    LRADIAL *r = lradial_new();
    lradial_del(&r);
    EXPECT_EQ(r, nullptr);
    lradial_del(&r);
    EXPECT_EQ(r, nullptr);
    lradial_del(nullptr);
}
