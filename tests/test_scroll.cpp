// SCROLL: the step in both directions with its carries into the cursor, the
// number of characters a draw covers, the pixels of a drawn strip after
// steps left and right, drawing leaving the text in place, and the refusals.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/img.h"
#include "test_support.h"
#include "text/cursor.h"
#include "text/font.h"
#include "text/scroll.h"

// Cells 4 x 1 on a 512 x 1 sheet: column i of code k is (k << 8) | (i + 1),
// so every drawn pixel tells its character and column. Code 0x30 ('0') has
// a transparent second column.
static FONT *strip_font(void) {
    FONT *font = font_new();
    font->sheet = grid_image(512, 1);
    for (int32_t k = 0; k < 128; k++)
        for (int32_t i = 0; i < 4; i++) font->sheet->pixels[4 * k + i] = ((uint32_t)k << 8) | (uint32_t)(i + 1);
    font->sheet->pixels[4 * '0' + 1] = 0;
    font->cell_width = 4;
    font->cell_height = 1;
    font->depth = 9;
    return font;
}

struct ScrollTest : ::testing::Test {
    FONT *font = strip_font();
    IMG *target = grid_image(10, 1);
    SCROLL *scroll = scroll_new();
    void TearDown() override {
        scroll_del(&scroll);
        font_del(&font);
        img_del(&target);
    }
};

TEST(Scroll, NewWaitsForItsText) {
    SCROLL *s = scroll_new();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->speed, 1);
    EXPECT_EQ(s->offset, 0);
    EXPECT_EQ(s->x, 0);
    EXPECT_EQ(s->width, 0);
    EXPECT_EQ(s->height, 0);
    EXPECT_EQ(s->text, nullptr);
    EXPECT_EQ(s->font, nullptr);
    EXPECT_EQ(s->target, nullptr);
    ASSERT_NE(s->cursor, nullptr);
    EXPECT_STREQ(s->cursor->text, "A scroll's default text. ");
    EXPECT_EQ(s->cursor->length, 25);
    EXPECT_EQ(s->cursor->step, 1);
    scroll_step(s);  // refused: no text yet
    scroll_draw(s);
    EXPECT_EQ(s->offset, 0);
    EXPECT_EQ(s->cursor->index, 0);
    scroll_del(&s);
    EXPECT_EQ(s, nullptr);
    scroll_del(&s);
}

TEST_F(ScrollTest, SetAttachesEverythingAndTakesTheFontsSizes) {
    scroll->x = scroll->y = 5;
    scroll->offset = 2;
    scroll_set(scroll, "ABC", font, target);
    EXPECT_STREQ(scroll->text, "ABC");
    EXPECT_EQ(scroll->cursor->text, scroll->text);
    EXPECT_EQ(scroll->cursor->length, 3);
    EXPECT_EQ(scroll->cursor->index, 0);
    EXPECT_EQ(scroll->x, 0);
    EXPECT_EQ(scroll->y, 0);
    EXPECT_EQ(scroll->width, 10);
    EXPECT_EQ(scroll->height, 1);
    EXPECT_EQ(scroll->depth, 9);
    EXPECT_EQ(scroll->font, font);
    EXPECT_EQ(scroll->target, target);
}

TEST_F(ScrollTest, SetRefusesMissingPartsAndAnEmptyText) {
    scroll_set(scroll, "", font, target);
    scroll_set(scroll, nullptr, font, target);
    scroll_set(scroll, "ABC", nullptr, target);
    scroll_set(scroll, "ABC", font, nullptr);
    scroll_set(nullptr, "ABC", font, target);
    EXPECT_EQ(scroll->text, nullptr);
    EXPECT_EQ(scroll->cursor->length, 25);
}

TEST_F(ScrollTest, SpeedThreeCarriesIntoTheCursorEverySixteenPixels) {
    font->cell_width = 16;
    scroll_set(scroll, "HELLO WORLD", font, target);
    scroll->speed = 3;
    for (int i = 0; i < 5; i++) scroll_step(scroll);
    EXPECT_EQ(scroll->offset, 15);
    EXPECT_EQ(scroll->cursor->index, 0);
    scroll_step(scroll);
    EXPECT_EQ(scroll->offset, 2);
    EXPECT_EQ(scroll->cursor->index, 1);
}

TEST_F(ScrollTest, FastSpeedCarriesSeveralCharacters) {
    font->cell_width = 16;
    scroll_set(scroll, "HELLO WORLD", font, target);
    scroll->speed = 40;
    scroll_step(scroll);
    EXPECT_EQ(scroll->offset, 8);
    EXPECT_EQ(scroll->cursor->index, 2);
    EXPECT_EQ(scroll->cursor->step, 2);
}

TEST_F(ScrollTest, NegativeSpeedMovesBackOverTheStart) {
    font->cell_width = 16;
    scroll_set(scroll, "HELLO WORLD", font, target);
    scroll->speed = -5;
    scroll_step(scroll);
    EXPECT_EQ(scroll->offset, 11);
    EXPECT_EQ(scroll->cursor->index, 10);
    scroll_step(scroll);
    scroll_step(scroll);
    EXPECT_EQ(scroll->offset, 1);
    EXPECT_EQ(scroll->cursor->index, 10);
    scroll_step(scroll);  // 1 - 5 = -4: back one more
    EXPECT_EQ(scroll->offset, 12);
    EXPECT_EQ(scroll->cursor->index, 9);
}

