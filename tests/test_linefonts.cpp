// The built-in line drawings: the 8x8 line font, the 16x16 wire line font and
// the shapes, read with obj2d_parse and drawn with LFONT as the demo does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "demo/linefonts.h"
#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

namespace {

int32_t segments(const OBJ2D *o) { return o && o->segments ? o->segments->count : -1; }
SEG2D *segment(const OBJ2D *o, int32_t i) { return (SEG2D *)list_get(o->segments, i); }

// Bounding box of every endpoint of an object.
struct Box {
    int32_t x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
};
Box box_of(const OBJ2D *o) {
    Box b;
    for (int32_t i = 0; i < segments(o); i++) {
        SEG2D *s = segment(o, i);
        for (const VEC2D *v : {s->a, s->b}) {
            b.x0 = std::min(b.x0, v->x);
            b.y0 = std::min(b.y0, v->y);
            b.x1 = std::max(b.x1, v->x);
            b.y1 = std::max(b.y1, v->y);
        }
    }
    return b;
}

std::string glyph_label(int32_t code) { return "code " + std::to_string(code); }

// Compares an image with a picture of '#' (colour c) and '.' (0) rows;
// prints both as grids on mismatch.
::testing::AssertionResult looks_like(const IMG *img, const char *const *rows, uint32_t c) {
    bool same = true;
    for (int32_t y = 0; y < img->height; y++)
        for (int32_t x = 0; x < img->width; x++)
            if (img_get_pixel(img, x, y) != (rows[y][x] == '#' ? c : 0u)) same = false;
    if (same) return ::testing::AssertionSuccess();
    std::string msg = "\n got        expected\n";
    for (int32_t y = 0; y < img->height; y++) {
        std::string got;
        for (int32_t x = 0; x < img->width; x++) {
            uint32_t p = img_get_pixel(img, x, y);
            got += p == c ? '#' : p == 0 ? '.' : '?';
        }
        msg += " " + got + "   " + rows[y] + (got == rows[y] ? "\n" : "   <\n");
    }
    return ::testing::AssertionFailure() << msg;
}

// A line font over a parsed list, drawing into `target`; with `centred` every
// glyph is moved by (-4, -4) as the demo moves the 8x8 glyphs.
LFONT *font_over(Parsed &p, int32_t size, bool centred, IMG *target) {
    if (centred)
        for (int32_t i = p.count() - 1; i >= 0; i--) {
            OBJ2D *g = p.at(i);
            g->position->x = -4;
            g->position->y = -4;
            obj2d_translate_segments(g);
        }
    LFONT *f = lfont_new();
    f->size->x = f->size->y = size;
    f->glyphs = p.list;
    f->target = target;
    return f;
}

// Releases the font's own vectors but leaves the glyphs to the Parsed list.
void font_free(LFONT **f) {
    (*f)->glyphs = nullptr;
    lfont_del(f);
}

const char *const shape_names[] = {"apple", "ball",    "bird",     "brick",  "candle", "car",
                                   "circle", "cloud",  "cube",     "droplet", "flower", "fruit",
                                   "heart", "house",   "lips",     "lolipop", "smile",  "square",
                                   "star",  "sun",     "sweet",    "tree",   "triangle", "wheel"};

// ---- Layout shared by both fonts ----------------------------------------------

void expect_font_layout(const char *text, int32_t grid) {
    Parsed p(text);
    ASSERT_EQ(p.count(), 256);
    for (int32_t code = 0; code < 256; code++) {
        OBJ2D *g = p.at(code);
        ASSERT_NE(g, nullptr) << glyph_label(code);
        if (code < 32 || code >= 128) {
            EXPECT_EQ(segments(g), 0) << glyph_label(code);
            EXPECT_EQ(g->name, nullptr) << glyph_label(code);
        } else if (code == 32) {
            EXPECT_EQ(segments(g), 0);
            ASSERT_NE(g->name, nullptr);
            EXPECT_STREQ(g->name, "space");
        } else {
            EXPECT_GT(segments(g), 0) << glyph_label(code);
            ASSERT_NE(g->name, nullptr) << glyph_label(code);
            const std::string want = code == 127 ? "esc" : std::string(1, (char)code);
            EXPECT_EQ(std::string(g->name), want) << glyph_label(code);
        }
        EXPECT_EQ(g->points->count, 2 * segments(g)) << glyph_label(code);
        Box b = box_of(g);
        if (segments(g) > 0) {
            EXPECT_GE(b.x0, 0) << glyph_label(code);
            EXPECT_GE(b.y0, 0) << glyph_label(code);
            EXPECT_LT(b.x1, grid) << glyph_label(code);
            EXPECT_LT(b.y1, grid) << glyph_label(code);
        }
    }
}

void expect_colour_from(const char *text, int32_t first, uint32_t colour) {
    Parsed p(text);
    ASSERT_EQ(p.count(), 256);
    for (int32_t code = first; code < 256; code++) {
        OBJ2D *g = p.at(code);
        for (int32_t i = 0; i < segments(g); i++) {
            EXPECT_EQ(segment(g, i)->a->color, colour) << glyph_label(code) << " segment " << i;
            EXPECT_EQ(segment(g, i)->b->color, colour) << glyph_label(code) << " segment " << i;
        }
    }
}

// No glyph holds the same stroke twice (either direction).
void expect_no_repeated_strokes(const char *text) {
    Parsed p(text);
    for (int32_t code = 0; code < p.count(); code++) {
        OBJ2D *g = p.at(code);
        for (int32_t i = 0; i < segments(g); i++)
            for (int32_t j = i + 1; j < segments(g); j++) {
                SEG2D *s = segment(g, i), *t = segment(g, j);
                bool same = s->a->x == t->a->x && s->a->y == t->a->y && s->b->x == t->b->x &&
                            s->b->y == t->b->y;
                bool reversed = s->a->x == t->b->x && s->a->y == t->b->y && s->b->x == t->a->x &&
                                s->b->y == t->a->y;
                EXPECT_FALSE(same || reversed) << glyph_label(code) << " segments " << i << ", " << j;
            }
    }
}

TEST(LineFonts, TextsEndWithALineFeedAfterTheLastBrace) {
    for (const char *t : {demo_font8_text, demo_font16_text, demo_shapes_text}) {
        size_t n = std::strlen(t);
        ASSERT_GT(n, 2u);
        EXPECT_EQ(t[n - 1], '\n');
        EXPECT_EQ(t[n - 2], '}');
        EXPECT_EQ(t[0], '#');  // the header opens with comment lines
    }
}

// ---- 8x8 line font -----------------------------------------------------------

TEST(LineFont8, HoldsOneBlockPerCodeOnTheEightGrid) { expect_font_layout(demo_font8_text, 8); }

TEST(LineFont8, SpaceSetsTheColourOfEveryLaterGlyph) {
    expect_colour_from(demo_font8_text, 32, 0x00AACCEE);
}

TEST(LineFont8, LowerCaseRepeatsTheCapitals) {
    Parsed p(demo_font8_text);
    ASSERT_EQ(p.count(), 256);
    for (int32_t c = 'a'; c <= 'z'; c++) {
        OBJ2D *lower = p.at(c), *upper = p.at(c - 32);
        ASSERT_EQ(segments(lower), segments(upper)) << (char)c;
        for (int32_t i = 0; i < segments(lower); i++)
            EXPECT_TRUE(seg2d_compare(segment(lower, i), segment(upper, i))) << (char)c << " " << i;
    }
}

TEST(LineFont8, LettersAndDigitsSpanTopRowToBaselineAndLeaveTheFirstColumnFree) {
    Parsed p(demo_font8_text);
    ASSERT_EQ(p.count(), 256);
    for (int32_t code = 33; code <= 127; code++) {
        Box b = box_of(p.at(code));
        EXPECT_GE(b.x0, 1) << glyph_label(code);  // column 0 is the gap between letters
        bool alnum = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
        if (!alnum) continue;
        EXPECT_EQ(b.y0, 0) << glyph_label(code);
        EXPECT_EQ(b.y1, 6) << glyph_label(code);
        EXPECT_GE(b.x1 - b.x0, 4) << glyph_label(code);
    }
}

TEST(LineFont8, NoGlyphRepeatsAStroke) { expect_no_repeated_strokes(demo_font8_text); }

TEST(LineFont8, MinusDrawnCentredIsARowOfFivePixels) {
    // "-" runs (2,3)-(6,3); moved by (-4,-4) to (-2,-1)-(2,-1) and drawn
    // with its origin at (4,4) it lands on row 3, columns 2 to 6.
    Parsed p(demo_font8_text);
    Own<img_del> img(grid_image(8, 8));
    LFONT *f = font_over(p, 8, true, img);
    f->position->x = 4;
    f->position->y = 4;
    f->code = '-';
    lfont_draw_char(f);
    static const char *const want[] = {"........", "........", "........", "..#####.",
                                       "........", "........", "........", "........"};
    EXPECT_TRUE(looks_like(img, want, 0x00AACCEE));
    EXPECT_EQ(f->position->x, 12);  // one 8-pixel advance
    font_free(&f);
}

TEST(LineFont8, CapitalLDrawnAtScaleTwo) {
    // "L" is (1,0)-(1,6)-(7,6); centred it is (-3,-4)-(-3,2)-(3,2), at scale 2
    // (-6,-8)-(-6,4)-(6,4); with the origin at (8,8): column 2 rows 0..12 and
    // row 12 columns 2..14, even about the origin's column 8.
    Parsed p(demo_font8_text);
    Own<img_del> img(grid_image(16, 16));
    LFONT *f = font_over(p, 8, true, img);
    f->scale->x = f->scale->y = 2;
    f->position->x = 8;
    f->position->y = 8;
    f->code = 'L';
    lfont_draw_char(f);
    static const char *const want[] = {
        "..#.............", "..#.............", "..#.............", "..#.............",
        "..#.............", "..#.............", "..#.............", "..#.............",
        "..#.............", "..#.............", "..#.............", "..#.............",
        "..#############.", "................", "................", "................"};
    EXPECT_TRUE(looks_like(img, want, 0x00AACCEE));
    font_free(&f);
}

TEST(LineFont8, EveryGlyphDrawnCentredStaysInItsCell) {
    Parsed p(demo_font8_text);
    Own<img_del> img(grid_image(24, 24));
    LFONT *f = font_over(p, 8, true, img);
    for (int32_t code = 33; code <= 127; code++) {
        img_clear(img, 0);
        f->position->x = 12;
        f->position->y = 12;
        f->code = code;
        lfont_draw_char(f);
        int32_t lit = 0;
        for (int32_t y = 0; y < 24; y++)
            for (int32_t x = 0; x < 24; x++) {
                if (!img_get_pixel(img, x, y)) continue;
                lit++;
                EXPECT_TRUE(x >= 8 && x <= 15 && y >= 8 && y <= 15)
                    << glyph_label(code) << " lights (" << x << "," << y << ")";
            }
        EXPECT_GT(lit, 0) << glyph_label(code);
    }
    font_free(&f);
}

// ---- 16x16 wire line font -------------------------------------------------------

TEST(LineFont16, HoldsOneBlockPerCodeOnTheSixteenGrid) { expect_font_layout(demo_font16_text, 16); }

TEST(LineFont16, ExclamationMarkSetsWhiteForEveryLaterGlyph) {
    expect_colour_from(demo_font16_text, 33, 0x00FFFFFF);
}

TEST(LineFont16, LowerCaseLettersAreTheirOwnShapes) {
    Parsed p(demo_font16_text);
    ASSERT_EQ(p.count(), 256);
    for (int32_t c = 'a'; c <= 'z'; c++) {
        OBJ2D *lower = p.at(c), *upper = p.at(c - 32);
        bool same = segments(lower) == segments(upper);
        for (int32_t i = 0; same && i < segments(lower); i++)
            same = seg2d_compare(segment(lower, i), segment(upper, i));
        EXPECT_FALSE(same) << (char)c;
    }
}

TEST(LineFont16, CapitalsDigitsAndLowerCaseKeepToTheirLines) {
    // Capitals and digits: rows 1 (cap line) to 12 (baseline); x-height
    // letters start at row 5; g j p q y reach row 15; every glyph keeps to
    // columns 2..13, so neighbours stay four columns apart.
    Parsed p(demo_font16_text);
    ASSERT_EQ(p.count(), 256);
    for (int32_t code = 33; code <= 127; code++) {
        Box b = box_of(p.at(code));
        EXPECT_GE(b.x0, 2) << glyph_label(code);
        EXPECT_LE(b.x1, 13) << glyph_label(code);
    }
    for (int32_t code = 0; code < 128; code++) {
        bool cap = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
        if (!cap) continue;
        Box b = box_of(p.at(code));
        EXPECT_EQ(b.y0, 1) << glyph_label(code);
        EXPECT_EQ(b.y1, 12) << glyph_label(code);
    }
    for (const char *s = "acemnorsuvwxz"; *s; s++) {
        Box b = box_of(p.at(*s));
        EXPECT_EQ(b.y0, 5) << *s;
        EXPECT_EQ(b.y1, 12) << *s;
    }
    for (const char *s = "gjpqy"; *s; s++) EXPECT_EQ(box_of(p.at(*s)).y1, 15) << *s;
    for (const char *s = "bdfhklt"; *s; s++) EXPECT_LE(box_of(p.at(*s)).y0, 1) << *s;
}

TEST(LineFont16, NoGlyphRepeatsAStroke) { expect_no_repeated_strokes(demo_font16_text); }

TEST(LineFont16, CapitalLDrawnAtTheCellCorner) {
    // "L" is (2,1)-(2,12)-(13,12), not moved: the cell's top-left is the origin.
    Parsed p(demo_font16_text);
    Own<img_del> img(grid_image(16, 16));
    LFONT *f = font_over(p, 16, false, img);
    f->code = 'L';
    lfont_draw_char(f);
    static const char *const want[] = {
        "................", "..#.............", "..#.............", "..#.............",
        "..#.............", "..#.............", "..#.............", "..#.............",
        "..#.............", "..#.............", "..#.............", "..#.............",
        "..############..", "................", "................", "................"};
    EXPECT_TRUE(looks_like(img, want, 0x00FFFFFF));
    EXPECT_EQ(f->position->x, 16);
    font_free(&f);
}

TEST(LineFont16, LogoWordDrawsFourSeparateLetters) {
    // "RIVO" at scale 1 from x = 0: every letter lights pixels only inside its
    // own columns 16k+2 .. 16k+13, and each of the four cells lights some.
    Parsed p(demo_font16_text);
    Own<img_del> img(grid_image(64, 16));
    LFONT *f = font_over(p, 16, false, img);
    lfont_draw_line(f, "RIVO");
    EXPECT_EQ(f->position->x, 64);
    int32_t lit[4] = {0, 0, 0, 0};
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 64; x++) {
            if (!img_get_pixel(img, x, y)) continue;
            lit[x / 16]++;
            EXPECT_TRUE(x % 16 >= 2 && x % 16 <= 13) << "(" << x << "," << y << ")";
        }
    for (int32_t k = 0; k < 4; k++) EXPECT_GT(lit[k], 10) << "letter " << k;
    font_free(&f);
}

