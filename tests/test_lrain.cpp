// LRAIN tests: the scatter's draw order, the wrap margins of the step in both
// directions, points, streaks and glyphs on small images, refused arguments.
#include <gtest/gtest.h>

#include <cstdlib>

#include "effects/lrain.h"
#include "host/random.h"
#include "imaging/img.h"
#include "test_support.h"
#include "text/font.h"

namespace {

// A rain of the given drops (whole pixels unless given in 16.16 by the caller).
LRAIN *rain_of(std::initializer_list<int32_t> xy_fixed) {
    LRAIN *r = lrain_new();
    lrain_set_count(r, (int32_t)xy_fixed.size() / 2);
    int32_t i = 0;
    for (int32_t v : xy_fixed) r->drops[i++] = v;
    return r;
}

int32_t px(int32_t p) { return p * 65536; }

const uint32_t W = 0xFFFFFF;

}  // namespace

TEST(Lrain, NewFallsOnePixelDownInWhite) {
    LRAIN *r = lrain_new();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->x, 0);
    EXPECT_EQ(r->width, 256);
    EXPECT_EQ(r->height, 256);
    EXPECT_EQ(r->depth, 0);
    EXPECT_EQ(r->vx, 0);
    EXPECT_EQ(r->vy, 0x10000);
    EXPECT_EQ(r->colour, 0xFFFFFFu);
    EXPECT_EQ(r->font, nullptr);
    EXPECT_EQ(r->count, 16);
    ASSERT_NE(r->drops, nullptr);
    lrain_del(&r);
    EXPECT_EQ(r, nullptr);
}

TEST(Lrain, NewScattersFromTheLastDropXBeforeY) {
    random_srand(45429);
    LRAIN *r = lrain_new();
    // The first draws after this seed, 17318 and 21105, place drop 15.
    EXPECT_EQ(r->drops[30], (17318 % 256) << 16);  // 166
    EXPECT_EQ(r->drops[31], (21105 % 256) << 16);  // 113
    Lcg g{45429};
    g.next();
    g.next();
    for (int i = 14; i >= 0; i--) {
        EXPECT_EQ(r->drops[2 * i], (g.next() % 256) << 16) << "drop " << i;
        EXPECT_EQ(r->drops[2 * i + 1], (g.next() % 256) << 16) << "drop " << i;
    }
    EXPECT_EQ(random_rand(), g.next());
    lrain_del(&r);
}

TEST(Lrain, ScatterUsesWidthAndHeightSeparately) {
    LRAIN *r = lrain_new();
    r->width = 10;
    r->height = 7;
    random_srand(1);
    lrain_scatter(r, 3);
    Lcg g{1};
    EXPECT_EQ(r->drops[6], (g.next() % 10) << 16);
    EXPECT_EQ(r->drops[7], (g.next() % 7) << 16);
    lrain_del(&r);
}

TEST(Lrain, ScatterRefusesBadIndexAndEmptyArea) {
    LRAIN *r = lrain_new();
    int32_t before[32];
    for (int i = 0; i < 32; i++) before[i] = r->drops[i];
    random_srand(11);
    lrain_scatter(r, -1);
    lrain_scatter(r, 16);
    r->width = 0;
    lrain_scatter(r, 0);
    lrain_scatter_all(r);
    r->width = 256;
    r->height = -4;
    lrain_scatter_all(r);
    for (int i = 0; i < 32; i++) EXPECT_EQ(r->drops[i], before[i]);
    Lcg g{11};
    EXPECT_EQ(random_rand(), g.next());  // nothing was drawn
    lrain_del(&r);
}

TEST(Lrain, SetCountMakesNewScatteredDrops) {
    LRAIN *r = lrain_new();
    random_srand(2);
    lrain_set_count(r, 3);
    EXPECT_EQ(r->count, 3);
    Lcg g{2};
    for (int i = 2; i >= 0; i--) {
        EXPECT_EQ(r->drops[2 * i], (g.next() % 256) << 16);
        EXPECT_EQ(r->drops[2 * i + 1], (g.next() % 256) << 16);
    }
    lrain_set_count(r, 0);
    lrain_set_count(r, -1);
    EXPECT_EQ(r->count, 3);
    lrain_del(&r);
}

