// FONT: cell layout, the three glyph blits and their pen, lines, multi-line
// opaque text, hex and decimal numbers, the enlarged glyph, and refusals.
#include <gtest/gtest.h>

#include "tests/test_support.h"
#include "text/font.h"

namespace {

// A font of 1 x 1 cells on a 16 x 16 sheet whose pixel for code k is k + 1,
// so a drawn pixel names the code that drew it.
FONT *code_font(IMG *target) {
    FONT *font = font_new();
    font->sheet = grid_image(16, 16);
    for (int32_t k = 0; k < 256; k++) font->sheet->pixels[k] = (uint32_t)k + 1;
    font->cell_width = font->cell_height = 1;
    font->target = target;
    return font;
}

std::string drawn_codes(const IMG *target, int32_t n) {
    std::string s;
    for (int32_t i = 0; i < n; i++) s += (char)(target->pixels[i] - 1);
    return s;
}

// Sheet 4 x 2 in 2 x 2 cells; cell 1 is {0, 0x14 / 0x23, 0}; pen at (1, 1).
const uint32_t small_sheet[] = {0x11, 0x12, 0x00, 0x14, 0x21, 0x22, 0x23, 0x00};
FONT *small_font(IMG *target) {
    FONT *font = font_new();
    font->sheet = grid_image(4, 2, small_sheet);
    font->cell_width = font->cell_height = 2;
    font->target = target;
    font->code = 1;
    font->x = font->y = 1;
    return font;
}

}  // namespace

TEST(Font, CellLayoutWrapsAtTheSheetWidth) {
    struct Case { int32_t w, h, cw, ch, code, sx, sy; bool ok; } cases[] = {
        {256, 256, 16, 16, 65, 16, 64, true}, {256, 256, 16, 16, 255, 240, 240, true},
        {16, 64, 16, 16, 3, 0, 48, true},     {10, 10, 4, 3, 3, 2, 3, true},  // pixel 12: row 1, column 2
        {0, 4, 2, 2, 1, 0, 0, false},
    };
    for (const Case &c : cases) {
        Own<font_del> font(font_new());
        font->sheet = grid_image(c.w, c.h);
        font->cell_width = c.cw;
        font->cell_height = c.ch;
        int32_t sx = -1, sy = -1;
        EXPECT_EQ(font_cell(font, c.code, &sx, &sy) != 0, c.ok) << c.code;
        if (c.ok) {
            EXPECT_EQ(std::make_pair(sx, sy), std::make_pair(c.sx, c.sy)) << c.w << " " << c.code;
        }
    }
}

TEST(Font, GlyphBlitsAndThePen) {
    const uint32_t A = 0xAA;
    const uint32_t start[] = {A, A, A, A, A, 0xFFFFFFFF, 0xFF, A, A, 0x01, A, A};
    struct Case { void (*draw)(FONT *); std::vector<uint32_t> want; } cases[] = {
        {font_draw_char, {A, A, A, A, A, 0xFFFFFFFF, 0x14, A, A, 0x23, A, A}},  // zero pixels skipped
        {font_draw_char_opaque, {A, A, A, A, A, 0, 0x14, A, A, 0x23, 0, A}},
        {font_draw_char_add, {A, A, A, A, A, 0xFFFFFFFF, 0x113, A, A, 0x24, A, A}},  // whole words
    };
    for (const Case &c : cases) {
        Own<img_del> target(grid_image(4, 3, start));
        Own<font_del> font(small_font(target));
        c.draw(font);
        EXPECT_TRUE(grid_equals(target, c.want));
        EXPECT_EQ(std::make_pair(font->x, font->y), std::make_pair(3, 1));
    }
}

TEST(Font, ClippedOrMissingTargetStillAdvancesThePen) {
    Own<img_del> target(grid_image(4, 3));
    Own<font_del> font(small_font(target));
    font->x = 3;  // only the cell's left column lands, on column 3
    font_draw_char(font);
    EXPECT_TRUE(grid_equals(target, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x23}));
    EXPECT_EQ(font->x, 5);
    font->target = nullptr;
    font_draw_char(font);
    EXPECT_EQ(font->x, 7);
    font->code = -63;  // a signed byte from a scroller: outside the sheet
    font->target = target;
    font_draw_char(font);
    EXPECT_EQ(font->x, 9);
    EXPECT_EQ(target->pixels[11], 0x23u);
}

