// SCROLL: a bitmap-font text scroller. The record owns its cursor; the text,
// font and target belong to the caller. Each step moves the text by `speed`
// pixels, carrying whole characters into the cursor; each draw covers the
// strip with the partly scrolled first character and one spare on the right,
// leaving the cursor where it was. Characters are drawn in full even past the
// strip's right edge. A font whose cells have no width is refused.
#include "text/scroll.h"

#include <cstdlib>
#include <cstring>

#include "host/int.h"
#include "host/module.h"
#include "imaging/img.h"
#include "text/cursor.h"
#include "text/font.h"

RIVO_IDENTITY(scroll, "SCROLL  ", "20110513", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(scroll, 0, "SCROLL error\n");

static const char scroll_default_text[] = "A scroll's default text. ";

SCROLL *scroll_new(void) {
    SCROLL *scroll = (SCROLL *)calloc(1, sizeof(SCROLL));
    if (!scroll) {
        scroll_error();
        return nullptr;
    }
    scroll->cursor = cursor_new();
    if (!scroll->cursor) {
        free(scroll);
        scroll_error();
        return nullptr;
    }
    cursor_set(scroll->cursor, scroll_default_text, (int32_t)strlen(scroll_default_text), 1, 1);
    scroll->speed = 1;
    return scroll;
}

void scroll_del(SCROLL **scroll) {
    if (!scroll || !*scroll) {
        scroll_error();
        return;
    }
    if ((*scroll)->cursor) cursor_del(&(*scroll)->cursor);
    free(*scroll);
    *scroll = nullptr;
}

void scroll_set(SCROLL *scroll, const char *text, FONT *font, IMG *target) {
    // An empty text would leave a cursor that wraps at length 0.
    if (!scroll || !text || !*text || !font || !target) {
        scroll_error();
        return;
    }
    if (scroll->cursor) cursor_del(&scroll->cursor);
    scroll->text = text;
    scroll->cursor = cursor_new();
    if (!scroll->cursor) scroll_error();
    size_t length = strlen(text);
    cursor_set(scroll->cursor, text, length > INT32_MAX ? INT32_MAX : (int32_t)length, 1, 1);
    scroll->font = font;
    scroll->target = target;
    scroll->x = scroll->y = scroll->z = 0;
    scroll->width = target->width;
    scroll->height = font->cell_height;
    scroll->depth = font->depth;
}

// The character width w, or 0 (after a report) when something the scroller
// needs is missing.
static int32_t scroll_char_width(const SCROLL *scroll) {
    if (!scroll || !scroll->text || !scroll->cursor || !scroll->cursor->text || !scroll->font ||
        scroll->font->cell_width <= 0) {
        scroll_error();
        return 0;
    }
    return scroll->font->cell_width;
}

void scroll_step(SCROLL *scroll) {
    int32_t w = scroll_char_width(scroll);
    if (!w) return;
    int64_t offset = (int64_t)scroll->offset + scroll->speed;
    if (offset >= w) {
        scroll->cursor->step = (int32_t)(offset / w);
        cursor_advance(scroll->cursor);
        offset %= w;
    } else if (offset < 0) {
        // Truncating division: an exact negative multiple of w ends at w, not 0.
        scroll->cursor->step = (int32_t)(offset / w - 1);
        cursor_advance(scroll->cursor);
        offset = offset % w + w;
    }
    scroll->offset = (int32_t)offset;
}

typedef void (*scroll_draw_fn)(FONT *);

static void scroll_draw_with(SCROLL *scroll, scroll_draw_fn draw_char) {
    int32_t w = scroll_char_width(scroll);
    if (!w) return;
    if (!scroll->target) {
        scroll_error();
        return;
    }
    FONT *font = scroll->font;
    CURSOR *cursor = scroll->cursor;
    font->x = wrap_sub(scroll->x, scroll->offset);
    font->y = scroll->y;
    font->target = scroll->target;
    int32_t n = scroll->width / w + 2;
    cursor_save(cursor);
    cursor->step = 1;
    for (int32_t i = 0; i < n; i++) {
        // Bytes above 127 become negative codes, as the scroller always had it.
        font->code = (signed char)cursor->text[cursor->index];
        draw_char(font);
        cursor_advance(cursor);
    }
    cursor_restore(cursor);
}

void scroll_draw(SCROLL *scroll) { scroll_draw_with(scroll, font_draw_char); }

void scroll_draw_opaque(SCROLL *scroll) { scroll_draw_with(scroll, font_draw_char_opaque); }
