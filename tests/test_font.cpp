// FONT: cell layout on sheets of any width, the three glyph blits and their
// pen, lines, multi-line opaque text, hex and decimal numbers, the enlarged
// glyph, and the refusals (missing font, sheet, text; a sheet with no width).
#include <gtest/gtest.h>

#include "imaging/img.h"
#include "test_support.h"
#include "text/font.h"

// A font of 1 x 1 cells on a 16 x 16 sheet whose pixel for code k is k + 1,
// so a drawn pixel names the code that drew it.
static FONT *code_font(IMG *target) {
    FONT *font = font_new();
    font->sheet = grid_image(16, 16);
    for (int32_t k = 0; k < 256; k++) font->sheet->pixels[k] = (uint32_t)k + 1;
    font->cell_width = font->cell_height = 1;
    font->target = target;
    return font;
}

// The codes drawn into a one-row target, read back from the pixels.
static std::string drawn_codes(const IMG *target, int32_t n) {
    std::string s;
    for (int32_t i = 0; i < n; i++) s += (char)(target->pixels[i] - 1);
    return s;
}

TEST(Font, NewHasSixBySixCellsAndNothingElse) {
    FONT *font = font_new();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->cell_width, 6);
    EXPECT_EQ(font->cell_height, 6);
    EXPECT_EQ(font->x, 0);
    EXPECT_EQ(font->y, 0);
    EXPECT_EQ(font->z, 0);
    EXPECT_EQ(font->depth, 0);
    EXPECT_EQ(font->code, 0);
    EXPECT_EQ(font->sheet, nullptr);
    EXPECT_EQ(font->target, nullptr);
    font_del(&font);
    EXPECT_EQ(font, nullptr);
    font_del(&font);  // only reports
    font_del(nullptr);
}

TEST(Font, CellsOnA256WideSheet) {
    FONT *font = font_new();
    font->sheet = grid_image(256, 256);
    font->cell_width = font->cell_height = 16;
    int32_t sx, sy;
    ASSERT_TRUE(font_cell(font, 65, &sx, &sy));
    EXPECT_EQ(sx, 16);
    EXPECT_EQ(sy, 64);
    ASSERT_TRUE(font_cell(font, 255, &sx, &sy));
    EXPECT_EQ(sx, 240);
    EXPECT_EQ(sy, 240);
    font_del(&font);
}

TEST(Font, CellsOnA16WideSheetStackDownwards) {
    FONT *font = font_new();
    font->sheet = grid_image(16, 64);
    font->cell_width = font->cell_height = 16;
    int32_t sx, sy;
    for (int32_t k = 0; k < 6; k++) {
        ASSERT_TRUE(font_cell(font, k, &sx, &sy));
        EXPECT_EQ(sx, 0);
        EXPECT_EQ(sy, 16 * k);
    }
    font_del(&font);
}

TEST(Font, CellsWrapAtASheetWidthThatIsNoMultipleOfTheCell) {
    // Width 10, cells 4 x 3: code 3 starts at pixel 12 -> column 2 of row 1.
    FONT *font = font_new();
    font->sheet = grid_image(10, 10);
    font->cell_width = 4;
    font->cell_height = 3;
    int32_t sx, sy;
    ASSERT_TRUE(font_cell(font, 3, &sx, &sy));
    EXPECT_EQ(sx, 2);
    EXPECT_EQ(sy, 3);
    font_del(&font);
}

TEST(Font, SheetWithoutWidthHasNoCells) {
    FONT *font = font_new();
    font->sheet = grid_image(0, 4);
    IMG *target = grid_image(4, 4);
    font->target = target;
    int32_t sx = 7, sy = 7;
    EXPECT_FALSE(font_cell(font, 1, &sx, &sy));
    font_draw_char(font);
    EXPECT_EQ(font->x, 0);
    font_del(&font);
    img_del(&target);
}

// Sheet 4 x 2 in 2 x 2 cells; cell 1 is {0, 0x14 / 0x23, 0}.
static const uint32_t small_sheet[] = {0x11, 0x12, 0x00, 0x14,  //
                                       0x21, 0x22, 0x23, 0x00};

static FONT *small_font(IMG *target) {
    FONT *font = font_new();
    font->sheet = grid_image(4, 2, small_sheet);
    font->cell_width = font->cell_height = 2;
    font->target = target;
    font->code = 1;
    font->x = 1;
    font->y = 1;
    return font;
}

