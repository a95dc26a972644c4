// SINELINE: a chain of points whose x and y each follow a sum of three sine
// waves, the phases moving from point to point and from frame to frame, drawn
// as a polyline, mirrored copies, graphs or filled circles.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// A chain of points moved by three sine waves per axis.
struct SINELINE {
    int32_t x;                  // 0; not used
    int32_t y;                  // 0; not used
    int32_t z;                  // 0; not used
    int32_t width;              // area the chain moves in; centred on (width / 2, height / 2)
    int32_t height;             // area the chain moves in
    int32_t depth;              // not used
    int32_t phases[3][3];       // per wave (x, y, z): table angle, kept in 0..1023; z unused
    int32_t speeds[3][3];       // phase change per update
    int32_t steps[3][3];        // phase change from one point to the next
    int32_t amplitudes[3][3];   // pixels; recomputed from width and height by every update
    uint32_t color;             // 0xFF0000 at creation
    int32_t count;              // number of points
    int32_t *points;            // owned: count (x, y) pairs
};

// Prints "SINELINE error\n" when the debug switch is on.
RIVO_API void sineline_error(void);

// 256 x 256, red, 16 points; resets twice (36 rand draws). Null on failure.
RIVO_API SINELINE *sineline_new(void);
// Frees the points and the record, clears the handle.
RIVO_API void sineline_del(SINELINE **line);
// Only check their arguments: compare is 0, copy does nothing, dup is a new default line.
// Always 0 (null records are reported).
RIVO_API int sineline_compare(const SINELINE *a, const SINELINE *b);
// Copies nothing (null records are reported).
RIVO_API void sineline_copy(const SINELINE *source, SINELINE *target);
// A new default line (36 draws), not a copy; null on failure.
RIVO_API SINELINE *sineline_dup(const SINELINE *source);

// n > 0: new zeroed room for n points, then sineline_reset.
RIVO_API void sineline_set_count(SINELINE *line, int32_t n);
// New random phases, speeds and steps (18 rand draws, wave 1 to 3, x before y).
RIVO_API void sineline_reset(SINELINE *line);
// Recomputes every point, then moves the phases on by their speeds.
RIVO_API void sineline_update(SINELINE *line);

// Polyline from point 0 to point count - 1.
RIVO_API void sineline_draw(const SINELINE *line, IMG *img);
// The polyline and its copy with x -> W - x (W, H: the image's size).
RIVO_API void sineline_draw_mirror_x(const SINELINE *line, IMG *img);
// The polyline and its copy with y -> H - y.
RIVO_API void sineline_draw_mirror_y(const SINELINE *line, IMG *img);
// Per segment: (x, y), (W - x, y), (x, H - y), (W - x, H - y).
RIVO_API void sineline_draw_mirror4(const SINELINE *line, IMG *img);
// Per segment: (x, y), (y, x), (W - x, H - y), (W - y, H - x).
RIVO_API void sineline_draw_mirror_diag(const SINELINE *line, IMG *img);
// Per segment the eight reflections of the square.
RIVO_API void sineline_draw_mirror8(const SINELINE *line, IMG *img);
// Graph of the y values: point i at (i * dx, y).
RIVO_API void sineline_draw_graph_x(const SINELINE *line, IMG *img, int32_t dx);
// The graph plus a vertical bar from every point down to the line's height - 1.
RIVO_API void sineline_draw_graph_bars(const SINELINE *line, IMG *img, int32_t dx);
// The graph plus a half-transparent (alpha 128) bar under every point.
RIVO_API void sineline_draw_graph_fill(const SINELINE *line, IMG *img, int32_t dx);
// Graph of the x values: point i at (x, i * dy).
RIVO_API void sineline_draw_graph_y(const SINELINE *line, IMG *img, int32_t dy);
// Filled circle at every point but the last, radius half the taxicab step to the next.
RIVO_API void sineline_draw_circles(const SINELINE *line, IMG *img);
// Filled circle at every point but the last, radius an eighth of its taxicab
// distance from the centre, colour color + 8 * i (whole word).
RIVO_API void sineline_draw_rings(const SINELINE *line, IMG *img);
