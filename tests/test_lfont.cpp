// LFONT: pen advance, glyph placement, digits, colours.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "host/random.h"
#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00;

// A font over 256 empty glyphs drawing into its own image.
struct Font : GlyphFont {
    Font(int32_t w, int32_t h) : GlyphFont(w, h) {}
    void pen(int32_t x, int32_t y) {
        font->position->x = x;
        font->position->y = y;
    }
};

// Digit and letter glyphs that mark their value as a row: "0".."9" put one
// pixel at row 0..9 of their column, "A".."F" at rows 10..15.
void add_digit_glyphs(Font &f) {
    for (int d = 0; d < 16; d++) {
        int code = d < 10 ? '0' + d : 'A' + d - 10;
        add_segment(f.glyph(code), 0, d, 0, d, G);
    }
}

// Reads back the characters drawn by add_digit_glyphs in rows top..top+15,
// one per column; "." for an empty column.
std::string read_digits(const IMG *img, int32_t top, int32_t columns) {
    std::string s;
    for (int32_t x = 0; x < columns; x++) {
        char c = '.';
        for (int32_t d = 0; d < 16; d++)
            if (img_get_pixel(img, x, top + d)) c = "0123456789ABCDEF"[d];
        s += c;
    }
    return s;
}

}  // namespace

// Glyphs drawn at the pen on 4-pixel-wide cells (A: (0,0)-(1,1) red,
// B: (0,1)-(2,1) green, I: (0,0)-(3,0) red, code 0xE9 a red dot): the
// picture and where the pen ends. Codes outside the list or empty slots
// draw nothing and keep the pen; a turned glyph turns about its origin,
// (3, 0) a quarter turn giving (0, 3 * 32766 >> 15) = (0, 2).
TEST(Lfont, GlyphsAtThePenAsPictures) {
    const struct {
        void (*draw)(LFONT *);
        const char *want;  // 10 x 4: R, G or '.'
        int32_t pen;
    } cases[] = {
        {[](LFONT *f) { f->position->x = 1, lfont_draw_line(f, "AB"); }, ".R........ ..R..GGG.. .......... ..........", 9},
        {[](LFONT *f) { f->position->x = 1, f->position->y = 1, f->angle = 256, f->code = 'I', lfont_draw_char(f); },
         ".......... .R........ .R........ .R........", 5},
        {[](LFONT *f) { f->scale->x = f->scale->y = 2, lfont_draw_line(f, "A"); },
         "R......... .R........ ..R....... ..........", 8},
        {[](LFONT *f) { lfont_draw_line(f, "\xE9"); }, "R......... .......... .......... ..........", 4},
        {[](LFONT *f) { for (int32_t code : {256, -1, INT32_MIN}) f->code = code, lfont_draw_char(f); },
         ".......... .......... .......... ..........", 0},
        {[](LFONT *f) {
             Own<obj2d_del> g((OBJ2D *)list_get(f->glyphs, 'Z'));
             list_set(f->glyphs, nullptr, 'Z');
             f->code = 'Z', lfont_draw_char(f);
         },
         ".......... .......... .......... ..........", 0},
    };
    for (auto &c : cases) {
        Font f(10, 4);
        f.font->size->x = 4;
        add_segment(f.glyph('A'), 0, 0, 1, 1, R);
        add_segment(f.glyph('B'), 0, 1, 2, 1, G);
        add_segment(f.glyph('I'), 0, 0, 3, 0, R);
        add_segment(f.glyph(0xE9), 0, 0, 0, 0, R);
        add_segment(f.glyph(0), 0, 0, 3, 3, R);
        add_segment(f.glyph(255), 0, 0, 3, 3, R);
        c.draw(f.font);
        std::vector<uint32_t> want;
        for (const char *p = c.want; *p; p++)
            if (*p != ' ') want.push_back(*p == 'R' ? R : *p == 'G' ? G : 0);
        EXPECT_TRUE(grid_equals(f.img, want)) << c.want;
        EXPECT_EQ(f.font->position->x, c.pen) << c.want;
    }
    Own<lfont_del> bare(lfont_new());  // no glyph list: refused
    bare->code = 1;
    lfont_draw_char(bare), lfont_draw_line(bare, "abc"), lfont_set_color(bare, R);
    EXPECT_EQ(bare->position->x, 0);
    lfont_draw_char(nullptr), lfont_draw_line(nullptr, "abc"), lfont_draw_hex32(nullptr, 1), lfont_draw_decimal(nullptr, 1);
}

// Numbers and lines through one-pixel-wide digit glyphs (digit d lights row
// d of its column): digits read back, and where the pen ends.
TEST(Lfont, NumbersAndLinesAsDigits) {
    const struct {
        void (*draw)(LFONT *);
        const char *digits;
        int32_t pen;
    } cases[] = {
        {[](LFONT *f) { lfont_draw_decimal(f, 42); }, "0000000042......", 10},
        {[](LFONT *f) { lfont_draw_decimal(f, 4294967295u); }, "4294967295......", 10},
        {[](LFONT *f) { lfont_draw_hex16(f, 0xBEEF), lfont_draw_hex8(f, 0x1234), lfont_draw_hex32(f, 0xDEADC0DE); },
         "BEEF34DEADC0DE..", 14},
        {[](LFONT *f) { lfont_draw_line(f, "12\n34"); }, "12..............", 2},  // stops at the line feed
        {[](LFONT *f) { lfont_draw_line(f, " 1"); }, ".1..............", 2},    // an empty glyph advances
        {[](LFONT *f) { f->target = nullptr, lfont_draw_text(f, "12"); }, "................", 0},
    };
    for (auto &c : cases) {
        Font f(16, 32);
        add_digit_glyphs(f);
        f.font->size->x = 1;
        c.draw(f.font);
        EXPECT_EQ(read_digits(f.img, 0, 16), c.digits);
        EXPECT_EQ(read_digits(f.img, 16, 16), "................");
        EXPECT_EQ(f.font->position->x, c.pen) << c.digits;
    }
}

