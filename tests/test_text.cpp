// Text: FONT cells, blits, numbers and the enlarged glyph; CURSOR and CURSORX
// wraps; the three scrollers' steps, strips, visibility, waves and spiral;
// SINELINE and SINESCAN (recorded resets, wave sums, draws as pictures);
// WORDZOOM words, starts, landing rhythm and flight.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"
#include "text/cursor.h"
#include "text/font.h"
#include "text/lscroll.h"
#include "text/lscrlxyz.h"
#include "text/scroll.h"
#include "text/sineline.h"
#include "text/sinescan.h"
#include "text/wordzoom.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, W = 0xFFFFFF;

std::vector<uint32_t> rgb(const char *rows) { return picture(rows, "RGW", {R, G, W}); }

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

std::string drawn_codes(const IMG *target) {
    std::string s;
    for (int32_t i = 0; i < target->width * target->height; i++) s += target->pixels[i] ? (char)(target->pixels[i] - 1) : '.';
    return s;
}

// Sheet 4 x 2 in 2 x 2 cells; cell 1 is {0, 0x14 / 0x23, 0}; pen at (1, 1).
FONT *small_font(IMG *target) {
    FONT *font = font_new();
    font->sheet = grid_image(4, 2, {0x11, 0x12, 0x00, 0x14, 0x21, 0x22, 0x23, 0x00});
    font->cell_width = font->cell_height = 2;
    font->target = target;
    font->code = 1;
    font->x = font->y = 1;
    return font;
}

}  // namespace

// ---- FONT --------------------------------------------------------------------

TEST(Font, CellLayoutWrapsAtTheSheetWidth) {
    // sheet w, h, cell w, h, code -> cell corner, or refused.
    const struct { int32_t w, h, cw, ch, code, sx, sy; bool ok; } cases[] = {
        {256, 256, 16, 16, 65, 16, 64, true}, {256, 256, 16, 16, 255, 240, 240, true},
        {16, 64, 16, 16, 3, 0, 48, true},     {10, 10, 4, 3, 3, 2, 3, true},  // pixel 12: row 1, column 2
        {0, 4, 2, 2, 1, 0, 0, false},
    };
    for (auto &c : cases) {
        Own<font_del> font(font_new());
        font->sheet = grid_image(c.w, c.h);
        font->cell_width = c.cw, font->cell_height = c.ch;
        int32_t sx = 0, sy = 0;
        EXPECT_EQ(font_cell(font, c.code, &sx, &sy) != 0, c.ok) << c.code;
        EXPECT_EQ(std::make_pair(sx, sy), std::make_pair(c.sx, c.sy)) << c.w << " " << c.code;
    }
}

// Each blit of cell 1 at (1, 1), and at (3, 1) where only its left column
// lands; a missing target or a code outside the sheet still moves the pen.
TEST(Font, GlyphBlitsAndThePen) {
    const uint32_t A = 0xAA, start[] = {A, A, A, A, A, 0xFFFFFFFF, 0xFF, A, A, 0x01, A, A};
    const struct { void (*draw)(FONT *); int32_t x, code; bool target; std::vector<uint32_t> want; } cases[] = {
        {font_draw_char, 1, 1, true, {A, A, A, A, A, 0xFFFFFFFF, 0x14, A, A, 0x23, A, A}},  // zero pixels skipped
        {font_draw_char_opaque, 1, 1, true, {A, A, A, A, A, 0, 0x14, A, A, 0x23, 0, A}},
        {font_draw_char_add, 1, 1, true, {A, A, A, A, A, 0xFFFFFFFF, 0x113, A, A, 0x24, A, A}},  // whole words
        {font_draw_char, 3, 1, true, {A, A, A, A, A, 0xFFFFFFFF, 0xFF, A, A, 0x01, A, 0x23}},
        {font_draw_char, 1, 1, false, {start, start + 12}},
        {font_draw_char, 1, -63, true, {start, start + 12}},  // a signed byte from a scroller
    };
    for (auto &c : cases) {
        Own<img_del> target(grid_image(4, 3, start));
        Own<font_del> font(small_font(c.target ? target.get() : nullptr));
        font->x = c.x, font->code = c.code;
        c.draw(font);
        EXPECT_TRUE(grid_equals(target, c.want)) << c.x << " " << c.code;
        EXPECT_EQ(std::make_pair(font->x, font->y), std::make_pair(c.x + 2, 1));
    }
}

// Lines, multi-line opaque text and numbers through the code font; the
// drawn codes row by row and where the pen ends.
TEST(Font, LinesTextAndNumbers) {
    const struct { void (*draw)(FONT *); int32_t w, h; const char *want; int32_t x, y; } cases[] = {
        {[](FONT *f) { font_draw_line(f, "AB\nC"), font_draw_line(f, nullptr); }, 4, 1, "AB..", 2, 0},
        {[](FONT *f) { font_draw_line(f, "\x81"); }, 1, 1, "\x81", 1, 0},  // bytes read unsigned
        {[](FONT *f) { f->x = 2, font_draw_text_opaque(f, "AB\nC\n\nD"); }, 6, 3, "..AB....C.........", 3, 3},  // D below
        {[](FONT *f) { f->target = nullptr, font_draw_text_opaque(f, "AB\nC"); }, 1, 1, ".", 0, 0},
        {[](FONT *f) { font_draw_hex8(f, 0x1A5), font_draw_hex8(f, 0x9F); }, 4, 1, "A59F", 4, 0},
        {[](FONT *f) { font_draw_hex16(f, 0xBEEF09), font_draw_hex32(f, 0x12C4F6A8); }, 12, 1, "EF0912C4F6A8", 12, 0},
        {[](FONT *f) { font_draw_hex32(f, 0xFEDCBA90); }, 8, 1, "FEDCBA90", 8, 0},
        {[](FONT *f) { font_draw_decimal(f, 7), font_draw_decimal(f, 0xFFFFFFFFu), font_draw_decimal(f, 1000000000u); }, 30, 1,
         "000000000742949672951000000000", 30, 0},
    };
    for (auto &c : cases) {
        Own<img_del> target(grid_image(c.w, c.h));
        Own<font_del> font(code_font(target));
        c.draw(font);
        EXPECT_EQ(drawn_codes(target), c.want);
        EXPECT_EQ(std::make_pair(font->x, font->y), std::make_pair(c.x, c.y)) << c.want;
    }
}

