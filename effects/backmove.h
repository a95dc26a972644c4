// BACKMOVE: a target filled with copies of a small tile laid on a grid that
// drifts with a velocity changing now and then at random.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// A moving background: a tile repeated over the image, the grid offset stepping.
struct BACKMOVE {
    int32_t x, y, z;                // 0
    int32_t width, height, depth;   // 256
    int32_t offset_x, offset_y;     // grid offset of the first tile, -(repeat - 1) .. 0
    int32_t dx, dy;                 // velocity in pixels per step
    int32_t tile_width;             // repeat distance of the grid; 16 at creation
    int32_t tile_height;            // repeat distance of the grid down the image
    IMG *tile;                      // the image repeated; not owned
    IMG *target;                    // drawn into; not owned
};

// Prints this module's error message when its debug switch is on.
RIVO_API void backmove_error(void);

// Header 0, 0, 0, 256, 256, 256; offsets 0; repeat 16 x 16; then
// backmove_randomize (two draws).
RIVO_API BACKMOVE *backmove_new(void);
// Frees the record (not the images) and clears *b.
RIVO_API void backmove_del(BACKMOVE **b);
// dx = rand() mod 9 - 4, then dy the same way.
RIVO_API void backmove_randomize(BACKMOVE *b);
// Raises the repeat to the tile's size, then tiles the target from the offset
// with transparent draws. Needs tile and target.
RIVO_API void backmove_draw(BACKMOVE *b);
// Moves the offsets by the velocity (kept in -(repeat - 1) .. 0), then each
// velocity component changes with chance 1/256 (two draws, plus one per change).
RIVO_API void backmove_step(BACKMOVE *b);
// Copies every field but z and depth.
RIVO_API void backmove_copy(const BACKMOVE *source, BACKMOVE *target);
// backmove_new (two draws), then backmove_copy.
RIVO_API BACKMOVE *backmove_dup(const BACKMOVE *source);
// 1 when every field is equal.
RIVO_API int backmove_compare(const BACKMOVE *a, const BACKMOVE *b);
