// SINESCAN: one image row coloured from a sum of three sine waves kept in
// 16.16 fixed point, shaded from one colour or looked up in a 2048-colour
// palette (black, then blue rising through cyan to white).
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;
struct SAMPLE;

// One wave, all four words in 16.16 fixed point (table steps and pixels).
struct SINESCAN_WAVE {
    int32_t phase;      // table angle << 16, kept under 1024 << 16
    int32_t speed;      // phase change per update
    int32_t step;       // phase change from one column to the next
    int32_t amplitude;  // only the signed 16-bit whole part is used
};

// One image row coloured from three sine waves.
struct SINESCAN {
    int32_t x;                // 0
    int32_t y;                // the row drawn
    int32_t z;                // 0
    int32_t width;            // columns computed and drawn; 256 at creation
    int32_t height;           // range of the random row; 256 at creation
    int32_t depth;            // 256; not used
    SINESCAN_WAVE waves[3];   // the three waves summed per column
    SAMPLE *wave;             // owned: one sum per column
    uint32_t color;           // base colour of sinescan_draw_shade
    SAMPLE *palette;          // owned: 2048 colours
};

// Prints "SINESCAN error\n" when the debug switch is on.
RIVO_API void sinescan_error(void);

// 256 x 256, both samples, then sinescan_reset (11 rand draws). Null on failure.
RIVO_API SINESCAN *sinescan_new(void);
// Destroys both samples and the record, clears the handle.
RIVO_API void sinescan_del(SINESCAN **scan);
// 1 when the twelve wave words and the colour are equal.
RIVO_API int sinescan_compare(const SINESCAN *s, const SINESCAN *t);
// Copies x..depth, the twelve wave words and the colour (not the samples).
RIVO_API void sinescan_copy(const SINESCAN *source, SINESCAN *target);
// sinescan_new, then the wave words and the colour of the source.
RIVO_API SINESCAN *sinescan_dup(const SINESCAN *source);

// Random row, phases, speeds, steps and colour; fills the palette, sizes the wave.
RIVO_API void sinescan_reset(SINESCAN *scan);
// Recomputes the wave column by column, then moves the phases on by their speeds.
RIVO_API void sinescan_update(SINESCAN *scan);
// Row y: the colour brightened or darkened by the wave (-128..127).
RIVO_API void sinescan_draw_shade(const SINESCAN *scan, IMG *img);
// Row y: palette colours, the middle of the palette for a zero wave.
RIVO_API void sinescan_draw_palette(const SINESCAN *scan, IMG *img);
