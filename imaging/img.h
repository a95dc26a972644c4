// IMG: the 32-bit image record and everything drawn into it. Pixels are
// 0x00RRGGBB words, row-major, stride equal to the width; the word 0 doubles
// as transparent for the transparent blits. The record owns its pixel array.
// Threads: the functions are safe from several threads on distinct images
// (the shared ellipse tables are built once, under a once-flag); one image is
// drawn by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

struct IMG {
    int32_t x;          // place used by img_draw
    int32_t y;
    int32_t width;      // columns
    int32_t height;     // rows
    uint32_t *pixels;   // width * height words; null only after a failed allocation
};

// Prints this module's error message when its debug switch is on.
void img_error(void);

// ---- Lifecycle -------------------------------------------------------------

// A new 16 x 16 black image at (0, 0); null when allocation fails.
IMG *img_new(void);
// Frees the image and clears the caller's handle.
void img_del(IMG **image);
// New zero-filled pixels of width x height; old contents are lost. Sizes are
// stored even when the allocation fails (negative or overflowing sizes act as
// a failed allocation: pixels stay null).
void img_resize(IMG *image, int32_t width, int32_t height);
// A new image with the same size and pixels; x and y are 0.
IMG *img_dup(const IMG *source);
// Copies the pixels into a target of the same size (reports otherwise).
void img_copy(const IMG *source, IMG *target);
// 1 when both have the same size and the same pixel words, else 0.
int img_compare(const IMG *a, const IMG *b);

// ---- Pixel access (clipped silently) ---------------------------------------

void img_set_pixel(IMG *image, int32_t x, int32_t y, uint32_t colour);
// The pixel word at (x, y), 0 outside the image.
uint32_t img_get_pixel(const IMG *image, int32_t x, int32_t y);

// ---- Whole-image operations -------------------------------------------------

void img_clear(IMG *image, uint32_t colour);
// Per channel min(p + c, 255); top byte 0.
void img_add_colour(IMG *image, uint32_t colour);
// Per channel max(p - c, 0); top byte 0.
void img_sub_colour(IMG *image, uint32_t colour);
// Per channel min(p * num / den, 255); needs num >= 0 and den > 0 (reports otherwise).
void img_scale_colour(IMG *image, int32_t num, int32_t den);
// p = ~p & 0x00FFFFFF.
void img_invert(IMG *image);
// Every pixel word equal to `from` becomes `to`.
void img_replace_colour(IMG *image, uint32_t from, uint32_t to);
// target pixel &= mask pixel; both images must be the same size (reports otherwise).
void img_and(const IMG *mask, IMG *target);

// ---- Text form and PNM codec -------------------------------------------------

// "IMG{\nP3\n..." text of the image (caller frees); "IMG{}" for no pixels.
char *img_to_text(const IMG *image);
// Parses the IMG{ text form (never reads past the NUL); null when malformed.
IMG *img_from_text(const char *text);
// Index just after the first occurrence of pattern in text, 0 when absent.
int32_t img_find_text(const char *text, const char *pattern);
// Decodes a P1..P6 image of `size` bytes held in memory; null when malformed or short.
IMG *img_from_pnm(const void *data, size_t size);
// Decodes a P1..P6 file; null when it cannot be read or is malformed or short.
IMG *img_load_pnm(const char *file_name);
// Writes a binary PPM ("P6") file; 1 on success, 0 after a report.
int img_save_ppm(const IMG *image, const char *file_name);

// ---- Blits (source first, target second; clipped to both images) ------------

// Transparent: source words equal to 0 are skipped.
void img_blit(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx, int32_t dy,
              int32_t w, int32_t h);
// Every source word is copied, 0 included.
void img_blit_opaque(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                     int32_t dy, int32_t w, int32_t h);
// target += source as wrapping 32-bit words (carries cross channels).
void img_blit_add(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                  int32_t dy, int32_t w, int32_t h);
// Per channel min(target + source, 255); top byte 0.
void img_blit_add_sat(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                      int32_t dy, int32_t w, int32_t h);
// Transparent blit of the whole source to its own (x, y).
void img_draw(const IMG *source, IMG *target);
// Transparent; source (sx + i, sy + j) lands on (dx + i * step_x, dy + j * step_y).
void img_blit_spaced(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                     int32_t dy, int32_t w, int32_t h, int32_t step_x, int32_t step_y);
// Transparent copy of a source row into a target row, starting at `offset`, wrapping.
void img_blit_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                       int32_t offset);
// As img_blit_row_wrap, but target |= source (zero pixels included).
void img_or_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                     int32_t offset);
// Transparent copy of a source column into a target column, wrapping vertically.
void img_blit_column_wrap(const IMG *source, IMG *target, int32_t source_column,
                          int32_t target_column, int32_t offset);
// Copies the first min(widths) pixels of a source row into a target row.
void img_copy_row(const IMG *source, IMG *target, int32_t source_row, int32_t target_row);

// ---- Rectangles --------------------------------------------------------------

// Filled rectangle, clipped to the image.
void img_fill_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
// Outline; drawn only when the whole rectangle lies inside (reports otherwise).
void img_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
// Bitwise NOT of whole words (top byte becomes 0xFF), clipped to the image.
void img_invert_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h);

// ---- Resampling --------------------------------------------------------------

// Resamples the whole source into the target's current size.
void img_scale(const IMG *source, IMG *target);
// A new image ~1.414 times the size holding the source turned about its
// centre by `angle` sine-table steps (angle 0 is a half turn).
IMG *img_rotate(const IMG *source, int32_t angle);
// min(|a|,|b|) + 1 counts splitting max(|a|,|b|) into near-equal runs (the
// last is a leftover); caller frees.
int32_t *img_run_lengths(int32_t a, int32_t b);
// min(|a|,|b|) counts filled symmetrically from both ends; caller frees.
int32_t *img_run_lengths_mirrored(int32_t a, int32_t b);

// ---- Lines and spans (both end points included) ------------------------------

void img_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
// Stepped from both ends towards the middle (mirror-symmetric halves).
void img_line_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       uint32_t colour);
// Writes pixel words directly; draws only when both ends lie inside.
void img_line_unclipped(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                        uint32_t colour);
// New array: count n, then n values x, y, x, y, ... of the line's points; caller frees.
int32_t *img_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// Horizontal span on row y between x0 and x1 (either order), clipped.
void img_hline(IMG *image, int32_t y, int32_t x0, int32_t x1, uint32_t colour);
// Vertical span on column x between y0 and y1 (either order), clipped.
void img_vline(IMG *image, int32_t x, int32_t y0, int32_t y1, uint32_t colour);

// ---- Circles and ellipses (radii made non-negative first) --------------------

void img_fill_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour);
void img_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour);
// Outline from the sine table, eight points per step, repeated points skipped.
void img_circle_sine(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour);
// Outline, four points per step; radii up to 32767.
void img_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry, uint32_t colour);
// Filled, two spans per step; radii up to 32767.
void img_fill_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                      uint32_t colour);

// One filled ellipse of a list: centre, radii and colour as img_fill_ellipse takes them.
struct IMG_ELLIPSE {
    int32_t x, y, rx, ry;
    uint32_t colour;
};
// The n filled ellipses of the list: the same pixels as img_fill_ellipse of
// each in list order (nothing for n <= 0; a null list with n > 0 is reported).
// Long lists of small ellipses that cover each other often are much faster.
void img_fill_ellipses(IMG *image, const IMG_ELLIPSE *list, int32_t n);
