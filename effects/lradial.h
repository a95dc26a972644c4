// LRADIAL: a ring of evenly spaced points on a circle that turns around a
// centre, drawn as dots or as spokes from the centre. Angles are 16.16 indices
// into the shared 1024-step sine table, kept masked with 0x3FFFFFF.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// A ring of radial lines about a centre.
struct LRADIAL {
    int32_t x;        // centre of the ring
    int32_t y;        // centre of the ring
    int32_t z;        // not used
    int32_t width;    // size of the last image drawn into
    int32_t height;   // size of the last image drawn into
    int32_t depth;    // not used
    int32_t colour;   // drawing colour, every channel 0x80..0xFF after lradial_new
    int32_t lines;    // number of points
    int32_t angle;    // 16.16 angle of the first point
    int32_t spin;     // 16.16 angle added per lradial_step
    int32_t spacing;  // 16.16 angle between neighbouring points
    int32_t radius;   // pixels
};

// Prints "LRADIAL error\n" when the debug switch is on.
RIVO_API void lradial_error(void);

// A ring centred at (128, 128) with 16 points; draws spin, radius and colour
// (three rand values, in that order). Builds the shared palette on first use.
RIVO_API LRADIAL *lradial_new(void);
// Frees the record and clears the handle.
RIVO_API void lradial_del(LRADIAL **r);
// The ring records carry no content worth copying: copy does nothing,
// compare is always 0, the text is null, dup makes a fresh default ring.
RIVO_API void lradial_copy(const LRADIAL *source, LRADIAL *target);
// Always 0 (a null record is reported).
RIVO_API int lradial_compare(const LRADIAL *a, const LRADIAL *b);
// No text form: null.
RIVO_API char *lradial_to_text(const LRADIAL *r);
// A new default ring (lradial_new), not a copy; null for a null source.
RIVO_API LRADIAL *lradial_dup(const LRADIAL *r);

// lines = n, spacing = (1024 << 16) / n; n <= 0 is rejected.
RIVO_API void lradial_set_lines(LRADIAL *r, int32_t n);
// angle = (angle + spin) & 0x3FFFFFF.
RIVO_API void lradial_step(LRADIAL *r);

// The point at 16.16 angle a on a ring of radius R around (cx, cy).
RIVO_API void lradial_point(int32_t cx, int32_t cy, int32_t a, int32_t radius, int32_t *px, int32_t *py);
// Colour k (0..1535) of the 1536-entry rainbow ring; 0 before the first lradial_new.
RIVO_API uint32_t lradial_palette_colour(int32_t k);

// One pixel at every point.
RIVO_API void lradial_draw_points(LRADIAL *r, IMG *img);
// A line from the centre to every point.
RIVO_API void lradial_draw_spokes(LRADIAL *r, IMG *img);
// A line from the centre to every point of a ring of the same radius around (0, 0).
RIVO_API void lradial_draw_spokes_origin(LRADIAL *r, IMG *img);
// Spokes of thickness t.
RIVO_API void lradial_draw_spokes_thick(LRADIAL *r, IMG *img, int32_t t);
// Spokes dithered between two palette colours that run round the ring.
RIVO_API void lradial_draw_spokes_dither(LRADIAL *r, IMG *img);
