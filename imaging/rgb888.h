// RGB888: pure helpers on 0x00RRGGBB colour words (saturating sum and
// difference, average, grey brightening and darkening, byte packing) and three
// span painters that take the colour before the coordinates.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;

// Prints this module's error message when its debug switch is on.
RIVO_API void rgb888_error(void);

// Per channel min(a + b, 255); top byte 0.
RIVO_API uint32_t rgb888_add(uint32_t a, uint32_t b);
// Per channel max(a - b, 0); top byte 0.
RIVO_API uint32_t rgb888_sub(uint32_t a, uint32_t b);
// Per channel (a + b) / 2 rounded down; top byte 0.
RIVO_API uint32_t rgb888_average(uint32_t a, uint32_t b);
// rgb888_add of the grey level g (g in all three channels).
RIVO_API uint32_t rgb888_brighten(uint32_t colour, uint8_t g);
// rgb888_sub of the grey level g.
RIVO_API uint32_t rgb888_darken(uint32_t colour, uint8_t g);
// amount < 0 darkens by -amount, otherwise brightens by amount (-255..255;
// the level is taken as a byte, so other amounts act modulo 256).
RIVO_API uint32_t rgb888_shade(uint32_t colour, int32_t amount);
// Red and blue exchanged, green kept; top byte 0.
RIVO_API uint32_t rgb888_to_bgr(uint32_t colour);
// Red and blue exchanged, green kept; top byte 0 (the inverse of rgb888_to_bgr).
RIVO_API uint32_t rgb888_from_bgr(uint32_t colour);
// Writes red, green, blue into bytes[0..2] and returns bytes (null: reported, null).
RIVO_API uint8_t *rgb888_to_bytes(uint32_t colour, uint8_t *bytes);
// The colour word 0x00RRGGBB of the three bytes.
RIVO_API uint32_t rgb888_from_bytes(uint8_t red, uint8_t green, uint8_t blue);

// Span on row y from x0 to x1, clipped to the image; nothing when x0 > x1.
RIVO_API void rgb888_hline(IMG *image, uint32_t colour, int32_t y, int32_t x0, int32_t x1);
// Span on column x from y0 to y1, clipped; nothing when y0 > y1.
RIVO_API void rgb888_vline(IMG *image, uint32_t colour, int32_t x, int32_t y0, int32_t y1);
// As rgb888_hline, each pixel mixed per channel as
// (p * (256 - alpha) + colour * alpha) / 256; alpha is held to 0..256.
RIVO_API void rgb888_hline_alpha(IMG *image, uint32_t colour, int32_t y, int32_t x0, int32_t x1,
                                 int32_t alpha);
