// Line font made of 2D line objects.
// LFONT: a LIST of OBJ2D glyphs indexed by character code, drawn scaled,
// rotated and offset into a target IMG with a pen that advances a fixed cell.
#pragma once

#include "host/export.h"

#include <cstdint>

struct VEC2D;
struct LIST;
struct IMG;

// A line font: OBJ2D glyphs by character code and a pen.
struct LFONT {
    VEC2D *position;  // pen: origin of the next glyph; (0, 0)
    VEC2D *size;      // cell: x is the advance, y the line height, before scaling; (16, 16)
    int32_t code;     // character code lfont_draw_char draws next
    VEC2D *scale;     // integer factors for glyphs and advance; (1, 1)
    int32_t angle;    // rotation of every glyph about its origin, sine-table steps
    LIST *glyphs;     // OBJ2D handles, index k draws code k; owned glyphs, not the list
    IMG *target;      // drawn into; not owned
};

// Prints this module's error message when its debug switch is on.
RIVO_API void lfont_error(void);

// Font with pen (0,0), size (16,16), scale (1,1), code 0, angle 0, no glyphs, no target.
RIVO_API LFONT *lfont_new(void);
// Destroys the three vectors and every glyph object, frees the record, clears *f.
RIVO_API void lfont_del(LFONT **f);

// Draws glyph `code` at the pen, then pen x += size.x * scale.x.
// An absent glyph or a code outside the list draws nothing and keeps the pen.
RIVO_API void lfont_draw_char(LFONT *f);
// As lfont_draw_char, first giving the glyph a random light colour.
RIVO_API void lfont_draw_char_random(LFONT *f);
// Draws up to the first line feed or the end.
RIVO_API void lfont_draw_line(LFONT *f, const char *text);
// Draws several lines: each line feed moves the pen down size.y * scale.y
// and back to the x it had at the start.
RIVO_API void lfont_draw_text(LFONT *f, const char *text);
// Low byte as two upper-case hex digits, high nibble first.
RIVO_API void lfont_draw_hex8(LFONT *f, uint32_t value);
// The low 16 bits as four upper-case hex digits.
RIVO_API void lfont_draw_hex16(LFONT *f, uint32_t value);
// The value as eight upper-case hex digits.
RIVO_API void lfont_draw_hex32(LFONT *f, uint32_t value);
// Unsigned value in exactly ten decimal digits with leading zeros.
RIVO_API void lfont_draw_decimal(LFONT *f, uint32_t value);
// Gives every glyph that colour.
RIVO_API void lfont_set_color(LFONT *f, uint32_t color);
// Every glyph, last to first, gets its own random light colour.
RIVO_API void lfont_random_colors(LFONT *f);
// (random_rand() & 0x7F7F7F) + 0x808080: one draw per colour.
RIVO_API uint32_t lfont_random_color(void);
