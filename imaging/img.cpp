// IMG: the 32-bit image record (x, y, width, height, owned row-major pixels of
// 0x00RRGGBB words) and everything drawn into it: lifecycle, pixel access,
// whole-image operations, the "IMG{" text form, the PNM decoders and the PPM
// writer, blits, rectangles, resampling, lines, spans, circles and ellipses.
// Limits: at most 2^31 - 1 pixels per image; the decoders take every maxval
// as 255; lines, circles and ellipses walk only the steps that can show
// (shapes much larger than the image find them by search before stepping).
#include "imaging/img.h"

#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <mutex>

#include "host/int.h"
#include "host/module.h"
#include "host/simd.h"
#include "imaging/img_curve.h"
#include "imaging/img_geom.h"
#include "imaging/img_walk.h"
#include "imaging/pnm.h"
#include "vector/seg2d.h"

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

// True when the image can be walked; reports otherwise.
static bool img_usable(const IMG *image) {
    if (!image || !image->pixels) {
        img_error();
        return false;
    }
    return true;
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
    if (!img_usable(source)) return nullptr;
    IMG *copy = img_new();
    if (!copy) return nullptr;
    img_resize(copy, source->width, source->height);
    if (!copy->pixels) {
        img_del(&copy);
        img_error();
        return nullptr;
    }
    memcpy(copy->pixels, source->pixels, img_size(source) * sizeof(uint32_t));
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

// Every pixel of n words: saturating byte arithmetic four pixels at a time
// from the SSE2 level on, the top byte cleared as the plain versions leave it.
template <int Level, bool add>
static void img_saturate_words(uint32_t *p, size_t n, uint32_t colour) {
    size_t i = 0;
#if SIMD_X86
    if constexpr (Level >= SIMD_SSE2) {
        const __m128i c = _mm_set1_epi32((int)(colour & 0x00FFFFFFu)), keep = _mm_set1_epi32(0x00FFFFFF);
        for (; i + 4 <= n; i += 4) {
            const __m128i v = _mm_loadu_si128((const __m128i *)(p + i));
            const __m128i r = add ? _mm_adds_epu8(v, c) : _mm_subs_epu8(v, c);
            _mm_storeu_si128((__m128i *)(p + i), _mm_and_si128(r, keep));
        }
    }
#endif
    for (; i < n; i++) p[i] = add ? img_add_sat(p[i], colour) : img_sub_sat(p[i], colour);
}

template <int Level>
static void img_add_words(uint32_t *p, size_t n, uint32_t colour) {
    img_saturate_words<Level, true>(p, n, colour);
}

template <int Level>
static void img_sub_words(uint32_t *p, size_t n, uint32_t colour) {
    img_saturate_words<Level, false>(p, n, colour);
}

SIMD_CLONES(img_add_run, img_add_words, void, (uint32_t *p, size_t n, uint32_t colour), (p, n, colour))
SIMD_CLONES(img_sub_run, img_sub_words, void, (uint32_t *p, size_t n, uint32_t colour), (p, n, colour))

template <bool add>
static void img_saturate(IMG *image, uint32_t colour) {
    if (!img_usable(image)) return;
    (add ? img_add_run_clone() : img_sub_run_clone())(image->pixels, img_size(image), colour);
}

void img_add_colour(IMG *image, uint32_t colour) { img_saturate<true>(image, colour); }

void img_sub_colour(IMG *image, uint32_t colour) { img_saturate<false>(image, colour); }

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

// ---- Text form ---------------------------------------------------------------

char *img_to_text(const IMG *image) {
    if (!img_usable(image)) return nullptr;
    const uint32_t *pixels = image->pixels;
    char *text = pnm_text_write("IMG", image->width, image->height, img_size(image),
                                [pixels](size_t i) { return pixels[i]; });
    if (!text) img_error();
    return text;
}

int32_t img_find_text(const char *text, const char *pattern) {
    if (!text || !pattern) {
        img_error();
        return 0;
    }
    return pnm_find(text, pattern);
}

static IMG *img_text_body(const char *text) {
    int32_t width, height;
    const char *s;
    if (!pnm_text_header(text, "IMG", &width, &height, &s)) return nullptr;
    IMG *image = img_new();
    if (!image) return nullptr;
    img_resize(image, width, height);
    if (!image->pixels) {
        img_del(&image);
        return nullptr;
    }
    int64_t n = (int64_t)width * height;
    for (int64_t i = 0; i < n; i++) {
        uint32_t r, g, b;
        if (!pnm_text_sample(&s, &r) || !pnm_text_sample(&s, &g) || !pnm_text_sample(&s, &b)) {
            img_del(&image);
            return nullptr;
        }
        image->pixels[i] = r << 16 | g << 8 | b;
    }
    return image;
}

IMG *img_from_text(const char *text) {
    if (!text) {
        img_error();
        return nullptr;
    }
    IMG *image = img_text_body(text);
    if (!image) img_error();
    return image;
}

// ---- PNM decoders ------------------------------------------------------------

static IMG *img_pnm_decode(pnm_reader *r) {
    pnm_header h;
    if (!pnm_read_header(r, &h)) return nullptr;
    IMG *image = img_new();
    if (!image) return nullptr;
    img_resize(image, (int32_t)h.field[0], (int32_t)h.field[1]);
    uint32_t *pixels = image->pixels;
    // Samples above 255 are the caller's fault: they spill into the
    // neighbouring channels like the unsigned word they become.
    auto put = [pixels](size_t i, int channels, uint32_t a, uint32_t b, uint32_t c) {
        if (channels == PNM_BIT)
            pixels[i] = a ? 0x00FFFFFFu : 0u;
        else if (channels == PNM_GREY)
            pixels[i] = a * 0x10101u;
        else
            pixels[i] = a << 16 | b << 8 | c;
    };
    if (!pixels || !pnm_read_raster(r, h.kind, image->width, image->height, put)) img_del(&image);
    return image;
}

IMG *img_from_pnm(const void *data, size_t size) {
    if (!data) {
        img_error();
        return nullptr;
    }
    pnm_reader r = pnm_reader_memory(data, size);
    IMG *image = img_pnm_decode(&r);
    if (!image) img_error();
    return image;
}

IMG *img_load_pnm(const char *file_name) {
    FILE *file = file_name ? fopen(file_name, "rb") : nullptr;
    if (!file) {
        img_error();
        return nullptr;
    }
    pnm_reader r = pnm_reader_file(file);
    IMG *image = img_pnm_decode(&r);
    fclose(file);
    if (!image) img_error();
    return image;
}

// ---- PPM writer ----------------------------------------------------------------

int img_save_ppm(const IMG *image, const char *file_name) {
    if (!img_usable(image) || !file_name) {
        if (image && image->pixels) img_error();
        return 0;
    }
    if (image->width <= 0 || image->height <= 0) {
        img_error();
        return 0;
    }
    FILE *file = fopen(file_name, "wb");
    if (!file) {
        img_error();
        return 0;
    }
    fprintf(file, "P6\n# RIVO7315 frame\n%d %d\n255\n", image->width, image->height);
    size_t n = img_size(image);
    for (size_t i = 0; i < n; i++) {
        uint32_t p = image->pixels[i];
        uint8_t rgb[3] = {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p};
        fwrite(rgb, 1, 3, file);
    }
    fclose(file);
    return 1;
}

// ---- Blits ---------------------------------------------------------------------

// Clips a source rectangle against both images; false when nothing is transferred.
static bool img_clip_blit(const IMG *source, const IMG *target, int64_t sx, int64_t sy,
                          int64_t dx, int64_t dy, int64_t w, int64_t h, img_geom_span *out) {
    return img_geom_clip_blit(source->width, source->height, target->width, target->height, sx, sy,
                              dx, dy, w, h, out);
}

enum img_blit_mode { IMG_BLIT_KEYED, IMG_BLIT_OPAQUE, IMG_BLIT_ADD, IMG_BLIT_ADD_SAT };

// The inner loops walk one row with a source and a target index and step both
// to the next row; the mode is a template argument so each loop stays tight.
template <img_blit_mode mode>
static void img_blit_rows(const IMG *source, IMG *target, const img_geom_span &c) {
    const uint32_t *s = source->pixels + (size_t)c.sy * (size_t)source->width + (size_t)c.sx;
    uint32_t *t = target->pixels + (size_t)c.dy * (size_t)target->width + (size_t)c.dx;
    for (int32_t j = 0; j < c.h; j++) {
        for (int32_t i = 0; i < c.w; i++) {
            uint32_t v = s[i];
            if constexpr (mode == IMG_BLIT_KEYED) {
                t[i] = v ? v : t[i];  // a select rather than a branch: the loop vectorises
            } else if constexpr (mode == IMG_BLIT_OPAQUE) {
                t[i] = v;
            } else if constexpr (mode == IMG_BLIT_ADD) {
                t[i] += v;
            } else {
                t[i] = img_add_sat(t[i], v);
            }
        }
        s += source->width;
        t += target->width;
    }
}

template <img_blit_mode mode>
static void img_blit_mode_run(const IMG *source, IMG *target, int32_t sx, int32_t sy,
                              int32_t dx, int32_t dy, int32_t w, int32_t h) {
    if (!img_usable(source) || !img_usable(target)) return;
    img_geom_span c;
    if (img_clip_blit(source, target, sx, sy, dx, dy, w, h, &c))
        img_blit_rows<mode>(source, target, c);
}

void img_blit(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx, int32_t dy,
              int32_t w, int32_t h) {
    img_blit_mode_run<IMG_BLIT_KEYED>(source, target, sx, sy, dx, dy, w, h);
}

void img_blit_opaque(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                     int32_t dy, int32_t w, int32_t h) {
    img_blit_mode_run<IMG_BLIT_OPAQUE>(source, target, sx, sy, dx, dy, w, h);
}

void img_blit_add(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                  int32_t dy, int32_t w, int32_t h) {
    img_blit_mode_run<IMG_BLIT_ADD>(source, target, sx, sy, dx, dy, w, h);
}

void img_blit_add_sat(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                      int32_t dy, int32_t w, int32_t h) {
    img_blit_mode_run<IMG_BLIT_ADD_SAT>(source, target, sx, sy, dx, dy, w, h);
}

void img_draw(const IMG *source, IMG *target) {
    if (!source) {
        img_error();
        return;
    }
    img_blit(source, target, 0, 0, source->x, source->y, source->width, source->height);
}

void img_blit_spaced(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                     int32_t dy, int32_t w, int32_t h, int32_t step_x, int32_t step_y) {
    img_geom_blit_spaced(source, target, sx, sy, dx, dy, w, h, step_x, step_y, img_error);
}

void img_blit_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                       int32_t offset) {
    img_geom_row_wrap<true>(source, target, source_row, target_row, offset, img_error);
}

