// BACKMOVE: an endlessly drifting wallpaper. The record holds the grid offset,
// the velocity and the repeat distance; the tile and the target belong to the
// caller. The offsets stay in -(repeat - 1) .. 0 so the first tile always
// covers the target's top-left corner. A repeat distance below 1 (which would
// tile forever or divide by zero) is refused.
#include "effects/backmove.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "imaging/img.h"

RIVO_IDENTITY(backmove, "BACKMOVE", "20130317", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(backmove, 0, "BACKMOVE error\n");

BACKMOVE *backmove_new(void) {
    BACKMOVE *b = (BACKMOVE *)calloc(1, sizeof(BACKMOVE));
    if (!b) {
        backmove_error();
        return nullptr;
    }
    b->width = b->height = b->depth = 256;
    b->tile_width = b->tile_height = 16;
    backmove_randomize(b);
    return b;
}

void backmove_del(BACKMOVE **b) {
    if (!b || !*b) {
        backmove_error();
        return;
    }
    free(*b);
    *b = nullptr;
}

void backmove_randomize(BACKMOVE *b) {
    if (!b) {
        backmove_error();
        return;
    }
    b->dx = random_rand() % 9 - 4;
    b->dy = random_rand() % 9 - 4;
}

void backmove_draw(BACKMOVE *b) {
    if (!b || !b->tile || !b->target) {
        backmove_error();
        return;
    }
    if (b->tile_width < b->tile->width) b->tile_width = b->tile->width;
    if (b->tile_height < b->tile->height) b->tile_height = b->tile->height;
    if (b->tile_width < 1 || b->tile_height < 1) {
        backmove_error();
        return;
    }
    // 64-bit positions: a far-off offset must not wrap round and loop again.
    for (int64_t ty = b->offset_y; ty < b->target->height; ty += b->tile_height)
        for (int64_t tx = b->offset_x; tx < b->target->width; tx += b->tile_width) {
            b->tile->x = (int32_t)tx;
            b->tile->y = (int32_t)ty;
            img_draw(b->tile, b->target);
        }
}

// (offset + d) mod repeat, C remainder, then pulled below 1 so the grid keeps
// a tile over the first row and column.
static int32_t backmove_wrap(int32_t offset, int32_t d, int32_t repeat) {
    int64_t r = ((int64_t)offset + d) % repeat;
    if (r > 0) r -= repeat;
    return (int32_t)r;
}

void backmove_step(BACKMOVE *b) {
    if (!b || !b->tile || !b->target || b->tile_width < 1 || b->tile_height < 1) {
        backmove_error();
        return;
    }
    b->offset_x = backmove_wrap(b->offset_x, b->dx, b->tile_width);
    b->offset_y = backmove_wrap(b->offset_y, b->dy, b->tile_height);
    // New velocities come from (rand() AND 7) - 3, so they lie in -3 .. 4.
    if ((random_rand() & 255) == 0) b->dx = (random_rand() & 7) - 3;
    if ((random_rand() & 255) == 0) b->dy = (random_rand() & 7) - 3;
}

void backmove_copy(const BACKMOVE *source, BACKMOVE *target) {
    if (!source || !target) {
        backmove_error();
        return;
    }
    int32_t z = target->z, depth = target->depth;
    *target = *source;
    target->z = z;
    target->depth = depth;
}

BACKMOVE *backmove_dup(const BACKMOVE *source) {
    if (!source) {
        backmove_error();
        return nullptr;
    }
    BACKMOVE *b = backmove_new();
    if (b) backmove_copy(source, b);
    return b;
}

int backmove_compare(const BACKMOVE *a, const BACKMOVE *b) {
    if (!a || !b) {
        backmove_error();
        return 0;
    }
    return a->x == b->x && a->y == b->y && a->z == b->z && a->width == b->width &&
           a->height == b->height && a->depth == b->depth && a->offset_x == b->offset_x &&
           a->offset_y == b->offset_y && a->dx == b->dx && a->dy == b->dy &&
           a->tile_width == b->tile_width && a->tile_height == b->tile_height &&
           a->tile == b->tile && a->target == b->target;
}