TEST(Font, DrawCharSkipsZeroPixelsAndAdvancesOneCell) {
    const uint32_t start[] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA,
                              0xAA, 0xAA, 0xAA, 0xAA};
    IMG *target = grid_image(4, 3, start);
    FONT *font = small_font(target);
    font_draw_char(font);
    const uint32_t expected[] = {0xAA, 0xAA, 0xAA, 0xAA,  //
                                 0xAA, 0xAA, 0x14, 0xAA,  //
                                 0xAA, 0x23, 0xAA, 0xAA};
    EXPECT_TRUE(grid_equals(target, 4, 3, expected));
    EXPECT_EQ(font->x, 3);
    EXPECT_EQ(font->y, 1);
    font_del(&font);
    img_del(&target);
}

TEST(Font, DrawCharOpaqueCopiesZeroPixelsToo) {
    const uint32_t start[] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA,
                              0xAA, 0xAA, 0xAA, 0xAA};
    IMG *target = grid_image(4, 3, start);
    FONT *font = small_font(target);
    font_draw_char_opaque(font);
    const uint32_t expected[] = {0xAA, 0xAA, 0xAA, 0xAA,  //
                                 0xAA, 0x00, 0x14, 0xAA,  //
                                 0xAA, 0x23, 0x00, 0xAA};
    EXPECT_TRUE(grid_equals(target, 4, 3, expected));
    EXPECT_EQ(font->x, 3);
    font_del(&font);
    img_del(&target);
}

TEST(Font, DrawCharAddAddsWholeWordsWithWrap) {
    const uint32_t start[] = {0, 0, 0, 0, 0, 0xFFFFFFFF, 0xFF, 0, 0, 0x01, 0, 0};
    IMG *target = grid_image(4, 3, start);
    FONT *font = small_font(target);
    font_draw_char_add(font);
    const uint32_t expected[] = {0, 0, 0,    0,     //
                                 0, 0xFFFFFFFF, 0x113, 0,  //
                                 0, 0x24, 0,    0};
    EXPECT_TRUE(grid_equals(target, 4, 3, expected));
    EXPECT_EQ(font->x, 3);
    font_del(&font);
    img_del(&target);
}

TEST(Font, ClippedGlyphStillAdvancesThePen) {
    IMG *target = grid_image(4, 3);
    FONT *font = small_font(target);
    font->x = -2;
    font_draw_char(font);
    EXPECT_EQ(font->x, 0);
    const uint32_t black[12] = {};
    EXPECT_TRUE(grid_equals(target, 4, 3, black));
    font->x = 3;  // only the cell's left column lands, on column 3
    font_draw_char(font);
    const uint32_t expected[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x23};
    EXPECT_TRUE(grid_equals(target, 4, 3, expected));
    EXPECT_EQ(font->x, 5);
    font_del(&font);
    img_del(&target);
}

TEST(Font, MissingTargetStillAdvancesThePen) {
    FONT *font = small_font(nullptr);
    font_draw_char(font);
    EXPECT_EQ(font->x, 3);
    font_del(&font);
}

TEST(Font, MissingSheetDrawsNothingAndKeepsThePen) {
    IMG *target = grid_image(4, 3);
    FONT *font = font_new();
    font->target = target;
    font->x = 1;
    font_draw_char(font);
    font_draw_char_opaque(font);
    font_draw_char_add(font);
    font_draw_line(font, "AB");
    font_draw_text_opaque(font, "AB");
    EXPECT_EQ(font->x, 1);
    const uint32_t black[12] = {};
    EXPECT_TRUE(grid_equals(target, 4, 3, black));
    font_del(&font);
    img_del(&target);
    font_draw_char(nullptr);
    font_draw_char_opaque(nullptr);
    font_draw_char_add(nullptr);
    font_draw_line(nullptr, "A");
    font_draw_text_opaque(nullptr, "A");
    font_draw_hex32(nullptr, 1);
    font_draw_decimal(nullptr, 1);
    font_draw_big(nullptr, nullptr);
}

TEST(Font, NegativeCodesFallOutsideTheSheet) {
    // A signed byte 0xC1 from a scroller is code -63: no cell, nothing drawn.
    IMG *target = grid_image(4, 1);
    FONT *font = code_font(target);
    font->code = -63;
    font_draw_char(font);
    EXPECT_EQ(font->x, 1);
    const uint32_t black[4] = {};
    EXPECT_TRUE(grid_equals(target, 4, 1, black));
    font_del(&font);
    img_del(&target);
}

