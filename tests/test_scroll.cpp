// SCROLL: the step with its carries into the cursor (a table), the pixels of a
// drawn strip after steps left and right, transparent and opaque draws,
// drawing leaving the text in place, and the refusals.
#include <gtest/gtest.h>

#include "tests/test_support.h"
#include "text/cursor.h"
#include "text/font.h"
#include "text/scroll.h"

namespace {

// Cells 4 x 1 on a 512 x 1 sheet: column i of code k is (k << 8) | (i + 1),
// so every drawn pixel tells its character and column. Code '0' has a
// transparent second column.
FONT *strip_font(void) {
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

constexpr uint32_t C(char k, int i) { return (uint32_t)k << 8 | (uint32_t)i; }

struct Rig {
    Own<font_del> font{strip_font()};
    Own<img_del> target{grid_image(10, 1)};
    Own<scroll_del> scroll{scroll_new()};
    explicit Rig(const char *text) { scroll_set(scroll, text, font, target); }
};

}  // namespace

TEST(Scroll, SetTakesTheTargetWidthAndTheFontsSizesAndRefusesMissingParts) {
    Rig r("ABC");
    EXPECT_EQ(r.scroll->width, 10);
    EXPECT_EQ(r.scroll->height, 1);
    EXPECT_EQ(r.scroll->depth, 9);
    EXPECT_EQ(r.scroll->cursor->length, 3);
    Own<scroll_del> fresh(scroll_new());
    scroll_step(fresh);  // no text yet
    EXPECT_EQ(fresh->offset, 0);
    scroll_set(fresh, "", r.font, r.target);
    scroll_set(fresh, nullptr, r.font, r.target);
    scroll_set(fresh, "ABC", nullptr, r.target);
    scroll_set(fresh, "ABC", r.font, nullptr);
    EXPECT_EQ(fresh->text, nullptr);
    EXPECT_EQ(fresh->cursor->length, 25);
}

TEST(Scroll, StepCarriesWholeCharactersIntoTheCursor) {
    // Cells 16 wide, text of 11: offset, index, speed -> offset, index.
    const int32_t cases[][6] = {
        {12, 0, 3, 15, 0}, {15, 0, 3, 2, 1},  {0, 0, 40, 8, 2},  {0, 0, -5, 11, 10},
        {1, 10, -5, 12, 9}, {0, 0, -16, 16, 9}, {16, 9, 0, 0, 10}, {8, 2, -41, 15, 10},
        {15, 10, 1, 0, 0},
    };
    for (const auto &c : cases) {
        Rig r("HELLO WORLD");
        r.font->cell_width = 16;
        r.scroll->offset = c[0];
        r.scroll->cursor->index = c[1];
        r.scroll->speed = c[2];
        scroll_step(r.scroll);
        EXPECT_EQ(std::make_pair(r.scroll->offset, r.scroll->cursor->index), std::make_pair(c[3], c[4]))
            << c[0] << " " << c[1] << " " << c[2];
    }
}

TEST(Scroll, DrawnStripsAfterStepsLeftAndRight) {
    Rig left("ABC");
    scroll_step(left.scroll);  // offset 1: n = 10 / 4 + 2 = 4 characters from x = -1
    scroll_draw(left.scroll);
    EXPECT_TRUE(grid_equals(left.target, {C('A', 2), C('A', 3), C('A', 4), C('B', 1), C('B', 2), C('B', 3),
                                          C('B', 4), C('C', 1), C('C', 2), C('C', 3)}));
    EXPECT_EQ(left.font->x, -1 + 4 * 4);
    EXPECT_EQ(left.scroll->cursor->index, 0);
    Rig right("ABC");
    right.scroll->speed = -1;
    scroll_step(right.scroll);  // offset 3, first character C
    scroll_draw(right.scroll);
    EXPECT_TRUE(grid_equals(right.target, {C('C', 4), C('A', 1), C('A', 2), C('A', 3), C('A', 4), C('B', 1),
                                           C('B', 2), C('B', 3), C('B', 4), C('C', 1)}));
    Rig one("B");  // a text of one character repeats
    one.scroll->x = 1;
    scroll_draw(one.scroll);
    EXPECT_TRUE(grid_equals(one.target, {0, C('B', 1), C('B', 2), C('B', 3), C('B', 4), C('B', 1), C('B', 2),
                                         C('B', 3), C('B', 4), C('B', 1)}));
}

TEST(Scroll, DrawIsTransparentAndOpaqueIsNot) {
    Rig r("0");
    img_clear(r.target, 7);
    scroll_draw(r.scroll);
    EXPECT_TRUE(grid_equals(r.target, {C('0', 1), 7, C('0', 3), C('0', 4), C('0', 1), 7, C('0', 3), C('0', 4),
                                       C('0', 1), 7}));
    scroll_draw_opaque(r.scroll);
    EXPECT_TRUE(grid_equals(r.target, {C('0', 1), 0, C('0', 3), C('0', 4), C('0', 1), 0, C('0', 3), C('0', 4),
                                       C('0', 1), 0}));
}

TEST(Scroll, DrawingTwiceWithoutAStepGivesTheSamePicture) {
    Rig r("ABCDEFG");
    r.scroll->speed = 6;
    scroll_step(r.scroll);
    scroll_step(r.scroll);
    r.scroll->cursor->step = 5;
    scroll_draw(r.scroll);
    Own<img_del> first(img_dup(r.target));
    img_clear(r.target, 0);
    scroll_draw(r.scroll);
    EXPECT_TRUE(grid_identical(first, r.target));
    EXPECT_EQ(r.scroll->cursor->index, 3);
    EXPECT_EQ(r.scroll->cursor->step, 1);
}

TEST(Scroll, HighBytesAndCellsWithoutWidth) {
    Rig r("\xC1");
    scroll_draw(r.scroll);
    EXPECT_EQ(r.font->code, -63);  // a signed byte: no cell, nothing drawn
    EXPECT_TRUE(grid_equals(r.target, std::vector<uint32_t>(10, 0)));
    r.font->cell_width = 0;
    scroll_step(r.scroll);
    scroll_draw(r.scroll);
    EXPECT_EQ(r.scroll->offset, 0);
}