// ---- Shapes -----------------------------------------------------------------------

TEST(Shapes, HoldsEightySevenWhitePicturesOnTheSixteenGrid) {
    Parsed p(demo_shapes_text);
    ASSERT_EQ(p.count(), 87);
    for (int32_t k = 0; k < 87; k++) {
        OBJ2D *o = p.at(k);
        ASSERT_NE(o, nullptr) << "shape " << k;
        EXPECT_GE(segments(o), 3) << "shape " << k;
        Box b = box_of(o);
        EXPECT_GE(b.x0, 0) << "shape " << k;
        EXPECT_GE(b.y0, 0) << "shape " << k;
        EXPECT_LE(b.x1, 15) << "shape " << k;
        EXPECT_LE(b.y1, 15) << "shape " << k;
        // Pictures fill their cell one way and half of it the other.
        EXPECT_GE(std::max(b.x1 - b.x0, b.y1 - b.y0), 12) << "shape " << k;
        EXPECT_GE(std::min(b.x1 - b.x0, b.y1 - b.y0), 6) << "shape " << k;
        // The file-level colour is the only one: no bare word left a colour pending.
        for (int32_t i = 0; i < segments(o); i++) {
            EXPECT_EQ(segment(o, i)->a->color, 0x00FFFFFFu) << "shape " << k;
            EXPECT_EQ(segment(o, i)->b->color, 0x00FFFFFFu) << "shape " << k;
        }
    }
}

