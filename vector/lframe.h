// Line frame: one segment whose two ends run around the border of a rectangle.
#pragma once

#include "host/export.h"

#include <cstdint>

struct VEC2D;
struct SEG2D;
struct IMG;

// A line whose ends run round the border of an area.
struct LFRAME {
    int32_t x, y, z;      // place; copied, never read by drawing
    int32_t width;        // frame width, 256
    int32_t height;       // frame height, 256
    int32_t depth;        // 256; unused
    SEG2D *line;          // the moving segment; its ends carry the colours
    SEG2D *velocity;      // a: unit direction of line.a, b: that of line.b
    int32_t speed;        // pixels per step, 4 to 11
};

// Prints this module's error message when its debug switch is on.
RIVO_API void lframe_error(void);

// 256 x 256 frame on which lframe_reset_random has run.
RIVO_API LFRAME *lframe_new(void);
// Frees the record (not its segments) and clears *f.
RIVO_API void lframe_del(LFRAME **f);
// 1 when both share the same line and velocity handles and equal speed.
RIVO_API int lframe_compare(LFRAME *s, LFRAME *t);
// Copies x, y, z, the line and velocity handles (shared) and speed.
RIVO_API void lframe_copy(LFRAME *source, LFRAME *target);
// lframe_new, then line, velocity and speed taken over as handles.
RIVO_API LFRAME *lframe_dup(LFRAME *source);

// New line, velocity and speed from random_next draws.
RIVO_API void lframe_reset_random(LFRAME *f);
// New line, velocity and speed with both ends on one edge (left, top or right).
RIVO_API void lframe_reset_edge(LFRAME *f);
// New line, velocity and speed with the ends on two edges that meet at a corner.
RIVO_API void lframe_reset_corner(LFRAME *f);

// Moves point p by direction v times speed, turning along the border.
RIVO_API void lframe_step_point(LFRAME *f, VEC2D *p, VEC2D *v);
// Steps line.a with velocity.a, then line.b with velocity.b.
RIVO_API void lframe_step(LFRAME *f);

// Draws the line (seg2d_draw).
RIVO_API void lframe_draw(LFRAME *f, IMG *image);
// Plots the middle of the line in line.a's colour (divisions truncate).
RIVO_API void lframe_plot_middle(LFRAME *f, IMG *image);
// Plots the two ends of the line in their colours.
RIVO_API void lframe_plot_ends(LFRAME *f, IMG *image);