TEST(Lfont, DrawTextStartsEachLineBelowAtTheFirstX) {
    Font f(8, 48);
    add_digit_glyphs(f);
    f.font->size->x = 1;
    f.font->size->y = 8;
    f.font->scale->y = 2;  // lines 16 pixels apart; the glyphs grow too
    f.pen(3, 0);
    lfont_draw_text(f.font, "12\n345");
    // Rows are doubled by the y scale: digit d sits at row 2d.
    std::string first, second;
    for (int32_t x = 0; x < 8; x++) {
        char a = '.', b = '.';
        for (int32_t d = 0; d < 8; d++) {
            if (img_get_pixel(f.img, x, 2 * d)) a = (char)('0' + d);
            if (img_get_pixel(f.img, x, 16 + 2 * d)) b = (char)('0' + d);
        }
        first += a;
        second += b;
    }
    EXPECT_EQ(first, "...12...");
    EXPECT_EQ(second, "...345..");
    EXPECT_EQ(f.font->position->x, 6);
    EXPECT_EQ(f.font->position->y, 16);
}

TEST(Lfont, SetColourColoursEveryGlyph) {
    Font f(4, 4);
    add_segment(f.glyph('A'), 0, 0, 1, 0, R);
    add_segment(f.glyph('B'), 0, 0, 1, 0, R);
    lfont_set_color(f.font, G);
    EXPECT_EQ(((SEG2D *)list_get(f.glyph('A')->segments, 0))->a->color, G);
    EXPECT_EQ(((SEG2D *)list_get(f.glyph('B')->segments, 0))->b->color, G);
    EXPECT_EQ(f.glyph(7)->color, G);
}

// Light colours: red 0x80, green and blue from 0x80 up; seed 1 gives
// 0x8080A9 and 0x80C8A3 first.
TEST(Lfont, RandomLightColours) {
    random_srand(1);
    EXPECT_EQ(lfont_random_color(), 0x8080A9u);
    EXPECT_EQ(lfont_random_color(), 0x80C8A3u);
    random_srand(12345);
    for (int i = 0; i < 5000; i++) {
        uint32_t c = lfont_random_color();
        EXPECT_EQ(c >> 16, 0x80u);
        EXPECT_GE(c & 0xFF, 0x80u);
        EXPECT_GE((c >> 8) & 0xFF, 0x80u);
    }
}

TEST(Lfont, RandomColoursGoFromTheLastGlyphToTheFirst) {
    Font f(4, 4);
    random_srand(1);
    lfont_random_colors(f.font);
    EXPECT_EQ(f.glyph(255)->color, 0x8080A9u);
    EXPECT_EQ(f.glyph(254)->color, 0x80C8A3u);
    EXPECT_EQ(f.glyph(253)->color, 0x8098BEu);
}

TEST(Lfont, DrawCharRandomColoursTheGlyphFirst) {
    Font f(3, 1);
    add_segment(f.glyph('A'), 0, 0, 2, 0, R);
    random_srand(1);
    f.font->code = 'A';
    lfont_draw_char_random(f.font);
    const uint32_t expected[] = {0x8080A9, 0x8080A9, 0x8080A9};
    EXPECT_TRUE(grid_equals(f.img, expected));
    EXPECT_EQ(f.font->position->x, 16);
}

TEST(Lfont, DrawCharRandomOutsideTheListStillDrawsItsColour) {
    // Seed 1: rand() gives 41, 18467, 6334. The refused draw spends the 41.
    Font f(3, 1);
    random_srand(1);
    f.font->code = 300;
    lfont_draw_char_random(f.font);
    f.font->code = -1;
    lfont_draw_char_random(f.font);
    EXPECT_EQ(f.font->position->x, 0);
    EXPECT_EQ(random_rand(), 6334);
}

TEST(Lfont, DeleteDestroysGlyphsOnceAndClearsTheirSlots) {
    LIST *glyphs = list_new();
    OBJ2D *shared = obj2d_new();
    list_push(glyphs, shared);
    list_push(glyphs, nullptr);
    list_push(glyphs, shared);
    LFONT *f = lfont_new();
    f->glyphs = glyphs;
    lfont_del(&f);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(glyphs->count, 3);
    EXPECT_EQ(glyphs->items[0], nullptr);
    EXPECT_EQ(glyphs->items[2], nullptr);
    list_del(&glyphs);
}

TEST(Lfont, ParsedFontDrawsTheParsedGlyph) {
    // Code 0 and 1 blank, code 2 a short bar in the colour set before it.
    Own<list_del> glyphs(obj2d_parse("{ }\n{ }\n{ color $ff0000 s 0 0 2 0 }\n"));  // outlives the font
    ASSERT_EQ(glyphs->count, 3);
    Own<lfont_del> f(lfont_new());
    Own<img_del> img(img_new());
    img_resize(img, 4, 1);
    f->glyphs = glyphs;
    f->target = img;
    f->position->x = 1;
    f->code = 2;
    lfont_draw_char(f);
    const uint32_t expected[] = {0, R, R, R};
    EXPECT_TRUE(grid_equals(img, expected));
}
