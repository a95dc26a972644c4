// Straightforward lines, written plainly from their stepping rules: every
// step of the walk taken, every point plotted through img_set_pixel (or the
// byte map's set_pixel, or the blend / add plots), clipped point by point.
// They are the yardstick the clipped walks must equal pixel for pixel.
#pragma once

#include <cstdint>

struct IMG;
struct BYTEMAP;

void reference_img_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
void reference_img_line_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
void reference_imgfx_line_blend_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                         uint32_t colour);
void reference_imgfx_line_add_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                       uint32_t colour);
void reference_imgfx_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                                 uint32_t colour1);
void reference_imgfx_gradient_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                   int32_t y1, uint32_t colour1);
void reference_imgfx_gradient_line_add(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                       int32_t y1, uint32_t colour1);
void reference_imgfx_thick_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                       int32_t y1, uint32_t colour1, int32_t thickness);
// Every parallel of a thick line (x0 <= x1 after swapping the ends with their
// colours), each drawn by `line`, offsets wrapping as 32-bit values.
using reference_dither_fn = void (*)(IMG *, int32_t, int32_t, uint32_t, int32_t, int32_t, uint32_t);
void reference_thick_parallels(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                               uint32_t colour1, int32_t thickness, reference_dither_fn line);
void reference_bytemap_line(BYTEMAP *map, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value);
