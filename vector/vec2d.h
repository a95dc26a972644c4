// Integer 2D point with a colour.
// VEC2D: x, y in pixels (y grows downwards) and a 0x00RRGGBB colour.
// Rotations read the sine table of SEG2D; no operation checks for overflow.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// An integer point with a colour.
struct VEC2D {
    int32_t x;  // pixels from the left
    int32_t y;  // pixels from the top, growing downwards
    uint32_t color;  // 0x00RRGGBB, white after vec2d_new
};

// Prints this module's error message when its debug switch is on.
RIVO_API void vec2d_error(void);

// New vector (0, 0), white; null on failure.
RIVO_API VEC2D *vec2d_new(void);
// Frees the vector and clears the handle.
RIVO_API void vec2d_del(VEC2D **v);
// True when x, y and colour are all equal.
RIVO_API bool vec2d_compare(const VEC2D *a, const VEC2D *b);
// Copies x, y and colour.
RIVO_API void vec2d_copy(const VEC2D *source, VEC2D *target);
// A new vector with the same x, y and colour; null on failure.
RIVO_API VEC2D *vec2d_dup(const VEC2D *source);

// Sets the pixel (x, y) to the vector's colour, clipped.
RIVO_API void vec2d_plot(const VEC2D *v, IMG *img);
// Plots the vector rotated by angle and moved by offset; v is unchanged.
RIVO_API void vec2d_plot_transformed(const VEC2D *v, int32_t angle, const VEC2D *offset, IMG *img);

// target += offset (the second argument changes).
RIVO_API void vec2d_add(const VEC2D *offset, VEC2D *target);
// target -= amount (the first argument changes).
RIVO_API void vec2d_sub(VEC2D *target, const VEC2D *amount);
// x = -x, y = -y (wrapping).
RIVO_API void vec2d_negate(VEC2D *v);
// Rotation about the origin by angle table steps, clockwise on screen.
RIVO_API void vec2d_rotate(VEC2D *v, int32_t angle);
// x *= k, y *= k (wrapping).
RIVO_API void vec2d_scale(VEC2D *v, int32_t k);
// Division truncating towards zero; a zero divisor is reported, v unchanged.
RIVO_API void vec2d_divide(VEC2D *v, int32_t d);
// x *= factors.x, y *= factors.y.
RIVO_API void vec2d_mul(VEC2D *v, const VEC2D *factors);
// a.x - b.x
RIVO_API int32_t vec2d_dx(const VEC2D *a, const VEC2D *b);
// a.y - b.y
RIVO_API int32_t vec2d_dy(const VEC2D *a, const VEC2D *b);
// x*x + y*y in 32-bit arithmetic; -1 for a null vector.
RIVO_API int32_t vec2d_length2(const VEC2D *v);