TEST(Font, MissingSheetOrFontDrawsNothingAndKeepsThePen) {
    Own<img_del> target(grid_image(4, 3));
    Own<font_del> font(font_new());
    font->target = target;
    font->x = 1;
    Own<font_del> brush(code_font(target));
    for (FONT *f : {font.get(), (FONT *)nullptr}) {
        font_draw_char(f);
        font_draw_char_opaque(f);
        font_draw_char_add(f);
        font_draw_line(f, "AB");
        font_draw_text_opaque(f, "AB");
        font_draw_hex32(f, 1);
        font_draw_decimal(f, 1);
        font_draw_big(f, brush);
    }
    EXPECT_EQ(font->x, 1);
    EXPECT_TRUE(grid_equals(target, std::vector<uint32_t>(12, 0)));
    font_draw_big(brush, font);  // the brush's sheet is missing
    EXPECT_EQ(brush->x, 0);
    EXPECT_EQ(font->target, target.get());
}

TEST(Font, DrawLineStopsAtTheLineFeedAndReadsBytesUnsigned) {
    Own<img_del> target(grid_image(8, 1));
    Own<font_del> font(code_font(target));
    font_draw_line(font, "AB\nC");
    EXPECT_EQ(drawn_codes(target, 2), "AB");
    EXPECT_EQ(target->pixels[2], 0u);
    EXPECT_EQ(font->x, 2);
    font->x = 4;
    font_draw_line(font, "\x81");
    EXPECT_EQ(target->pixels[4], 0x82u);
    font_draw_line(font, nullptr);
    EXPECT_EQ(font->x, 5);
}

TEST(Font, TextOpaqueStartsEachLineUnderTheFirst) {
    Own<img_del> target(grid_image(6, 3));
    Own<font_del> font(code_font(target));
    font->x = 2;
    font_draw_text_opaque(font, "AB\nC\n\nD");  // D lands on row 3, outside
    const uint32_t A = 'A' + 1, B = 'B' + 1, C = 'C' + 1;
    EXPECT_TRUE(grid_equals(target, {0, 0, A, B, 0, 0, 0, 0, C, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::make_pair(font->x, font->y), std::make_pair(3, 3));
    Own<font_del> untargeted(code_font(nullptr));
    font_draw_text_opaque(untargeted, "AB\nC");
    EXPECT_EQ(std::make_pair(untargeted->x, untargeted->y), std::make_pair(0, 0));
}

TEST(Font, NumbersInHexAndDecimal) {
    struct Case { void (*draw)(FONT *, uint32_t); uint32_t value; const char *want; } cases[] = {
        {font_draw_hex8, 0x1A5, "A5"},           {font_draw_hex8, 0x9F, "9F"},
        {font_draw_hex16, 0xBEEF09, "EF09"},     {font_draw_hex32, 0x12C4F6A8, "12C4F6A8"},
        {font_draw_hex32, 0xFEDCBA90, "FEDCBA90"}, {font_draw_decimal, 7, "0000000007"},
        {font_draw_decimal, 0xFFFFFFFFu, "4294967295"}, {font_draw_decimal, 1000000000u, "1000000000"},
    };
    for (const Case &c : cases) {
        Own<img_del> target(grid_image(10, 1));
        Own<font_del> font(code_font(target));
        c.draw(font, c.value);
        int32_t n = (int32_t)strlen(c.want);
        EXPECT_EQ(drawn_codes(target, n), c.want);
        EXPECT_EQ(font->x, n);
    }
}

TEST(Font, BigGlyphStampsTheBrushForEverySetPixel) {
    // F: one 2 x 2 cell {X . / . X}; brush: one 2 x 2 cell of 0x77.
    Own<img_del> target(grid_image(6, 6));
    Own<font_del> font(font_new());
    font->sheet = grid_image(2, 2, {0x50, 0, 0, 0x60});
    font->cell_width = font->cell_height = 2;
    font->target = target;
    font->x = font->y = 1;
    Own<font_del> brush(font_new());
    brush->sheet = grid_filled(2, 2, 0x77);
    brush->cell_width = brush->cell_height = 2;
    font_draw_big(font, brush);
    const char *rows[] = {"......", ".##...", ".##...", "...##.", "...##.", "......"};
    EXPECT_TRUE(grid_equals(target, grid_picture(rows, 6, 0, "#", {0x77})));
    EXPECT_EQ(font->x, 1 + 2 * 2);
    EXPECT_EQ(brush->target, target.get());
    EXPECT_EQ(std::make_pair(brush->x, brush->y), std::make_pair(5, 3));  // last stamp at (3, 3)
}
