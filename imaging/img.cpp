// IMG: the 32-bit image record (x, y, width, height, owned row-major pixels of
// 0x00RRGGBB words) and everything drawn into it: lifecycle, pixel access,
// whole-image operations, the "IMG{" text form, the PNM decoders and the PPM
// writer, blits, rectangles, resampling, lines, spans, circles and ellipses.
// Limits: at most 2^31 - 1 pixels per image; decoders take maxval as 255.
#include "imaging/img.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/int.h"
#include "host/module.h"

RIVO_IDENTITY(img, "IMG     ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(img, 0, "IMG error\n");

// ---- Lifecycle -------------------------------------------------------------

// Number of pixel words for a size, or -1 when the size is negative or the
// count would not fit a signed 32-bit index (treated as a failed allocation).
static int64_t img_pixel_count(int32_t width, int32_t height) {
    if (width < 0 || height < 0) return -1;
    int64_t n = (int64_t)width * height;
    if (n > INT32_MAX) return -1;
    return n;
}

// Zero-filled pixel array; an empty image still gets one word so that its
// pixels are present (absent pixels mean a failed allocation).
static uint32_t *img_alloc_pixels(int32_t width, int32_t height) {
    int64_t n = img_pixel_count(width, height);
    if (n < 0) return nullptr;
    return (uint32_t *)calloc(n > 0 ? (size_t)n : 1, sizeof(uint32_t));
}

static size_t img_size(const IMG *image) {
    return (size_t)image->width * (size_t)image->height;
}

IMG *img_new(void) {
    IMG *image = (IMG *)calloc(1, sizeof(IMG));
    if (!image) {
        img_error();
        return nullptr;
    }
    image->width = 16;
    image->height = 16;
    image->pixels = img_alloc_pixels(16, 16);
    if (!image->pixels) {
        free(image);
        img_error();
        return nullptr;
    }
    return image;
}

void img_del(IMG **image) {
    if (!image || !*image) {
        img_error();
        return;
    }
    free((*image)->pixels);
    free(*image);
    *image = nullptr;
}

void img_resize(IMG *image, int32_t width, int32_t height) {
    if (!image) {
        img_error();
        return;
    }
    free(image->pixels);
    image->pixels = img_alloc_pixels(width, height);
    image->width = width;
    image->height = height;
}

IMG *img_dup(const IMG *source) {
    if (!source) {
        img_error();
        return nullptr;
    }
    IMG *copy = img_new();
    if (!copy) return nullptr;
    img_resize(copy, source->width, source->height);
    if (!copy->pixels) {
        img_del(&copy);
        img_error();
        return nullptr;
    }
    if (source->pixels) memcpy(copy->pixels, source->pixels, img_size(source) * sizeof(uint32_t));
    return copy;
}

void img_copy(const IMG *source, IMG *target) {
    if (!source || !target || !source->pixels || !target->pixels ||
        source->width != target->width || source->height != target->height) {
        img_error();
        return;
    }
    memmove(target->pixels, source->pixels, img_size(source) * sizeof(uint32_t));
}

int img_compare(const IMG *a, const IMG *b) {
    if (!a || !b) {
        img_error();
        return 0;
    }
    if (a->width != b->width || a->height != b->height) return 0;
    if (!a->pixels || !b->pixels) return a->pixels == b->pixels;
    return memcmp(a->pixels, b->pixels, img_size(a) * sizeof(uint32_t)) == 0;
}

// ---- Pixel access ----------------------------------------------------------

void img_set_pixel(IMG *image, int32_t x, int32_t y, uint32_t colour) {
    if (!image || !image->pixels) {
        img_error();
        return;
    }
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
    image->pixels[(size_t)y * (size_t)image->width + (size_t)x] = colour;
}

uint32_t img_get_pixel(const IMG *image, int32_t x, int32_t y) {
    if (!image) {
        img_error();
        return 0;
    }
    if (!image->pixels) return 0;
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return 0;
    return image->pixels[(size_t)y * (size_t)image->width + (size_t)x];
}

// ---- Whole-image operations ------------------------------------------------

// True when the image can be walked; reports otherwise.
static bool img_usable(const IMG *image) {
    if (!image || !image->pixels) {
        img_error();
        return false;
    }
    return true;
}

void img_clear(IMG *image, uint32_t colour) {
    if (!img_usable(image)) return;
    uint32_t *p = image->pixels;
    size_t n = img_size(image);
    for (size_t i = 0; i < n; i++) p[i] = colour;
}

// Each channel is added in its own bit position and compared with its own
// full mask, so no carry crosses into the next channel.
static uint32_t img_add_sat(uint32_t p, uint32_t c) {
    uint32_t r = (p & 0xFF0000) + (c & 0xFF0000);
    uint32_t g = (p & 0xFF00) + (c & 0xFF00);
    uint32_t b = (p & 0xFF) + (c & 0xFF);
    if (r > 0xFF0000) r = 0xFF0000;
    if (g > 0xFF00) g = 0xFF00;
    if (b > 0xFF) b = 0xFF;
    return r | g | b;
}

static uint32_t img_sub_sat(uint32_t p, uint32_t c) {
    uint32_t pr = p & 0xFF0000, pg = p & 0xFF00, pb = p & 0xFF;
    uint32_t cr = c & 0xFF0000, cg = c & 0xFF00, cb = c & 0xFF;
    uint32_t r = pr > cr ? pr - cr : 0;
    uint32_t g = pg > cg ? pg - cg : 0;
    uint32_t b = pb > cb ? pb - cb : 0;
    return r | g | b;
}

void img_add_colour(IMG *image, uint32_t colour) {
    if (!img_usable(image)) return;
    uint32_t *p = image->pixels;
    size_t n = img_size(image);
    for (size_t i = 0; i < n; i++) p[i] = img_add_sat(p[i], colour);
}

void img_sub_colour(IMG *image, uint32_t colour) {
    if (!img_usable(image)) return;
    uint32_t *p = image->pixels;
    size_t n = img_size(image);
    for (size_t i = 0; i < n; i++) p[i] = img_sub_sat(p[i], colour);
}

// One channel scaled; 64-bit so a large numerator cannot overflow.
static uint32_t img_scale_channel(uint32_t v, int32_t num, int32_t den) {
    int64_t s = (int64_t)v * num / den;
    return s > 255 ? 255u : (uint32_t)s;
}

void img_scale_colour(IMG *image, int32_t num, int32_t den) {
    // A zero or negative divisor (or a negative factor) has no meaning here;
    // it is refused rather than divided by.
    if (!img_usable(image)) return;
    if (num < 0 || den <= 0) {
        img_error();
        return;
    }
    uint32_t *p = image->pixels;
    size_t n = img_size(image);
    for (size_t i = 0; i < n; i++) {
        uint32_t v = p[i];
        p[i] = img_scale_channel((v >> 16) & 0xFF, num, den) << 16 |
               img_scale_channel((v >> 8) & 0xFF, num, den) << 8 |
               img_scale_channel(v & 0xFF, num, den);
    }
}

void img_invert(IMG *image) {
    if (!img_usable(image)) return;
    uint32_t *p = image->pixels;
    size_t n = img_size(image);
    for (size_t i = 0; i < n; i++) p[i] = ~p[i] & 0x00FFFFFF;
}

void img_replace_colour(IMG *image, uint32_t from, uint32_t to) {
    if (!img_usable(image)) return;
    uint32_t *p = image->pixels;
    size_t n = img_size(image);
    for (size_t i = 0; i < n; i++)
        if (p[i] == from) p[i] = to;
}

void img_and(const IMG *mask, IMG *target) {
    if (!img_usable(mask) || !img_usable(target)) return;
    // Different sizes would walk past the smaller array: refused.
    if (mask->width != target->width || mask->height != target->height) {
        img_error();
        return;
    }
    const uint32_t *m = mask->pixels;
    uint32_t *p = target->pixels;
    size_t n = img_size(mask);
    for (size_t i = 0; i < n; i++) p[i] &= m[i];
}