TEST(Font, MissingSheetOrFontAndTheBigGlyph) {
    Own<img_del> target(grid_image(4, 3));
    Own<font_del> font(font_new()), brush(code_font(target));
    font->target = target;
    font->x = 1;
    for (FONT *f : {font.get(), (FONT *)nullptr}) {
        font_draw_char(f), font_draw_char_opaque(f), font_draw_char_add(f), font_draw_line(f, "AB");
        font_draw_text_opaque(f, "AB"), font_draw_hex32(f, 1), font_draw_decimal(f, 1), font_draw_big(f, brush);
    }
    font_draw_big(brush, font);  // the brush's sheet is missing
    EXPECT_TRUE(font->x == 1 && brush->x == 0 && font->target == target.get());
    EXPECT_TRUE(grid_equals(target, std::vector<uint32_t>(12, 0)));
    // F: one 2 x 2 cell {X . / . X}; brush: one 2 x 2 cell of 0x77.
    Own<img_del> canvas(grid_image(6, 6));
    Own<font_del> big(font_new()), stamp(font_new());
    big->sheet = grid_image(2, 2, {0x50, 0, 0, 0x60});
    big->cell_width = big->cell_height = stamp->cell_width = stamp->cell_height = 2;
    big->target = canvas;
    big->x = big->y = 1;
    stamp->sheet = grid_filled(2, 2, 0x77);
    font_draw_big(big, stamp);
    EXPECT_TRUE(grid_equals(canvas, picture("......|.##...|.##...|...##.|...##.|......", "#", {0x77})));
    EXPECT_EQ(std::tuple(big->x, stamp->x, stamp->y, stamp->target), std::tuple(5, 5, 3, canvas.get()));  // last stamp at (3, 3)
}

// ---- CURSOR and CURSORX ------------------------------------------------------

TEST(Cursor, AdvanceSeekSaveAndRestore) {
    // index, step, length -> index after one advance.
    const int32_t advances[][4] = {
        {24, 3, 25, 2}, {0, -1, 25, 24}, {0, 31, 4, 3}, {3, -9, 4, 2}, {2, INT32_MAX, 4, 1}, {1, INT32_MIN, 4, 1},
        {0, 25, 25, 0}, {24, 1, 25, 0}, {1, 1, 0, 1}, {1, 1, -3, 1},  // a length of 0 or below is refused
    };
    Own<cursor_del> c(cursor_new());
    for (auto &a : advances) {
        cursor_set(c, "ABCDEFGHIJKLMNOPQRSTUVWXY", 25, 1, a[1]);
        c->index = a[0], c->length = a[2];
        cursor_advance(c);
        EXPECT_EQ(c->index, a[3]) << a[0] << " + " << a[1] << " mod " << a[2];
    }
    const int32_t seeks[][3] = {{4, 6, 2}, {4, -1, 3}, {4, -8, 0}, {4, 3, 3}, {4, INT32_MIN, 0}, {0, 5, 0}};
    for (auto &s : seeks) {
        cursor_set(c, "RIVO", 4, 1, 1);
        c->length = s[0];
        cursor_seek(c, s[1]);
        EXPECT_EQ(c->index, s[2]) << s[1];
    }
    c->index = 3;
    cursor_save(c);
    cursor_set(c, "ABCDEFG", 7, 1, 2);  // rewinds, keeps the mark
    EXPECT_EQ(std::tuple(c->index, c->mark, c->step), std::tuple(0, 3, 2));
    cursor_advance(c), cursor_save(c);
    for (int k = 0; k < 3; k++) cursor_advance(c);
    EXPECT_EQ(c->index, 1);  // 2 + 6 = 8 -> 1
    cursor_restore(c);
    EXPECT_EQ(c->index, 2);
}

// One counter through a script of calls, each line a call, the value it
// returns and the stored base; then copies and refusals.
TEST(CursorX, ScriptOfCallsCopiesAndRefusals) {
    const struct { std::function<int32_t(CURSORX *)> call; int32_t value, base; } script[] = {
        {cursorx_step, 1, 1}, {cursorx_step, 2, 2}, {cursorx_step, 3, 3}, {cursorx_step_offset, 5, 3}, {cursorx_step_offset, 7, 3},
        {[](CURSORX *c) { cursorx_set(c, 10, 8, 5, 0, 0); return cursorx_step(c); }, 3, 3},
        {[](CURSORX *c) { c->step = -7; return cursorx_step(c); }, 6, 6},
        {[](CURSORX *c) { c->step = INT32_MAX; return cursorx_step(c); }, 3, 3},  // 6 + 2147483647 = 2147483653 -> 3
        {[](CURSORX *c) { cursorx_set(c, 1024, 0, 1, 0, 2); return cursorx_set_base(c, -1024); }, 0, 1024},
        {[](CURSORX *c) { return cursorx_set_base(c, -1); }, 1023, 1023},
        {[](CURSORX *c) { return cursorx_set_base(c, 2050); }, 2, 2},
        {[](CURSORX *c) { return cursorx_set_base(c, -2049); }, 1023, 1023},
        {[](CURSORX *c) { cursorx_set_base(c, 1000); return cursorx_set_offset(c, 30); }, 6, 1000},
        {[](CURSORX *c) { return cursorx_set_offset(c, -1010); }, 1014, 1000},
        {[](CURSORX *c) { return cursorx_restart(c, 20); }, 20, 20},  // the offset cleared
        {[](CURSORX *c) { cursorx_set_base(c, 100); return cursorx_set_modulus(c, 30); }, 10, 10},
        {[](CURSORX *c) { return cursorx_set_modulus(c, -1); }, 0, 10},  // refused
        {[](CURSORX *c) { cursorx_set(c, 16, -3, 5, 4, 7); return c->value + 100 * c->step + 1000 * c->offset_step; }, 7501, 13},
        {[](CURSORX *c) { c->modulus = 0; return cursorx_step(c) + cursorx_set_base(c, 9); }, 0, 13},  // no wrap size: refused
        {[](CURSORX *c) { cursorx_update(c), c->modulus = -4; return cursorx_step(c) + 10 * c->value; }, 10, 13},  // nor a negative one
    };
    Own<cursorx_del> c(cursorx_new()), b(cursorx_new());
    for (auto &s : script) {
        int32_t value = s.call(c);
        EXPECT_EQ(std::make_pair(value, c->base), std::make_pair(s.value, s.base)) << &s - script;
    }
    cursorx_set(c, 100, 40, 3, 5, 9);
    b->value = 77;
    cursorx_copy(c, b);  // all but the value
    EXPECT_EQ(std::tuple(b->modulus, b->base, b->step, b->offset, b->offset_step, b->value), std::tuple(100, 40, 3, 5, 9, 77));
    Own<cursorx_del> d(cursorx_dup(c));
    EXPECT_EQ(d->value, 0);
    EXPECT_EQ(cursorx_step(d), 48);
    EXPECT_EQ(cursorx_step(nullptr) + cursorx_step_offset(nullptr) + cursorx_set_offset(nullptr, 1) + cursorx_restart(nullptr, 1), 0);
    EXPECT_EQ(cursorx_dup(nullptr), nullptr);
}

