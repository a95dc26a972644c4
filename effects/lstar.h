// LSTAR: two LRADIAL rings joined into a star, a zigzag outline from a point
// of the first ring to a point of the second and on to the next point of the
// first, all the way round. Both rings' points are taken around the star's centre.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;
struct LRADIAL;

// A star of two rings of points joined by lines.
struct LSTAR {
    int32_t x;         // centre of the star (used for both rings)
    int32_t y;         // centre of the star
    int32_t z;         // not used
    int32_t width;     // size of the last image drawn into
    int32_t height;    // size of the last image drawn into
    int32_t depth;     // not used
    LRADIAL *ring_a;   // owned
    LRADIAL *ring_b;   // owned
};

// Prints "LSTAR error\n" when the debug switch is on.
RIVO_API void lstar_error(void);

// Centre (128, 128), two new rings (six rand values), then 8 points.
RIVO_API LSTAR *lstar_new(void);
// Destroys both rings and the record; clears the handle.
RIVO_API void lstar_del(LSTAR **s);
// Like the rings: copy does nothing, compare is 0, text is null, dup is a fresh star.
RIVO_API void lstar_copy(const LSTAR *source, LSTAR *target);
// Always 0 (a null record is reported).
RIVO_API int lstar_compare(const LSTAR *a, const LSTAR *b);
// No text form: null.
RIVO_API char *lstar_to_text(const LSTAR *s);
// A new default star (lstar_new), not a copy; null for a null source.
RIVO_API LSTAR *lstar_dup(const LSTAR *s);

// Both rings get n points; ring_b moves on by half a spacing (n <= 0 rejected).
RIVO_API void lstar_set_points(LSTAR *s, int32_t n);
// ring_b takes ring_a's angle and spin, then sits half a spacing ahead.
RIVO_API void lstar_sync(LSTAR *s);
// Turns both rings by their spins.
RIVO_API void lstar_step(LSTAR *s);

// The outline A0-B0-A1-B1-...: A->B in ring_a's colour, A'->B in ring_b's.
RIVO_API void lstar_draw(LSTAR *s, IMG *img);
// The same segments (A->B, then B->A') as thick lines of thickness t.
RIVO_API void lstar_draw_thick(LSTAR *s, IMG *img, int32_t t);
// The same segments as thick dithered lines, each running from the colour of
// the ring at its first end to the colour of the ring at its second.
RIVO_API void lstar_draw_dither(LSTAR *s, IMG *img, int32_t t);