void img_or_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                     int32_t offset) {
    img_geom_row_wrap<false>(source, target, source_row, target_row, offset, img_error);
}

void img_blit_column_wrap(const IMG *source, IMG *target, int32_t source_column,
                          int32_t target_column, int32_t offset) {
    img_geom_column_wrap(source, target, source_column, target_column, offset, img_error);
}

void img_copy_row(const IMG *source, IMG *target, int32_t source_row, int32_t target_row) {
    if (!img_geom_wrap_args(source, target, source_row, target_row, false, img_error)) return;
    int32_t n = source->width < target->width ? source->width : target->width;
    if (n <= 0) return;
    memmove(target->pixels + (size_t)target_row * (size_t)target->width,
            source->pixels + (size_t)source_row * (size_t)source->width, (size_t)n * 4);
}

// ---- Rectangles ------------------------------------------------------------------

// Clips (x, y, w, h) to the image: a negative x shortens w and moves x to 0,
// then w is cut to the width (likewise y, h). False when nothing remains.
static bool img_clip_rect(const IMG *image, int64_t x, int64_t y, int64_t w, int64_t h,
                          img_geom_span *out) {
    if (x < 0) { w += x; x = 0; }
    if (y < 0) { h += y; y = 0; }
    if (w > image->width - x) w = image->width - x;
    if (h > image->height - y) h = image->height - y;
    if (w <= 0 || h <= 0) return false;
    *out = {0, 0, (int32_t)x, (int32_t)y, (int32_t)w, (int32_t)h};
    return true;
}

void img_fill_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    if (!img_usable(image)) return;
    img_geom_span c;
    if (!img_clip_rect(image, x, y, w, h, &c)) return;
    uint32_t *row = image->pixels + (size_t)c.dy * (size_t)image->width + (size_t)c.dx;
    for (int32_t j = 0; j < c.h; j++, row += image->width)
        for (int32_t i = 0; i < c.w; i++) row[i] = colour;
}

void img_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    if (!img_usable(image)) return;
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || (int64_t)x + w > image->width ||
        (int64_t)y + h > image->height) {
        img_error();
        return;
    }
    uint32_t *top = image->pixels + (size_t)y * (size_t)image->width + (size_t)x;
    uint32_t *bottom = top + (size_t)(h - 1) * (size_t)image->width;
    for (int32_t i = 0; i < w; i++) top[i] = bottom[i] = colour;
    for (int32_t j = 0; j < h; j++) {
        uint32_t *row = top + (size_t)j * (size_t)image->width;
        row[0] = row[w - 1] = colour;
    }
}

void img_invert_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!img_usable(image)) return;
    img_geom_span c;
    if (!img_clip_rect(image, x, y, w, h, &c)) return;
    uint32_t *row = image->pixels + (size_t)c.dy * (size_t)image->width + (size_t)c.dx;
    for (int32_t j = 0; j < c.h; j++, row += image->width)
        for (int32_t i = 0; i < c.w; i++) row[i] = ~row[i];
}

// ---- Resampling ------------------------------------------------------------------

// |a| and |b| as big and small, and small + 1 zeroed counts (one spare so
// that an empty split is still an allocation); null, after a report, when
// either is INT32_MIN (no magnitude) or the counts cannot be had.
static int32_t *img_run_alloc(int32_t a, int32_t b, int64_t *big, int64_t *small) {
    int32_t *runs = nullptr;
    if (a != INT32_MIN && b != INT32_MIN) {
        int64_t p = a < 0 ? -(int64_t)a : a, q = b < 0 ? -(int64_t)b : b;
        *big = p > q ? p : q;
        *small = p > q ? q : p;
        runs = (int32_t *)calloc((size_t)*small + 1, 4);
    }
    if (!runs) img_error();
    return runs;
}

int32_t *img_run_lengths(int32_t a, int32_t b) {
    int64_t big, small;
    int32_t *runs = img_run_alloc(a, b, &big, &small);
    if (!runs) return nullptr;
    // Without runs every step lands in the leftover count, which saturates.
    if (small == 0) {
        runs[0] = big < INT32_MAX ? (int32_t)(big + 1) : INT32_MAX;
        return runs;
    }
    // A Bresenham split: run k ends where t * small first reaches (k+1) * big.
    int64_t e = big, k = 0;
    for (int64_t t = 0; t <= big; t++) {
        runs[k]++;
        e -= small;
        if (e < 1) {
            e += big;
            k++;
        }
    }
    return runs;
}

int32_t *img_run_lengths_mirrored(int32_t a, int32_t b) {
    int64_t big, small;
    int32_t *runs = img_run_alloc(a, b, &big, &small);
    if (!runs) return nullptr;
    int64_t e = big, lo = 0, hi = small - 1;
    while (lo <= hi) {
        runs[lo]++;
        e -= small;
        if (e < 1) {
            e += big;
            runs[hi] = runs[lo];
            lo++;
            hi--;
        }
    }
    return runs;
}

void img_scale(const IMG *source, IMG *target) {
    img_geom_scale(source, target, img_run_lengths, img_error);
}

IMG *img_rotate(const IMG *source, int32_t angle) {
    if (!img_usable(source)) return nullptr;
    int64_t nw = img_geom_turned_side(source->width);
    int64_t nh = img_geom_turned_side(source->height);
    if (nw > INT32_MAX || nh > INT32_MAX) {
        img_error();
        return nullptr;
    }
    IMG *image = img_new();
    if (!image) return nullptr;
    img_resize(image, (int32_t)nw, (int32_t)nh);
    if (!image->pixels) {
        img_del(&image);
        img_error();
        return nullptr;
    }
    img_geom_turn(source, image, angle);
    return image;
}

