// Straightforward versions of scene-level drawing: the wave mesh kept as an
// OBJ2D of 8192 segments, copied, coloured and drawn through obj2d_draw every
// frame. Tests prove the scenes' own drawing bit-identical to these.
#pragma once

#include <cstdint>

struct IMG;

// Draws the scene's parameters from the generator as the scene's set-up does
// (the fade and post-processing switches are left alone).
void reference_mesh_setup(void);
// One frame into image: the mesh computed in the frame before, mirrored and
// moved, then the next mesh computed; `frames` is the timer's frame count.
void reference_mesh_frame(IMG *image, int32_t frames);
