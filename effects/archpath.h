// ARCHPATH: a point moving along a chain of circular arcs in S-curves over an
// area that wraps like a torus; it can plot the point or draw two sprites there.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// A point walking along arcs of circles, and the shapes drawn at it.
struct ARCHPATH {
    int32_t x, y;                  // centre of the current circle
    int32_t z;                     // 0
    int32_t width, height, depth;  // the area, 256 x 256 (depth 256)
    int32_t angle;                 // position on the circle, sine-table steps
    int32_t turn;                  // angle added per step; its sign turns the way
    int32_t radius;                // of the current circle
    int32_t arc_length;            // frames to spend on the current arc
    int32_t arc_frame;             // frames spent on it so far
    uint32_t colour;               // of the plotted point
    IMG *sprite_a;                 // sprinkled; owned
    IMG *sprite_b;                 // added; owned
};

// Prints this module's error message when its debug switch is on.
RIVO_API void archpath_error(void);

// A path with random centre, angle, turn, arc length and radius (six rand()
// draws in that order), two new sprite images (b, then a) and a random light
// colour (one random_next). Null on failure.
RIVO_API ARCHPATH *archpath_new(void);
// Destroys both sprites, frees the record and clears *a.
RIVO_API void archpath_del(ARCHPATH **a);
// Sets every field as archpath_new does; the old sprites are replaced by new ones.
RIVO_API void archpath_randomize(ARCHPATH *a);
// The point P = (x + (sin[angle] * radius) >> 15, y + (cos[angle] * radius) >> 15).
// 1 on success, 0 after a report.
RIVO_API int archpath_point(const ARCHPATH *a, int32_t *px, int32_t *py);
// P wrapped once per axis into the area, plotted in `colour`.
RIVO_API void archpath_draw_point(const ARCHPATH *a, IMG *img);
// One frame along the arc; at the arc's end the path moves onto a new circle
// touching the old one at P. The variants differ in the new radius and arc
// length and whether the turn reverses:
RIVO_API void archpath_step(ARCHPATH *a);            // same radius and length, turn reversed
RIVO_API void archpath_step_vary(ARCHPATH *a);       // radius 16..47, length |(256..1279) / turn|
RIVO_API void archpath_step_vary_long(ARCHPATH *a);  // radius 8..23, length |(2048..4095) / turn|
RIVO_API void archpath_step_loop(ARCHPATH *a);       // radius 8..23, length |(256..1023) / turn|, turn kept
// Sprinkles 18 pixels of sprite_a at P, repeated where it wraps over the area's edges.
RIVO_API void archpath_draw_a(ARCHPATH *a, IMG *img);
// Adds sprite_b at P (saturating), repeated where it wraps over the area's edges.
RIVO_API void archpath_draw_b(ARCHPATH *a, IMG *img);
// As draw_a and draw_b at P and at its three mirror images in the image:
// (w - px, py), (w - px, h - py), (px, h - py).
RIVO_API void archpath_draw_a_mirrored(ARCHPATH *a, IMG *img);
// As archpath_draw_b at the point and at its three mirror images.
RIVO_API void archpath_draw_b_mirrored(ARCHPATH *a, IMG *img);
// Copies every field; the target gets its own copies of the source's sprites.
RIVO_API void archpath_copy(const ARCHPATH *source, ARCHPATH *target);
// archpath_new, then archpath_copy.
RIVO_API ARCHPATH *archpath_dup(const ARCHPATH *source);
// 1 when every number is equal and the sprites hold the same pictures.
RIVO_API int archpath_compare(const ARCHPATH *a, const ARCHPATH *b);