TEST(Lrain, StepKeepsADropOutByLessThanItsStreak) {
    // One pixel down per step: my = 2, so rows up to 257 stay, 258 wraps to -1.
    LRAIN *r = rain_of({px(5), px(256), px(6), px(257), px(7), px(10)});
    lrain_step(r);
    EXPECT_EQ(r->drops[1], px(257));
    EXPECT_EQ(r->drops[3], px(-1));
    EXPECT_EQ(r->drops[5], px(11));
    EXPECT_EQ(r->drops[0], px(5));  // vx 0 leaves x alone
    lrain_del(&r);
}

TEST(Lrain, StepWrapsBothWaysAcrossWithFractions) {
    // vx = 1.5 pixels: mx = 0x18000 >> 15 = 3; whole x from -3 to 258 stays.
    LRAIN *r = rain_of({px(256), 0, px(257) + 0x8000, 0, px(-10), 0, px(-5) + 0x8000, 0,
                        px(-6) + 0x8000, 0});
    r->vx = 0x18000;
    r->vy = 0;
    lrain_step(r);
    EXPECT_EQ(r->drops[0], px(257) + 0x8000);  // 257.5: still out by less than 3
    EXPECT_EQ(r->drops[2], px(-2));            // 259.0 >= 259: back at 1 - 3
    EXPECT_EQ(r->drops[4], px(258));           // -8.5 is below -3: to 256 + 3 - 1
    EXPECT_EQ(r->drops[6], px(-3));            // -4.5 + 1.5 = -3.0 stays
    EXPECT_EQ(r->drops[8], px(258));           // -4.0: whole part -4 < -3 wraps
    lrain_del(&r);
}

TEST(Lrain, StepUpwardsWrapsBeforeTheDropHasLeft) {
    // vy = -1: my = -2, so the margins shrink: rows 2 .. 253 stay.
    LRAIN *r = rain_of({0, px(3), 0, px(2), 0, px(255)});
    r->vy = -0x10000;
    lrain_step(r);
    EXPECT_EQ(r->drops[1], px(2));
    EXPECT_EQ(r->drops[3], px(253));  // 1 < 2: to 256 - 2 - 1
    EXPECT_EQ(r->drops[5], px(3));    // 254 >= 254: to 1 + 2
    lrain_del(&r);
}

TEST(Lrain, StepUsesTheStoredSizeUntilADrawChangesIt) {
    LRAIN *r = rain_of({0, px(11)});
    r->height = 10;
    lrain_step(r);  // 12 >= 12: wraps
    EXPECT_EQ(r->drops[1], px(-1));
    lrain_del(&r);
}

TEST(Lrain, PointsAreDrawnAtTheWholePixelsAndClipped) {
    LRAIN *r = rain_of({px(1), px(0), px(3) + 0xFFFF, px(2), -1, px(1), px(4), px(1)});
    r->colour = 0x00AA00;
    IMG *img = grid_image(4, 3);
    lrain_draw_points(r, img);
    // -1 in 16.16 is pixel -1 (floor), x 4 is past the edge.
    const uint32_t G = 0x00AA00;
    const uint32_t want[12] = {0, G, 0, 0, 0, 0, 0, 0, 0, 0, 0, G};
    EXPECT_TRUE(grid_equals(img, 4, 3, want));
    EXPECT_EQ(r->width, 4);
    EXPECT_EQ(r->height, 3);
    img_del(&img);
    lrain_del(&r);
}

TEST(Lrain, StreaksTrailTwoStepsBehind) {
    LRAIN *r = rain_of({px(1), px(3), px(3), px(5)});
    r->vx = 0x8000;  // half a pixel right per step
    IMG *img = grid_image(5, 7);
    lrain_draw_streaks(r, img);
    // Drop (1,3) to (0,1); drop (3,5) to (2,3).
    const char *rows[] = {".....", "#....", "#....", ".##..", "..#..", "...#.", "....."};
    auto want = grid_picture(rows, 7, 0, "#", {W});
    EXPECT_TRUE(grid_equals(img, 5, 7, want.data()));
    img_del(&img);
    lrain_del(&r);
}

TEST(Lrain, DefaultStreakIsThreePixelsUp) {
    LRAIN *r = rain_of({px(1), px(2)});
    IMG *img = grid_image(3, 4);
    lrain_draw_streaks(r, img);
    const char *rows[] = {".#.", ".#.", ".#.", "..."};
    auto want = grid_picture(rows, 4, 0, "#", {W});
    EXPECT_TRUE(grid_equals(img, 3, 4, want.data()));
    img_del(&img);
    lrain_del(&r);
}

