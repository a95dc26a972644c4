// LRAIN: drops at 16.16 positions that all move with one velocity and wrap
// round the image, drawn as points, as short streaks trailing behind them, or
// as glyphs of a bitmap font chosen by height (falling characters).
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;
struct FONT;

// Rain: drops that move together and wrap round the image.
struct LRAIN {
    int32_t x;        // 0; not used
    int32_t y;        // 0; not used
    int32_t z;        // 0; not used
    int32_t width;    // area the drops wrap in; every draw sets the image's size
    int32_t height;   // area the drops wrap in; every draw sets the image's height
    int32_t depth;    // 0; not used
    int32_t vx;       // velocity per step, 16.16; (0, 1.0) at creation
    int32_t vy;       // velocity per step, 16.16
    uint32_t colour;  // 0xFFFFFF at creation
    FONT *font;       // for lrain_draw_glyphs; not owned
    int32_t count;    // number of drops
    int32_t *drops;   // owned: count (x, y) pairs in 16.16
};

// Prints "LRAIN error\n" when the debug switch is on.
RIVO_API void lrain_error(void);

// 256 x 256, one pixel down per step, white, 16 scattered drops (32 rand draws).
RIVO_API LRAIN *lrain_new(void);
// Frees the drops and the record, clears the handle.
RIVO_API void lrain_del(LRAIN **r);
// Rain has no text form (null), compare is 0, copy does nothing, dup is a new default rain.
RIVO_API char *lrain_to_text(const LRAIN *r);
// Always 0 (a null record is reported).
RIVO_API int lrain_compare(const LRAIN *a, const LRAIN *b);
// Copies nothing (a null record is reported).
RIVO_API void lrain_copy(const LRAIN *source, LRAIN *target);
// A new default rain (32 draws), not a copy; null on failure.
RIVO_API LRAIN *lrain_dup(const LRAIN *source);

// n > 0: n new drops, scattered.
RIVO_API void lrain_set_count(LRAIN *r, int32_t n);
// Scatters every drop, the last first (needs width and height >= 1).
RIVO_API void lrain_scatter_all(LRAIN *r);
// Drop i to a random whole pixel: x = rand() mod width, then y = rand() mod height.
RIVO_API void lrain_scatter(LRAIN *r, int32_t i);
// Moves every drop; one that has left the image by its streak's length comes back on the other side.
RIVO_API void lrain_step(LRAIN *r);

// One pixel per drop, first to last.
RIVO_API void lrain_draw_points(LRAIN *r, IMG *img);
// A line from every drop back two steps along the velocity, last to first.
RIVO_API void lrain_draw_streaks(LRAIN *r, IMG *img);
// Glyph (pixel row mod 64) of the font centred on every drop, first to last.
RIVO_API void lrain_draw_glyphs(LRAIN *r, IMG *img);
