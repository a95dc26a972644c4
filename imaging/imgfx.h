// IMGFX: whole-image effects (blurs, glows, mosaics, sprinkle, scrolling),
// line, span and point variants, and copies of IMG blits and helpers that
// report through this module. Effects read neighbours outside the image as 0
// (black) and write pixels whose top byte is 0.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// Prints this module's error message when its debug switch is on.
RIVO_API void imgfx_error(void);

// ---- Filters: source -> target, same size, two different images ---------------
// Each channel is the window's weighted sum divided by the sum of the weights,
// rounded down. Window pixels outside the image count as 0.

// (2r + 1) x (2r + 1) square, weights 1; r < 0 is reported.
RIVO_API void imgfx_blur_box(const IMG *source, IMG *target, int32_t r);
// Row window x - r .. x + r, weights 1; r < 0 is reported.
RIVO_API void imgfx_blur_h(const IMG *source, IMG *target, int32_t r);
// Row windows of radius rr, rg, rb for red, green, blue, by running sums; a
// negative radius does nothing (no report). The frame's blur, (2, 2, 2).
RIVO_API void imgfx_blur_h_rgb(const IMG *source, IMG *target, int32_t rr, int32_t rg, int32_t rb);
// Weights 1 1 1 / 3.
RIVO_API void imgfx_blur_h3(const IMG *source, IMG *target);
// Weights 1 2 1 / 4.
RIVO_API void imgfx_blur_h121(const IMG *source, IMG *target);
// Weights 1 1 4 1 1 / 8.
RIVO_API void imgfx_blur_h5(const IMG *source, IMG *target);
// Weights 1 1 1 2 1 1 1 / 8.
RIVO_API void imgfx_blur_h7(const IMG *source, IMG *target);
// Weights 1 2 1 / 2 4 2 / 1 2 1, divided by 16.
RIVO_API void imgfx_blur_3x3(const IMG *source, IMG *target);

// Glows: each channel min(centre + sum of (neighbour >> k), 255). k >= 8
// shifts every neighbour out (a copy); k < 0 is reported.
RIVO_API void imgfx_glow_h3(const IMG *source, IMG *target, int32_t k);
// Neighbours x - 2, x - 1, x + 1, x + 2: the frame's glow, k = 3.
RIVO_API void imgfx_glow_h5(const IMG *source, IMG *target, int32_t k);
// As imgfx_glow_h5 with the neighbours x - 3 .. x + 3.
RIVO_API void imgfx_glow_h7(const IMG *source, IMG *target, int32_t k);
// As imgfx_glow_h3 with the eight neighbours of the 3 x 3 square.
RIVO_API void imgfx_glow_3x3(const IMG *source, IMG *target, int32_t k);
// Neighbours x - r .. x + r, the centre among them (so it counts once more, shifted).
RIVO_API void imgfx_glow_h(const IMG *source, IMG *target, int32_t r, int32_t k);

// ---- Mosaics (in place; blocks bw x bh, both >= 1, else reported) -----------

// Each block takes its top-left pixel.
RIVO_API void imgfx_pixelate(IMG *image, int32_t bw, int32_t bh);
// Each block takes its average colour.
RIVO_API void imgfx_pixelate_average(IMG *image, int32_t bw, int32_t bh);
// Each block takes a random pixel of itself (two random_next draws per block).
RIVO_API void imgfx_pixelate_random(IMG *image, int32_t bw, int32_t bh);
// Centred grid of an even number of blocks; each takes the pixel at its centre.
RIVO_API void imgfx_pixelate_centred(IMG *image, int32_t bw, int32_t bh);
// Centred grid; each block takes its average colour.
RIVO_API void imgfx_pixelate_average_centred(IMG *image, int32_t bw, int32_t bh);
// Per-channel average of the block clipped to the image (0 when nothing is left).
RIVO_API uint32_t imgfx_block_average(const IMG *image, int32_t x, int32_t y, int32_t w, int32_t h);
// A pixel of the clipped block: row from the first random_next, column from the
// second (both are drawn even when nothing is left, which gives 0).
RIVO_API uint32_t imgfx_block_random(const IMG *image, int32_t x, int32_t y, int32_t w, int32_t h);

