// HELIX: a twisting ribbon whose two edges follow one sine wave half a turn
// apart, filled where it faces the viewer and shaded where it faces away; and
// a sine drawn as a thick shaded band, across or down the image.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// A twisting ribbon and a shaded sine band.
struct HELIX {
    int32_t x;          // 0; copied, not used
    int32_t y;          // 0; copied, not used
    int32_t z;          // 0; copied, not used
    int32_t width;      // 256; not used (draws take the image's size)
    int32_t height;     // 256; not used
    int32_t depth;      // 256; not used
    int32_t phase;      // table index of the first edge at the first column or row
    int32_t speed;      // phase advance per helix_step
    int32_t frequency;  // table steps per pixel along the ribbon
    int32_t amplitude;  // swing in pixels
    int32_t spread;     // table distance between the edges; band width in pixels
    uint32_t colour;    // front colour
    uint32_t shade;     // back colour, half as bright
};

// Prints "HELIX error\n" when the debug switch is on.
RIVO_API void helix_error(void);

// 256 x 256 x 256, then helix_randomize. Null on failure.
RIVO_API HELIX *helix_new(void);
// Frees the record, clears the handle.
RIVO_API void helix_del(HELIX **h);
// Copies x, y, z and phase..shade.
RIVO_API void helix_copy(const HELIX *source, HELIX *target);
// A new helix (six draws of its own), then phase..shade of the source.
RIVO_API HELIX *helix_dup(const HELIX *source);
// 1 when phase..colour are equal.
RIVO_API int helix_compare(const HELIX *a, const HELIX *b);

// Phase, speed, frequency, amplitude, spread and colour from six random_next
// draws in that order; shade is half the colour.
RIVO_API void helix_randomize(HELIX *h);
// phase = (phase + speed) AND 1023.
RIVO_API void helix_step(HELIX *h);

// The ribbon across the image, one span per column: back pass then front.
RIVO_API void helix_draw_columns(const HELIX *h, IMG *img);
// The ribbon down the image, one span per row (the back fills between the edges).
RIVO_API void helix_draw_rows(const HELIX *h, IMG *img);
// The sine as a band `spread` pixels wide, darkened by its slope: back then front.
RIVO_API void helix_draw_bands(const HELIX *h, IMG *img);
// The front of the band turned to run down the image.
RIVO_API void helix_draw_bands_vertical(const HELIX *h, IMG *img);
// The back of the band turned to run down the image.
RIVO_API void helix_draw_bands_vertical_back(const HELIX *h, IMG *img);