// ---- Scrollers ---------------------------------------------------------------

namespace {

// Cells 4 x 1 on a 512 x 1 sheet: column i of code k is (k << 8) | (i + 1),
// so every drawn pixel tells its character and column. Code '0' has a
// transparent second column.
struct ScrollRig {
    Own<font_del> font{font_new()};
    Own<img_del> target{grid_image(10, 1)};
    Own<scroll_del> scroll{scroll_new()};
    explicit ScrollRig(const char *text) {
        font->sheet = grid_image(512, 1);
        for (int32_t k = 0; k < 128; k++)
            for (int32_t i = 0; i < 4; i++) font->sheet->pixels[4 * k + i] = ((uint32_t)k << 8) | (uint32_t)(i + 1);
        font->sheet->pixels[4 * '0' + 1] = 0;
        font->cell_width = 4, font->cell_height = 1, font->depth = 9;
        scroll_set(scroll, text, font, target);
    }
};

constexpr uint32_t C(char k, int i) { return (uint32_t)k << 8 | (uint32_t)i; }

// Line-font scrollers over 256 empty glyphs; `dots` gives glyphs of one
// pixel at the origin.
template <class S, S *(*New)(), void (*Del)(S **), void (*Set)(S *, const char *, LFONT *, IMG *)>
struct LineRig : GlyphFont {
    Own<Del> s{New()};
    LineRig(const char *text, int32_t w, int32_t h, int32_t cell = 16) : GlyphFont(w, h, cell) { Set(s, text, font, img); }
    void dots(std::vector<std::pair<int, uint32_t>> glyphs) {
        for (auto [code, colour] : glyphs) add_segment(glyph(code), 0, 0, 0, 0, colour);
    }
};
using Lrig = LineRig<LSCROLL, lscroll_new, lscroll_del, lscroll_set>;
using Xrig = LineRig<LSCRLXYZ, lscrlxyz_new, lscrlxyz_del, lscrlxyz_set>;

// Flat waves: all twelve wave words from x_phase to z_amplitude 0.
void flatten(LSCRLXYZ *s) { std::fill(&s->x_phase, &s->x_phase + 12, 0); }

}  // namespace

TEST(Scroll, SetTakesTheSizesAndRefusesMissingParts) {
    ScrollRig r("ABC");
    EXPECT_EQ(std::tuple(r.scroll->width, r.scroll->height, r.scroll->depth, r.scroll->cursor->length), std::tuple(10, 1, 9, 3));
    Own<scroll_del> fresh(scroll_new());
    scroll_step(fresh);  // no text yet
    scroll_set(fresh, "", r.font, r.target), scroll_set(fresh, nullptr, r.font, r.target);
    scroll_set(fresh, "ABC", nullptr, r.target), scroll_set(fresh, "ABC", r.font, nullptr);
    EXPECT_EQ(std::tuple(fresh->offset, fresh->text, fresh->cursor->length), std::tuple(0, (const char *)nullptr, 25));
    Lrig l("HELLO", 40, 20);
    EXPECT_EQ(std::tuple(l.s->width, l.s->height, l.s->depth), std::tuple(40, 16, 1));
    lscroll_set(l.s, "", l.font, l.img), lscroll_set(l.s, nullptr, l.font, l.img);
    lscroll_set(l.s, "X", nullptr, l.img), lscroll_set(l.s, "X", l.font, nullptr);
    EXPECT_STREQ(l.s->text, "HELLO");
    Own<lscroll_del> unset(lscroll_new());
    lscroll_step(unset), lscroll_draw_spiral(unset, 0);
    EXPECT_EQ(unset->offset, 0);
}

// Cells 16 wide (SCROLL) or 16 times the scale (LSCROLL), a text of 11:
// scale, offset, index, speed -> offset, index.
TEST(Scroll, StepsCarryWholeCharactersIntoTheCursor) {
    const int32_t cases[][6] = {
        {1, 12, 0, 3, 15, 0}, {1, 15, 0, 3, 2, 1},   {1, 0, 0, 40, 8, 2},  {1, 0, 0, -5, 11, 10}, {1, 1, 10, -5, 12, 9},
        {1, 0, 0, -16, 16, 9}, {1, 16, 9, 0, 0, 10}, {1, 8, 2, -41, 15, 10}, {1, 15, 10, 1, 0, 0},
        {2, 0, 0, 31, 31, 0}, {2, 31, 0, 31, 30, 1}, {0, 0, 0, 3, 0, 0},   // zero width: refused
    };
    for (auto &c : cases) {
        Lrig l("HELLO WORLD", 64, 16);
        l.font->scale->x = c[0];
        l.s->offset = c[1], l.s->cursor->index = c[2], l.s->speed = c[3];
        lscroll_step(l.s);
        EXPECT_EQ(std::make_pair(l.s->offset, l.s->cursor->index), std::make_pair(c[4], c[5])) << c[0] << " " << c[1] << " " << c[3];
        ScrollRig r("HELLO WORLD");
        r.font->cell_width = 16 * c[0];
        r.scroll->offset = c[1], r.scroll->cursor->index = c[2], r.scroll->speed = c[3];
        scroll_step(r.scroll);
        EXPECT_EQ(std::make_pair(r.scroll->offset, r.scroll->cursor->index), std::make_pair(c[4], c[5])) << c[1] << " " << c[3];
    }
}

// n = 10 / 4 + 2 = 4 characters from x = -offset; the last ones run past.
TEST(Scroll, DrawnStripsAfterStepsLeftAndRight) {
    const struct { const char *text; int32_t speed, x; void (*draw)(SCROLL *); std::vector<uint32_t> want; } cases[] = {
        {"ABC", 1, 0, scroll_draw, {C('A', 2), C('A', 3), C('A', 4), C('B', 1), C('B', 2), C('B', 3), C('B', 4), C('C', 1), C('C', 2), C('C', 3)}},
        {"ABC", -1, 0, scroll_draw, {C('C', 4), C('A', 1), C('A', 2), C('A', 3), C('A', 4), C('B', 1), C('B', 2), C('B', 3), C('B', 4), C('C', 1)}},
        {"B", 0, 1, scroll_draw, {7, C('B', 1), C('B', 2), C('B', 3), C('B', 4), C('B', 1), C('B', 2), C('B', 3), C('B', 4), C('B', 1)}},
        {"0", 0, 0, scroll_draw, {C('0', 1), 7, C('0', 3), C('0', 4), C('0', 1), 7, C('0', 3), C('0', 4), C('0', 1), 7}},
        {"0", 0, 0, scroll_draw_opaque, {C('0', 1), 0, C('0', 3), C('0', 4), C('0', 1), 0, C('0', 3), C('0', 4), C('0', 1), 0}},
        {"\xC1", 0, 0, scroll_draw, std::vector<uint32_t>(10, 7)},  // a negative code: no cell
    };
    for (auto &c : cases) {
        ScrollRig r(c.text);
        img_clear(r.target, 7);
        r.scroll->speed = c.speed, r.scroll->x = c.x;
        scroll_step(r.scroll);
        r.scroll->cursor->step = 5;
        c.draw(r.scroll);
        EXPECT_TRUE(grid_equals(r.target, c.want)) << c.text << " " << c.speed;
        EXPECT_EQ(r.font->x, c.x - r.scroll->offset + 4 * 4);
        EXPECT_EQ(std::make_pair(r.scroll->cursor->index, r.scroll->cursor->step), std::make_pair(c.speed < 0 ? 2 : 0, 1));
    }
    ScrollRig r("AB");
    r.font->cell_width = 0;
    scroll_step(r.scroll), scroll_draw(r.scroll);
    EXPECT_EQ(r.scroll->offset, 0);
}