TEST_F(ScrollTest, ExactNegativeMultipleEndsAtTheFullWidthThenSettles) {
    font->cell_width = 16;
    scroll_set(scroll, "HELLO WORLD", font, target);
    scroll->speed = -16;
    scroll_step(scroll);  // -16: step -2, offset 0 + 16
    EXPECT_EQ(scroll->offset, 16);
    EXPECT_EQ(scroll->cursor->index, 9);
    scroll->speed = 0;
    scroll_step(scroll);  // 16 >= 16: one on, offset 0
    EXPECT_EQ(scroll->offset, 0);
    EXPECT_EQ(scroll->cursor->index, 10);
}

TEST_F(ScrollTest, AStripOf640DrawsFortyTwoCharacters) {
    IMG *wide = grid_image(640, 1);
    font->cell_width = 16;
    scroll_set(scroll, "HELLO WORLD", font, wide);
    scroll->offset = 5;
    scroll_draw(scroll);
    // The font's pen starts at x - offset and moves 16 per character.
    EXPECT_EQ(font->x, -5 + 42 * 16);
    EXPECT_EQ(font->target, wide);
    img_del(&wide);
}

#define C(k, i) ((uint32_t)(k) << 8 | (uint32_t)(i))

TEST_F(ScrollTest, DrawAfterOneStepLeft) {
    scroll_set(scroll, "ABC", font, target);
    scroll_step(scroll);  // offset 1
    scroll_draw(scroll);
    // n = 10 / 4 + 2 = 4 characters from x = -1: A (cols 1-3 visible), B, C
    // (cols 1-3 visible), A (off the strip).
    const uint32_t expected[] = {C('A', 2), C('A', 3), C('A', 4), C('B', 1), C('B', 2),
                                 C('B', 3), C('B', 4), C('C', 1), C('C', 2), C('C', 3)};
    EXPECT_TRUE(grid_equals(target, 10, 1, expected));
    EXPECT_EQ(scroll->cursor->index, 0);
    EXPECT_EQ(scroll->cursor->step, 1);
    EXPECT_EQ(font->x, -1 + 4 * 4);
}

TEST_F(ScrollTest, DrawAfterOneStepRight) {
    scroll_set(scroll, "ABC", font, target);
    scroll->speed = -1;
    scroll_step(scroll);  // offset 3, first character C
    EXPECT_EQ(scroll->offset, 3);
    EXPECT_EQ(scroll->cursor->index, 2);
    scroll_draw(scroll);
    const uint32_t expected[] = {C('C', 4), C('A', 1), C('A', 2), C('A', 3), C('A', 4),
                                 C('B', 1), C('B', 2), C('B', 3), C('B', 4), C('C', 1)};
    EXPECT_TRUE(grid_equals(target, 10, 1, expected));
}

TEST_F(ScrollTest, DrawIsTransparentAndOpaqueIsNot) {
    const uint32_t grey[10] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    img_resize(target, 10, 1);
    for (int i = 0; i < 10; i++) target->pixels[i] = grey[i];
    scroll_set(scroll, "0", font, target);
    scroll_draw(scroll);
    const uint32_t transparent[] = {C('0', 1), 7, C('0', 3), C('0', 4), C('0', 1),
                                    7, C('0', 3), C('0', 4), C('0', 1), 7};
    EXPECT_TRUE(grid_equals(target, 10, 1, transparent));
    scroll_draw_opaque(scroll);
    const uint32_t opaque[] = {C('0', 1), 0, C('0', 3), C('0', 4), C('0', 1),
                               0, C('0', 3), C('0', 4), C('0', 1), 0};
    EXPECT_TRUE(grid_equals(target, 10, 1, opaque));
}

TEST_F(ScrollTest, DrawingTwiceWithoutAStepGivesTheSamePicture) {
    scroll_set(scroll, "ABCDEFG", font, target);
    scroll->speed = 6;
    scroll_step(scroll);
    scroll_step(scroll);
    scroll_draw(scroll);
    IMG *first = img_dup(target);
    int32_t index = scroll->cursor->index;
    img_clear(target, 0);
    scroll_draw(scroll);
    EXPECT_TRUE(img_compare(first, target));
    EXPECT_EQ(scroll->cursor->index, index);
    img_del(&first);
}

TEST_F(ScrollTest, ATextOfOneCharacterRepeats) {
    scroll_set(scroll, "B", font, target);
    scroll->x = 1;
    scroll_draw(scroll);
    const uint32_t expected[] = {0, C('B', 1), C('B', 2), C('B', 3), C('B', 4),
                                 C('B', 1), C('B', 2), C('B', 3), C('B', 4), C('B', 1)};
    EXPECT_TRUE(grid_equals(target, 10, 1, expected));
}

TEST_F(ScrollTest, BytesAbove127BecomeNegativeCodesAndDrawNothing) {
    scroll_set(scroll, "\xC1", font, target);
    scroll_draw(scroll);
    const uint32_t black[10] = {};
    EXPECT_TRUE(grid_equals(target, 10, 1, black));
    EXPECT_EQ(font->code, -63);
}

TEST_F(ScrollTest, CellsWithoutWidthAreRefused) {
    scroll_set(scroll, "ABC", font, target);
    font->cell_width = 0;
    scroll_step(scroll);
    scroll_draw(scroll);
    EXPECT_EQ(scroll->offset, 0);
    const uint32_t black[10] = {};
    EXPECT_TRUE(grid_equals(target, 10, 1, black));
    scroll_step(nullptr);
    scroll_draw(nullptr);
    scroll_draw_opaque(nullptr);
}