// ---- Lines and spans ---------------------------------------------------------------

// Plots a point given in 64-bit coordinates; points outside are dropped.
static inline void img_plot(IMG *image, int64_t x, int64_t y, uint32_t colour) {
    if ((uint64_t)x < (uint64_t)image->width && (uint64_t)y < (uint64_t)image->height)
        image->pixels[(size_t)y * (size_t)image->width + (size_t)x] = colour;
}

// True when the image has pixels to draw into; reports when it has none at all.
static bool img_drawable(const IMG *image) { return img_usable(image) && img_size(image) != 0; }

// Minor steps taken before each point of a short line (major length below
// 16), worked out when the library is compiled by the error walk of img_line
// along its major axis, so a short line's points need no walk at all.
struct ImgShortSteps {
    uint8_t before[16][16][16];  // [major][minor][point]
};

static constexpr ImgShortSteps img_short_steps = [] {
    ImgShortSteps s{};
    for (int32_t major = 1; major < 16; major++) {
        for (int32_t minor = 0; minor <= major; minor++) {
            int32_t err = major >> 1, taken = 0;
            for (int32_t k = 0; k <= major; k++) {
                s.before[major][minor][k] = (uint8_t)taken;
                err -= minor;
                if (err < 1) {
                    taken++;
                    err += major;
                }
            }
        }
    }
    return s;
}();

// A line whose major length is below 16, its points from the table, each
// plotted when it lies inside the image; false, drawing nothing, for a longer one.
static bool img_short_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    const int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0;
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const bool along_y = ax <= ay;
    const int64_t major = along_y ? ay : ax, minor = along_y ? ax : ay;
    if (major >= 16) return false;
    const int64_t sx = img_walk_sign(dx), sy = img_walk_sign(dy);
    const uint8_t *before = img_short_steps.before[major][minor];
    for (int64_t k = 0; k <= major; k++) {
        img_plot(image, x0 + (along_y ? before[k] : k) * sx, y0 + (along_y ? k : before[k]) * sy, colour);
    }
    return true;
}

// Longer lines walk only their steps inside the image, found before stepping,
// so a line of any length or place costs what it draws.
void img_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    if (!img_drawable(image) || img_short_line(image, x0, y0, x1, y1, colour)) return;
    uint32_t *pixels = image->pixels;
    const size_t stride = (size_t)image->width;
    img_walk_line_inside(x0, y0, x1, y1, image->width, image->height,
                         [&](int64_t x, int64_t y, int64_t) { pixels[(size_t)y * stride + (size_t)x] = colour; });
}

void img_line_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       uint32_t colour) {
    if (!img_drawable(image)) return;
    uint32_t *pixels = image->pixels;
    const size_t stride = (size_t)image->width;
    img_walk_two_ends_inside(x0, y0, x1, y1, image->width, image->height,
                             [&](int64_t x, int64_t y, int64_t) { pixels[(size_t)y * stride + (size_t)x] = colour; });
}

// A longer line's walk, its minor step taken through a mask rather than a
// branch that the error's pattern would mispredict.
static void img_long_unclipped(uint32_t *pixels, ptrdiff_t at, int32_t major, int32_t minor, ptrdiff_t major_step,
                               ptrdiff_t minor_step, uint32_t colour) {
    int32_t err = (major >> 1) - 1;  // one less: the minor step is due when it falls below 0
    for (int32_t n = 0; n <= major; n++) {
        pixels[at] = colour;
        at += major_step;
        err -= minor;
        const int32_t due = err >> 31;  // all ones when the minor step is due
        at += minor_step & due;
        err += major & due;
    }
}

void img_line_unclipped(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                        uint32_t colour) {
    if (!img_usable(image)) return;
    if (x0 < 0 || y0 < 0 || x1 < 0 || y1 < 0 || x0 >= image->width || x1 >= image->width ||
        y0 >= image->height || y1 >= image->height)
        return;
    // Both ends are inside, so every point between them is too: the walk of
    // img_line on an index into the pixels.
    const int32_t dx = x1 - x0, dy = y1 - y0, ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const ptrdiff_t stride = image->width, step_x = dx < 0 ? -1 : dx > 0;
    const ptrdiff_t step_y = dy < 0 ? -stride : dy > 0 ? stride : 0;
    const bool along_y = ax <= ay;
    const int32_t major = along_y ? ay : ax, minor = along_y ? ax : ay;
    const ptrdiff_t major_step = along_y ? step_y : step_x, minor_step = along_y ? step_x : step_y;
    const ptrdiff_t at = (ptrdiff_t)y0 * stride + x0;
    if (major >= 16) {
        img_long_unclipped(image->pixels, at, major, minor, major_step, minor_step, colour);
        return;
    }
    const uint8_t *before = img_short_steps.before[major][minor];
    for (int32_t k = 0; k <= major; k++) image->pixels[at + k * major_step + before[k] * minor_step] = colour;
}

int32_t *img_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0;
    int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    int64_t n = 2 * ((ax > ay ? ax : ay) + 1);
    int32_t *points = n < INT32_MAX ? (int32_t *)calloc((size_t)n + 1, 4) : nullptr;
    if (!points) {
        img_error();
        return nullptr;
    }
    points[0] = (int32_t)n;
    int32_t *out = points + 1;
    // The same walk as img_line's, so the points are the pixels it plots.
    img_walk_steps(x0, y0, ax, ay, img_walk_sign(dx), img_walk_sign(dy), [&](int64_t x, int64_t y) {
        *out++ = (int32_t)x;
        *out++ = (int32_t)y;
    });
    return points;
}

// Fills the part of row y between columns x0 and x1 (x0 <= x1) that lies
// inside the image; the image is known to be usable.
static inline void img_span(IMG *image, int64_t y, int64_t x0, int64_t x1, uint32_t colour) {
    if ((uint64_t)y >= (uint64_t)image->height) return;
    if (x0 < 0) x0 = 0;
    if (x1 > image->width - 1) x1 = image->width - 1;
    uint32_t *row = image->pixels + (size_t)y * (size_t)image->width;
    for (int64_t x = x0; x <= x1; x++) row[x] = colour;
}

void img_hline(IMG *image, int32_t y, int32_t x0, int32_t x1, uint32_t colour) {
    if (!img_usable(image)) return;
    if (x0 > x1) {
        int32_t t = x0;
        x0 = x1;
        x1 = t;
    }
    img_span(image, y, x0, x1, colour);
}

void img_vline(IMG *image, int32_t x, int32_t y0, int32_t y1, uint32_t colour) {
    if (!img_usable(image)) return;
    if (x < 0 || x >= image->width) return;
    if (y0 > y1) {
        int32_t t = y0;
        y0 = y1;
        y1 = t;
    }
    if (y0 < 0) y0 = 0;
    if (y1 > image->height - 1) y1 = image->height - 1;
    for (int32_t y = y0; y <= y1; y++) image->pixels[(size_t)y * (size_t)image->width + (size_t)x] = colour;
}

// ---- Circles ---------------------------------------------------------------------------

// The stop test of walks that run to their end.
struct ImgNever {
    bool operator()(int64_t, int64_t) const { return false; }
};

// The reject test of the circles: nothing of a circle of radius R about
// (cx, cy) can reach the image.
static bool img_circle_outside(const IMG *image, int64_t cx, int64_t cy, int64_t R) {
    return cx + R < 0 || cy + R < 0 || cx - R >= image->width || cy - R >= image->height;
}

static int64_t img_abs64(int64_t v) { return v < 0 ? -v : v; }

