// Straightforward ellipse and circle outlines and fills, written plainly from
// their stepping rules with every point and span pixel plotted through
// img_set_pixel. They are the yardstick the fast img_ellipse /
// img_fill_ellipse / img_circle / img_fill_circle are measured against and
// must equal pixel for pixel.
#pragma once

#include <cstdint>

struct IMG;

void reference_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                       uint32_t colour);
void reference_fill_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                            uint32_t colour);
void reference_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour);
void reference_fill_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour);

// Outline and fill of one shape from one walk, into two images of the same
// size; the fill's spans are gathered per row, so shapes of any radius draw
// in time proportional to their steps.
void reference_ellipse_both(IMG *outline, IMG *fill, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                            uint32_t colour);
void reference_circle_both(IMG *outline, IMG *fill, int32_t cx, int32_t cy, int32_t r, uint32_t colour);
