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

static bool backmove_shows(const IMG *image) { return image->pixels && image->width > 0 && image->height > 0; }

// The first grid place from `offset` on, `step` apart, where a tile `size`
// long reaches past 0.
static int64_t backmove_first(int64_t offset, int64_t size, int64_t step) {
    if (offset + size > 0) return offset;
    return offset + ((-size - offset) / step + 1) * step;
}

// The last grid place from `offset` (below `end`) on that lies below `end`.
static int64_t backmove_last(int64_t offset, int64_t end, int64_t step) {
    return offset + (end - 1 - offset) / step * step;
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
    // Tiles wholly above or left of the target, or drawn from or onto an image
    // without pixels (or with a side of 0), would be clipped away whole: the
    // walk starts past them or is not made (an offset of INT32_MIN, or an
    // empty target two thousand million pixels wide, would cost billions of
    // draws).
    const IMG *tile = b->tile, *target = b->target;
    int64_t width = target->width, height = target->height;
    bool any = backmove_shows(tile) && backmove_shows(target);
    for (int64_t ty = backmove_first(b->offset_y, tile->height, b->tile_height); any && ty < height; ty += b->tile_height)
        for (int64_t tx = backmove_first(b->offset_x, tile->width, b->tile_width); tx < width; tx += b->tile_width) {
            b->tile->x = (int32_t)tx;
            b->tile->y = (int32_t)ty;
            img_draw(b->tile, b->target);
        }
    // The tile is left at the grid's last place, drawn on or not.
    if (b->offset_x < width && b->offset_y < height) {
        b->tile->x = (int32_t)backmove_last(b->offset_x, width, b->tile_width);
        b->tile->y = (int32_t)backmove_last(b->offset_y, height, b->tile_height);
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