TEST(Font, DrawLineStopsAtTheLineFeedAndReadsBytesUnsigned) {
    IMG *target = grid_image(8, 1);
    FONT *font = code_font(target);
    font_draw_line(font, "AB\nC");
    EXPECT_EQ(drawn_codes(target, 2), "AB");
    EXPECT_EQ(target->pixels[2], 0u);
    EXPECT_EQ(font->x, 2);
    EXPECT_EQ(font->code, 'B');
    font->x = 4;
    font_draw_line(font, "\x81");
    EXPECT_EQ(target->pixels[4], 0x82u);
    font_draw_line(font, nullptr);  // reported, nothing drawn
    EXPECT_EQ(font->x, 5);
    font_del(&font);
    img_del(&target);
}

TEST(Font, TextOpaqueStartsEachLineUnderTheFirst) {
    IMG *target = grid_image(6, 3);
    FONT *font = code_font(target);
    font->x = 2;
    font_draw_text_opaque(font, "AB\nC\n\nD");
    const uint32_t A = 'A' + 1, B = 'B' + 1, C = 'C' + 1;
    const uint32_t expected[] = {0, 0, A, B, 0, 0,  //
                                 0, 0, C, 0, 0, 0,  //
                                 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(target, 6, 3, expected));  // D lands on row 3, outside
    EXPECT_EQ(font->x, 3);
    EXPECT_EQ(font->y, 3);
    font_del(&font);
    img_del(&target);
}

TEST(Font, TextOpaqueNeedsATarget) {
    FONT *font = code_font(nullptr);
    font_draw_text_opaque(font, "AB\nC");
    EXPECT_EQ(font->x, 0);
    EXPECT_EQ(font->y, 0);
    font_del(&font);
}

TEST(Font, HexDigitsHighNibbleFirstInUpperCase) {
    IMG *target = grid_image(16, 1);
    FONT *font = code_font(target);
    font_draw_hex8(font, 0x1A5);
    EXPECT_EQ(drawn_codes(target, 2), "A5");
    EXPECT_EQ(font->x, 2);
    font->x = 0;
    font_draw_hex16(font, 0xBEEF09);
    EXPECT_EQ(drawn_codes(target, 4), "EF09");
    font->x = 0;
    font_draw_hex32(font, 0x12C4F6A8);
    EXPECT_EQ(drawn_codes(target, 8), "12C4F6A8");
    EXPECT_EQ(font->x, 8);
    font_del(&font);
    img_del(&target);
}

TEST(Font, DecimalHasTenDigitsWithLeadingZeros) {
    IMG *target = grid_image(10, 1);
    FONT *font = code_font(target);
    font_draw_decimal(font, 7);
    EXPECT_EQ(drawn_codes(target, 10), "0000000007");
    EXPECT_EQ(font->x, 10);
    font->x = 0;
    font_draw_decimal(font, 0xFFFFFFFFu);
    EXPECT_EQ(drawn_codes(target, 10), "4294967295");
    font_del(&font);
    img_del(&target);
}

TEST(Font, BigGlyphStampsTheBrushForEverySetPixel) {
    // F: one 2 x 2 cell {X . / . X}; brush: one 2 x 2 cell of 0x77.
    const uint32_t diagonal[] = {0x50, 0, 0, 0x60};
    const uint32_t brush_sheet[] = {0x77, 0x77, 0x77, 0x77};
    IMG *target = grid_image(6, 6);
    FONT *font = font_new();
    font->sheet = grid_image(2, 2, diagonal);
    font->cell_width = font->cell_height = 2;
    font->target = target;
    font->x = font->y = 1;
    FONT *brush = font_new();
    brush->sheet = grid_image(2, 2, brush_sheet);
    brush->cell_width = brush->cell_height = 2;
    font_draw_big(font, brush);
    const uint32_t S = 0x77;
    const uint32_t expected[] = {0, 0, 0, 0, 0, 0,  //
                                 0, S, S, 0, 0, 0,  //
                                 0, S, S, 0, 0, 0,  //
                                 0, 0, 0, S, S, 0,  //
                                 0, 0, 0, S, S, 0,  //
                                 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(grid_equals(target, 6, 6, expected));
    EXPECT_EQ(font->x, 1 + 2 * 2);
    EXPECT_EQ(brush->target, target);
    EXPECT_EQ(brush->x, 5);  // last stamp at (3, 3), then one brush cell on
    EXPECT_EQ(brush->y, 3);
    font_del(&font);
    font_del(&brush);
    img_del(&target);
}

TEST(Font, BigGlyphNeedsTheBrushSheet) {
    IMG *target = grid_image(6, 6);
    FONT *font = code_font(target);
    FONT *brush = font_new();
    font_draw_big(font, brush);
    EXPECT_EQ(font->x, 0);
    EXPECT_EQ(brush->target, nullptr);
    font_del(&font);
    font_del(&brush);
    img_del(&target);
}
