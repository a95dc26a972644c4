// FONT: a bitmap font cut from a glyph sheet (an IMG) into equal cells, cell k
// holding code k, drawn into a target image with a pen that advances one cell.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// A bitmap font: a sheet of equal cells and a pen drawing into a target.
struct FONT {
    int32_t x;            // pen: left edge of the next glyph in the target
    int32_t y;            // pen: top edge of the next glyph
    int32_t z;            // 0; unused
    int32_t cell_width;   // 6 at creation
    int32_t cell_height;  // 6 at creation
    int32_t depth;        // 0; copied by the bitmap scroller
    int32_t code;         // character code the next draw uses
    IMG *sheet;           // glyph sheet; owned
    IMG *target;          // drawn into; not owned
};

// Prints this module's error message when its debug switch is on.
RIVO_API void font_error(void);

// A font with 6 x 6 cells and every other field 0 or null; null on failure.
RIVO_API FONT *font_new(void);
// Destroys the sheet (when present), frees the record and clears *font.
RIVO_API void font_del(FONT **font);

// Cell k starts at column (k * cell_width) mod sheet width and row
// ((k * cell_width) div sheet width) * cell_height. 1 when found, 0 (after a
// report) for a missing font or sheet or a sheet without width.
RIVO_API int font_cell(const FONT *font, int32_t code, int32_t *sx, int32_t *sy);

// Draws the cell of `code` at the pen (zero pixels transparent); pen x += cell_width.
RIVO_API void font_draw_char(FONT *font);
// As font_draw_char, every pixel of the cell copied.
RIVO_API void font_draw_char_opaque(FONT *font);
// As font_draw_char, sheet words added to the target's words (wrapping).
RIVO_API void font_draw_char_add(FONT *font);
// Draws the text's characters (unsigned) up to the first line feed or the end.
RIVO_API void font_draw_line(FONT *font, const char *text);
// Draws several lines opaquely: a line feed moves the pen down one cell and
// back to the x it had at the start.
RIVO_API void font_draw_text_opaque(FONT *font, const char *text);
// The low byte as two upper-case hex digits, high nibble first.
RIVO_API void font_draw_hex8(FONT *font, uint32_t value);
// The low 16 bits as four upper-case hex digits.
RIVO_API void font_draw_hex16(FONT *font, uint32_t value);
// The value as eight upper-case hex digits.
RIVO_API void font_draw_hex32(FONT *font, uint32_t value);
// The value as an unsigned number in exactly ten digits with leading zeros.
RIVO_API void font_draw_decimal(FONT *font, uint32_t value);
// Draws the glyph of font's code enlarged: every non-zero sheet pixel of the
// cell becomes one brush glyph (the brush's own code) at the matching place;
// the brush draws into the font's target. Pen x += cell_width * brush cell_width.
RIVO_API void font_draw_big(FONT *font, FONT *brush);