// A, B: one pixel each at the glyph origin; cells of 4. The line draw puts
// 10 / 4 + 2 characters from the scrolled offset; bytes above 127 are
// negative codes; drawing leaves the text where it was.
TEST(Lscroll, DrawsPlaceCharactersFromTheScrolledOffset) {
    const struct { const char *text; int32_t speed; std::function<void(LSCROLL *)> draw; const char *want; int32_t pen; } cases[] = {
        {"AB", 1, lscroll_draw, "...G...R..", 15},
        {"A\xE9" "B", 0, lscroll_draw, "R...G...R.", 12},  // no glyph, no advance
        {"AB", 0, [](LSCROLL *s) { lscroll_draw_color(s, W); }, "W...W...W.", 16},
    };
    for (auto &c : cases) {
        Lrig l(c.text, 10, 1, 4);
        l.dots({{'A', R}, {'B', G}});
        l.s->speed = c.speed;
        lscroll_step(l.s);
        l.s->cursor->step = 3;
        c.draw(l.s);
        c.draw(l.s);
        EXPECT_TRUE(grid_equals(l.img, rgb(c.want))) << c.want;
        EXPECT_EQ(std::tuple(l.font->position->x, l.s->cursor->index, l.s->cursor->step), std::tuple(c.pen, 0, 1));
    }
}

// The plain and wave draws skip a strip wholly outside the target (x,
// y -> drawn?); the colour draw still runs its loop.
TEST(Lscroll, VisibilityTestAtEachEdge) {
    const int32_t cases[][3] = {{40, 0, 1}, {41, 0, 0}, {0, 20, 1}, {0, 21, 0}, {-40, 0, 1}, {-41, 0, 0}, {0, -16, 1}, {0, -17, 0}};
    Lrig l("A", 40, 20);
    Xrig x("A", 40, 20);
    flatten(x.s);
    for (auto &c : cases) {
        l.s->x = x.s->x = c[0], l.s->y = x.s->y = c[1];
        l.font->position->x = x.font->position->x = 1234;
        lscroll_draw(l.s), lscrlxyz_draw_wave(x.s);
        EXPECT_EQ(std::make_pair(l.font->position->x != 1234, x.font->position->x != 1234), std::make_pair(c[2] == 1, c[2] == 1)) << c[0] << "," << c[1];
    }
    l.s->x = 41;
    lscroll_draw_color(l.s, W);
    EXPECT_EQ(l.font->position->x, 41 + (40 / 16 + 2) * 16);
}

TEST(Lscroll, RandomColoursAndTheSpiral) {
    Lrig l("AB", 8, 1, 4);
    l.dots({{'A', R}, {'B', G}});
    random_srand(1);  // rand() 41, 18467: a light colour per glyph
    lscroll_draw_random(l.s);
    EXPECT_EQ(std::make_pair(img_get_pixel(l.img, 0, 0), img_get_pixel(l.img, 4, 0)), std::make_pair(0x8080A9u, 0x80C8A3u));
    Lrig s("AB", 256, 256);
    s.dots({{'A', R}, {'B', G}});
    lscroll_draw_spiral(s.s, 3);  // radius about i / 4
    // i = 512 (character 1, A): (128, 128 + (32766 * 512 >> 17)); i = 256
    // (character 257, A) 63 down; i = 12 (character 501, A) 3 left; i = 1 (B) the centre.
    EXPECT_EQ(std::tuple(img_get_pixel(s.img, 128, 255), img_get_pixel(s.img, 128, 191), img_get_pixel(s.img, 125, 128),
                         img_get_pixel(s.img, 128, 128)), std::tuple(R, R, R, G));
    EXPECT_EQ(std::make_pair(s.font->angle, s.s->cursor->index), std::make_pair(448, 0));  // (1024 - 64 + 512) & 1023 for i = 1
}

// Seed 1: rand() gives 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962.
TEST(Lscrlxyz, NewScrollerDrawsItsNineWaveNumbers) {
    random_srand(1);
    Own<lscrlxyz_del> s(lscrlxyz_new());
    EXPECT_EQ(std::vector<int32_t>(&s->x_phase, &s->x_phase + 12),
              (std::vector<int32_t>{0, 9 + 16, 3 + 32, 62 + 16, 0, 4 + 16, 1 + 32, 12 + 64, 0, 22 + 16, 14 + 32, 2 + 1}));
    lscrlxyz_step(s);  // refused until set
    EXPECT_EQ(s->x_phase, 0);
}

TEST(Lscrlxyz, StepMovesPhasesBySpeedAndBySpreadOncePerCarry) {
    // speed -> offset, index, x, y, z phases; speeds 10, 20, 1000, spreads 100, 200, 300.
    const int32_t cases[][6] = {{3, 3, 0, 10, 20, 1000}, {40, 8, 2, 110, 220, 276}, {-5, 11, 4, 934, 844, 700}};
    for (auto &c : cases) {
        Xrig r("WAVES", 48, 20);
        r.s->x_speed = 10, r.s->y_speed = 20, r.s->z_speed = 1000, r.s->x_spread = 100, r.s->y_spread = 200, r.s->z_spread = 300;
        r.s->speed = c[0];
        lscrlxyz_step(r.s);
        EXPECT_EQ(std::vector<int32_t>({r.s->offset, r.s->cursor->index, r.s->x_phase, r.s->y_phase, r.s->z_phase}),
                  std::vector<int32_t>(c + 1, c + 6)) << c[0];
    }
}

