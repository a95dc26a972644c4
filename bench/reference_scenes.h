// Straightforward versions of scene-level drawing: the wave mesh kept as an
// OBJ2D of 8192 segments, copied, coloured and drawn through obj2d_draw every
// frame. Tests prove the scenes' own drawing bit-identical to these.
#pragma once

#include <cstdint>

struct IMG;
struct RASTER;

// Draws the scene's parameters from the generator as the scene's set-up does
// (the fade and post-processing switches are left alone).
void reference_mesh_setup(void);
// One frame into image: the mesh computed in the frame before, mirrored and
// moved, then the next mesh computed; `frames` is the timer's frame count.
void reference_mesh_frame(IMG *image, int32_t frames);

// The averaging blit of scene 4's letters, pixel by pixel: every non-zero
// source pixel inside both images becomes the per-channel half-sum with the
// target pixel under it.
void reference_draw_blend(const IMG *source, IMG *target);
// Scene 4's letter step as its three plain steps: the plasma painted into a
// work image, the picture ANDed into it, the work drawn at (x, y).
void reference_letters_draw(const IMG *picture, const RASTER *plasma, IMG *target, int32_t x, int32_t y, int blend);
// Scene 4's centred averaging mosaic, block by block through img_get_pixel.
void reference_pixelate_average_centred(IMG *image, int32_t bw, int32_t bh);
