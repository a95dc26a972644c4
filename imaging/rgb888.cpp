// RGB888: colour word helpers and span painters. Colours are 0x00RRGGBB;
// every helper works on each channel in its own bit position, so no carry or
// borrow crosses from one channel into the next, and computed results have a
// top byte of 0. The helpers are pure; the span painters write straight into
// the image's pixel array after clipping the span once.
#include "imaging/rgb888.h"

#include "host/int.h"
#include "host/module.h"
#include "imaging/img.h"

RIVO_IDENTITY(rgb888, "RGB888  ", "20121129", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(rgb888, 0, "RGB888 error\n");

// The three channel masks, each in its own bit position.
static const uint32_t rgb888_masks[3] = {0xFF0000u, 0x00FF00u, 0x0000FFu};

uint32_t rgb888_add(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (uint32_t m : rgb888_masks) {
        uint32_t s = (a & m) + (b & m);  // at most 2 * m: no spill past the next channel's top
        out |= s > m ? m : s;
    }
    return out;
}

uint32_t rgb888_sub(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (uint32_t m : rgb888_masks) {
        uint32_t ca = a & m, cb = b & m;
        out |= ca > cb ? ca - cb : 0;
    }
    return out;
}

uint32_t rgb888_average(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (uint32_t m : rgb888_masks) out |= (((a & m) + (b & m)) >> 1) & m;
    return out;
}

uint32_t rgb888_brighten(uint32_t colour, uint8_t g) {
    return rgb888_add(colour, g * 0x10101u);
}

uint32_t rgb888_darken(uint32_t colour, uint8_t g) {
    return rgb888_sub(colour, g * 0x10101u);
}

uint32_t rgb888_shade(uint32_t colour, int32_t amount) {
    if (amount < 0) return rgb888_darken(colour, (uint8_t)wrap_neg(amount));
    return rgb888_brighten(colour, (uint8_t)amount);
}

uint32_t rgb888_to_bgr(uint32_t colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

uint32_t rgb888_from_bgr(uint32_t colour) { return rgb888_to_bgr(colour); }

uint8_t *rgb888_to_bytes(uint32_t colour, uint8_t *bytes) {
    if (!bytes) {
        rgb888_error();
        return nullptr;
    }
    bytes[0] = (uint8_t)(colour >> 16);
    bytes[1] = (uint8_t)(colour >> 8);
    bytes[2] = (uint8_t)colour;
    return bytes;
}

uint32_t rgb888_from_bytes(uint8_t red, uint8_t green, uint8_t blue) {
    return ((uint32_t)red << 16) | ((uint32_t)green << 8) | blue;
}

// One channel of the alpha mix; alpha is already held to 0..256.
static uint32_t rgb888_mix(uint32_t p, uint32_t colour, uint32_t alpha) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t cp = (p >> shift) & 0xFF, cc = (colour >> shift) & 0xFF;
        out |= ((cp * (256 - alpha) + cc * alpha) >> 8) << shift;
    }
    return out;
}

// Clips [lo, hi] to [0, size - 1]; false when nothing is left.
static bool rgb888_clip(int32_t &lo, int32_t &hi, int32_t size) {
    if (lo < 0) lo = 0;
    if (hi > size - 1) hi = size - 1;
    return lo <= hi;
}

static bool rgb888_usable(const IMG *image) {
    if (image && image->pixels) return true;
    rgb888_error();
    return false;
}

void rgb888_hline(IMG *image, uint32_t colour, int32_t y, int32_t x0, int32_t x1) {
    if (!rgb888_usable(image)) return;
    if (y < 0 || y >= image->height || !rgb888_clip(x0, x1, image->width)) return;
    uint32_t *row = image->pixels + (size_t)y * (size_t)image->width;
    for (int32_t x = x0; x <= x1; x++) row[x] = colour;
}

void rgb888_vline(IMG *image, uint32_t colour, int32_t x, int32_t y0, int32_t y1) {
    if (!rgb888_usable(image)) return;
    if (x < 0 || x >= image->width || !rgb888_clip(y0, y1, image->height)) return;
    for (int32_t y = y0; y <= y1; y++) image->pixels[(size_t)y * (size_t)image->width + x] = colour;
}

void rgb888_hline_alpha(IMG *image, uint32_t colour, int32_t y, int32_t x0, int32_t x1,
                        int32_t alpha) {
    if (!rgb888_usable(image)) return;
    if (y < 0 || y >= image->height || !rgb888_clip(x0, x1, image->width)) return;
    uint32_t a = alpha < 0 ? 0 : alpha > 256 ? 256 : (uint32_t)alpha;
    uint32_t *row = image->pixels + (size_t)y * (size_t)image->width;
    for (int32_t x = x0; x <= x1; x++) row[x] = rgb888_mix(row[x], colour, a);
}