// Midpoint-style circle: r shrinks when (r - 1) fits x^2 + r^2 = R^2 better.
// The sums are ordered (x*x - RR first) so that no radius overflows 64 bits.
// The walk stops early once done(x, r) holds, for callers that know no later
// step can show (x only grows, r only shrinks).
// The walk may also start at any column x0 of the path (r there comes from
// img_curve.h) and stop after x1.
template <typename Step, typename Done>
static void img_circle_walk(int64_t R, Step step, Done done, int64_t x0 = 0, int64_t x1 = INT64_MAX) {
    int64_t x = x0, r = x0 ? img_circle_height(R, x0) : R, a = r * r, b = (r - 1) * (r - 1), RR = R * R;
    while (r >= x && x <= x1 && !done(x, r)) {
        step(x, r);
        x++;
        int64_t e1 = img_abs64(x * x - RR + a), e2 = img_abs64(x * x - RR + b);
        if (e2 < e1) {
            r--;
            a = b;
            b = (r - 1) * (r - 1);
        }
    }
}

// Bounds after which the points or spans about (cx, cy) leave the image for
// good: a coordinate c +- s (s growing) once s > far, and c +- s (s
// shrinking) once s < near.
struct ImgCircleBounds {
    int64_t col_far, row_far, col_near, row_near;
};

static int64_t img_circle_far(int64_t c, int64_t size) { return c > size - 1 - c ? c : size - 1 - c; }

static int64_t img_circle_near(int64_t c, int64_t size) {
    if (c < 0) return -c;
    if (c >= size) return c - size + 1;
    return 0;
}

static ImgCircleBounds img_circle_bounds(const IMG *image, int64_t cx, int64_t cy) {
    return {img_circle_far(cx, image->width), img_circle_far(cy, image->height), img_circle_near(cx, image->width),
            img_circle_near(cy, image->height)};
}

// Whether a circle is so much larger than the image that finding its visible
// parts before stepping pays.
static bool img_circle_far(const IMG *image, int64_t R) { return R > (int64_t)image->width + image->height; }

// Every span of the fill on a row is centred on cx, so each row that meets
// the image is filled once with its widest: r(dy) on the rows cy +- dy that
// the walk's x reaches, else the last x whose r(x) still reaches dy.
static void img_fill_circle_far(IMG *image, int64_t cx, int64_t cy, int64_t R, uint32_t colour) {
    const ImgCurveRange rows = img_curve_reach(cy, image->height, R);
    const int64_t end = img_circle_end(R);
    for (int64_t dy = rows.lo; dy <= rows.hi; dy++) {
        const int64_t guess = img_curve_sqrt((img_wide)R * R - (img_wide)dy * dy + dy);
        const int64_t x = dy <= end ? img_circle_height(R, dy) : img_curve_last_near(0, end, guess, [&](int64_t c) {
            return img_circle_at_least(R, c, dy);
        });
        img_span(image, cy + dy, cx - x, cx + x, colour);
        if (dy) img_span(image, cy - dy, cx - x, cx + x, colour);
    }
}

// The outline steps only through the columns whose points meet the image:
// points (cx +- x, cy +- r) need x among the columns and r among the rows
// the image offers, points (cx +- r, cy +- x) the other way round.
static void img_circle_far_outline(IMG *image, int64_t cx, int64_t cy, int64_t R, uint32_t colour) {
    const ImgCurveRange cols = img_curve_reach(cx, image->width, R), rows = img_curve_reach(cy, image->height, R);
    const int64_t end = img_circle_end(R);
    const ImgCurveRange a = img_circle_columns(R, end, rows.lo, rows.hi);
    img_circle_walk(R, [&](int64_t x, int64_t y) {
        img_plot(image, cx + x, cy + y, colour);
        img_plot(image, cx - x, cy + y, colour);
        img_plot(image, cx + x, cy - y, colour);
        img_plot(image, cx - x, cy - y, colour);
    }, ImgNever{}, img_curve_max(a.lo, cols.lo), img_curve_min(a.hi, cols.hi));
    const ImgCurveRange b = img_circle_columns(R, end, cols.lo, cols.hi);
    img_circle_walk(R, [&](int64_t x, int64_t y) {
        img_plot(image, cx + y, cy + x, colour);
        img_plot(image, cx + y, cy - x, colour);
        img_plot(image, cx - y, cy + x, colour);
        img_plot(image, cx - y, cy - x, colour);
    }, ImgNever{}, img_curve_max(b.lo, rows.lo), img_curve_min(b.hi, rows.hi));
}

void img_fill_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour) {
    if (!img_drawable(image)) return;
    int64_t R = img_abs64(r);
    if (img_circle_outside(image, cx, cy, R)) return;
    if (img_circle_far(image, R)) return img_fill_circle_far(image, cx, cy, R, colour);
    const ImgCircleBounds k = img_circle_bounds(image, cx, cy);
    img_circle_walk(R, [&](int64_t x, int64_t y) {
        img_span(image, (int64_t)cy + y, (int64_t)cx - x, (int64_t)cx + x, colour);
        img_span(image, (int64_t)cy - y, (int64_t)cx - x, (int64_t)cx + x, colour);
        img_span(image, (int64_t)cy + x, (int64_t)cx - y, (int64_t)cx + y, colour);
        img_span(image, (int64_t)cy - x, (int64_t)cx - y, (int64_t)cx + y, colour);
    }, [&](int64_t x, int64_t y) {
        // Rows cy +- y gone, and rows cy +- x gone or their spans out of reach.
        return y < k.row_near && (x > k.row_far || y < k.col_near);
    });
}

void img_circle(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour) {
    if (!img_drawable(image)) return;
    int64_t R = img_abs64(r);
    if (img_circle_outside(image, cx, cy, R)) return;
    if (img_circle_far(image, R)) return img_circle_far_outline(image, cx, cy, R, colour);
    const ImgCircleBounds k = img_circle_bounds(image, cx, cy);
    img_circle_walk(R, [&](int64_t x, int64_t y) {
        img_plot(image, (int64_t)cx + x, (int64_t)cy + y, colour);
        img_plot(image, (int64_t)cx - x, (int64_t)cy + y, colour);
        img_plot(image, (int64_t)cx + x, (int64_t)cy - y, colour);
        img_plot(image, (int64_t)cx - x, (int64_t)cy - y, colour);
        img_plot(image, (int64_t)cx + y, (int64_t)cy + x, colour);
        img_plot(image, (int64_t)cx + y, (int64_t)cy - x, colour);
        img_plot(image, (int64_t)cx - y, (int64_t)cy + x, colour);
        img_plot(image, (int64_t)cx - y, (int64_t)cy - x, colour);
    }, [&](int64_t x, int64_t y) {
        // Points (cx +- x, cy +- y) gone, and points (cx +- y, cy +- x) gone.
        return (x > k.col_far || y < k.row_near) && (x > k.row_far || y < k.col_near);
    });
}

void img_circle_sine(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour) {
    if (!img_drawable(image)) return;
    int64_t R = img_abs64(r);
    if (img_circle_outside(image, cx, cy, R)) return;
    int64_t pa = -1, pb = -1;
    // Table values are fractions of 32768: (T * R) >> 15 scales the radius.
    for (int32_t i = 0, j = 256; i < 128; i++, j++) {
        int64_t a = (sine_table[i & sine_mask] * R) >> 15;
        int64_t b = (sine_table[j & sine_mask] * R) >> 15;
        if (a == pa && b == pb) continue;
        // The right-hand points sit one column left of the mirrored left ones.
        img_plot(image, cx + b - 1, cy + a, colour);
        img_plot(image, cx - b, cy + a, colour);
        img_plot(image, cx + b - 1, cy - a, colour);
        img_plot(image, cx - b, cy - a, colour);
        img_plot(image, cx + a - 1, cy + b, colour);
        img_plot(image, cx - a, cy + b, colour);
        img_plot(image, cx + a - 1, cy - b, colour);
        img_plot(image, cx - a, cy - b, colour);
        pa = a;
        pb = b;
    }
}

// ---- Ellipses ----------------------------------------------------------------------------