// ---- Sprinkle, scrolling, fit check ---------------------------------------------

// count times: sprite pixel (rand() mod width, then rand() mod height) stored at
// the sprite's own x, y plus that offset in the target, black included.
RIVO_API void imgfx_sprinkle(IMG *target, const IMG *sprite, int32_t count);
// imgfx_scroll_rows (dx) when dx != 0, then imgfx_scroll_vertical (dy) when dy != 0.
RIVO_API void imgfx_scroll(IMG *image, int32_t dx, int32_t dy);
// imgfx_scroll_row of every row by n.
RIVO_API void imgfx_scroll_rows(IMG *image, int32_t n);
// n > 0 moves row y left by n, n < 0 right by -n; vacated pixels become 0.
RIVO_API void imgfx_scroll_row(IMG *image, int32_t y, int32_t n);
// n > 0 moves the content up n rows, n < 0 down; vacated rows become 0.
RIVO_API void imgfx_scroll_vertical(IMG *image, int32_t n);
// As the scrolls, but vacated pixels keep their old values.
RIVO_API void imgfx_smear(IMG *image, int32_t dx, int32_t dy);
// As imgfx_scroll_rows, vacated pixels keeping their values.
RIVO_API void imgfx_smear_rows(IMG *image, int32_t n);
// As imgfx_scroll_row, vacated pixels keeping their values.
RIVO_API void imgfx_smear_row(IMG *image, int32_t y, int32_t n);
// As imgfx_scroll_vertical, vacated rows keeping their values.
RIVO_API void imgfx_smear_vertical(IMG *image, int32_t n);
// image (x, y) = old image ((x + dx) mod width, (y + dy) mod height), through
// the scratch image of the same size (different sizes: nothing, no report).
RIVO_API void imgfx_scroll_wrap(IMG *image, IMG *scratch, int32_t dx, int32_t dy);
// 1 when all three exist and the first is at least as wide and as high as the
// third; otherwise reports and gives 0. Changes nothing.
RIVO_API int imgfx_check_fit(const IMG *first, const IMG *second, const IMG *third);

// ---- Blits and rectangles ------------------------------------------------------

// Transparent blit averaging per channel: target = (target >> 1 & 0x7F7F7F) +
// (source >> 1 & 0x7F7F7F) where the source word is not 0.
RIVO_API void imgfx_blit_blend(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                               int32_t dy, int32_t w, int32_t h);
// imgfx_blit_blend of the whole source to its own x, y.
RIVO_API void imgfx_draw_blend(const IMG *source, IMG *target);
// Pixel ^= colour over a rectangle wholly inside the image (reports otherwise).
RIVO_API void imgfx_xor_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
// b = a * b as wrapping 32-bit words, pixel by pixel; same size (reports otherwise).
RIVO_API void imgfx_multiply(const IMG *a, IMG *b);

// ---- Copies of IMG operations (same behaviour, IMGFX reports) ------------------

// As img_scale.
RIVO_API void imgfx_scale(const IMG *source, IMG *target);
// As img_rotate.
RIVO_API IMG *imgfx_rotate(const IMG *source, int32_t angle);
// As img_sub_colour.
RIVO_API void imgfx_sub_colour(IMG *image, uint32_t colour);
// As img_and.
RIVO_API void imgfx_and(const IMG *mask, IMG *target);
// As img_invert.
RIVO_API void imgfx_invert(IMG *image);
// As img_replace_colour.
RIVO_API void imgfx_replace_colour(IMG *image, uint32_t from, uint32_t to);
// As img_blit_row_wrap.
RIVO_API void imgfx_blit_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                                  int32_t offset);
// As img_or_row_wrap.
RIVO_API void imgfx_or_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                                int32_t offset);
// As img_blit_column_wrap.
RIVO_API void imgfx_blit_column_wrap(const IMG *source, IMG *target, int32_t source_column,
                                     int32_t target_column, int32_t offset);