namespace {

// A font of 2 x 2 cells on a 128 x 2 sheet: 64 glyphs in one row, glyph k a
// single pixel of value k + 1 at its top-left corner (the rest transparent).
FONT *marker_font(void) {
    FONT *font = font_new();
    font->cell_width = 2;
    font->cell_height = 2;
    font->sheet = grid_image(128, 2);
    for (int k = 0; k < 64; k++) font->sheet->pixels[2 * k] = (uint32_t)(k + 1);
    return font;
}

}  // namespace

TEST(Lrain, GlyphRowSeventyDrawsGlyphSix) {
    LRAIN *r = rain_of({px(5), px(70)});
    r->font = marker_font();
    IMG *img = grid_image(8, 72);
    lrain_draw_glyphs(r, img);
    EXPECT_EQ(img_get_pixel(img, 1, 66), 7u);  // glyph 6 at (5 - 4, 70 - 4)
    int lit = 0;
    for (int i = 0; i < 8 * 72; i++) lit += img->pixels[i] != 0;
    EXPECT_EQ(lit, 1);
    EXPECT_EQ(r->font->target, img);
    EXPECT_EQ(r->font->x, 1 + 2);  // the pen moved on one cell
    EXPECT_EQ(r->font->y, 66);
    font_del(&r->font);
    img_del(&img);
    lrain_del(&r);
}

TEST(Lrain, GlyphsAreDrawnFirstToLast) {
    // Glyphs that fill their whole 2 x 2 cell with k + 1: drop (4, 4) draws
    // glyph 4 over (0..1, 0..1), drop (5, 5) glyph 5 over (1..2, 1..2); the
    // shared pixel (1, 1) keeps the later drop's glyph.
    LRAIN *r = rain_of({px(4), px(4), px(5), px(5)});
    r->font = marker_font();
    for (int k = 0; k < 64; k++)
        for (int j = 0; j < 2; j++)
            for (int i = 0; i < 2; i++) r->font->sheet->pixels[j * 128 + 2 * k + i] = k + 1;
    IMG *img = grid_image(4, 4);
    lrain_draw_glyphs(r, img);
    const uint32_t want[16] = {5, 5, 0, 0,
                               5, 6, 6, 0,
                               0, 6, 6, 0,
                               0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(img, 4, 4, want));
    font_del(&r->font);
    img_del(&img);
    lrain_del(&r);
}

TEST(Lrain, GlyphAboveTheImageTakesANegativeCodeAndDrawsNothing) {
    LRAIN *r = rain_of({px(4), px(-1)});
    r->font = marker_font();
    IMG *img = grid_image(8, 8);
    lrain_draw_glyphs(r, img);
    EXPECT_EQ(r->font->code, -1);  // C remainder of -1 by 64
    const uint32_t black[64] = {0};
    EXPECT_TRUE(grid_equals(img, 8, 8, black));
    font_del(&r->font);
    img_del(&img);
    lrain_del(&r);
}

TEST(Lrain, DrawsRefuseMissingFontImageOrDrops) {
    LRAIN *r = rain_of({px(1), px(1)});
    IMG *img = grid_image(3, 3);
    lrain_draw_glyphs(r, img);  // no font
    EXPECT_EQ(r->width, 256);   // a refused draw does not take the size
    lrain_draw_points(r, nullptr);
    lrain_draw_streaks(nullptr, img);
    lrain_draw_points(nullptr, img);
    lrain_step(nullptr);
    free(r->drops);
    r->drops = nullptr;
    lrain_draw_points(r, img);
    lrain_draw_streaks(r, img);
    lrain_step(r);
    lrain_scatter_all(r);
    const uint32_t black[9] = {0};
    EXPECT_TRUE(grid_equals(img, 3, 3, black));
    lrain_del(&r);
    lrain_del(&r);
    EXPECT_EQ(r, nullptr);
    lrain_del(nullptr);
    img_del(&img);
}

TEST(Lrain, TextIsNullCompareFalseCopyNothingDupFresh) {
    LRAIN *a = lrain_new();
    a->colour = 0x123456;
    EXPECT_EQ(lrain_to_text(a), nullptr);
    EXPECT_EQ(lrain_compare(a, a), 0);
    LRAIN *b = lrain_new();
    lrain_copy(a, b);
    EXPECT_EQ(b->colour, 0xFFFFFFu);
    LRAIN *c = lrain_dup(a);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->colour, 0xFFFFFFu);
    EXPECT_EQ(c->count, 16);
    EXPECT_EQ(lrain_dup(nullptr), nullptr);
    lrain_del(&a);
    lrain_del(&b);
    lrain_del(&c);
}
