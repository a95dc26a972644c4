// LSCROLL: steps in both directions (a table), the characters a frame draws,
// the visibility test at each edge, the colour, random and spiral draws.
#include <gtest/gtest.h>

#include "host/random.h"
#include "tests/test_support.h"
#include "text/cursor.h"
#include "text/lscroll.h"
#include "vector/seg2d.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, W = 0xFFFFFF;

// A scroller over a line font of 256 empty glyphs and a target image.
struct Rig : GlyphFont {
    Own<lscroll_del> s{lscroll_new()};
    Rig(const char *text, int32_t w, int32_t h, int32_t cell = 16) : GlyphFont(w, h, cell) {
        lscroll_set(s, text, font, img);
    }
};

}  // namespace

TEST(Lscroll, SetTakesTheSizesAndRefusesMissingParts) {
    Rig r("HELLO", 40, 20);
    EXPECT_EQ(r.s->width, 40);
    EXPECT_EQ(r.s->height, 16);
    EXPECT_EQ(r.s->depth, 1);
    lscroll_set(r.s, "", r.font, r.img);
    lscroll_set(r.s, nullptr, r.font, r.img);
    lscroll_set(r.s, "X", nullptr, r.img);
    lscroll_set(r.s, "X", r.font, nullptr);
    EXPECT_STREQ(r.s->text, "HELLO");
    EXPECT_EQ(r.s->cursor->length, 5);
    Own<lscroll_del> unset(lscroll_new());
    lscroll_step(unset);
    lscroll_draw_spiral(unset, 0);
    EXPECT_EQ(unset->offset, 0);
}

TEST(Lscroll, StepCarriesWholeCharactersIntoTheCursor) {
    // scale x, offset, index, speed -> offset, index (cells 16, text of 11).
    const int32_t cases[][6] = {
        {1, 12, 0, 3, 15, 0}, {1, 15, 0, 3, 2, 1},  {1, 0, 0, -5, 11, 10}, {1, 11, 10, -5, 6, 10},
        {1, 0, 0, -16, 16, 9}, {1, 16, 9, 0, 0, 10}, {1, 0, 0, 40, 8, 2},   {1, 8, 2, -41, 15, 10},
        {2, 0, 0, 31, 31, 0}, {2, 31, 0, 31, 30, 1}, {0, 0, 0, 3, 0, 0},   // zero width: refused
    };
    for (const auto &c : cases) {
        Rig r("HELLO WORLD", 64, 16);
        r.font->scale->x = c[0];
        r.s->offset = c[1];
        r.s->cursor->index = c[2];
        r.s->speed = c[3];
        lscroll_step(r.s);
        EXPECT_EQ(std::make_pair(r.s->offset, r.s->cursor->index), std::make_pair(c[4], c[5]))
            << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    }
}

TEST(Lscroll, DrawPlacesCharactersFromTheScrolledOffsetAndKeepsTheText) {
    Rig r("AB", 10, 3, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 2, R);
    add_segment(r.glyph('B'), 0, 0, 1, 0, G);
    lscroll_step(r.s);  // offset 1: the pen starts at -1
    r.s->cursor->step = 3;
    lscroll_draw(r.s);
    // 10 / 4 + 2 = 4 characters: A at -1 (clipped), B at 3, A at 7, B at 11.
    const std::vector<uint32_t> want = {0, 0, 0, G, G, 0, 0, R, 0, 0, 0, 0, 0, 0, 0,
                                        0, 0, R, 0, 0, 0, 0, 0, 0, 0, 0, 0, R, 0, 0};
    EXPECT_TRUE(grid_equals(r.img, want));
    EXPECT_EQ(r.font->position->x, 15);
    img_clear(r.img, 0);
    lscroll_draw(r.s);
    EXPECT_TRUE(grid_equals(r.img, want));
    EXPECT_EQ(r.s->cursor->index, 0);
    EXPECT_EQ(r.s->cursor->step, 1);
    Rig wide("HELLO", 640, 16);
    lscroll_draw(wide.s);
    EXPECT_EQ(wide.font->position->x, 42 * 16);  // 640 / 16 + 2 characters
}

TEST(Lscroll, HighBytesAreNegativeCodesThatDrawNothing) {
    Rig r("A\xE9" "B", 12, 1, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    add_segment(r.glyph('B'), 0, 0, 0, 0, G);
    lscroll_draw(r.s);  // 5 characters: A, (none), B, A, (none)
    EXPECT_TRUE(grid_equals(r.img, {R, 0, 0, 0, G, 0, 0, 0, R, 0, 0, 0}));
    EXPECT_EQ(r.font->position->x, 12);
}

TEST(Lscroll, VisibilityTestAtEachEdgeForThePlainDrawOnly) {
    Rig r("A", 40, 20);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    const int32_t cases[][3] = {{40, 0, 1},   {41, 0, 0},   {0, 20, 1},  {0, 21, 0},
                                {-40, 0, 1},  {-41, 0, 0},  {0, -16, 1}, {0, -17, 0}};
    for (const auto &c : cases) {
        r.s->x = c[0];
        r.s->y = c[1];
        r.font->position->x = 1234;
        lscroll_draw(r.s);
        EXPECT_EQ(r.font->position->x != 1234, c[2] == 1) << c[0] << "," << c[1];
    }
    r.s->x = 41;  // the colour draw still runs its loop
    lscroll_draw_color(r.s, W);
    EXPECT_EQ(r.font->position->x, 41 + (40 / 16 + 2) * 16);
}

TEST(Lscroll, ColourAndRandomDraws) {
    Rig r("AB", 8, 1, 4);
    add_segment(r.glyph('A'), 0, 0, 1, 0, R);
    add_segment(r.glyph('B'), 0, 0, 1, 0, G);
    lscroll_draw_color(r.s, W);
    EXPECT_TRUE(grid_equals(r.img, {W, W, 0, 0, W, W, 0, 0}));
    EXPECT_EQ(((SEG2D *)list_get(r.glyph('B')->segments, 0))->b->color, W);
    random_srand(1);  // rand() 41, 18467: light colours per glyph
    lscroll_draw_random(r.s);
    EXPECT_EQ(img_get_pixel(r.img, 0, 0), 0x8080A9u);
    EXPECT_EQ(img_get_pixel(r.img, 4, 0), 0x80C8A3u);
}

TEST(Lscroll, SpiralWalksTheTextInwardsAroundTheCentre) {
    Rig r("AB", 256, 256);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    add_segment(r.glyph('B'), 0, 0, 0, 0, G);
    lscroll_draw_spiral(r.s, 3);  // radius about i / 4
    // i = 512 (character 1, A): (128, 128 + (32766 * 512 >> 17)); i = 256
    // (character 257, A) 63 down; i = 12 (B) 3 left; i = 1 (B) the centre.
    EXPECT_EQ(img_get_pixel(r.img, 128, 255), R);
    EXPECT_EQ(img_get_pixel(r.img, 128, 191), R);
    EXPECT_EQ(img_get_pixel(r.img, 125, 128), R);  // i = 12 is character 501: A
    EXPECT_EQ(img_get_pixel(r.img, 128, 128), G);
    EXPECT_EQ(r.font->angle, 448);  // (1024 - 64 + 512) & 1023 for i = 1
    EXPECT_EQ(r.s->cursor->index, 0);
}