// Each draw of the wave scroller on a 12 x 8 target with cells of 4 and a
// text "AB" scrolled by one character: flat waves draw as the line draw
// (12 / 4 + 2 = 5 characters); the waves shift, lift and grow each character.
TEST(Lscrlxyz, DrawsAndWaves) {
    const struct { const char *name; void (*set)(LSCRLXYZ *); std::function<void(LSCRLXYZ *)> draw; const char *want; int32_t pen; } cases[] = {
        {"flat", [](LSCRLXYZ *) {}, lscrlxyz_draw_wave, "R...G...R...", 20},
        {"line", [](LSCRLXYZ *) {}, lscrlxyz_draw, "R...G...R...", 20},
        {"colour", [](LSCRLXYZ *) {}, [](LSCRLXYZ *s) { lscrlxyz_draw_color(s, W); }, "W...W...W...", 20},
        // character i reads sin[256 i]: 0, 32766, 0, -32766, 0 times 4 >> 15.
        {"lift", [](LSCRLXYZ *s) { s->y_spread = 256, s->y_amplitude = 4, s->y = 3; }, lscrlxyz_draw_wave,
         "............|............|............|R.......R...|............|............|....G.......", 20},
        // x: -32766 * 2 >> 15 = -2 for all; z: d = 1, so scale (2, 2) and cells of 8.
        {"shift, grow", [](LSCRLXYZ *s) { s->x_phase = 768, s->x_amplitude = 2, s->z_phase = 256, s->z_amplitude = 2; },
         lscrlxyz_draw_wave, "..G...R...G.", 22},  // the last at 14 advances 8
    };
    for (auto &c : cases) {
        Xrig r("BA", 12, 8, 4);
        r.dots({{'A', R}, {'B', G}});
        flatten(r.s);
        r.s->speed = 4;
        lscrlxyz_step(r.s);  // the cursor on "A"
        c.set(r.s);
        c.draw(r.s);
        std::vector<uint32_t> want = rgb(c.want);
        want.resize(96);
        EXPECT_TRUE(grid_equals(r.img, want)) << c.name;
        EXPECT_EQ(std::tuple(r.font->position->x, r.font->scale->x, r.s->cursor->index), std::tuple(c.pen, 1, 1)) << c.name;
    }
    Xrig r("AB", 8, 1, 4);
    r.dots({{'A', R}, {'B', G}});
    random_srand(1);
    lscrlxyz_draw_random(r.s);
    EXPECT_EQ(std::make_pair(img_get_pixel(r.img, 0, 0), img_get_pixel(r.img, 4, 0)), std::make_pair(0x8080A9u, 0x80C8A3u));
}

// ---- SINELINE ----------------------------------------------------------------

namespace {

// A line with all waves still and the given points.
SINELINE *line_with_points(const std::vector<int32_t> &xy) {
    SINELINE *line = sineline_new();
    sineline_set_count(line, (int32_t)xy.size() / 2);
    for (auto *table : {line->phases, line->speeds, line->steps})
        for (int w = 0; w < 3; w++) std::fill(table[w], table[w] + 3, 0);
    std::copy(xy.begin(), xy.end(), line->points);
    return line;
}

std::string record_of(const SINELINE *l) {
    std::ostringstream s;
    for (int w = 0; w < 3; w++)
        s << l->phases[w][0] << "," << l->phases[w][1] << "," << l->speeds[w][0] << "," << l->speeds[w][1] << "," << l->steps[w][0]
          << "," << l->steps[w][1] << ";";
    return s.str();
}

}  // namespace

TEST(Sineline, ResetDrawsMatchTheirRecording) {
    Golden g("sineline");
    Own<sineline_del> line(sineline_new());
    for (uint32_t seed : {45429u, 1u, 0x31756A22u}) {
        random_srand(seed);
        sineline_reset(line);
        g.check("reset" + std::to_string(seed), record_of(line) + " next " + std::to_string(random_rand()));
    }
    random_srand(7);  // new resets twice: the second eighteen draws remain
    Own<sineline_del> fresh(sineline_new());
    random_srand(7);
    for (int i = 0; i < 18; i++) random_rand();
    sineline_reset(line);
    EXPECT_EQ(record_of(fresh), record_of(line));
}

TEST(Sineline, UpdateShiftsTheWaveSumOnceAndRefusals) {
    Own<sineline_del> line(line_with_points(std::vector<int32_t>(10, 0)));
    line->phases[0][0] = 1024 + 256;  // stored outside the table: read through the mask
    line->steps[0][0] = 256;          // 256, 512, 768, 0, 256
    line->steps[0][1] = -256;         // 0, 768, 512, 256, 0
    line->speeds[0][0] = -300;
    line->speeds[1][1] = 1030;
    sineline_update(line);
    EXPECT_EQ(std::vector<int32_t>(line->points, line->points + 10), (std::vector<int32_t>{191, 128, 128, 64, 64, 128, 128, 191, 191, 128}));
    EXPECT_EQ(std::make_pair(line->phases[0][0], line->phases[1][1]), std::make_pair(980, 6));  // 1280 - 300, wrapped
    // Three waves at their peak: 32766 * (50 + 25 + 12) >> 16, not a sum of halves.
    Own<sineline_del> peak(line_with_points({0, 0}));
    for (int w = 0; w < 3; w++) peak->phases[w][0] = 256;
    peak->phases[0][1] = 768;  // -32766 * 128 >> 16 = -64
    peak->width = 100;         // the amplitudes follow the size: 50, 25, 12
    sineline_update(peak);
    EXPECT_EQ(std::tuple(peak->points[0], peak->points[1], peak->amplitudes[2][1]), std::tuple(50 + 43, 128 - 64, 32));
    Own<sineline_del> bad(line_with_points({0, 0, 3, 3}));
    for (int32_t n : {0, -3}) sineline_set_count(bad, n);
    EXPECT_EQ(bad->count, 2);
    Own<img_del> img(grid_image(4, 4));
    sineline_draw(nullptr, img), sineline_draw(bad, nullptr);
    free(bad->points);
    bad->points = nullptr;
    random_srand(99);
    sineline_reset(bad), sineline_update(bad), sineline_draw(bad, img);  // refused: no draws from the generator
    EXPECT_EQ(random_rand(), Lcg{99}.next());
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(16, 0)));
}

