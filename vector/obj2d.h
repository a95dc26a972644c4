// 2D line object and its brace text format.
// OBJ2D: a named set of SEG2D segments drawn scaled, rotated and offset.
// obj2d_parse reads the brace text into a LIST of OBJ2D handles.
#pragma once

#include "host/export.h"

#include <cstdint>

struct VEC2D;
struct SEG2D;
struct LIST;
struct IMG;
struct SAMPLE;

// A 2D line object: segments with a position, scale, angle and colour.
struct OBJ2D {
    char *name;          // set by the "name" keyword inside an object
    char *version;       // only replaced when already present
    char *author;        // as version
    char *extra;         // filled by nothing; copied by obj2d_copy
    char *type;          // as version
    VEC2D *position;     // offset added after scale and rotation; (0, 0)
    VEC2D *size;         // cell size (16, 16); copied, never drawn with
    VEC2D *scale;        // per-axis integer factors; (1, 1)
    int32_t angle;       // rotation in sine-table steps; 0
    uint32_t color;      // last colour given to obj2d_set_color; 0
    int32_t farthest;    // index in points of the farthest point, -1 for none
    LIST *points;        // VEC2D handles shared with the segments: a of k at 2k, b at 2k+1
    LIST *segments;      // SEG2D handles in the order they were added
};

// Prints this module's error message when its debug switch is on.
RIVO_API void obj2d_error(void);

// Empty object: new lists, position (0,0), size (16,16), scale (1,1), farthest -1.
RIVO_API OBJ2D *obj2d_new(void);
// Destroys the three vectors, the segments (and so the points), both lists,
// the texts and the record; clears *o.
RIVO_API void obj2d_del(OBJ2D **o);

// Pushes the segment and its a then b into points; offers both to the farthest
// record. The object owns the segment from then on.
RIVO_API void obj2d_add_segment(OBJ2D *o, SEG2D *s);
// Records points[index] as the farthest point, returning 1, when the record is -1
// or out of range or the point is strictly longer than the recorded one; else 0.
RIVO_API int obj2d_is_farther(OBJ2D *o, int32_t index);
// Rescans every point from the last down; among equal maxima the highest index wins.
RIVO_API void obj2d_find_farthest(OBJ2D *o);

// Copies points (x, y, colour), position, size, scale, angle, colour, texts
// (as the target's own copies) and farthest; both need the same number of points.
RIVO_API void obj2d_copy(OBJ2D *source, OBJ2D *target);
// Fresh object with as many new segments as source, then obj2d_copy.
RIVO_API OBJ2D *obj2d_dup(OBJ2D *source);
// Sets color and the colour of every point.
RIVO_API void obj2d_set_color(OBJ2D *o, uint32_t color);
// Adds position to both ends of every segment, in place.
RIVO_API void obj2d_translate_segments(OBJ2D *o);

// Each segment, last to first: copy * scale, rotate by angle, + position, seg2d_draw.
RIVO_API void obj2d_draw(OBJ2D *o, IMG *image);
// Each segment as stored.
RIVO_API void obj2d_draw_plain(OBJ2D *o, IMG *image);
// Each segment as stored, each pixel averaged with its colour (seg2d_draw_average).
RIVO_API void obj2d_draw_average(OBJ2D *o, IMG *image);
// Each segment as stored, its colour added with saturation (seg2d_draw_add).
RIVO_API void obj2d_draw_add(OBJ2D *o, IMG *image);
// Every point as stored.
RIVO_API void obj2d_plot_points(OBJ2D *o, IMG *image);
// Every point transformed as obj2d_draw does, in its own colour.
RIVO_API void obj2d_plot_transformed(OBJ2D *o, IMG *image);

// In place on every point: * scale, rotate, + position.
RIVO_API void obj2d_apply_transform(OBJ2D *o);
// Multiplies every point by k, in place (wrapping).
RIVO_API void obj2d_scale(OBJ2D *o, int32_t k);
// d must not be 0 (a zero divisor is reported and nothing changes).
RIVO_API void obj2d_divide(OBJ2D *o, int32_t d);

// Appends a.x, a.y, b.x, b.y of every transformed segment (last to first).
RIVO_API void obj2d_export_coords(OBJ2D *o, SAMPLE *sample);

// Squared distance of the positions within r1 + r2 + r1*r2 (32-bit).
RIVO_API int obj2d_near(OBJ2D *s, OBJ2D *t);
// obj2d_near, then any pair of stored segments with overlapping boxes.
RIVO_API int obj2d_collide(OBJ2D *s, OBJ2D *t);

// New LIST of OBJ2D handles, one per closing brace (a stray "}" pushes null).
// Only one parse at a time: the reader state, including a pending minus sign,
// lives in the module and outlasts the parse.
RIVO_API LIST *obj2d_parse(const char *text);
