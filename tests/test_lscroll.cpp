// LSCROLL: steps in both directions, the characters a frame draws, the spiral.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/random.h"
#include "imaging/img.h"
#include "tests/test_support.h"
#include "text/cursor.h"
#include "text/lscroll.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, W = 0xFFFFFF;

// A scroller over a line font of 256 empty glyphs and a target image.
struct Rig : GlyphFont {
    LSCROLL *s = lscroll_new();
    Rig(const char *text, int32_t w, int32_t h, int32_t cell = 16) : GlyphFont(w, h, cell) {
        lscroll_set(s, text, font, img);
    }
    ~Rig() { lscroll_del(&s); }
};

}  // namespace

TEST(Lscroll, NewScrollerDefaultsAndRefusesToRunUnset) {
    LSCROLL *s = lscroll_new();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->speed, 1);
    EXPECT_EQ(s->offset, 0);
    EXPECT_EQ(s->width, 0);
    EXPECT_EQ(s->height, 0);
    EXPECT_EQ(s->text, nullptr);
    ASSERT_NE(s->cursor, nullptr);
    EXPECT_EQ(s->cursor->length, 25);
    EXPECT_EQ(s->cursor->index, 0);
    EXPECT_STREQ(s->cursor->text, "A scroll's default text. ");
    lscroll_step(s);
    lscroll_draw(s);
    lscroll_draw_color(s, W);
    lscroll_draw_random(s);
    lscroll_draw_spiral(s, 0);
    EXPECT_EQ(s->offset, 0);
    lscroll_del(&s);
    EXPECT_EQ(s, nullptr);
    lscroll_del(&s);  // only reports
}

TEST(Lscroll, SetAttachesTextFontAndTarget) {
    Rig r("HELLO", 40, 20);
    r.s->x = 5;
    r.s->offset = 3;
    lscroll_set(r.s, "WORLD!", r.font, r.img);
    EXPECT_EQ(r.s->x, 0);
    EXPECT_EQ(r.s->y, 0);
    EXPECT_EQ(r.s->width, 40);
    EXPECT_EQ(r.s->height, 16);
    EXPECT_EQ(r.s->depth, 1);
    EXPECT_STREQ(r.s->text, "WORLD!");
    EXPECT_EQ(r.s->cursor->length, 6);
    EXPECT_EQ(r.s->cursor->index, 0);
    EXPECT_EQ(r.s->font, r.font);
    EXPECT_EQ(r.s->target, r.img);
}

TEST(Lscroll, SetRefusesMissingArgumentsAndEmptyText) {
    Rig r("HELLO", 40, 20);
    lscroll_set(r.s, "", r.font, r.img);
    lscroll_set(r.s, nullptr, r.font, r.img);
    lscroll_set(r.s, "X", nullptr, r.img);
    lscroll_set(r.s, "X", r.font, nullptr);
    lscroll_set(nullptr, "X", r.font, r.img);
    EXPECT_STREQ(r.s->text, "HELLO");
    EXPECT_EQ(r.s->cursor->length, 5);
}

TEST(Lscroll, SpeedThreeTakesSixStepsForOneCharacter) {
    Rig r("HELLO WORLD", 64, 16);
    r.s->speed = 3;
    for (int i = 0; i < 5; i++) lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 15);
    EXPECT_EQ(r.s->cursor->index, 0);
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 2);
    EXPECT_EQ(r.s->cursor->index, 1);
}

TEST(Lscroll, NegativeSpeedMovesBackOverTheStart) {
    Rig r("HELLO WORLD", 64, 16);
    r.s->speed = -5;
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 11);
    EXPECT_EQ(r.s->cursor->index, 10);
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 6);
    EXPECT_EQ(r.s->cursor->index, 10);
}

TEST(Lscroll, ExactNegativeMultipleEndsAtTheFullWidth) {
    Rig r("HELLO WORLD", 64, 16);
    r.s->speed = -16;
    lscroll_step(r.s);
    // -16 / 16 - 1 = -2 characters back, offset 0 + 16.
    EXPECT_EQ(r.s->offset, 16);
    EXPECT_EQ(r.s->cursor->index, 9);
    r.s->speed = 0;
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 0);
    EXPECT_EQ(r.s->cursor->index, 10);
}