// As img_blit_spaced.
RIVO_API void imgfx_blit_spaced(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                                int32_t dy, int32_t w, int32_t h, int32_t step_x, int32_t step_y);
// As img_copy_row.
RIVO_API void imgfx_copy_row(const IMG *source, IMG *target, int32_t source_row, int32_t target_row);
// As img_blit_add.
RIVO_API void imgfx_blit_add(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                             int32_t dy, int32_t w, int32_t h);
// As img_blit_opaque.
RIVO_API void imgfx_blit_opaque(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                                int32_t dy, int32_t w, int32_t h);
// As img_blit_add_sat.
RIVO_API void imgfx_blit_add_sat(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                                 int32_t dy, int32_t w, int32_t h);
// As img_fill_rect.
RIVO_API void imgfx_fill_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
// As img_rect.
RIVO_API void imgfx_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
// As img_invert_rect.
RIVO_API void imgfx_invert_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h);
// As img_hline.
RIVO_API void imgfx_hline(IMG *image, int32_t y, int32_t x0, int32_t x1, uint32_t colour);
// As img_vline.
RIVO_API void imgfx_vline(IMG *image, int32_t x, int32_t y0, int32_t y1, uint32_t colour);
// As img_run_lengths.
RIVO_API int32_t *imgfx_run_lengths(int32_t a, int32_t b);
// As img_run_lengths_mirrored.
RIVO_API int32_t *imgfx_run_lengths_mirrored(int32_t a, int32_t b);
// As img_line_points.
RIVO_API int32_t *imgfx_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// As img_find_text.
RIVO_API int32_t imgfx_find_text(const char *text, const char *pattern);

// ---- Lines, points and spans ----------------------------------------------------

// Exactly img_line.
RIVO_API void imgfx_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
// Stepped from both ends towards the middle, as img_line_two_ends.
RIVO_API void imgfx_line_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                  uint32_t colour);
// As imgfx_line_two_ends, each point with imgfx_plot_blend.
RIVO_API void imgfx_line_blend_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                        uint32_t colour);
// As imgfx_line_two_ends, each point with imgfx_plot_add.
RIVO_API void imgfx_line_add_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                      uint32_t colour);
// img_line's points; colour1 chosen more and more often towards the second end.
RIVO_API void imgfx_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                int32_t y1, uint32_t colour1);
// Parallel imgfx_lines; nothing (no report) for a null image or thickness < 1.
RIVO_API void imgfx_thick_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                               uint32_t colour, int32_t thickness);
// Parallel imgfx_dither_lines by the rule of imgfx_thick_line.
RIVO_API void imgfx_thick_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                      int32_t y1, uint32_t colour1, int32_t thickness);
// Colour interpolated per channel in 16.16; a single point in colour0.
RIVO_API void imgfx_gradient_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                  int32_t y1, uint32_t colour1);
// As imgfx_gradient_line; a single point in rgb888_average (colour0, colour1).
RIVO_API void imgfx_gradient_line_avg(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                      int32_t y1, uint32_t colour1);
// As imgfx_gradient_line_avg, every point plotted with imgfx_plot_add.
RIVO_API void imgfx_gradient_line_add(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                      int32_t y1, uint32_t colour1);
// Inside the image: per channel (pixel + colour) / 2; outside nothing.
RIVO_API void imgfx_plot_blend(IMG *image, int32_t x, int32_t y, uint32_t colour);
// Inside the image: per channel min(pixel + colour, 255); outside nothing.
RIVO_API void imgfx_plot_add(IMG *image, int32_t x, int32_t y, uint32_t colour);
// As imgfx_hline, each pixel mixed per channel (p * (256 - alpha) + colour *
// alpha) / 256; alpha is held to 0..256.
RIVO_API void imgfx_hline_alpha(IMG *image, int32_t y, int32_t x0, int32_t x1, uint32_t colour,
                                int32_t alpha);
// As imgfx_hline_alpha, down column x.
RIVO_API void imgfx_vline_alpha(IMG *image, int32_t x, int32_t y0, int32_t y1, uint32_t colour,
                                int32_t alpha);
// Outline from the sine table, four points per step; needs the centre inside
// and r > 0 (reports otherwise).
RIVO_API void imgfx_circle_sine(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour);