TEST(Sineline, DrawModesAsPictures) {
    using Draw = std::function<void(SINELINE *, IMG *)>;
    const struct { const char *name; Draw draw; int32_t w, h; std::vector<int32_t> xy; const char *want; } cases[] = {
        {"polyline", sineline_draw, 6, 4, {1, 1, 4, 1, 4, 3}, "......|.####.|....#.|....#."},
        {"clipped", sineline_draw, 4, 2, {-3, 1, 6, 1}, "....|####"},
        {"mirror x", sineline_draw_mirror_x, 8, 2, {1, 1, 2, 1}, "........|.##...##"},
        {"mirror y", sineline_draw_mirror_y, 4, 4, {1, 1, 2, 1}, "....|.##.|....|.##."},
        {"mirror4", sineline_draw_mirror4, 10, 7, {1, 2, 2, 2}, "..........|..........|.##.....##|..........|..........|.##.....##|.........."},
        {"diagonal", sineline_draw_mirror_diag, 10, 8, {1, 2, 2, 2},
         "..........|..#.......|.##.......|..........|..........|..........|........##|........#."},
        {"mirror8", sineline_draw_mirror8, 10, 8, {1, 2, 2, 2},
         "..........|..#.....#.|.##.....##|..........|..........|..........|.##.....##|..#.....#."},
        {"graph x", [](SINELINE *l, IMG *i) { sineline_draw_graph_x(l, i, 2); }, 6, 4, {9, 1, 9, 3, 9, 2}, "......|#.....|.#.##.|..#..."},
        {"bars", [](SINELINE *l, IMG *i) { l->height = 5; sineline_draw_graph_bars(l, i, 2); }, 6, 6, {9, 1, 9, 3, 9, 2},
         "......|#.....|##.##.|#.#.#.|#.#.#.|......"},
        {"fill", [](SINELINE *l, IMG *i) { l->height = 6; sineline_draw_graph_fill(l, i, 2); }, 6, 6, {9, 1, 9, 3, 9, 2},
         "......|#.....|h#.##.|h.#.h.|h.h.h.|h.h.h."},
        {"graph y", [](SINELINE *l, IMG *i) { sineline_draw_graph_y(l, i, 2); }, 5, 6, {1, 9, 3, 9, 2, 9}, ".#...|..#..|...#.|..#..|..#..|....."},
        {"circles", sineline_draw_circles, 6, 6, {3, 3, 4, 4}, "......|......|...#..|..###.|...#..|......"},
        {"one point", sineline_draw_mirror8, 3, 3, {1, 1}, "...|...|..."},
        {"one circle", sineline_draw_circles, 3, 3, {1, 1}, "...|...|..."},
        // Centre (0, 0): radii 2i >> 3 = 0, 0, 0, 0, 1, 1, colours + 8 i; the last point has none.
        {"rings", [](SINELINE *l, IMG *i) { l->width = l->height = 0; sineline_draw_rings(l, i); }, 12, 2,
         {0, 0, 2, 0, 4, 0, 6, 0, 8, 0, 10, 0, 12, 0}, "0.1.2.3445FF|........4.5."},
        {"rings carry", [](SINELINE *l, IMG *i) { l->color = 0xFC, l->width = l->height = 0; sineline_draw_rings(l, i); }, 3, 1,
         {0, 0, 2, 0, 4, 0}, "c.d"},
    };
    for (auto &c : cases) {
        Own<sineline_del> line(line_with_points(c.xy));
        Own<img_del> img(grid_image(c.w, c.h));
        c.draw(line, img);
        EXPECT_TRUE(grid_equals(img, picture(c.want, "#h012345Fcd", {R, 0x7F0000, R, R + 8, R + 16, R + 24, R + 32, R + 40, R + 40, 0xFC, 0x104})))
            << c.name;
    }
}

// ---- SINESCAN ----------------------------------------------------------------

namespace {

const int32_t S = 1536;  // the divisor with three amplitudes of 256.0

// A scan whose wave holds the given values on row 1, waves still.
SINESCAN *scan_with_wave(std::vector<int32_t> values) {
    SINESCAN *scan = sinescan_new();
    scan->width = (int32_t)values.size();
    sample_set_count(scan->wave, scan->width);
    std::copy(values.begin(), values.end(), scan->wave->data);
    scan->y = 1;
    for (auto &w : scan->waves) w.phase = w.speed = w.step = 0;
    return scan;
}

// Row 1 of a 2-row image after the draw.
std::vector<uint32_t> row_drawn(SINESCAN *scan, void (*draw)(const SINESCAN *, IMG *)) {
    Own<img_del> img(grid_image(scan->width, 2));
    draw(scan, img);
    return std::vector<uint32_t>(img->pixels + scan->width, img->pixels + 2 * scan->width);
}

}  // namespace

TEST(Sinescan, ResetDrawsMatchTheirRecordingAndThePaletteRamps) {
    Golden g("sinescan");
    Own<sinescan_del> scan(sinescan_new());
    for (uint32_t seed : {45429u, 5u}) {
        random_srand(seed);
        sinescan_reset(scan);
        std::ostringstream s;
        s << scan->y;
        for (auto &w : scan->waves) s << "," << w.phase << "," << w.speed << "," << w.step << "," << w.amplitude;
        s << "," << scan->color << " next " << random_rand();
        g.check("reset" + std::to_string(seed), s.str());
    }
    const int32_t entries[][2] = {{0, 0}, {1023, 0}, {1024, 0}, {1025, 1}, {1279, 255}, {1280, 0x0000FF}, {1281, 0x01FF},
                                  {1535, 0xFFFF}, {1537, 0x01FFFF}, {1791, 0xFFFFFF}, {1792, 0xFFFFFF}, {2047, 0xFFFFFF}};
    for (auto &e : entries) EXPECT_EQ(scan->palette->data[e[0]], e[1]) << e[0];
    EXPECT_EQ(scan->palette->count, 2048);
}

TEST(Sinescan, UpdateSumsTableTimesWholeAmplitudesAndMasksPhases) {
    Own<sinescan_del> scan(scan_with_wave({9, 9, 9, 9, 9}));
    scan->waves[0].phase = 256 << 16;
    scan->waves[0].step = 256 << 16;      // 256, 512, 768, 0, 256
    scan->waves[0].speed = -(257 << 16);  // 256 - 257 = -1 -> 1023
    scan->waves[1].amplitude = -0x30000;  // whole part -3
    scan->waves[1].phase = -768 * 65536;  // whole part -768 is angle 256
    scan->waves[2].amplitude = 0xFFFF;    // whole part 0: no part in the sum
    scan->waves[2].phase = (1023 << 16) | 0xFFFF;
    scan->waves[2].speed = 1;  // wraps to 0
    sinescan_update(scan);
    const int32_t p = 32766 * 256, q = -3 * 32766;
    EXPECT_EQ(std::vector<int32_t>(scan->wave->data, scan->wave->data + 5), (std::vector<int32_t>{p + q, q, -p + q, q, p + q}));
    EXPECT_EQ(std::make_pair(scan->waves[0].phase, scan->waves[2].phase), std::make_pair(1023 << 16, 0));
    Own<sinescan_del> half(scan_with_wave({0, 0, 0, 0}));
    half->waves[0].amplitude = 0x10000;
    half->waves[1].amplitude = half->waves[2].amplitude = 0;
    half->waves[0].phase = 1 << 16;
    half->waves[0].step = 0x8000;  // half a step: 1, 1.5, 2, 2.5
    sinescan_update(half);
    EXPECT_EQ(std::vector<int32_t>(half->wave->data, half->wave->data + 4), (std::vector<int32_t>{201, 201, 402, 402}));
}

