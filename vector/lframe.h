// Line frame: one segment whose two ends run around the border of a rectangle.
#pragma once

#include <cstdint>

struct VEC2D;
struct SEG2D;
struct IMG;

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
void lframe_error(void);

// 256 x 256 frame on which lframe_reset_random has run.
LFRAME *lframe_new(void);
// Frees the record (not its segments) and clears *f.
void lframe_del(LFRAME **f);
// 1 when both share the same line and velocity handles and equal speed.
int lframe_compare(LFRAME *s, LFRAME *t);
// Copies x, y, z, the line and velocity handles (shared) and speed.
void lframe_copy(LFRAME *source, LFRAME *target);
// lframe_new, then line, velocity and speed taken over as handles.
LFRAME *lframe_dup(LFRAME *source);

// New line, velocity and speed from random_next draws.
void lframe_reset_random(LFRAME *f);
void lframe_reset_edge(LFRAME *f);
void lframe_reset_corner(LFRAME *f);

// Moves point p by direction v times speed, turning along the border.
void lframe_step_point(LFRAME *f, VEC2D *p, VEC2D *v);
// Steps line.a with velocity.a, then line.b with velocity.b.
void lframe_step(LFRAME *f);

void lframe_draw(LFRAME *f, IMG *image);
// Plots the middle of the line in line.a's colour (divisions truncate).
void lframe_plot_middle(LFRAME *f, IMG *image);
void lframe_plot_ends(LFRAME *f, IMG *image);