// The ellipse stepping: from (0, ry) it takes whichever of the steps right,
// diagonal and down keeps |f| = |x^2 B + y^2 A - A B| smallest (ties prefer
// down, then diagonal). Only f1 = f(x + 1, y) is carried, with the running
// differences u = f(x + 1, y - 1) - f1 = -(2y - 1) A and v = f(x + 1, y - 1)
// - f(x, y - 1) = (2x + 1) B, so each step costs additions only; all three are
// fixed by the point, so a walk may start at any point of the path
// (img_curve.h finds them). (Plain branches beat a branch-free choice here:
// the walk takes long runs of one step.) T must hold 2 (r + 2)^4 for the
// larger radius r: int32_t up to r = 150, int64_t up to 32767, __int128 beyond.
// `visit(x, y, down)` sees each point and whether the next step leaves row y.
// The walk from (x0, y0) ends after x passes xstop (<= rx) or y falls below
// ystop (>= 0).
template <typename T, typename Visit>
static void img_ellipse_steps(const ImgEllipseShape &s, int64_t x0, int64_t y0, int64_t xstop, int64_t ystop,
                              Visit visit) {
    const T A = (T)s.A, B = (T)s.B, A2 = 2 * A, B2 = 2 * B;
    T f1 = (T)img_ellipse_f(s, (img_wide)x0 + 1, y0), u = -(T)(2 * y0 - 1) * A, v = (T)(2 * x0 + 1) * B;
    T x = (T)x0, y = (T)y0, xmax = (T)xstop, ymin = (T)ystop;
    while (y >= ymin && x <= xmax) {
        T f2 = f1 + u, f3 = f2 - v;
        T e1 = f1 < 0 ? -f1 : f1, e2 = f2 < 0 ? -f2 : f2, e3 = f3 < 0 ? -f3 : f3;
        if (e3 <= e1 && e3 <= e2) {  // down
            visit((int64_t)x, (int64_t)y, true);
            f1 = f2;
            u += A2;
            y--;
        } else if (e2 <= e1) {  // diagonal (e2 is then also below e3)
            visit((int64_t)x, (int64_t)y, true);
            f1 = f2 + v + B2;
            u += A2;
            v += B2;
            y--;
            x++;
        } else {  // right
            visit((int64_t)x, (int64_t)y, false);
            f1 += v + B2;
            v += B2;
            x++;
        }
    }
}

// The whole walk from (0, ry), or until x passes xstop (-1: rx) or y falls
// below ystop, where a caller knows that no later point can show.
template <typename T, typename Visit>
static void img_ellipse_walk(int64_t rx, int64_t ry, Visit visit, int64_t xstop = -1, int64_t ystop = 0) {
    img_ellipse_steps<T>(img_ellipse_shape(rx, ry), 0, ry, xstop < 0 ? rx : xstop, ystop, visit);
}

// Calls draw(T{}) with the narrowest T that holds the error terms for the
// larger radius r.
template <typename Draw>
static void img_ellipse_width(int64_t r, Draw draw) {
    if (r <= 150)
        draw(int32_t{});
    else if (r <= 32767)
        draw(int64_t{});
    else
        draw(__int128{});
}

// Whether the ellipse's bounding box lies wholly inside, meets, or misses the image.
enum img_box_fit { IMG_BOX_OUTSIDE, IMG_BOX_PARTLY, IMG_BOX_INSIDE };

static img_box_fit img_ellipse_box_in(int64_t width, int64_t height, int64_t cx, int64_t cy, int64_t rx,
                                      int64_t ry) {
    if (cx + rx < 0 || cy + ry < 0 || cx - rx >= width || cy - ry >= height) return IMG_BOX_OUTSIDE;
    if (cx - rx >= 0 && cy - ry >= 0 && cx + rx < width && cy + ry < height) return IMG_BOX_INSIDE;
    return IMG_BOX_PARTLY;
}

static img_box_fit img_ellipse_box(const IMG *image, int64_t cx, int64_t cy, int64_t rx, int64_t ry) {
    return img_ellipse_box_in(image->width, image->height, cx, cy, rx, ry);
}

// Where a walk about (cx, cy) can stop: once x passes max(cx, w - 1 - cx)
// both columns cx +- x lie outside for good, and once y falls below the
// returned row bound both rows cy +- y do (x only grows, y only shrinks).
static int64_t img_ellipse_column_stop(const IMG *image, int64_t cx, int64_t rx) {
    const int64_t far = cx > image->width - 1 - cx ? cx : image->width - 1 - cx;
    return far < rx ? far : rx;
}

static int64_t img_ellipse_row_stop(const IMG *image, int64_t cy) {
    if (cy < 0) return -cy;
    if (cy >= image->height) return cy - image->height + 1;
    return 0;
}

template <typename T>
static void img_ellipse_outline(IMG *image, int64_t cx, int64_t cy, int64_t rx, int64_t ry,
                                uint32_t colour, bool inside) {
    uint32_t *centre = image->pixels;
    size_t stride = (size_t)image->width;
    if (inside) {
        // The whole box is inside: the four points need no test. The two
        // rows move towards the centre row whenever the walk steps down.
        uint32_t *below = centre + ((size_t)cy + (size_t)ry) * stride + (size_t)cx;
        uint32_t *above = centre + ((size_t)cy - (size_t)ry) * stride + (size_t)cx;
        img_ellipse_walk<T>(rx, ry, [&](int64_t x, int64_t, bool down) {
            below[x] = colour;
            below[-x] = colour;
            above[x] = colour;
            above[-x] = colour;
            below -= down ? stride : 0;
            above += down ? stride : 0;
        });
        return;
    }
    // Partly outside: each point is tested, against sizes held in locals so
    // that the stores cannot make the compiler reload them.
    const uint64_t w = (uint64_t)image->width, h = (uint64_t)image->height;
    img_ellipse_walk<T>(rx, ry, [&](int64_t x, int64_t y, bool) {
        uint64_t left = (uint64_t)(cx - x), right = (uint64_t)(cx + x);
        uint64_t top = (uint64_t)(cy - y), bottom = (uint64_t)(cy + y);
        if (bottom < h) {
            if (right < w) centre[bottom * stride + right] = colour;
            if (left < w) centre[bottom * stride + left] = colour;
        }
        if (top < h) {
            if (right < w) centre[top * stride + right] = colour;
            if (left < w) centre[top * stride + left] = colour;
        }
    }, img_ellipse_column_stop(image, cx, rx), img_ellipse_row_stop(image, cy));
}

// ---- Ellipses much larger than the image --------------------------------------------

// Whether a walk about the image is long enough that finding its visible
// parts first pays: the searches cost a few microseconds.
static bool img_ellipse_far(const IMG *image, int64_t rx, int64_t ry) {
    return rx + ry > 2 * ((int64_t)image->width + image->height);
}

// Rows y0 .. y1 of column x, the part inside the image.
static void img_column_run(IMG *image, int64_t x, int64_t y0, int64_t y1, uint32_t colour) {
    if ((uint64_t)x >= (uint64_t)image->width) return;
    y0 = img_curve_max(y0, 0);
    y1 = img_curve_min(y1, image->height - 1);
    for (int64_t y = y0; y <= y1; y++) image->pixels[(size_t)y * (size_t)image->width + (size_t)x] = colour;
}

// An ellipse with one radius 0 is the segment along the other axis, the same
// for the outline and the fill.
static void img_ellipse_segment(IMG *image, int64_t cx, int64_t cy, int64_t rx, int64_t ry, uint32_t colour) {
    if (ry == 0) {
        img_span(image, cy, cx - rx, cx + rx, colour);
        return;
    }
    img_column_run(image, cx, cy - ry, cy + ry, colour);
}

