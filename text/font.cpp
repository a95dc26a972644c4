// FONT: bitmap text from a glyph sheet. The record owns its sheet (an IMG)
// and draws into a target it does not own; the pen (x, y) advances one cell
// per glyph. Cells are packed left to right in rows of cell_height pixels,
// wrapping at the sheet's width, so any sheet width works; negative codes
// (signed bytes from the scroller) land outside the sheet and draw nothing.
// Limits: no kerning, no clipping beyond what the blits do.
#include "text/font.h"

#include <algorithm>
#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "imaging/img.h"

RIVO_IDENTITY(font, "FONT    ", "20121121", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(font, 0, "FONT Error.\n");

FONT *font_new(void) {
    FONT *font = (FONT *)calloc(1, sizeof(FONT));
    if (!font) {
        font_error();
        return nullptr;
    }
    font->cell_width = 6;
    font->cell_height = 6;
    return font;
}

void font_del(FONT **font) {
    if (!font || !*font) {
        font_error();
        return;
    }
    if ((*font)->sheet) img_del(&(*font)->sheet);
    free(*font);
    *font = nullptr;
}

int font_cell(const FONT *font, int32_t code, int32_t *sx, int32_t *sy) {
    // A sheet without width has no cells; dividing by it would trap.
    if (!font || !font->sheet || font->sheet->width <= 0 || !sx || !sy) {
        font_error();
        return 0;
    }
    int32_t w = font->sheet->width;
    int32_t start = wrap_mul(code, font->cell_width);
    *sx = start % w;
    *sy = wrap_mul(start / w, font->cell_height);
    return 1;
}

typedef void (*font_blit_fn)(const IMG *, IMG *, int32_t, int32_t, int32_t, int32_t, int32_t,
                             int32_t);

// One glyph with the given blit; a missing target is the blit's to report,
// and the pen still moves on.
static void font_draw_with(FONT *font, font_blit_fn blit) {
    int32_t sx, sy;
    if (!font_cell(font, font ? font->code : 0, &sx, &sy)) return;
    blit(font->sheet, font->target, sx, sy, font->x, font->y, font->cell_width, font->cell_height);
    font->x = wrap_add(font->x, font->cell_width);
}

void font_draw_char(FONT *font) { font_draw_with(font, img_blit); }

void font_draw_char_opaque(FONT *font) { font_draw_with(font, img_blit_opaque); }

void font_draw_char_add(FONT *font) { font_draw_with(font, img_blit_add); }

void font_draw_line(FONT *font, const char *text) {
    if (!font || !font->sheet || !text) {
        font_error();
        return;
    }
    for (const char *p = text; *p && *p != '\n'; p++) {
        font->code = (unsigned char)*p;
        font_draw_char(font);
    }
}

void font_draw_text_opaque(FONT *font, const char *text) {
    if (!font || !font->sheet || !font->target || !text) {
        font_error();
        return;
    }
    int32_t x0 = font->x;
    for (const char *p = text; *p; p++) {
        if (*p == '\n') {
            font->y = wrap_add(font->y, font->cell_height);
            font->x = x0;
            continue;
        }
        font->code = (unsigned char)*p;
        font_draw_char_opaque(font);
    }
}

static int32_t font_hex_digit(uint32_t n) { return n <= 9 ? (int32_t)('0' + n) : (int32_t)('A' + n - 10); }

void font_draw_hex8(FONT *font, uint32_t value) {
    if (!font) {
        font_error();
        return;
    }
    font->code = font_hex_digit((value >> 4) & 15);
    font_draw_char(font);
    font->code = font_hex_digit(value & 15);
    font_draw_char(font);
}

void font_draw_hex16(FONT *font, uint32_t value) {
    font_draw_hex8(font, value >> 8);
    font_draw_hex8(font, value);
}

void font_draw_hex32(FONT *font, uint32_t value) {
    font_draw_hex16(font, value >> 16);
    font_draw_hex16(font, value & 0xFFFF);
}

void font_draw_decimal(FONT *font, uint32_t value) {
    if (!font) {
        font_error();
        return;
    }
    for (uint32_t d = 1000000000u; d >= 1; d /= 10) {
        font->code = (int32_t)('0' + (value / d) % 10);
        font_draw_char(font);
    }
}

void font_draw_big(FONT *font, FONT *brush) {
    if (!font || !font->sheet || !font->target || !brush || !brush->sheet) {
        font_error();
        return;
    }
    int32_t sx, sy;
    if (!font_cell(font, font->code, &sx, &sy)) return;
    brush->target = font->target;
    // Only cell pixels on the sheet can be set: the walk keeps to them, so a
    // huge cell costs no more than the sheet.
    int64_t r0 = sy < 0 ? -(int64_t)sy : 0, q0 = sx < 0 ? -(int64_t)sx : 0;
    int64_t r1 = std::min<int64_t>(font->cell_height, (int64_t)font->sheet->height - sy);
    int64_t q1 = std::min<int64_t>(font->cell_width, (int64_t)font->sheet->width - sx);
    for (int64_t row = r0; row < r1; row++)
        for (int64_t column = q0; column < q1; column++) {
            int32_t r = (int32_t)row, q = (int32_t)column;  // inside the cell, so in range
            if (img_get_pixel(font->sheet, wrap_add(sx, q), wrap_add(sy, r)) == 0) continue;
            brush->x = wrap_add(font->x, wrap_mul(q, brush->cell_width));
            brush->y = wrap_add(font->y, wrap_mul(r, brush->cell_height));
            font_draw_char(brush);
        }
    font->x = wrap_add(font->x, wrap_mul(font->cell_width, brush->cell_width));
}