TEST(Lscroll, FastSpeedSkipsSeveralCharacters) {
    Rig r("HELLO WORLD", 64, 16);
    r.s->speed = 40;
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 8);
    EXPECT_EQ(r.s->cursor->index, 2);
    r.s->speed = -41;  // 8 - 41 = -33: 33 / 16 = 2, three back, offset 15
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 15);
    EXPECT_EQ(r.s->cursor->index, 10);
}

TEST(Lscroll, CharacterWidthFollowsTheFontScale) {
    Rig r("HELLO WORLD", 64, 16);
    r.font->scale->x = 2;
    r.s->speed = 31;
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 31);
    EXPECT_EQ(r.s->cursor->index, 0);
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 30);
    EXPECT_EQ(r.s->cursor->index, 1);
}

TEST(Lscroll, ZeroCharacterWidthIsRefused) {
    Rig r("HELLO", 64, 16);
    r.font->scale->x = 0;
    r.s->speed = 3;
    lscroll_step(r.s);
    lscroll_draw(r.s);
    lscroll_draw_spiral(r.s, 1);
    EXPECT_EQ(r.s->offset, 0);
    r.font->scale->x = 1;
    r.font->size->x = 0;
    lscroll_step(r.s);
    EXPECT_EQ(r.s->offset, 0);
}

TEST(Lscroll, WideStripDrawsWidthOverCellPlusTwoCharacters) {
    Rig r("HELLO", 640, 16);
    lscroll_draw(r.s);
    // 640 / 16 + 2 = 42 characters, each moving the pen one cell.
    EXPECT_EQ(r.font->position->x, 42 * 16);
    EXPECT_EQ(r.font->position->y, 0);
}

TEST(Lscroll, DrawPlacesCharactersFromTheScrolledOffset) {
    Rig r("AB", 10, 3, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 2, R);
    add_segment(r.glyph('B'), 0, 0, 1, 0, G);
    lscroll_step(r.s);  // offset 1: the pen starts at -1
    lscroll_draw(r.s);
    // 10 / 4 + 2 = 4 characters: A at -1 (clipped), B at 3, A at 7, B at 11.
    const uint32_t expected[] = {
        0, 0, 0, G, G, 0, 0, R, 0, 0,
        0, 0, 0, 0, 0, 0, 0, R, 0, 0,
        0, 0, 0, 0, 0, 0, 0, R, 0, 0,
    };
    EXPECT_TRUE(grid_equals(r.img, expected));
}

TEST(Lscroll, DrawingTwiceWithoutAStepDrawsTheSamePicture) {
    Rig r("AB", 10, 3, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 2, R);
    add_segment(r.glyph('B'), 0, 0, 1, 0, G);
    r.s->speed = 6;
    lscroll_step(r.s);
    int32_t index = r.s->cursor->index;
    lscroll_draw(r.s);
    IMG *first = img_dup(r.img);
    img_clear(r.img, 0);
    lscroll_draw(r.s);
    EXPECT_TRUE(img_compare(first, r.img));
    EXPECT_EQ(r.s->cursor->index, index);
    EXPECT_EQ(r.s->cursor->step, 1);
    img_del(&first);
}

TEST(Lscroll, OneCharacterTextRepeatsAcrossTheStrip) {
    Rig r("A", 40, 1);
    add_segment(r.glyph('A'), 0, 0, 0, 0, W);
    lscroll_draw(r.s);
    for (int32_t x = 0; x < 40; x++)
        EXPECT_EQ(img_get_pixel(r.img, x, 0), x % 16 == 0 ? W : 0u) << x;
}