// The outline steps only through the columns of the upper part and the rows
// of the lower part whose points meet the image, and through the short middle.
template <typename T>
static void img_ellipse_outline_far(IMG *image, int64_t cx, int64_t cy, const ImgEllipseShape &s, uint32_t colour) {
    const ImgCurveRange cols = img_curve_reach(cx, image->width, s.rx);
    const ImgCurveRange rows = img_curve_reach(cy, image->height, s.ry);
    if (cols.lo > cols.hi || rows.lo > rows.hi) return;
    auto plot = [&](int64_t x, int64_t y, bool) {
        img_plot(image, cx + x, cy + y, colour);
        img_plot(image, cx - x, cy + y, colour);
        img_plot(image, cx + x, cy - y, colour);
        img_plot(image, cx - x, cy - y, colour);
    };
    const int64_t upper_end = img_ellipse_upper_end(s);
    if (upper_end >= 0) {
        const ImgCurveRange c = img_ellipse_upper_columns(s, upper_end, rows.lo, rows.hi);
        const int64_t first = img_curve_max(c.lo, cols.lo);
        const int64_t last = img_curve_min(img_curve_min(c.hi, cols.hi), upper_end);
        if (first <= last) img_ellipse_steps<T>(s, first, img_ellipse_row(s, first), last, 0, plot);
    }
    const int64_t mx = upper_end + 1, my = upper_end >= 0 ? img_ellipse_row(s, mx) : s.ry;
    const ImgCurvePoint m = img_ellipse_middle(s, mx, my, [&](int64_t x0, int64_t x1, int64_t y0, int64_t y1) {
        if (y0 == y1) {
            img_span(image, cy + y0, cx + x0, cx + x1, colour);
            img_span(image, cy + y0, cx - x1, cx - x0, colour);
            img_span(image, cy - y0, cx + x0, cx + x1, colour);
            img_span(image, cy - y0, cx - x1, cx - x0, colour);
        } else {
            img_column_run(image, cx + x0, cy + y1, cy + y0, colour);
            img_column_run(image, cx - x0, cy + y1, cy + y0, colour);
            img_column_run(image, cx + x0, cy - y0, cy - y1, colour);
            img_column_run(image, cx - x0, cy - y0, cy - y1, colour);
        }
    });
    if (m.y < 0 || m.x > s.rx) return;  // the walk ended
    const ImgCurveRange r = img_ellipse_lower_rows(s, m.y, cols.lo, cols.hi);
    const int64_t bottom = img_curve_max(r.lo, rows.lo), top = img_curve_min(r.hi, rows.hi);
    if (bottom <= top) img_ellipse_steps<T>(s, img_ellipse_column(s, top), top, s.rx, bottom, plot);
}

// The fill draws each row that meets the image once, with the widest x of
// the path on it: found by search in the upper and lower parts, by stepping
// in the middle.
static void img_ellipse_fill_far(IMG *image, int64_t cx, int64_t cy, const ImgEllipseShape &s, uint32_t colour) {
    const ImgCurveRange rows = img_curve_reach(cy, image->height, s.ry);
    if (rows.lo > rows.hi) return;
    auto row = [&](int64_t y, int64_t x) {
        img_span(image, cy + y, cx - x, cx + x, colour);
        if (y) img_span(image, cy - y, cx - x, cx + x, colour);
    };
    const int64_t upper_end = img_ellipse_upper_end(s);
    const int64_t mx = upper_end + 1, my = upper_end >= 0 ? img_ellipse_row(s, mx) : s.ry;
    for (int64_t y = img_curve_max(rows.lo, my + 1); y <= rows.hi; y++)
        row(y, img_ellipse_row_end(s, upper_end, y));
    // Each run's rows take its widest x; a narrower span under a wider one
    // changes nothing.
    const ImgCurvePoint m = img_ellipse_middle(s, mx, my, [&](int64_t, int64_t x1, int64_t y0, int64_t y1) {
        for (int64_t y = img_curve_max(y1, rows.lo); y <= img_curve_min(y0, rows.hi); y++) row(y, x1);
    });
    if (m.y < 0 || m.x > s.rx) return;  // the walk ended
    for (int64_t y = rows.lo; y <= img_curve_min(rows.hi, m.y); y++) row(y, img_ellipse_column(s, y));
}

// ---- Ellipse tables for the radii the benchmark scenes draw -------------------------

// The walk depends on (rx, ry) alone, so for radii below 64 it is run once and
// kept: its points in order (at most rx + ry + 1) for the outline, and for the
// fill the last, widest x it reaches on each row y, -1 for a row it never
// reaches. Each span of the fill is clipped once and stored with the widest
// stores the processor has.
// The tables live in zero-filled static storage, filled the first time a pair
// is drawn, so nothing can fail to allocate. Each is filled once under its own
// once-flag; a drawing thread that finds it ready (the flag below, read with
// acquire) sees every entry, so threads drawing into distinct images share them.
enum { IMG_TABLE_RADII = 64 };

struct ImgEllipseTable {
    int8_t last[IMG_TABLE_RADII];
    uint8_t count;
    uint8_t points[2 * IMG_TABLE_RADII][2];  // x, y in walk order
};

static std::atomic<bool> img_table_ready[IMG_TABLE_RADII][IMG_TABLE_RADII];
static std::once_flag img_table_once[IMG_TABLE_RADII][IMG_TABLE_RADII];
static ImgEllipseTable img_tables[IMG_TABLE_RADII][IMG_TABLE_RADII];

static bool img_tabled(int64_t rx, int64_t ry) { return rx < IMG_TABLE_RADII && ry < IMG_TABLE_RADII; }

static void img_ellipse_table_fill(ImgEllipseTable &t, int64_t rx, int64_t ry) {
    for (int64_t y = 0; y <= ry; y++) t.last[y] = -1;
    int n = 0;
    img_ellipse_walk<int32_t>(rx, ry, [&](int64_t x, int64_t y, bool) {
        t.last[y] = (int8_t)x;
        t.points[n][0] = (uint8_t)x;
        t.points[n][1] = (uint8_t)y;
        n++;
    });
    t.count = (uint8_t)n;
}

static const ImgEllipseTable &img_ellipse_table(int64_t rx, int64_t ry) {
    ImgEllipseTable &t = img_tables[rx][ry];
    if (!img_table_ready[rx][ry].load(std::memory_order_acquire)) {
        std::call_once(img_table_once[rx][ry], [&] {
            img_ellipse_table_fill(t, rx, ry);
            img_table_ready[rx][ry].store(true, std::memory_order_release);
        });
    }
    return t;
}

#if SIMD_X86
// n >= 1 words of one colour in stores aligned to the cache line: the first
// and last lines masked, whole lines between, so no store is split across
// two lines (the lanes masked off are never touched).
SIMD_FOR_AVX512 static void img_run_avx512(uint32_t *p, int64_t n, uint32_t colour) {
    const __m512i v = _mm512_set1_epi32((int)colour);
    const uintptr_t at = (uintptr_t)p;
    uint32_t *line = (uint32_t *)(at & ~(uintptr_t)63);
    const int64_t lead = (int64_t)((at & 63) >> 2), end = lead + n;  // in words from the line's start
    const __mmask16 first = (__mmask16)(0xFFFFu << lead);
    if (end <= 16) {
        _mm512_mask_store_epi32(line, (__mmask16)(first & ((1u << end) - 1)), v);
        return;
    }
    _mm512_mask_store_epi32(line, first, v);
    int64_t i = 16;
    for (; end - i > 16; i += 16) _mm512_store_si512(line + i, v);
    _mm512_mask_store_epi32(line + i, (__mmask16)((1u << (end - i)) - 1), v);
}
#endif

// n >= 1 words of one colour from p with the widest stores the level allows;
// below AVX-512 the last store of a run may overlap the one before it, since
// both write the same colour.
template <int Level>
static inline void img_run(uint32_t *p, int64_t n, uint32_t colour) {
#if SIMD_X86
    typedef uint32_t Words8 __attribute__((vector_size(32)));
    typedef uint32_t Words4 __attribute__((vector_size(16)));
    typedef uint32_t Words2 __attribute__((vector_size(8)));
    if constexpr (Level >= SIMD_AVX512) {
        img_run_avx512(p, n, colour);
        return;
    }
    if constexpr (Level >= SIMD_AVX2) {
        if (n >= 8) {
            const Words8 v = Words8{} + colour;
            for (int64_t i = 0; i + 8 < n; i += 8) memcpy(p + i, &v, sizeof v);
            memcpy(p + n - 8, &v, sizeof v);
            return;
        }
    }
    if constexpr (Level >= SIMD_SSE2) {
        if (n >= 4) {
            const Words4 v = Words4{} + colour;
            for (int64_t i = 0; i + 4 < n; i += 4) memcpy(p + i, &v, sizeof v);
            memcpy(p + n - 4, &v, sizeof v);
            return;
        }
        if (n >= 2) {
            const Words2 v = Words2{} + colour;
            memcpy(p, &v, sizeof v);
            memcpy(p + n - 2, &v, sizeof v);
            return;
        }
        *p = colour;
        return;
    }
#endif
    for (int64_t i = 0; i < n; i++) p[i] = colour;
}

