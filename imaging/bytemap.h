// BYTEMAP: the one-channel sibling of IMG, a rectangle of 8-bit values (grey
// levels, masks, height fields) with the same lifecycle, text and PNM forms,
// blits and drawing, plus value operations that only make sense for bytes.
#pragma once

#include "host/export.h"

#include <cstddef>
#include <cstdint>

struct IMG;
struct SAMPLE;

// An image of one byte per pixel.
struct BYTEMAP {
    int32_t x;          // position, as in IMG; no operation reads it
    int32_t y;          // position, as in IMG; no operation reads it
    int32_t width;      // columns
    int32_t height;     // rows
    uint8_t *pixels;    // width * height values, row-major; null only after a failed allocation
};

// Prints this module's error message when its debug switch is on.
RIVO_API void bytemap_error(void);

// ---- Lifecycle and access ------------------------------------------------------

// A new 16 x 16 map of zeros at (0, 0); null when allocation fails.
RIVO_API BYTEMAP *bytemap_new(void);
// Frees the map and clears the caller's handle.
RIVO_API void bytemap_del(BYTEMAP **map);
// New zero-filled values of width x height; old contents are lost. Sizes are
// stored even when the allocation fails (negative or overflowing sizes act as
// a failed allocation: pixels stay null).
RIVO_API void bytemap_resize(BYTEMAP *map, int32_t width, int32_t height);
// A new map with the same size and values; x and y are 0.
RIVO_API BYTEMAP *bytemap_dup(const BYTEMAP *source);
// Copies the values into a target of the same size (reports otherwise).
RIVO_API void bytemap_copy(const BYTEMAP *source, BYTEMAP *target);
// 1 when both have the same size and the same values, else 0.
RIVO_API int bytemap_compare(const BYTEMAP *a, const BYTEMAP *b);
// Every value becomes 0.
RIVO_API void bytemap_clear(BYTEMAP *map);
// Stores the value at (x, y); points outside are dropped silently.
RIVO_API void bytemap_set_pixel(BYTEMAP *map, int32_t x, int32_t y, uint8_t value);
// The value at (x, y), 0 outside the map.
RIVO_API uint8_t bytemap_get_pixel(const BYTEMAP *map, int32_t x, int32_t y);

// ---- Text and files -------------------------------------------------------------

// "BYTEMAP{\nP3\n..." text, each value as a grey triple (caller frees);
// "BYTEMAP{}" for no pixels.
RIVO_API char *bytemap_to_text(const BYTEMAP *map);
// Parses the BYTEMAP{ text (never reads past the NUL); each pixel is the mean
// of its three numbers. Null when malformed or short.
RIVO_API BYTEMAP *bytemap_from_text(const char *text);
// Index just after the first occurrence of pattern in text, 0 when absent.
RIVO_API int32_t bytemap_find_text(const char *text, const char *pattern);
// Decodes a P1..P6 image of `size` bytes held in memory into grey values;
// null when malformed or short.
RIVO_API BYTEMAP *bytemap_from_pnm(const void *data, size_t size);
// Decodes a P1..P6 file into grey values; null when it cannot be read or is
// malformed or short.
RIVO_API BYTEMAP *bytemap_load_pnm(const char *file_name);
// Writes a binary PGM ("P5") file; 1 on success, 0 after a report.
RIVO_API int bytemap_save_pgm(const BYTEMAP *map, const char *file_name);

// ---- Blits (source first, target second; clipped to both maps) ----------------------

// Transparent: source values 0 are skipped.
RIVO_API void bytemap_blit(const BYTEMAP *source, BYTEMAP *target, int32_t sx, int32_t sy, int32_t dx,
                           int32_t dy, int32_t w, int32_t h);
// Every source value is copied, 0 included.
RIVO_API void bytemap_blit_opaque(const BYTEMAP *source, BYTEMAP *target, int32_t sx, int32_t sy,
                                  int32_t dx, int32_t dy, int32_t w, int32_t h);
// Transparent; source (sx + i, sy + j) lands on (dx + i * step_x, dy + j * step_y).
RIVO_API void bytemap_blit_spaced(const BYTEMAP *source, BYTEMAP *target, int32_t sx, int32_t sy,
                                  int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step_x,
                                  int32_t step_y);
