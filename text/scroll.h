// SCROLL: an endless text moved sideways through a strip of the target,
// drawn with a bitmap FONT and walked with a CURSOR.
#pragma once

#include "host/export.h"

#include <cstdint>

struct CURSOR;
struct FONT;
struct IMG;

// A bitmap font scroller: a text moving sideways through a strip.
struct SCROLL {
    int32_t x;          // left edge of the strip in the target
    int32_t y;          // top edge of the strip
    int32_t z;          // 0; unused
    int32_t width;      // strip width: the target's width after scroll_set
    int32_t height;     // the font's cell_height
    int32_t depth;      // the font's depth; unused
    int32_t speed;      // pixels per step; negative scrolls the other way
    int32_t offset;     // pixels of the first character already scrolled out
    const char *text;   // zero-terminated; not owned
    CURSOR *cursor;     // first visible character; owned
    FONT *font;         // not owned
    IMG *target;        // not owned
};

// Prints this module's error message when its debug switch is on.
RIVO_API void scroll_error(void);

// Speed 1, a cursor on the default text "A scroll's default text. ", no
// text, font or target: drawing and stepping are refused until scroll_set.
RIVO_API SCROLL *scroll_new(void);
// Destroys the cursor, frees the record and clears *scroll.
RIVO_API void scroll_del(SCROLL **scroll);
// Attaches a text, font and target (all needed; an empty text is refused),
// with a new cursor at the text's start; x = y = z = 0, width = target's width.
RIVO_API void scroll_set(SCROLL *scroll, const char *text, FONT *font, IMG *target);
// Moves the text `speed` pixels (positive: to the left).
RIVO_API void scroll_step(SCROLL *scroll);
// Draws width / cell_width + 2 characters from (x - offset, y), transparently.
RIVO_API void scroll_draw(SCROLL *scroll);
// As scroll_draw, every pixel of every cell copied.
RIVO_API void scroll_draw_opaque(SCROLL *scroll);