TEST(Shapes, EveryListedNameIsThere) {
    Parsed p(demo_shapes_text);
    ASSERT_EQ(p.count(), 87);
    for (const char *want : shape_names) {
        int32_t found = 0;
        for (int32_t k = 0; k < p.count(); k++)
            if (p.at(k)->name && std::strcmp(p.at(k)->name, want) == 0) found++;
        EXPECT_EQ(found, 1) << want;
    }
    int32_t faces = 0;
    for (int32_t k = 0; k < p.count(); k++)
        if (p.at(k)->name && std::strncmp(p.at(k)->name, "smile", 5) == 0) faces++;
    EXPECT_GE(faces, 3);  // several smile faces
}

TEST(Shapes, NamesAreUniqueAndAFewBlocksStayUnnamed) {
    Parsed p(demo_shapes_text);
    ASSERT_EQ(p.count(), 87);
    int32_t unnamed = 0;
    for (int32_t k = 0; k < p.count(); k++) {
        const char *a = p.at(k)->name;
        if (!a) {
            unnamed++;
            continue;
        }
        EXPECT_EQ(a[std::strlen(a) - 1] == ' ', false) << "trailing blank in " << a;
        for (int32_t j = k + 1; j < p.count(); j++) {
            if (!p.at(j)->name) continue;
            EXPECT_STRNE(a, p.at(j)->name);
        }
    }
    EXPECT_GE(unnamed, 2);
    EXPECT_LE(unnamed, 8);
}