// Columns x0 .. x1 of row y, the part inside the image.
template <int Level>
static inline void img_table_run(IMG *image, int64_t y, int64_t x0, int64_t x1, uint32_t colour) {
    if ((uint64_t)y >= (uint64_t)image->height) return;
    if (x0 < 0) x0 = 0;
    if (x1 > image->width - 1) x1 = image->width - 1;
    if (x0 <= x1) img_run<Level>(image->pixels + (size_t)y * (size_t)image->width + (size_t)x0, x1 - x0 + 1, colour);
}

// The fill: rows cy + dy and cy - dy from cx - last[dy] to cx + last[dy].
template <int Level>
static void img_table_fill(IMG *image, int64_t cx, int64_t cy, int64_t ry, const ImgEllipseTable &t,
                           uint32_t colour) {
    for (int64_t dy = 0; dy <= ry; dy++) {
        const int64_t last = t.last[dy];
        if (last < 0) continue;
        img_table_run<Level>(image, cy + dy, cx - last, cx + last, colour);
        if (dy) img_table_run<Level>(image, cy - dy, cx - last, cx + last, colour);
    }
}

SIMD_CLONES(img_table_filler, img_table_fill, void,
            (IMG *image, int64_t cx, int64_t cy, int64_t ry, const ImgEllipseTable &t, uint32_t colour),
            (image, cx, cy, ry, t, colour))

// The outline from the table's points, four stores each: unchecked when the
// bounding box lies inside, each point tested otherwise.
static void img_table_outline(IMG *image, int64_t cx, int64_t cy, int64_t rx, int64_t ry, uint32_t colour,
                              bool inside) {
    const ImgEllipseTable &t = img_ellipse_table(rx, ry);
    uint32_t *pixels = image->pixels;
    const size_t stride = (size_t)image->width;
    const int n = t.count;
    if (inside) {
        uint32_t *centre = pixels + (size_t)cy * stride + (size_t)cx;
        for (int i = 0; i < n; i++) {
            const ptrdiff_t x = t.points[i][0], down = (ptrdiff_t)(t.points[i][1] * stride);
            centre[down + x] = colour;
            centre[down - x] = colour;
            centre[x - down] = colour;
            centre[-down - x] = colour;
        }
        return;
    }
    const uint64_t w = (uint64_t)image->width, h = (uint64_t)image->height;
    for (int i = 0; i < n; i++) {
        const int64_t x = t.points[i][0], y = t.points[i][1];
        const uint64_t left = (uint64_t)(cx - x), right = (uint64_t)(cx + x);
        const uint64_t top = (uint64_t)(cy - y), bottom = (uint64_t)(cy + y);
        if (bottom < h) {
            if (right < w) pixels[bottom * stride + right] = colour;
            if (left < w) pixels[bottom * stride + left] = colour;
        }
        if (top < h) {
            if (right < w) pixels[top * stride + right] = colour;
            if (left < w) pixels[top * stride + left] = colour;
        }
    }
}

void img_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry, uint32_t colour) {
    if (!img_drawable(image)) return;
    int64_t ax = img_abs64(rx), ay = img_abs64(ry);
    img_box_fit fit = img_ellipse_box(image, cx, cy, ax, ay);
    if (fit == IMG_BOX_OUTSIDE) return;
    if (img_tabled(ax, ay)) {
        img_table_outline(image, cx, cy, ax, ay, colour, fit == IMG_BOX_INSIDE);
        return;
    }
    const bool far = fit == IMG_BOX_PARTLY && img_ellipse_far(image, ax, ay);
    if (far && (ax == 0 || ay == 0)) return img_ellipse_segment(image, cx, cy, ax, ay, colour);
    img_ellipse_width(ax > ay ? ax : ay, [&](auto t) {
        if (far)
            img_ellipse_outline_far<decltype(t)>(image, cx, cy, img_ellipse_shape(ax, ay), colour);
        else
            img_ellipse_outline<decltype(t)>(image, cx, cy, ax, ay, colour, fit == IMG_BOX_INSIDE);
    });
}

// Every span on a row is centred on cx and the last one drawn there is the
// widest, so each row is filled once, with its final x, when the walk leaves it.
template <typename T>
static void img_ellipse_fill(IMG *image, int64_t cx, int64_t cy, int64_t rx, int64_t ry,
                             uint32_t colour) {
    int64_t last_x = 0, last_y = -1;
    img_ellipse_walk<T>(rx, ry, [&](int64_t x, int64_t y, bool down) {
        last_x = x;
        last_y = y;
        if (!down) return;
        img_span(image, cy + y, cx - x, cx + x, colour);
        if (y) img_span(image, cy - y, cx - x, cx + x, colour);
        last_y = -1;
    }, rx, img_ellipse_row_stop(image, cy));
    // The walk ended by stepping right past rx: its last row is still open.
    if (last_y >= 0) {
        img_span(image, cy + last_y, cx - last_x, cx + last_x, colour);
        if (last_y) img_span(image, cy - last_y, cx - last_x, cx + last_x, colour);
    }
}

void img_fill_ellipse(IMG *image, int32_t cx, int32_t cy, int32_t rx, int32_t ry,
                      uint32_t colour) {
    if (!img_drawable(image)) return;
    int64_t ax = img_abs64(rx), ay = img_abs64(ry);
    const img_box_fit fit = img_ellipse_box(image, cx, cy, ax, ay);
    if (fit == IMG_BOX_OUTSIDE) return;
    if (img_tabled(ax, ay)) {
        img_table_filler_clone()(image, cx, cy, ay, img_ellipse_table(ax, ay), colour);
        return;
    }
    if (fit == IMG_BOX_PARTLY && img_ellipse_far(image, ax, ay)) {
        if (ax == 0 || ay == 0) return img_ellipse_segment(image, cx, cy, ax, ay, colour);
        return img_ellipse_fill_far(image, cx, cy, img_ellipse_shape(ax, ay), colour);
    }
    img_ellipse_width(ax > ay ? ax : ay,
                      [&](auto t) { img_ellipse_fill<decltype(t)>(image, cx, cy, ax, ay, colour); });
}

// ---- A list of filled ellipses ------------------------------------------------

// Drawn in list order, each pixel ends with the colour of the last ellipse
// covering it. So a long list is drawn from its end instead, a bit per pixel
// marking the pixels already final, and only the others are stored: each
// pixel once, however often the list covers it. A row's bits start at the
// 64-byte line holding its first pixel, so that each 16 bits are one line's
// pixels; the bits before and after the row's pixels are set from the start.
// Full words and rows are marked as well: a span over a finished row costs
// one test, an ellipse whose box lies over full words a few word tests, and
// the walk stops once every row is finished.
struct ImgCover {
    uint32_t *pixels;  // the image's
    int64_t width, height;
    uint64_t *bits;    // row y's bits start at word y * words
    uint64_t *full;    // a bit per row: all its pixels final
    uint64_t *bands;   // band k's bit y (at word k * stride + y / 64): word k of row y full
    int64_t stride;    // words of a bit per row
    uint32_t *done;    // per row: words whose bits are all set
    int64_t words;     // per row
    int64_t rows_open;
};

// Shorter lists than this cover each other too little to pay for the bits.
enum { IMG_COVER_LIST = 192 };
// Larger images than a frame or so are left to the plain drawing.
static const int64_t img_cover_pixels = (int64_t)1 << 22;

// Pixels between the row's first pixel and the start of its line.
static int64_t img_cover_lead(const uint32_t *row) { return (int64_t)(((uintptr_t)row & 63) >> 2); }

// Word k of row y has all its bits set.
static void img_cover_word_full(ImgCover &c, int64_t y, int64_t k) {
    c.bands[k * c.stride + (y >> 6)] |= 1ull << (y & 63);
    if (++c.done[y] != c.words) return;
    c.full[y >> 6] |= 1ull << (y & 63);
    c.rows_open--;
}