// Shade: level = (v / 1536) >> 7 (0, 1, -1, 127, -128, and -1 / 1536 = 0).
// Palette: 1024 + ((v / s) * 1024 >> 14), black outside the palette; without
// a palette the shade.
TEST(Sinescan, ShadePaletteAndClippedRows) {
    Own<sinescan_del> scan(scan_with_wave({0, S * 128, -S * 128, S * 16383, -S * 16384, -1}));
    scan->color = 0x808080;
    EXPECT_EQ(row_drawn(scan, sinescan_draw_shade), (std::vector<uint32_t>{0x808080, 0x818181, 0x7F7F7F, 0xFFFFFF, 0, 0x808080}));
    Own<sinescan_del> pal(scan_with_wave({S * 16383, -S * 16384, S * 16, S * 4096, S * 8192, S * 15, -S}));
    EXPECT_EQ(row_drawn(pal, sinescan_draw_palette), (std::vector<uint32_t>{0xFFFFFF, 0, 1, 0xFF, 0xFFFF, 0, 0}));
    // Divisor 1: 20000 gives index 2274, past the end (black); 1000 gives 1086.
    Own<sinescan_del> one(scan_with_wave({20000, 1000, 15000}));
    one->waves[0].amplitude = 0x8000;
    one->waves[1].amplitude = one->waves[2].amplitude = 0;
    EXPECT_EQ(row_drawn(one, sinescan_draw_palette), (std::vector<uint32_t>{0, 62, 0xFFFFFF}));
    sample_del(&scan->palette);
    EXPECT_EQ(row_drawn(scan, sinescan_draw_palette)[1], 0x818181u);
    Own<sinescan_del> narrow(scan_with_wave({0, 0}));
    narrow->color = 0xABCDEF;
    narrow->width = 4;  // the wave has only two columns
    Own<img_del> img(grid_image(4, 2));
    sinescan_draw_shade(narrow, img);
    EXPECT_TRUE(grid_equals(img, {0, 0, 0, 0, 0xABCDEF, 0xABCDEF, 0, 0}));
    img_clear(img, 0);
    for (int32_t y : {5, -1, 2}) narrow->y = y, sinescan_draw_shade(narrow, img);
    narrow->y = 1;
    for (auto &w : narrow->waves) w.amplitude = 0x1000;  // sum 0x3000 >> 15 = 0
    sinescan_draw_shade(narrow, img), sinescan_draw_palette(narrow, img);
    EXPECT_TRUE(grid_equals(img, std::vector<uint32_t>(8, 0)));
}
TEST(Sinescan, CompareCopyAndDupTakeTheWaveWordsAndColour) {
    Own<sinescan_del> a(sinescan_new()), b(sinescan_new());
    a->x = 3, a->width = 12, a->waves[1].amplitude = 99, a->color = 0x010203;
    sinescan_copy(a, b);
    EXPECT_EQ(std::tuple(b->x, b->width, b->wave->count), std::tuple(3, 12, 256));  // the samples are not copied
    b->y++;  // not content
    EXPECT_EQ(sinescan_compare(a, b), 1);
    b->color ^= 0x10000;
    EXPECT_EQ(sinescan_compare(a, b), 0);
    Own<sinescan_del> d(sinescan_dup(a));
    EXPECT_EQ(std::make_pair(sinescan_compare(a, d), d->x), std::make_pair(1, 0));
}

// ---- WORDZOOM ----------------------------------------------------------------

namespace {

// A zoom of w x w on a font of `cell`-wide cells whose glyphs for 'A' to 'Z'
// are a dot at the origin (each letter plots its pen position); frees its words.
struct Zoom : GlyphFont {
    Own<wordzoom_del> z{wordzoom_new()};
    Zoom(const char *words, int32_t cell, int32_t w = 64) : GlyphFont(w, w, cell) {
        for (int c = 'A'; c <= 'Z'; c++) add_segment(glyph(c), 0, 0, 0, 0, 0);
        z->width = z->height = w;
        z->font = font;
        z->target = img;
        wordzoom_add_words(z, words);
    }
    ~Zoom() { wordzoom_del_words(z); }
};

std::string words_of(const WORDZOOM *z) {
    std::string s = std::to_string(z->words ? z->words->count : -1) + ":";
    for (int32_t i = 0; z->words && i < z->words->count; i++) s += std::string(i ? "|" : "") + (const char *)z->words->items[i];
    return s;
}

}  // namespace

TEST(Wordzoom, AddWordsCutsAtLineFeeds) {
    const char *cases[][2] = {{"AB\nC", "2:AB|C"}, {"AB\n", "1:AB"}, {"X\n\nY\n", "3:X||Y"}, {"\n", "1:"}, {"", "0:"}, {"RUN", "1:RUN"}};
    for (auto &c : cases) {
        Own<wordzoom_del> z(wordzoom_new());
        wordzoom_add_words(z, c[0]);
        EXPECT_EQ(words_of(z), c[1]) << c[0];
        wordzoom_del_words(z);
        EXPECT_EQ(z->words, nullptr);
    }
    Own<wordzoom_del> z(wordzoom_new());
    char text[8] = {'A', 'B', 0, '\n', 'Z', 'Z', '\n', 0};  // nothing after the zero is read
    wordzoom_add_words(z, text);
    wordzoom_add_words(z, "C\nD");  // appended to the same list
    EXPECT_EQ(words_of(z), "3:AB|C|D");
    wordzoom_del_words(z);
}

TEST(Wordzoom, StartWordPlacesTheWordCentredAtScaleTwo) {
    Zoom zoom("RIVO\nHELLO\nAB", 16, 256);
    WORDZOOM *z = zoom.z;
    random_srand(45429);
    std::strcpy(z->shown, "XYZ");
    z->revealed = 3;
    wordzoom_start_word(z, 4);  // 4 mod 3 = 1
    // 256 / 16; (256 - 160) / 2 + 16; 128 + 17318 mod 85 - 42
    EXPECT_EQ(std::tuple(z->countdown, std::string(z->word), z->length, z->word_x, z->word_y, z->shown[0], z->revealed),
              std::tuple(16, "HELLO", 5, 64, 149, 0, 0));
    wordzoom_next_word(z), wordzoom_next_word(z);  // the list repeats
    EXPECT_EQ(z->word_index, 0);
    z->capacity = 3;
    wordzoom_start_word(z, 0);
    EXPECT_EQ(std::make_pair(z->length, z->word_x), std::make_pair(3, (256 - 96) / 2 + 16));
    z->capacity = 100000;  // more than `shown` holds: held to 256
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 4);
    z->height = 2;  // a third of 2 is 0: no random lift, but the draw is made
    random_srand(8);
    wordzoom_start_word(z, 0);
    Lcg g{8};
    g.next();
    EXPECT_EQ(std::make_pair(z->word_y, random_rand()), std::make_pair(1, g.next()));
}