TEST(Lscroll, HighBytesAreNegativeCodesThatDrawNothingAndDoNotAdvance) {
    Rig r("A\xE9" "B", 12, 1, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    add_segment(r.glyph('B'), 0, 0, 0, 0, G);
    lscroll_draw(r.s);
    // 12 / 4 + 2 = 5 characters: A, (none), B, A, (none).
    EXPECT_EQ(img_get_pixel(r.img, 0, 0), R);
    EXPECT_EQ(img_get_pixel(r.img, 4, 0), G);
    EXPECT_EQ(img_get_pixel(r.img, 8, 0), R);
    EXPECT_EQ(r.font->position->x, 12);
}

TEST(Lscroll, StripOutsideTheTargetIsSkippedByThePlainDrawOnly) {
    Rig r("A", 40, 20);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    r.s->x = 41;
    r.font->position->x = 1234;
    lscroll_draw(r.s);
    EXPECT_EQ(r.font->position->x, 1234);
    lscroll_draw_color(r.s, W);
    EXPECT_EQ(r.font->position->x, 41 + (40 / 16 + 2) * 16);
    EXPECT_EQ(((SEG2D *)list_get(r.glyph('A')->segments, 0))->a->color, W);
    for (int32_t i = 0; i < 40 * 20; i++) EXPECT_EQ(r.img->pixels[i], 0u);
}

TEST(Lscroll, VisibilityTestAtEachEdge) {
    Rig r("A", 40, 20);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    struct Case {
        int32_t x, y;
        bool drawn;
    } cases[] = {{40, 0, true}, {41, 0, false}, {0, 20, true}, {0, 21, false},
                 {-40, 0, true}, {-41, 0, false}, {0, -16, true}, {0, -17, false}};
    for (const Case &c : cases) {
        r.s->x = c.x;
        r.s->y = c.y;
        r.font->position->x = 1234;
        lscroll_draw(r.s);
        EXPECT_EQ(r.font->position->x != 1234, c.drawn) << c.x << "," << c.y;
    }
}

TEST(Lscroll, ColourDrawColoursTheWholeFont) {
    Rig r("AB", 8, 1, 4);
    add_segment(r.glyph('A'), 0, 0, 1, 0, R);
    add_segment(r.glyph('B'), 0, 0, 1, 0, G);
    lscroll_draw_color(r.s, W);
    const uint32_t expected[] = {W, W, 0, 0, W, W, 0, 0};
    EXPECT_TRUE(grid_equals(r.img, expected));
}

TEST(Lscroll, RandomDrawGivesEachCharacterItsOwnLightColour) {
    Rig r("A", 8, 1, 4);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    random_srand(1);
    lscroll_draw_random(r.s);
    // 8 / 4 + 2 = 4 draws: rand() 41, 18467, then two off the image.
    EXPECT_EQ(img_get_pixel(r.img, 0, 0), 0x8080A9u);
    EXPECT_EQ(img_get_pixel(r.img, 4, 0), 0x80C8A3u);
}

TEST(Lscroll, SpiralPlacesCharactersAroundTheCentre) {
    Rig r("A", 256, 256);
    add_segment(r.glyph('A'), 0, 0, 0, 0, W);
    r.s->cursor->index = 0;
    lscroll_draw_spiral(r.s, 3);  // radius about i / 4
    // i = 512: S[0] = 0, S[256] = 32766: (128, 128 + (32766 * 512 >> 17)) = (128, 255).
    EXPECT_EQ(img_get_pixel(r.img, 128, 255), W);
    // i = 256: (128, 128 + 63).
    EXPECT_EQ(img_get_pixel(r.img, 128, 191), W);
    // i = 8: S[512] = 0, S[768] = -32766: (128, 128 + (-262128 >> 17)) = (128, 126).
    EXPECT_EQ(img_get_pixel(r.img, 128, 126), W);
    // i = 12: S[768], S[0]: (128 - 3, 128).
    EXPECT_EQ(img_get_pixel(r.img, 125, 128), W);
    // The last character (i = 1) left its angle: (1024 - 64 - 0 + 512) & 1023.
    EXPECT_EQ(r.font->angle, 448);
    EXPECT_EQ(r.s->cursor->index, 0);
}

TEST(Lscroll, SpiralWalksTheTextFromTheCursor) {
    Rig r("AB", 256, 256);
    add_segment(r.glyph('A'), 0, 0, 0, 0, R);
    add_segment(r.glyph('B'), 0, 0, 0, 0, G);
    lscroll_draw_spiral(r.s, 3);
    // i = 512 is the first character ("A"), i = 256 the 257th ("A"), i = 255
    // the 258th ("B"), i = 1 the 512th ("B").
    EXPECT_EQ(img_get_pixel(r.img, 128, 255), R);
    EXPECT_EQ(img_get_pixel(r.img, 128, 191), R);
    // i = 255: S[(255 * 64) & 1023] = S[960], S[(960 + 256) & 1023] = S[192]:
    // both shifted right by 17 after the product with 255.
    EXPECT_EQ(img_get_pixel(r.img, 128 + ((sine_table[960] * 255) >> 17),
                            128 + ((sine_table[192] * 255) >> 17)),
              G);
    // i = 1: (128 + (S[64] >> 17), 128 + (S[320] >> 17)) = (128, 128).
    EXPECT_EQ(img_get_pixel(r.img, 128, 128), G);
}
