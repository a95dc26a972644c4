// Raster bars: a colour table and a moving position in it.
// RASTER: `count` colours, a 16.16 `position` and `speed`; drawing paints each
// row (or column) of an image in one colour taken from consecutive entries.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// Raster bars: a colour table and a moving position in it.
struct RASTER {
    int32_t position;   // 16.16; position >> 16 is the entry for row 0
    int32_t speed;      // 16.16 entries per raster_step
    int32_t count;      // number of colours
    uint32_t *colours;  // owned table of 0x00RRGGBB words
};

// Prints this module's error message when its debug switch is on.
RIVO_API void raster_error(void);

// New raster: 256 black colours, position 0, speed 1.0..1.5 (one rand draw).
RIVO_API RASTER *raster_new(void);
// Frees the table and the record and clears the handle.
RIVO_API void raster_del(RASTER **r);
// New table of n black colours, position 0, speed kept; n <= 0 rejected.
RIVO_API void raster_set_size(RASTER *r, int32_t n);
// Every colour of the table becomes black.
RIVO_API void raster_clear(RASTER *r);
// True when counts and colours are equal (position and speed ignored).
RIVO_API bool raster_compare(const RASTER *a, const RASTER *b);
// Copies colours, position and speed between rasters of equal count.
RIVO_API void raster_copy(const RASTER *src, RASTER *dst);
// raster_new (one rand draw) sized and filled like r.
RIVO_API RASTER *raster_dup(const RASTER *r);

// position += speed, wrapped into 0..count*65536.
RIVO_API void raster_step(RASTER *r);
// Paints row y in colours[((position >> 16) + y) mod count].
RIVO_API void raster_draw_rows(const RASTER *r, IMG *img);
// As raster_draw_rows, each row mixed in with alpha 0..256.
RIVO_API void raster_draw_rows_alpha(const RASTER *r, IMG *img, int32_t alpha);
// Paints column x in colours[((position >> 16) + x) mod count].
RIVO_API void raster_draw_columns(const RASTER *r, IMG *img);
// Box blur of width 2*radius+1 (centre counted twice), wrapping at the end.
RIVO_API void raster_smooth(RASTER *r, int32_t radius);

// Opens and closes the file; returns a fresh raster when it opened. Reads nothing.
RIVO_API RASTER *raster_load(const char *name);
// Opens the file for writing and closes it; true when it opened. Writes nothing.
RIVO_API bool raster_save(const RASTER *r, const char *name);