TEST(Wordzoom, CountdownFallsByTwoAndTheEighthStepLands) {
    Zoom zoom("HI", 16, 256);
    WORDZOOM *z = zoom.z;
    wordzoom_start_word(z, 0);
    for (int32_t want = 14; want >= 2; want -= 2) {
        wordzoom_step(z);
        EXPECT_EQ(std::make_pair(z->countdown, z->revealed), std::make_pair(want, 0));
    }
    random_srand(45429);
    wordzoom_step(z);
    EXPECT_EQ(std::tuple(z->countdown, std::string(z->shown), z->color), std::tuple(16, "H", 0x80C3A6u));  // 17318: a new light colour
    for (int i = 0; i < 8; i++) wordzoom_step(z);
    EXPECT_EQ(wordzoom_done(z), 1);
    // A done word, mode "i" or another mode, no font or a cell width of 0:
    // stepping changes nothing (and draws nothing).
    for (int k = 0; k < 5; k++) {
        if (k == 1) z->revealed = 1, z->mode = 'i';
        if (k == 2) z->mode = 'x';
        if (k == 3) z->mode = 'o', zoom.font->size->x = 0;
        if (k == 4) z->font = nullptr;
        WORDZOOM before;
        std::memcpy(&before, z, sizeof before);
        random_srand(4);
        for (int i = 0; i < 20; i++) wordzoom_step(z);
        EXPECT_EQ(std::memcmp(&before, z, sizeof before), 0) << k;
        EXPECT_EQ(random_rand(), Lcg{4}.next()) << k;
    }
}

// The letters shown so far at scale 2 (dots 16 apart on cells of 8) and the
// letter in flight as eight dots, copy i at scale k + i and at
// centre - ((centre - place) * (64 - k)) / 64 + k + i per axis (truncating).
TEST(Wordzoom, DrawShowsLandedLettersAndFliesTheNext) {
    const struct { const char *word; int32_t steps, x, y; std::vector<int32_t> dots; } cases[] = {
        // k = 8, A's place (23, 41): x = 32 - 504 / 64 + 8 = 33, y = 32 + 504 / 64 + 8 = 47 (-7 truncated).
        {"AB", 0, 23, 41, {33, 47}},
        // two letters land, then k = 4 for C at (42, 20): x = 32 + 600 / 64 + 4, y = 32 - 720 / 64 + 4.
        {"ABC", 10, 10, 20, {10, 20, 26, 20, 45, 25}},
        {"ABC", 12, 10, 20, {10, 20, 26, 20, 42, 20}},  // C lands: the word alone
    };
    for (auto &c : cases) {
        Zoom zoom(c.word, 8);
        WORDZOOM *z = zoom.z;
        wordzoom_start_word(z, 0);
        z->word_x = c.x, z->word_y = c.y;
        for (int i = 0; i < c.steps; i++) wordzoom_step(z);
        z->color = 0x80A0C0;
        wordzoom_draw(z);
        std::vector<uint32_t> want(64 * 64, 0);
        for (size_t i = 0; i + 1 < c.dots.size(); i += 2) {
            bool flying = c.dots.size() - i == 2 && !wordzoom_done(z);
            for (int k = 0; k < (flying ? 8 : 1); k++) want[(c.dots[i + 1] + k) * 64 + c.dots[i] + k] = 0x80A0C0;
        }
        EXPECT_TRUE(grid_equals(zoom.img, want)) << c.word << " " << c.steps;
    }
    Zoom zoom("AB", 8);
    wordzoom_start_word(zoom.z, 0);
    EXPECT_EQ(std::make_pair(zoom.z->countdown, zoom.z->word_x), std::make_pair(8, 24));  // 64 / 8; (64 - 32) / 2 + 8
    wordzoom_draw(zoom.z);
    EXPECT_EQ(std::make_pair(zoom.font->scale->x, zoom.font->code), std::make_pair(15, (int32_t)'A'));  // the last copy's
}

TEST(Wordzoom, AFullWordOfTheWholeCapacityStaysTerminated) {
    std::string long_word(300, 'Q');
    Zoom zoom(long_word.c_str(), 1, 4);  // countdown 4: two steps per letter
    WORDZOOM *z = zoom.z;
    wordzoom_start_word(z, 0);
    EXPECT_EQ(z->length, 256);
    for (int i = 0; i < 2 * 256; i++) wordzoom_step(z);
    EXPECT_EQ(std::make_pair(z->revealed, strlen(z->shown)), std::make_pair(256, (size_t)256));
    wordzoom_draw(z);  // reads the 256 letters and their terminator only
}

// Refused starts draw nothing from the generator; refused draws touch
// neither the font nor the image; what compare and copy take.
TEST(Wordzoom, RefusalsAndCopies) {
    GlyphFont f(4, 4);
    Own<wordzoom_del> bare(wordzoom_new());
    random_srand(21);
    wordzoom_start_word(bare, 0);  // no words, no font
    bare->font = f.font;
    wordzoom_start_word(bare, 0);  // no words
    wordzoom_add_words(bare, "AB\nCD");
    wordzoom_start_word(bare, -1);
    f.font->size->x = 0;  // a cell width of 0 would divide by zero
    wordzoom_start_word(bare, 0);
    EXPECT_EQ(std::make_pair(bare->word, random_rand()), std::make_pair((const char *)nullptr, Lcg{21}.next()));
    wordzoom_del_words(bare);
    Zoom zoom("A", 8, 4);
    WORDZOOM *z = zoom.z;
    wordzoom_start_word(z, 0);
    z->target = nullptr;
    zoom.font->scale->x = 5;
    wordzoom_draw(z);  // no target: the font is not touched
    EXPECT_EQ(zoom.font->scale->x, 5);
    z->target = zoom.img;
    z->font = nullptr;
    wordzoom_draw(z);
    EXPECT_TRUE(grid_equals(zoom.img, std::vector<uint32_t>(16, 0)));
    Own<wordzoom_del> a(wordzoom_new()), b(wordzoom_new());
    a->word_x = 5, a->word_y = 6, a->length = 3, a->revealed = 1, a->word_index = 2;
    a->countdown = 40, a->mode = 'i';  // not content
    EXPECT_EQ(wordzoom_compare(a, b), 0);
    wordzoom_copy(a, b);
    Own<wordzoom_del> c(wordzoom_dup(a));
    EXPECT_EQ(std::tuple(wordzoom_compare(a, b), wordzoom_compare(a, c), b->color == a->color, b->countdown != 40, b->mode), std::tuple(1, 1, true, true, 'o'));
    b->capacity = 9;
    EXPECT_EQ(wordzoom_compare(a, b), 0);
}