TEST(Shapes, SquareDrawsItsOutline) {
    // "square" runs round (1,1)-(14,1)-(14,14)-(1,14); drawn at (0,0) scale 1.
    Parsed p(demo_shapes_text);
    int32_t index = -1;
    for (int32_t k = 0; k < p.count(); k++)
        if (p.at(k)->name && std::strcmp(p.at(k)->name, "square") == 0) index = k;
    ASSERT_GE(index, 0);
    Own<img_del> img(grid_image(16, 16));
    LFONT *f = font_over(p, 16, false, img);
    f->code = index;
    lfont_draw_char(f);
    static const char *const want[] = {
        "................", ".##############.", ".#............#.", ".#............#.",
        ".#............#.", ".#............#.", ".#............#.", ".#............#.",
        ".#............#.", ".#............#.", ".#............#.", ".#............#.",
        ".#............#.", ".#............#.", ".##############.", "................"};
    EXPECT_TRUE(looks_like(img, want, 0x00FFFFFF));
    font_free(&f);
}

TEST(LineArt, TextsLeaveNoMinusSignPending) {
    // The sign of "-" outlives a parse; after all three texts a plain segment
    // must still read with positive coordinates.
    { Parsed a(demo_font8_text); }
    { Parsed b(demo_font16_text); }
    { Parsed c(demo_shapes_text); }
    Parsed p("{\ns 1 2 3 4\n}\n");
    ASSERT_EQ(p.count(), 1);
    ASSERT_EQ(segments(p.at(0)), 1);
    EXPECT_EQ(segment(p.at(0), 0)->a->x, 1);
    EXPECT_EQ(segment(p.at(0), 0)->b->y, 4);
}

}  // namespace