// Transparent copy of a source row into a target row, starting at `offset`, wrapping.
RIVO_API void bytemap_blit_row_wrap(const BYTEMAP *source, BYTEMAP *target, int32_t source_row,
                                    int32_t target_row, int32_t offset);
// As bytemap_blit_row_wrap, but target |= source (zero values included).
RIVO_API void bytemap_or_row_wrap(const BYTEMAP *source, BYTEMAP *target, int32_t source_row,
                                  int32_t target_row, int32_t offset);
// Transparent copy of a source column into a target column, wrapping vertically.
RIVO_API void bytemap_blit_column_wrap(const BYTEMAP *source, BYTEMAP *target, int32_t source_column,
                                       int32_t target_column, int32_t offset);
// The whole source at (x, y): every covered target value becomes
// (source + target) / 2, source value 0 included.
RIVO_API void bytemap_draw_blend(const BYTEMAP *source, BYTEMAP *target, int32_t x, int32_t y);
// target &= mask per value; both maps must be the same size (reports otherwise).
RIVO_API void bytemap_and(const BYTEMAP *mask, BYTEMAP *target);
// Resamples the whole source into the target's current size.
RIVO_API void bytemap_scale(const BYTEMAP *source, BYTEMAP *target);
// A new map ~1.414 times the size holding the source turned about its centre
// by `angle` sine-table steps (angle 0 is a half turn).
RIVO_API BYTEMAP *bytemap_rotate(const BYTEMAP *source, int32_t angle);

// ---- Drawing -------------------------------------------------------------------------

// Filled rectangle; a negative w (h) first moves x (y) by w (h) and makes it
// positive; clipped to the map.
RIVO_API void bytemap_fill_rect(BYTEMAP *map, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t value);
// Filled only when the whole rectangle lies inside (reports otherwise).
RIVO_API void bytemap_fill_rect_inside(BYTEMAP *map, int32_t x, int32_t y, int32_t w, int32_t h,
                                       uint8_t value);
// Outline; drawn only when the whole rectangle lies inside (reports otherwise).
RIVO_API void bytemap_rect(BYTEMAP *map, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t value);
// Outline from the sine table, four points per step; needs the centre inside and r > 0.
RIVO_API void bytemap_circle_sine(BYTEMAP *map, int32_t cx, int32_t cy, int32_t r, uint8_t value);
// Columns x to x + len inclusive of row y, clipped; reports a span wholly outside.
RIVO_API void bytemap_hline(BYTEMAP *map, int32_t x, int32_t y, int32_t len, uint8_t value);
// Rows y to y + len inclusive of column x, clipped; reports a span wholly outside.
RIVO_API void bytemap_vline(BYTEMAP *map, int32_t x, int32_t y, int32_t len, uint8_t value);
// 16.16 line that leaves out its end point (the left end when x0 > x1 is
// swapped in first); reports a line wholly outside.
RIVO_API void bytemap_line(BYTEMAP *map, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value);

// ---- Value operations (all width * height values) ----------------------------------

// b = (b + v) mod 256.
RIVO_API void bytemap_add_value(BYTEMAP *map, int32_t v);
// b = max(b - v, 0).
RIVO_API void bytemap_sub_value(BYTEMAP *map, int32_t v);
// Every value equal to `from` becomes `to`.
RIVO_API void bytemap_replace_value(BYTEMAP *map, uint8_t from, uint8_t to);
// b = 255 - b.
RIVO_API void bytemap_invert(BYTEMAP *map);
// b = table's value number b; the table holds at least 256 values (read as
// one sequence), else reported.
RIVO_API void bytemap_remap(BYTEMAP *map, const BYTEMAP *table);
// b = (base + (random_next() & mask)) mod 256, one draw per value from the
// last value to the first.
RIVO_API void bytemap_noise(BYTEMAP *map, int32_t base, int32_t mask);
// image pixel = palette value number b; same size and a palette of at least
// 256 colour words, else reported.
RIVO_API void bytemap_to_img(const BYTEMAP *map, IMG *image, const SAMPLE *palette);

// ---- Helpers shared with IMG -----------------------------------------------------------

// min(|a|,|b|) + 1 counts splitting max(|a|,|b|) into near-equal runs; caller frees.
RIVO_API int32_t *bytemap_run_lengths(int32_t a, int32_t b);
// New array: count n, then n values x, y, x, y, ... of the line's points; caller frees.
RIVO_API int32_t *bytemap_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
