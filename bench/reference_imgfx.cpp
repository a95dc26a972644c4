// Reference filters: every read through img_get_pixel (outside is 0), every
// write through img_set_pixel, channels in unsigned 32-bit integers.
#include "bench/reference_imgfx.h"

#include "imaging/img.h"

static uint32_t reference_red(const IMG *s, int32_t x, int32_t y) { return (img_get_pixel(s, x, y) >> 16) & 0xFF; }
static uint32_t reference_green(const IMG *s, int32_t x, int32_t y) { return (img_get_pixel(s, x, y) >> 8) & 0xFF; }
static uint32_t reference_blue(const IMG *s, int32_t x, int32_t y) { return img_get_pixel(s, x, y) & 0xFF; }

void reference_imgfx_blur_h_rgb(const IMG *source, IMG *target, int32_t rr, int32_t rg, int32_t rb) {
    if (!source || !target || rr < 0 || rg < 0 || rb < 0) return;
    for (int32_t y = 0; y < target->height; y++) {
        uint32_t sr = 0, sg = 0, sb = 0;
        for (int32_t x = -rr; x <= rr; x++) sr += reference_red(source, x, y);
        for (int32_t x = -rg; x <= rg; x++) sg += reference_green(source, x, y);
        for (int32_t x = -rb; x <= rb; x++) sb += reference_blue(source, x, y);
        for (int32_t x = 0; x < target->width; x++) {
            uint32_t p = ((sr / (2 * (uint32_t)rr + 1)) << 16) | ((sg / (2 * (uint32_t)rg + 1)) << 8) |
                         (sb / (2 * (uint32_t)rb + 1));
            img_set_pixel(target, x, y, p);
            sr -= reference_red(source, x - rr, y);
            sr += reference_red(source, x + rr + 1, y);
            sg -= reference_green(source, x - rg, y);
            sg += reference_green(source, x + rg + 1, y);
            sb -= reference_blue(source, x - rb, y);
            sb += reference_blue(source, x + rb + 1, y);
        }
    }
}

void reference_imgfx_glow_h5(const IMG *source, IMG *target, int32_t k) {
    if (!source || !target || k < 0 || k > 31) return;
    for (int32_t y = target->height - 1; y >= 0; y--) {
        for (int32_t x = target->width - 1; x >= 0; x--) {
            uint32_t r = reference_red(source, x, y), g = reference_green(source, x, y),
                     b = reference_blue(source, x, y);
            for (int32_t i = -2; i <= 2; i++) {
                if (i == 0) continue;
                r += reference_red(source, x + i, y) >> k;
                g += reference_green(source, x + i, y) >> k;
                b += reference_blue(source, x + i, y) >> k;
            }
            if (r > 255) r = 255;
            if (g > 255) g = 255;
            if (b > 255) b = 255;
            img_set_pixel(target, x, y, (r << 16) | (g << 8) | b);
        }
    }
}