// Sets the bits of row y outside its pixels and counts the words already full.
static void img_cover_pad(ImgCover &c, int64_t y, int64_t lead, int64_t width) {
    uint64_t *bits = c.bits + y * c.words;
    bits[0] |= (1ull << lead) - 1;
    const int64_t end = lead + width;
    bits[end >> 6] |= ~0ull << (end & 63);
    for (int64_t k = (end >> 6) + 1; k < c.words; k++) bits[k] = ~0ull;
    for (int64_t k = 0; k < c.words; k++)
        if (bits[k] == ~0ull) img_cover_word_full(c, y, k);
}

static bool img_cover_row_full(const ImgCover &c, int64_t y) { return c.full[y >> 6] >> (y & 63) & 1; }

// Bits a .. b (a <= b) of a run of 64-bit words, those in word k.
static inline uint64_t img_cover_bits(int64_t k, int64_t a, int64_t b) {
    uint64_t bits = ~0ull;
    if (k == a >> 6) bits &= ~0ull << (a & 63);
    if (k == b >> 6) bits &= ~0ull >> (63 - (b & 63));
    return bits;
}

// Whether bits y0 .. y1 (y0 <= y1) of a bit per row are all set.
static bool img_cover_rows_set(const uint64_t *set, int64_t y0, int64_t y1) {
    for (int64_t k = y0 >> 6; k <= y1 >> 6; k++) {
        const uint64_t rows = img_cover_bits(k, y0, y1);
        if ((set[k] & rows) != rows) return false;
    }
    return true;
}

// Whether the pixels of columns x0 .. x1, rows y0 .. y1 (inside the image)
// are all final: the words holding them, in any row's place of its line.
static bool img_cover_box_full(const ImgCover &c, int64_t x0, int64_t x1, int64_t y0, int64_t y1) {
    const int64_t last = (x1 + 15) >> 6 < c.words ? (x1 + 15) >> 6 : c.words - 1;
    for (int64_t k = x0 >> 6; k <= last; k++)
        if (!img_cover_rows_set(c.bands + k * c.stride, y0, y1)) return false;
    return true;
}

#if SIMD_X86
// A masked store for each of the word's four lines, also where its mask is
// 0 (cheaper than a branch that guesses wrong half the time); the lanes
// masked off are never touched, not even past the pixels' end.
SIMD_FOR_AVX512 static inline void img_cover_store_avx512(uintptr_t line, uint64_t fresh, uint32_t colour) {
    const __m512i v = _mm512_set1_epi32((int)colour);
    for (int j = 0; j < 4; j++)
        _mm512_mask_store_epi32((void *)(line + 64 * (uintptr_t)j), (__mmask16)(fresh >> 16 * j), v);
}
#endif

// The pixels row[at + b] for the bits b set in fresh (at + b >= 0 for each)
// take the colour: a masked store per line with AVX-512, runs of the widest
// stores below it.
template <int Level>
static inline void img_cover_store(uint32_t *row, int64_t at, uint64_t fresh, uint32_t colour) {
#if SIMD_X86
    if constexpr (Level >= SIMD_AVX512) {
        img_cover_store_avx512((uintptr_t)row + 4 * (uintptr_t)at, fresh, colour);
        return;
    }
#endif
    while (fresh) {
        const int s = __builtin_ctzll(fresh);
        const uint64_t beyond = ~(fresh >> s);
        const int n = beyond ? __builtin_ctzll(beyond) : 64 - s;
        img_run<Level>(row + (at + s), n, colour);
        fresh = s + n >= 64 ? 0 : fresh & ~0ull << (s + n);
    }
}

// Columns x0 .. x1 of row y: the pixels inside and not yet final take the colour.
template <int Level>
static inline void img_cover_run(ImgCover &c, int64_t y, int64_t x0, int64_t x1, uint32_t colour) {
    if ((uint64_t)y >= (uint64_t)c.height || img_cover_row_full(c, y)) return;
    if (x0 < 0) x0 = 0;
    if (x1 > c.width - 1) x1 = c.width - 1;
    if (x0 > x1) return;
    uint32_t *row = c.pixels + (size_t)y * (size_t)c.width;
    const int64_t lead = img_cover_lead(row), b0 = x0 + lead, b1 = x1 + lead;
    uint64_t *bits = c.bits + y * c.words;
    for (int64_t k = b0 >> 6; k <= b1 >> 6; k++) {
        const uint64_t fresh = img_cover_bits(k, b0, b1) & ~bits[k];
        if (!fresh) continue;
        bits[k] |= fresh;
        img_cover_store<Level>(row, 64 * k - lead, fresh, colour);
        if (bits[k] == ~0ull) img_cover_word_full(c, y, k);
    }
}

// The list from its end, every ellipse tabled. The record is copied so that
// its fields stay in registers (the pixel stores could alias them otherwise).
template <int Level>
static void img_cover_list(const ImgCover &cover, const IMG_ELLIPSE *list, int32_t n) {
    ImgCover c = cover;
    for (int32_t i = n - 1; i >= 0 && c.rows_open > 0; i--) {
        const IMG_ELLIPSE &e = list[i];
        const int64_t ax = img_abs64(e.rx), ay = img_abs64(e.ry), cx = e.x, cy = e.y;
        if (img_ellipse_box_in(c.width, c.height, cx, cy, ax, ay) == IMG_BOX_OUTSIDE) continue;
        if (img_cover_box_full(c, cx - ax < 0 ? 0 : cx - ax, cx + ax >= c.width ? c.width - 1 : cx + ax,
                               cy - ay < 0 ? 0 : cy - ay, cy + ay >= c.height ? c.height - 1 : cy + ay))
            continue;
        const ImgEllipseTable &t = img_ellipse_table(ax, ay);
        for (int64_t dy = 0; dy <= ay; dy++) {
            const int64_t last = t.last[dy];
            if (last < 0) continue;
            img_cover_run<Level>(c, cy + dy, cx - last, cx + last, e.colour);
            if (dy) img_cover_run<Level>(c, cy - dy, cx - last, cx + last, e.colour);
        }
    }
}

SIMD_CLONES(img_cover_lister, img_cover_list, void, (const ImgCover &c, const IMG_ELLIPSE *list, int32_t n),
            (c, list, n))

// The list drawn from its end; false (nothing drawn) when it is short, some
// ellipse is not tabled, the image is large or the bits cannot be had.
static bool img_fill_ellipses_covered(IMG *image, const IMG_ELLIPSE *list, int32_t n) {
    // An image that cannot be drawn into is reported by each plain call, as before.
    if (n < IMG_COVER_LIST || !image || !image->pixels || img_size(image) == 0) return false;
    if ((int64_t)img_size(image) > img_cover_pixels) return false;
    for (int32_t i = 0; i < n; i++)
        if (!img_tabled(img_abs64(list[i].rx), img_abs64(list[i].ry))) return false;
    ImgCover c;
    const int64_t width = image->width, height = image->height;
    c.pixels = image->pixels;
    c.width = width;
    c.height = height;
    c.words = (width + 15 + 63) >> 6;
    c.rows_open = height;
    c.stride = (height + 63) >> 6;
    const size_t bits = (size_t)(c.words * height), full = (size_t)c.stride, bands = (size_t)(c.words * c.stride);
    uint64_t *words = (uint64_t *)calloc(bits + full + bands + ((size_t)height + 1) / 2, sizeof(uint64_t));
    if (!words) return false;
    c.bits = words;
    c.full = words + bits;
    c.bands = c.full + full;
    c.done = (uint32_t *)(c.bands + bands);
    for (int64_t y = 0; y < height; y++) img_cover_pad(c, y, img_cover_lead(image->pixels + y * width), width);
    img_cover_lister_clone()(c, list, n);
    free(words);
    return true;
}

void img_fill_ellipses(IMG *image, const IMG_ELLIPSE *list, int32_t n) {
    if (!list || n <= 0) {
        if (!list && n > 0) img_error();
        return;
    }
    if (img_fill_ellipses_covered(image, list, n)) return;
    for (int32_t i = 0; i < n; i++)
        img_fill_ellipse(image, list[i].x, list[i].y, list[i].rx, list[i].ry, list[i].colour);
}
