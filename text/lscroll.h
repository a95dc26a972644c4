// Line font scroller: an endless text moved sideways through a strip,
// drawn with an LFONT. Text, font and target are not owned; the cursor is.
#pragma once

#include "host/export.h"

#include <cstdint>

struct CURSOR;
struct LFONT;
struct IMG;

// A line font scroller: a text moving sideways through a strip.
struct LSCROLL {
    int32_t x;           // left edge of the strip
    int32_t y;           // top edge (glyph origin y)
    int32_t z;           // 0; unused
    int32_t width;       // strip width: the target's width after lscroll_set
    int32_t height;      // the line font's size.y
    int32_t depth;       // 1; unused
    int32_t speed;       // pixels per step; negative scrolls the other way
    int32_t offset;      // pixels of the first visible character scrolled out
    const char *text;    // zero-terminated, not owned
    CURSOR *cursor;      // index of the first visible character; owned
    LFONT *font;         // not owned
    IMG *target;         // not owned
};

// Prints this module's error message when its debug switch is on.
RIVO_API void lscroll_error(void);

// Speed 1, cursor on "A scroll's default text. "; draws refused until lscroll_set.
RIVO_API LSCROLL *lscroll_new(void);
// Destroys the cursor and the record; clears *s.
RIVO_API void lscroll_del(LSCROLL **s);
// Attaches text, font and target (all required); x = y = z = 0, width = target width.
RIVO_API void lscroll_set(LSCROLL *s, const char *text, LFONT *font, IMG *target);
// offset += speed, moving the cursor by whole characters.
RIVO_API void lscroll_step(LSCROLL *s);

// Draws width / w + 2 characters from (x - offset, y) in the glyphs' colours;
// nothing when the strip lies wholly outside the target.
RIVO_API void lscroll_draw(LSCROLL *s);
// Each character in a random light colour; no visibility test.
RIVO_API void lscroll_draw_random(LSCROLL *s);
// Colours the whole font once, then draws; no visibility test.
RIVO_API void lscroll_draw_color(LSCROLL *s, uint32_t color);
// 512 characters on a spiral about the target's centre; k & 3 picks the size.
RIVO_API void lscroll_draw_spiral(LSCROLL *s, int32_t k);
