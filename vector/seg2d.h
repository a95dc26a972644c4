// Integer 2D segment and the shared sine table.
// SEG2D owns its two endpoint vectors; the segment's colour is that of `a`.
// The sine table (1024 steps per turn, fractions of 32768) is static data of
// this module that every module reads directly.
#pragma once

#include "host/export.h"

#include <cstdint>

#include "vector/vec2d.h"

struct IMG;

// Sine of angle a is sine_table[a & sine_mask]; cosine is
// sine_table[(a + 256) & sine_mask]. Applied to a length L as (L * v) >> 15.
RIVO_API extern const int16_t sine_table[1024];
// Index mask: any angle, negative ones too, wraps onto the table.
RIVO_API extern const int32_t sine_mask;  // 1023
// Number of entries.
RIVO_API extern const int32_t sine_size;  // 1024

// A segment between two owned points.
struct SEG2D {
    VEC2D *a;  // first endpoint; its colour is the colour of the segment
    VEC2D *b;  // second endpoint
};

// Prints this module's error message when its debug switch is on.
RIVO_API void seg2d_error(void);

// New segment from (0, 0) to (1, 1), both ends white; null on failure.
RIVO_API SEG2D *seg2d_new(void);
// Destroys both endpoints and the record, clears the handle.
RIVO_API void seg2d_del(SEG2D **s);
// True when both endpoint pairs (a with a, b with b) are equal, colours included.
RIVO_API bool seg2d_compare(const SEG2D *s, const SEG2D *t);
// Copies the endpoints of source into those of target.
RIVO_API void seg2d_copy(const SEG2D *source, SEG2D *target);
// A new segment with copies of both points; null on failure.
RIVO_API SEG2D *seg2d_dup(const SEG2D *source);

// img_line from a to b in a's colour.
RIVO_API void seg2d_draw(const SEG2D *s, IMG *img);
// Plots each endpoint in its own colour.
RIVO_API void seg2d_plot_ends(const SEG2D *s, IMG *img);
// Draws a copy rotated by angle about the origin and moved by offset.
RIVO_API void seg2d_draw_transformed(const SEG2D *s, int32_t angle, const VEC2D *offset, IMG *img);
// Drawn from both ends towards the middle, each pixel averaged with a's colour.
RIVO_API void seg2d_draw_average(const SEG2D *s, IMG *img);
// Drawn from both ends towards the middle, a's colour added with saturation.
RIVO_API void seg2d_draw_add(const SEG2D *s, IMG *img);

// Rotates both endpoints about the origin.
RIVO_API void seg2d_rotate(SEG2D *s, int32_t angle);
// Adds offset to both endpoints.
RIVO_API void seg2d_translate(SEG2D *s, const VEC2D *offset);
// Multiplies both endpoints by k (wrapping).
RIVO_API void seg2d_scale(SEG2D *s, int32_t k);
// Multiplies both endpoints by the same factor vector.
RIVO_API void seg2d_mul(SEG2D *s, const VEC2D *factors);

// True when the bounding boxes overlap, edges included.
RIVO_API bool seg2d_boxes_overlap(const SEG2D *s, const SEG2D *t);
// True when the segments cross (fixed-point slope test, x scaled by 256).
RIVO_API bool seg2d_intersect(const SEG2D *s, const SEG2D *t);
// For segments on one line: true when their x ranges and y ranges overlap.
RIVO_API bool seg2d_collinear_overlap(const SEG2D *s, const SEG2D *t);
