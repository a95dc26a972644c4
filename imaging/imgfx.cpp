// IMGFX: whole-image effects and the variants of blits, lines and spans.
// Filters read the source through img_get_pixel (so neighbours outside count
// as black) and write the target through img_set_pixel; the frame's two
// per-frame filters (imgfx_blur_h_rgb, imgfx_glow_h5) have row-wise fast paths
// with the same result whenever source and target are two distinct images of
// one size. Mosaics fill through img_fill_rect; random draws come from the
// shared generator in a fixed order. Coordinates that could overflow 32 bits
// are worked out in 64 bits. Limits: no alpha channel; the top byte of every
// computed pixel is 0.
#include "imaging/imgfx.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "host/simd.h"
#include "imaging/img.h"
#include "imaging/img_geom.h"
#include "imaging/img_walk.h"
#include "imaging/rgb888.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(imgfx, "IMGFX   ", "20140814", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(imgfx, 0, "IMGFX error\n");

// ============================================================================
// Small helpers
// ============================================================================

static bool imgfx_usable(const IMG *image) {
    if (image && image->pixels) return true;
    imgfx_error();
    return false;
}

// True when the image has pixels to draw into; reports when it has none at all.
static bool imgfx_drawable(const IMG *image) {
    return imgfx_usable(image) && image->width > 0 && image->height > 0;
}

static bool imgfx_inside(const IMG *image, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < image->width && y < image->height;
}

// img_get_pixel for 64-bit coordinates: anything beyond 32 bits is outside.
static uint32_t imgfx_get(const IMG *image, int64_t x, int64_t y) {
    if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX) return 0;
    return img_get_pixel(image, (int32_t)x, (int32_t)y);
}

static uint32_t imgfx_channel(uint32_t p, int shift) { return (p >> shift) & 0xFFu; }

// A channel shifted right by k: every channel is below 256, so k >= 8 leaves 0.
static uint32_t imgfx_faded(uint32_t channel, int32_t k) { return k >= 8 ? 0 : channel >> k; }

static uint32_t imgfx_pack(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

// ============================================================================
// Weighted filters (blurs) and glows, straight from their windows
// ============================================================================

// A filter needs two images; the target is walked from its last pixel back to
// its first, each pixel computed from the source at the time it is reached.
// Usable records (a report otherwise) and a target with pixels to write: a
// target without any (0 wide, perhaps 2^31 - 1 high) is left at once.
static bool imgfx_filter_args(const IMG *source, const IMG *target) {
    return imgfx_usable(source) && imgfx_drawable(target);
}

// Fixed small kernel: weights[row][column] centred on the pixel, divided by div.
struct ImgfxKernel {
    int32_t rx, ry;          // half sizes
    const uint8_t *weights;  // (2 ry + 1) rows of (2 rx + 1)
    uint32_t div;
};

static void imgfx_apply_kernel(const IMG *source, IMG *target, const ImgfxKernel &k) {
    if (!imgfx_filter_args(source, target)) return;
    const int32_t cols = 2 * k.rx + 1;
    for (int32_t y = target->height - 1; y >= 0; y--) {
        for (int32_t x = target->width - 1; x >= 0; x--) {
            uint32_t sum[3] = {0, 0, 0};
            for (int32_t j = -k.ry; j <= k.ry; j++) {
                for (int32_t i = -k.rx; i <= k.rx; i++) {
                    uint32_t w = k.weights[(j + k.ry) * cols + (i + k.rx)];
                    uint32_t p = imgfx_get(source, (int64_t)x + i, (int64_t)y + j);
                    sum[0] += w * imgfx_channel(p, 16);
                    sum[1] += w * imgfx_channel(p, 8);
                    sum[2] += w * imgfx_channel(p, 0);
                }
            }
            img_set_pixel(target, x, y, imgfx_pack(sum[0] / k.div, sum[1] / k.div, sum[2] / k.div));
        }
    }
}

// Box of radii rx, ry with weights 1, divided by the whole box's size. Only the
// part inside the source is visited (the rest adds 0), so huge radii stay cheap
// per pixel, and the sums and divisor are 64-bit so they cannot wrap.
static void imgfx_box(const IMG *source, IMG *target, int64_t rx, int64_t ry) {
    const uint64_t div = (uint64_t)(2 * rx + 1) * (uint64_t)(2 * ry + 1);
    for (int32_t y = target->height - 1; y >= 0; y--) {
        const int64_t y0 = y - ry < 0 ? 0 : y - ry;
        const int64_t y1 = y + ry > (int64_t)source->height - 1 ? (int64_t)source->height - 1 : y + ry;
        for (int32_t x = target->width - 1; x >= 0; x--) {
            const int64_t x0 = x - rx < 0 ? 0 : x - rx;
            const int64_t x1 = x + rx > (int64_t)source->width - 1 ? (int64_t)source->width - 1 : x + rx;
            uint64_t sum[3] = {0, 0, 0};
            for (int64_t j = y0; j <= y1; j++) {
                for (int64_t i = x0; i <= x1; i++) {
                    uint32_t p = imgfx_get(source, i, j);
                    sum[0] += imgfx_channel(p, 16);
                    sum[1] += imgfx_channel(p, 8);
                    sum[2] += imgfx_channel(p, 0);
                }
            }
            img_set_pixel(target, x, y,
                          imgfx_pack((uint32_t)(sum[0] / div), (uint32_t)(sum[1] / div),
                                     (uint32_t)(sum[2] / div)));
        }
    }
}

void imgfx_blur_box(const IMG *source, IMG *target, int32_t r) {
    if (r < 0) {
        imgfx_error();
        return;
    }
    if (!imgfx_filter_args(source, target)) return;
    imgfx_box(source, target, r, r);
}

void imgfx_blur_h(const IMG *source, IMG *target, int32_t r) {
    // A negative radius has no window and a divisor of 2r + 1 <= -1: refused
    // as for the square blur.
    if (r < 0) {
        imgfx_error();
        return;
    }
    if (!imgfx_filter_args(source, target)) return;
    imgfx_box(source, target, r, 0);
}

void imgfx_blur_h3(const IMG *source, IMG *target) {
    static const uint8_t w[] = {1, 1, 1};
    imgfx_apply_kernel(source, target, {1, 0, w, 3});
}

void imgfx_blur_h121(const IMG *source, IMG *target) {
    static const uint8_t w[] = {1, 2, 1};
    imgfx_apply_kernel(source, target, {1, 0, w, 4});
}

void imgfx_blur_h5(const IMG *source, IMG *target) {
    static const uint8_t w[] = {1, 1, 4, 1, 1};
    imgfx_apply_kernel(source, target, {2, 0, w, 8});
}

void imgfx_blur_h7(const IMG *source, IMG *target) {
    static const uint8_t w[] = {1, 1, 1, 2, 1, 1, 1};
    imgfx_apply_kernel(source, target, {3, 0, w, 8});
}

void imgfx_blur_3x3(const IMG *source, IMG *target) {
    static const uint8_t w[] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    imgfx_apply_kernel(source, target, {1, 1, w, 16});
}

// Glow over a list of (dx, dy) neighbours, straight from img_get_pixel.
static void imgfx_glow_list(const IMG *source, IMG *target, const int8_t (*offsets)[2], int n,
                            int32_t k) {
    for (int32_t y = target->height - 1; y >= 0; y--) {
        for (int32_t x = target->width - 1; x >= 0; x--) {
            uint32_t c = img_get_pixel(source, x, y);
            uint32_t sum[3] = {imgfx_channel(c, 16), imgfx_channel(c, 8), imgfx_channel(c, 0)};
            for (int i = 0; i < n; i++) {
                uint32_t p = imgfx_get(source, (int64_t)x + offsets[i][0], (int64_t)y + offsets[i][1]);
                sum[0] += imgfx_faded(imgfx_channel(p, 16), k);
                sum[1] += imgfx_faded(imgfx_channel(p, 8), k);
                sum[2] += imgfx_faded(imgfx_channel(p, 0), k);
            }
            for (uint32_t &s : sum) s = s > 255 ? 255 : s;
            img_set_pixel(target, x, y, imgfx_pack(sum[0], sum[1], sum[2]));
        }
    }
}

static bool imgfx_glow_args(const IMG *source, const IMG *target, int32_t k) {
    if (k < 0) {  // a negative shift has no meaning (and no defined result)
        imgfx_error();
        return false;
    }
    return imgfx_filter_args(source, target);
}

void imgfx_glow_h3(const IMG *source, IMG *target, int32_t k) {
    static const int8_t n[][2] = {{-1, 0}, {1, 0}};
    if (imgfx_glow_args(source, target, k)) imgfx_glow_list(source, target, n, 2, k);
}

void imgfx_glow_h7(const IMG *source, IMG *target, int32_t k) {
    static const int8_t n[][2] = {{-3, 0}, {-2, 0}, {-1, 0}, {1, 0}, {2, 0}, {3, 0}};
    if (imgfx_glow_args(source, target, k)) imgfx_glow_list(source, target, n, 6, k);
}

void imgfx_glow_3x3(const IMG *source, IMG *target, int32_t k) {
    static const int8_t n[][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                  {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
    if (imgfx_glow_args(source, target, k)) imgfx_glow_list(source, target, n, 8, k);
}

void imgfx_glow_h(const IMG *source, IMG *target, int32_t r, int32_t k) {
    if (!imgfx_glow_args(source, target, k)) return;
    for (int32_t y = target->height - 1; y >= 0; y--) {
        for (int32_t x = target->width - 1; x >= 0; x--) {
            uint32_t c = img_get_pixel(source, x, y);
            uint64_t sum[3] = {imgfx_channel(c, 16), imgfx_channel(c, 8), imgfx_channel(c, 0)};
            // Only the window's part inside the source row adds anything.
            const int64_t x0 = (int64_t)x - r < 0 ? 0 : (int64_t)x - r;
            const int64_t x1 = (int64_t)x + r > (int64_t)source->width - 1 ? (int64_t)source->width - 1
                                                                            : (int64_t)x + r;
            for (int64_t i = x0; i <= x1; i++) {
                uint32_t p = imgfx_get(source, i, y);
                sum[0] += imgfx_faded(imgfx_channel(p, 16), k);
                sum[1] += imgfx_faded(imgfx_channel(p, 8), k);
                sum[2] += imgfx_faded(imgfx_channel(p, 0), k);
            }
            for (uint64_t &s : sum) s = s > 255 ? 255 : s;
            img_set_pixel(target, x, y, imgfx_pack((uint32_t)sum[0], (uint32_t)sum[1], (uint32_t)sum[2]));
        }
    }
}

// ============================================================================
// The frame's glow: imgfx_glow_h5
// ============================================================================

// One pixel of the five-wide glow from a row held in memory (outside is 0).
// Kept out of line: inlined into the plain row loop, the compiler turns it
// into vector code that measured a third slower than these scalar calls.
__attribute__((noinline)) static uint32_t imgfx_glow5_at(const uint32_t *row, int32_t width, int32_t x, int32_t k) {
    uint32_t c = row[x];
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t s = imgfx_channel(c, shift);
        for (int32_t i = x - 2; i <= x + 2; i++)
            if (i != x && i >= 0 && i < width) s += imgfx_faded(imgfx_channel(row[i], shift), k);
        out |= (s > 255 ? 255 : s) << shift;
    }
    return out;
}

#if SIMD_X86
// Eight pixels at a time from x while x - 2 .. x + 9 stay inside the row;
// returns where it stopped, with the upper register halves cleared for the
// 128-bit code that follows.
SIMD_FOR_AVX2 static int32_t imgfx_glow5_avx2(const uint32_t *s, uint32_t *t, int32_t x, int32_t w, int32_t k) {
    const __m256i keep = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i low = _mm256_set1_epi8((char)(0xFF >> k));
    const __m128i count = _mm_cvtsi32_si128(k);
    for (; x + 10 <= w; x += 8) {
        __m256i c = _mm256_loadu_si256((const __m256i *)(s + x));
        __m256i n[4];
        for (int i = 0; i < 4; i++) {
            const __m256i v = _mm256_loadu_si256((const __m256i *)(s + x + (i < 2 ? i - 2 : i - 1)));
            n[i] = _mm256_and_si256(_mm256_srl_epi16(v, count), low);
        }
        __m256i sum = _mm256_adds_epu8(_mm256_adds_epu8(c, n[0]),
                                       _mm256_adds_epu8(n[1], _mm256_adds_epu8(n[2], n[3])));
        _mm256_storeu_si256((__m256i *)(t + x), _mm256_and_si256(sum, keep));
    }
    _mm256_zeroupper();
    return x;
}

// Which of the sixteen pixels x .. x + 15 (x >= -17) lie in a row of w.
static inline __mmask16 imgfx_inside16(int32_t x, int32_t w) {
    const int32_t lo = x < 0 ? -x : 0, hi = w - x < 16 ? w - x : 16;
    if (hi <= lo) return 0;
    return (__mmask16)(((1u << hi) - 1) & ~((1u << lo) - 1));
}

// Sixteen pixels of a row from x on, those outside it read as black. The
// lanes left out are never touched, so x may lie before the row's start.
SIMD_FOR_AVX512 static inline __m512i imgfx_row16_avx512(const uint32_t *s, int32_t x, int32_t w) {
    return _mm512_maskz_loadu_epi32(imgfx_inside16(x, w), (const void *)((uintptr_t)s + (uintptr_t)(intptr_t)x * 4));
}

// The faded pixels x .. x + 15, and the saturated sums of each faded pixel
// and the one after it (next holds the group that follows f).
SIMD_FOR_AVX512 static inline __m512i imgfx_faded16(const uint32_t *s, int32_t x, int32_t w, __m128i count,
                                                    __m512i low) {
    return _mm512_and_si512(_mm512_srl_epi16(imgfx_row16_avx512(s, x, w), count), low);
}

SIMD_FOR_AVX512 static inline __m512i imgfx_pairs16(__m512i f, __m512i next) {
    return _mm512_adds_epu8(f, _mm512_maskz_alignr_epi32((__mmask16)0xFFFF, next, f, 1));
}

// The glow in registers, sixteen pixels a group. With f the faded pixels
// (every channel shifted right by k, the top byte cleared) and
// q(x) = f(x) + f(x + 1), a pixel's glow is c(x) + q(x - 2) + q(x + 1):
// saturating adds of terms that are never negative give min(sum, 255) in
// any order. The q groups before, at and after the current one are kept and
// each neighbour is one lane shift of two of them; the first add zero-masks
// the top bytes. A group inside the row (Edge false: pixels up to x + 47
// exist) loads and stores whole; at the row's ends they are masked.
struct ImgfxGlowState {
    __m512i f1, q_prev, q;  // faded group x + 16; q groups x - 16 and x
};

template <bool Edge>
SIMD_FOR_AVX512 static inline void imgfx_glow5_group(const uint32_t *s, uint32_t *t, int32_t x, int32_t w,
                                                     __m128i count, __m512i low, ImgfxGlowState &g) {
    const __mmask64 channels = 0x7777777777777777ull;  // the three low bytes of every pixel
    const __m512i f2 = Edge ? imgfx_faded16(s, x + 32, w, count, low)
                            : _mm512_and_si512(_mm512_srl_epi16(_mm512_loadu_si512(s + x + 32), count), low);
    const __m512i q_next = imgfx_pairs16(g.f1, f2);
    const __m512i c = Edge ? imgfx_row16_avx512(s, x, w) : _mm512_loadu_si512(s + x);
    __m512i sum = _mm512_maskz_adds_epu8(channels, c, _mm512_maskz_alignr_epi32((__mmask16)0xFFFF, g.q, g.q_prev, 14));
    sum = _mm512_adds_epu8(sum, _mm512_maskz_alignr_epi32((__mmask16)0xFFFF, q_next, g.q, 1));
    if (Edge)
        _mm512_mask_storeu_epi32((void *)((uintptr_t)t + (uintptr_t)(intptr_t)x * 4), imgfx_inside16(x, w), sum);
    else
        _mm512_storeu_si512(t + x, sum);
    g.f1 = f2;
    g.q_prev = g.q;
    g.q = q_next;
}

SIMD_FOR_AVX512 static void imgfx_glow5_avx512(const uint32_t *s, uint32_t *t, int32_t w, int32_t k) {
    const __m512i low = _mm512_set1_epi32((int)(0x00FFFFFFu & (0x01010101u * (0xFFu >> k))));
    const __m128i count = _mm_cvtsi32_si128(k);
    const __m512i f0 = imgfx_faded16(s, 0, w, count, low);
    ImgfxGlowState g;
    g.f1 = imgfx_faded16(s, 16, w, count, low);
    g.q_prev = imgfx_pairs16(_mm512_setzero_si512(), f0);  // every pixel before the row is black
    g.q = imgfx_pairs16(f0, g.f1);
    // (Groups started at the target's cache line, for whole-line stores,
    // cost a seventeenth group a row and measured slower here.)
    int32_t x = 0;
    for (; x + 48 <= w; x += 16) imgfx_glow5_group<false>(s, t, x, w, count, low, g);
    for (; x < w; x += 16) imgfx_glow5_group<true>(s, t, x, w, count, low, g);
}
#endif

// Row-wise glow for two distinct images of one size. Saturating byte adds give
// min(sum, 255) because every term is non-negative; the top byte is cleared.
template <int Level>
static void imgfx_glow5_rows(const IMG *source, IMG *target, int32_t k) {
    const int32_t w = source->width;
    for (int32_t y = 0; y < source->height; y++) {
        const uint32_t *s = source->pixels + (size_t)y * (size_t)w;
        uint32_t *t = target->pixels + (size_t)y * (size_t)w;
        int32_t x = 0;
        if (k >= 8) {  // every neighbour shifts out: a copy without the top byte
            for (; x < w; x++) t[x] = s[x] & 0x00FFFFFFu;
            continue;
        }
#if SIMD_X86
        if constexpr (Level >= SIMD_AVX512) {
            imgfx_glow5_avx512(s, t, w, k);
            continue;
        }
#endif
        for (; x < 2 && x < w; x++) t[x] = imgfx_glow5_at(s, w, x, k);
#if SIMD_X86
        if constexpr (Level >= SIMD_AVX2) x = imgfx_glow5_avx2(s, t, x, w, k);
        if constexpr (Level >= SIMD_SSE2) {
            const __m128i keep = _mm_set1_epi32(0x00FFFFFF);
            const __m128i low = _mm_set1_epi8((char)(0xFF >> k));  // bits left in a byte after >> k
            const __m128i count = _mm_cvtsi32_si128(k);
            // Four pixels at a time while x - 2 .. x + 5 stay inside the row.
            for (; x + 6 <= w; x += 4) {
                __m128i c = _mm_loadu_si128((const __m128i *)(s + x));
                __m128i a = _mm_and_si128(_mm_srl_epi16(_mm_loadu_si128((const __m128i *)(s + x - 2)), count), low);
                __m128i b = _mm_and_si128(_mm_srl_epi16(_mm_loadu_si128((const __m128i *)(s + x - 1)), count), low);
                __m128i d = _mm_and_si128(_mm_srl_epi16(_mm_loadu_si128((const __m128i *)(s + x + 1)), count), low);
                __m128i e = _mm_and_si128(_mm_srl_epi16(_mm_loadu_si128((const __m128i *)(s + x + 2)), count), low);
                __m128i sum = _mm_adds_epu8(_mm_adds_epu8(c, a), _mm_adds_epu8(b, _mm_adds_epu8(d, e)));
                _mm_storeu_si128((__m128i *)(t + x), _mm_and_si128(sum, keep));
            }
        }
#endif
        for (; x < w; x++) t[x] = imgfx_glow5_at(s, w, x, k);
    }
}

SIMD_CLONES(imgfx_glow5_fast, imgfx_glow5_rows, void, (const IMG *source, IMG *target, int32_t k),
            (source, target, k))

void imgfx_glow_h5(const IMG *source, IMG *target, int32_t k) {
    static const int8_t n[][2] = {{-2, 0}, {-1, 0}, {1, 0}, {2, 0}};
    if (!imgfx_glow_args(source, target, k)) return;
    if (source != target && source->width == target->width && source->height == target->height)
        imgfx_glow5_fast_clone()(source, target, k);
    else
        imgfx_glow_list(source, target, n, 4, k);
}

// ============================================================================
// The frame's blur: imgfx_blur_h_rgb
// ============================================================================

// The running-sum blur pixel by pixel through img_get_pixel and
// img_set_pixel, each read made when its sum needs it: used when the images
// are one and the same or differ in size.
static void imgfx_blur_rgb_plain(const IMG *source, IMG *target, const int32_t radius[3]) {
    static const int shifts[3] = {16, 8, 0};
    for (int32_t y = 0; y < target->height; y++) {
        uint64_t sum[3];
        for (int c = 0; c < 3; c++) {
            sum[c] = 0;
            int64_t x1 = radius[c] < source->width ? radius[c] : (int64_t)source->width - 1;
            for (int64_t x = 0; x <= x1; x++) sum[c] += imgfx_channel(imgfx_get(source, x, y), shifts[c]);
        }
        for (int32_t x = 0; x < target->width; x++) {
            uint32_t p = 0;
            for (int c = 0; c < 3; c++) p |= (uint32_t)(sum[c] / (2 * (uint64_t)radius[c] + 1)) << shifts[c];
            img_set_pixel(target, x, y, p);
            for (int c = 0; c < 3; c++) {
                sum[c] -= imgfx_channel(imgfx_get(source, (int64_t)x - radius[c], y), shifts[c]);
                sum[c] += imgfx_channel(imgfx_get(source, (int64_t)x + radius[c] + 1, y), shifts[c]);
            }
        }
    }
}

// Exact division of sums up to 255 * d by d: a multiply by ceil(2^32 / d) and
// a shift is exact while 255 * d * d < 2^32 (d < 4104); wider boxes (and
// blocks of more pixels) divide.
struct ImgfxDivider {
    uint64_t d, m;
};

static ImgfxDivider imgfx_divider_by(uint64_t d) { return {d, d < 4104 ? ((uint64_t)1 << 32) / d + 1 : 0}; }

static ImgfxDivider imgfx_divider(int32_t radius) { return imgfx_divider_by(2 * (uint64_t)radius + 1); }

static uint32_t imgfx_divide(uint64_t s, const ImgfxDivider &v) {
    return (uint32_t)(v.m ? (s * v.m) >> 32 : s / v.d);
}

// Running sums on the raw rows; any radii. They are copied: the target's
// words could alias the caller's array, and each store would read it again.
static void imgfx_blur_rgb_rows(const IMG *source, IMG *target, const int32_t radii[3]) {
    static const int shifts[3] = {16, 8, 0};
    const int32_t radius[3] = {radii[0], radii[1], radii[2]};
    const int32_t w = source->width;
    const ImgfxDivider div[3] = {imgfx_divider(radius[0]), imgfx_divider(radius[1]),
                                 imgfx_divider(radius[2])};
    for (int32_t y = 0; y < source->height; y++) {
        const uint32_t *s = source->pixels + (size_t)y * (size_t)w;
        uint32_t *t = target->pixels + (size_t)y * (size_t)w;
        uint64_t sum[3];
        for (int c = 0; c < 3; c++) {
            sum[c] = 0;
            int64_t x1 = radius[c] < w ? radius[c] : w - 1;
            for (int64_t x = 0; x <= x1; x++) sum[c] += imgfx_channel(s[x], shifts[c]);
        }
        for (int32_t x = 0; x < w; x++) {
            t[x] = imgfx_pack(imgfx_divide(sum[0], div[0]), imgfx_divide(sum[1], div[1]),
                              imgfx_divide(sum[2], div[2]));
            for (int c = 0; c < 3; c++) {
                int64_t out = (int64_t)x - radius[c], in = (int64_t)x + radius[c] + 1;
                if (out >= 0) sum[c] -= imgfx_channel(s[out], shifts[c]);
                if (in < w) sum[c] += imgfx_channel(s[in], shifts[c]);
            }
        }
    }
}

#if SIMD_X86
// Lane constants of the vector blur. A pixel unpacks into four 16-bit lanes
// (blue, green, red, top); the sum of a window is the difference of two
// prefix sums, exact in 16-bit wrapping lanes while 255 * d < 65536. The
// quotient of a sum s by d = 2r + 1 is mulhi(s, m) with m = ceil(2^16 / d)
// when that is exact for every s up to 255 * d (255 * d * (m * d - 2^16) <
// 2^16, true for the small boxes the frame uses); otherwise
// mulhi(mulhi(s, m), p) with m = ceil(2^(16+k) / d), 2^k <= d < 2^(k+1), and
// p = 2^(16-k) shifting each lane right by its own k, exact while 255 * d *
// (m * d - 2^(16+k)) < 2^(16+k). A box of one pixel (d = 1) passes the sum
// through `same`. The top lane stays 0 throughout.
struct ImgfxBlurLanes {
    uint16_t m[4], p[4], same[4];
    bool single;  // every lane divides with one multiply
};

// True when one multiply divides every sum of a box of d pixels exactly.
static bool imgfx_blur_single(int32_t radius) {
    const uint64_t d = 2 * (uint64_t)radius + 1, m = (65536 + d - 1) / d;
    return d > 1 && 255 * d * (m * d - 65536) < 65536;
}

// Fills one lane's constants for the chosen form; false when it is inexact.
static bool imgfx_blur_lane(int32_t radius, int lane, ImgfxBlurLanes &l) {
    if (radius > 127) return false;
    const uint32_t d = 2 * (uint32_t)radius + 1;
    if (l.single) {
        l.m[lane] = (uint16_t)((65536 + d - 1) / d);
        return true;
    }
    if (d == 1) {
        l.same[lane] = 0xFFFF;
        return true;
    }
    uint32_t k = 0;
    while ((2u << k) <= d) k++;
    const uint64_t scale = (uint64_t)1 << (16 + k);
    const uint64_t m = (scale + d - 1) / d;
    if (m > 0xFFFF || 255 * (uint64_t)d * (m * d - scale) >= scale) return false;
    l.m[lane] = (uint16_t)m;
    l.p[lane] = (uint16_t)(1u << (16 - k));
    return true;
}

// Per-row constants: where each channel's window starts and ends in the
// prefix buffer, and the lane masks and multipliers.
struct ImgfxBlurRow {
    int32_t hi[3], lo[3];  // buffer offsets per memory lane: blue, green, red
    __m128i mask[3], m, p, same;
};

// Prefix sums of the zero-padded row: entry k holds the sum of the pixels
// before k - rmax, for k from 0 to w + 2 rmax + 1. Entries 0 .. rmax are 0
// for every row and are written once by the caller. A pair [a | b] becomes
// [acc + a | acc + a + b]; four pixels are two pairs.
static inline void imgfx_blur_prefix(const uint32_t *s, int32_t w, int32_t rmax, uint16_t *pre) {
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    uint16_t *out = pre + 4 * (rmax + 1);
    int32_t x = 0;
    for (; x + 4 <= w; x += 4, out += 16) {
        const __m128i four = _mm_loadu_si128((const __m128i *)(s + x));
        __m128i a = _mm_unpacklo_epi8(four, zero), b = _mm_unpackhi_epi8(four, zero);
        a = _mm_add_epi16(_mm_add_epi16(a, _mm_slli_si128(a, 8)), acc);
        b = _mm_add_epi16(b, _mm_slli_si128(b, 8));
        b = _mm_add_epi16(b, _mm_shuffle_epi32(a, 0xEE));
        _mm_storeu_si128((__m128i *)out, a);
        _mm_storeu_si128((__m128i *)(out + 8), b);
        acc = _mm_shuffle_epi32(b, 0xEE);
    }
    for (; x < w; x++, out += 4) {
        acc = _mm_add_epi16(acc, _mm_unpacklo_epi8(_mm_cvtsi32_si128((int)s[x]), zero));
        _mm_storel_epi64((__m128i *)out, acc);
    }
    for (uint16_t *end = pre + 4 * (w + 2 * rmax + 1); out <= end; out += 4) _mm_storel_epi64((__m128i *)out, acc);
}

// The quotients of two pixels' windows starting at x: lanes b g r 0 b g r 0.
// Each lane loads its own channel's window ends.
template <bool Single>
static inline __m128i imgfx_blur_pair(const uint16_t *pre, int32_t x, const ImgfxBlurRow &c) {
    __m128i hi = _mm_setzero_si128(), lo = _mm_setzero_si128();
    for (int i = 0; i < 3; i++) {
        hi = _mm_or_si128(hi, _mm_and_si128(c.mask[i], _mm_loadu_si128((const __m128i *)(pre + 4 * (x + c.hi[i])))));
        lo = _mm_or_si128(lo, _mm_and_si128(c.mask[i], _mm_loadu_si128((const __m128i *)(pre + 4 * (x + c.lo[i])))));
    }
    const __m128i sum = _mm_sub_epi16(hi, lo);
    if (Single) return _mm_mulhi_epu16(sum, c.m);
    return _mm_add_epi16(_mm_mulhi_epu16(_mm_mulhi_epu16(sum, c.m), c.p), _mm_and_si128(sum, c.same));
}

// Pixels from x to the end of the row, two at a time, then a last odd one.
template <bool Single>
static void imgfx_blur_tail(const uint16_t *pre, uint32_t *t, int32_t x, int32_t w, const ImgfxBlurRow &c) {
    const __m128i zero = _mm_setzero_si128();
    for (; x + 2 <= w; x += 2)
        _mm_storel_epi64((__m128i *)(t + x), _mm_packus_epi16(imgfx_blur_pair<Single>(pre, x, c), zero));
    if (x < w) t[x] = (uint32_t)_mm_cvtsi128_si32(_mm_packus_epi16(imgfx_blur_pair<Single>(pre, x, c), zero));
}

template <bool Single>
static void imgfx_blur_rows_sse(const IMG *source, IMG *target, int32_t rmax, const ImgfxBlurRow &c,
                                uint16_t *pre) {
    const int32_t w = source->width;
    for (int32_t y = 0; y < source->height; y++) {
        const uint32_t *s = source->pixels + (size_t)y * (size_t)w;
        uint32_t *t = target->pixels + (size_t)y * (size_t)w;
        imgfx_blur_prefix(s, w, rmax, pre);
        int32_t x = 0;
        for (; x + 4 <= w; x += 4)
            _mm_storeu_si128((__m128i *)(t + x), _mm_packus_epi16(imgfx_blur_pair<Single>(pre, x, c),
                                                                  imgfx_blur_pair<Single>(pre, x + 2, c)));
        imgfx_blur_tail<Single>(pre, t, x, w, c);
    }
}

#if SIMD_X86
// The same blur for one radius on all three channels with 256-bit vectors
// (four pixels' lanes at a time), on processors that have them. The prefix of
// four pixels [a, b, c, d] is made as [a, a+b | c, c+d], then a+b added to
// the upper half; the running total is carried off the critical path.
template <bool Single>
SIMD_FOR_AVX2 static inline __m256i imgfx_blur_quotient_avx2(__m256i sum, __m256i m, __m256i p, __m256i same) {
    if (Single) return _mm256_mulhi_epu16(sum, m);
    return _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_mulhi_epu16(sum, m), p), _mm256_and_si256(sum, same));
}

template <bool Single>
SIMD_FOR_AVX2 static void imgfx_blur_rows_avx2(const IMG *source, IMG *target, int32_t r, const ImgfxBlurRow &c,
                                               uint16_t *pre) {
    const int32_t w = source->width;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i m = _mm256_broadcastsi128_si256(c.m), p = _mm256_broadcastsi128_si256(c.p);
    const __m256i same = _mm256_broadcastsi128_si256(c.same);
    const int32_t hi = 2 * r + 1;
    for (int32_t y = 0; y < source->height; y++) {
        const uint32_t *s = source->pixels + (size_t)y * (size_t)w;
        uint32_t *t = target->pixels + (size_t)y * (size_t)w;
        uint16_t *out = pre + 4 * (r + 1);
        __m256i acc = zero;
        int32_t x = 0;
        for (; x + 4 <= w; x += 4, out += 16) {
            __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128((const __m128i *)(s + x)));
            v = _mm256_add_epi16(v, _mm256_slli_si256(v, 8));
            v = _mm256_add_epi16(v, _mm256_blend_epi32(zero, _mm256_permute4x64_epi64(v, 0x55), 0xF0));
            _mm256_storeu_si256((__m256i *)out, _mm256_add_epi16(v, acc));
            acc = _mm256_add_epi16(acc, _mm256_permute4x64_epi64(v, 0xFF));
        }
        __m128i total = _mm256_castsi256_si128(acc);
        for (; x < w; x++, out += 4) {
            total = _mm_add_epi16(total, _mm_unpacklo_epi8(_mm_cvtsi32_si128((int)s[x]), _mm_setzero_si128()));
            _mm_storel_epi64((__m128i *)out, total);
        }
        for (uint16_t *end = pre + 4 * (w + 2 * r + 1); out <= end; out += 4) _mm_storel_epi64((__m128i *)out, total);

        x = 0;
        for (; x + 8 <= w; x += 8) {
            const uint16_t *e = pre + 4 * x;
            __m256i a = _mm256_sub_epi16(_mm256_loadu_si256((const __m256i *)(e + 4 * hi)),
                                         _mm256_loadu_si256((const __m256i *)e));
            __m256i b = _mm256_sub_epi16(_mm256_loadu_si256((const __m256i *)(e + 4 * hi + 16)),
                                         _mm256_loadu_si256((const __m256i *)(e + 16)));
            // Packing works within 128-bit halves: pixel pairs 0-1, 4-5, 2-3, 6-7.
            __m256i q = _mm256_packus_epi16(imgfx_blur_quotient_avx2<Single>(a, m, p, same),
                                            imgfx_blur_quotient_avx2<Single>(b, m, p, same));
            _mm256_storeu_si256((__m256i *)(t + x), _mm256_permute4x64_epi64(q, 0xD8));
        }
        // The rest of the row runs in 128-bit code, which pays for dirty upper
        // register halves (and so would every caller after us): clear them.
        _mm256_zeroupper();
        imgfx_blur_tail<Single>(pre, t, x, w, c);
    }
}
#endif

// The longest row and the largest radius the 512-bit blur takes.
enum { IMGFX_BLUR_ROW = 2048, IMGFX_BLUR_RADIUS = 127 };

// The sum of `taps` widened pixels from p on (four 16-bit lanes a pixel).
SIMD_FOR_AVX512 static inline __m512i imgfx_blur_window512(const uint16_t *p, int32_t taps) {
    __m512i sum = _mm512_loadu_si512(p);
    for (int32_t i = 1; i < taps; i++) sum = _mm512_add_epi16(sum, _mm512_loadu_si512(p + 4 * i));
    return sum;
}

// One radius r on all three channels, one multiply dividing exactly (m =
// ceil(2^16 / (2r + 1))), sixteen pixels at a time. Each row is first widened
// into a buffer with r black pixels before it and enough after it; a window's
// sum is then 2r + 1 loads and adds of 16-bit lanes. The top lane divides by
// 0, so the top byte comes out 0; the last group is stored masked.
SIMD_FOR_AVX512 static void imgfx_blur_rows_avx512(const IMG *source, IMG *target, int32_t r, uint16_t m) {
    const int32_t w = source->width, taps = 2 * r + 1;
    alignas(64) uint16_t wide[4 * (IMGFX_BLUR_ROW + 2 * IMGFX_BLUR_RADIUS + 48)];
    memset(wide, 0, 4 * sizeof(uint16_t) * (size_t)r);
    const __m512i mul = _mm512_set1_epi64((int64_t)((uint64_t)m | (uint64_t)m << 16 | (uint64_t)m << 32));
    const __m512i order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
    for (int32_t y = 0; y < source->height; y++) {
        const uint32_t *s = source->pixels + (size_t)y * (size_t)w;
        uint32_t *t = target->pixels + (size_t)y * (size_t)w;
        // Pixels past the row's end are widened as black, far enough for the
        // last group's windows.
        for (int32_t x = 0; x < w + r + 16; x += 8) {
            const __mmask8 k = x >= w ? 0 : w - x >= 8 ? (__mmask8)0xFF : (__mmask8)((1u << (w - x)) - 1);
            const __m256i v = _mm256_maskz_loadu_epi32(k, s + x);
            _mm512_storeu_si512(wide + 4 * (r + x), _mm512_cvtepu8_epi16(v));
        }
        for (int32_t x = 0; x < w; x += 16) {
            const __m512i a = _mm512_mulhi_epu16(imgfx_blur_window512(wide + 4 * x, taps), mul);
            const __m512i b = _mm512_mulhi_epu16(imgfx_blur_window512(wide + 4 * (x + 8), taps), mul);
            // Packing works within 128-bit lanes: pixel pairs of a and b alternate.
            const __m512i q = _mm512_maskz_permutexvar_epi64(0xFF, order, _mm512_packus_epi16(a, b));
            const __mmask16 k = w - x >= 16 ? (__mmask16)0xFFFF : (__mmask16)((1u << (w - x)) - 1);
            _mm512_mask_storeu_epi32(t + x, k, q);
        }
    }
}

// The frame's blur (radius 2 on every channel, m = ceil(2^16 / 5)) in
// registers, sixteen pixels at a time: the window's five pixels are loaded
// straight from the row (black outside it), neighbours are joined byte by
// byte and one multiply-add of ones gives their widened pair sums, so a
// window is left pair + centre + right pair, divided by one mulhi. The
// unpacks take the pixel pairs 0-1 and 2-3 of each 128-bit lane and the pack
// puts them back in order; the top lane divides by 0, so the top byte is 0.
template <bool Edge>
SIMD_FOR_AVX512 static inline void imgfx_blur5_group(const uint32_t *s, uint32_t *t, int32_t x, int32_t w,
                                                     __m512i mul) {
    const __m512i zero = _mm512_setzero_si512(), ones = _mm512_set1_epi8(1);
    __m512i c, l2, l1, r1, r2;
    if (Edge) {
        c = imgfx_row16_avx512(s, x, w);
        l2 = imgfx_row16_avx512(s, x - 2, w);
        l1 = imgfx_row16_avx512(s, x - 1, w);
        r1 = imgfx_row16_avx512(s, x + 1, w);
        r2 = imgfx_row16_avx512(s, x + 2, w);
    } else {
        c = _mm512_loadu_si512(s + x);
        l2 = _mm512_loadu_si512(s + x - 2);
        l1 = _mm512_loadu_si512(s + x - 1);
        r1 = _mm512_loadu_si512(s + x + 1);
        r2 = _mm512_loadu_si512(s + x + 2);
    }
    __m512i lo = _mm512_add_epi16(_mm512_maddubs_epi16(_mm512_unpacklo_epi8(l2, l1), ones),
                                  _mm512_maddubs_epi16(_mm512_unpacklo_epi8(r1, r2), ones));
    __m512i hi = _mm512_add_epi16(_mm512_maddubs_epi16(_mm512_unpackhi_epi8(l2, l1), ones),
                                  _mm512_maddubs_epi16(_mm512_unpackhi_epi8(r1, r2), ones));
    lo = _mm512_mulhi_epu16(_mm512_add_epi16(lo, _mm512_unpacklo_epi8(c, zero)), mul);
    hi = _mm512_mulhi_epu16(_mm512_add_epi16(hi, _mm512_unpackhi_epi8(c, zero)), mul);
    if (Edge)
        _mm512_mask_storeu_epi32((void *)((uintptr_t)t + (uintptr_t)(intptr_t)x * 4), imgfx_inside16(x, w),
                                 _mm512_packus_epi16(lo, hi));
    else
        _mm512_storeu_si512(t + x, _mm512_packus_epi16(lo, hi));
}

SIMD_FOR_AVX512 static void imgfx_blur5_rows_avx512(const IMG *source, IMG *target, uint16_t m) {
    const int32_t w = source->width;
    const __m512i mul = _mm512_set1_epi64((int64_t)((uint64_t)m | (uint64_t)m << 16 | (uint64_t)m << 32));
    for (int32_t y = 0; y < source->height; y++) {
        const uint32_t *s = source->pixels + (size_t)y * (size_t)w;
        uint32_t *t = target->pixels + (size_t)y * (size_t)w;
        // The whole groups need pixels x - 2 .. x + 17 inside. (Groups
        // started at the target's cache line measured slower, as for the glow.)
        int32_t x = 0;
        for (; x < 2; x += 16) imgfx_blur5_group<true>(s, t, x, w, mul);
        for (; x + 18 <= w; x += 16) imgfx_blur5_group<false>(s, t, x, w, mul);
        for (; x < w; x += 16) imgfx_blur5_group<true>(s, t, x, w, mul);
    }
}

// Vector rows; false (nothing written) when a radius is beyond its lanes or
// the prefix buffer cannot be had.
template <int Level>
static bool imgfx_blur_rgb_lanes(const IMG *source, IMG *target, const int32_t radius[3]) {
    ImgfxBlurLanes l = {};
    l.single = imgfx_blur_single(radius[0]) && imgfx_blur_single(radius[1]) && imgfx_blur_single(radius[2]);
    for (int c = 0; c < 3; c++)  // red is lane 2, blue lane 0
        if (!imgfx_blur_lane(radius[c], 2 - c, l)) return false;
    int32_t rmax = radius[0];
    if (radius[1] > rmax) rmax = radius[1];
    if (radius[2] > rmax) rmax = radius[2];
    ImgfxBlurRow c;
    for (int lane = 0; lane < 3; lane++) {
        const int32_t r = radius[2 - lane];
        c.hi[lane] = rmax + r + 1;
        c.lo[lane] = rmax - r;
        uint16_t bits[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        bits[lane] = bits[lane + 4] = 0xFFFF;
        c.mask[lane] = _mm_loadu_si128((const __m128i *)bits);
    }
    auto lanes = [](const uint16_t v[4]) {
        return _mm_set_epi16(0, (short)v[2], (short)v[1], (short)v[0], 0, (short)v[2], (short)v[1], (short)v[0]);
    };
    c.m = lanes(l.m);
    c.p = lanes(l.p);
    c.same = lanes(l.same);
    // Entries 0 .. w + 2 rmax + 1: the two-entry load for a row's last pixel
    // ends on the last of them. Two spare entries round the size up.
    const size_t entries = (size_t)source->width + 2 * (size_t)rmax + 4;
    uint16_t local[4 * 1024];
    uint16_t *pre = entries <= 1024 ? local : (uint16_t *)calloc(entries, 4 * sizeof(uint16_t));
    if (!pre) return false;
    memset(pre, 0, 4 * sizeof(uint16_t) * ((size_t)rmax + 1));
    const bool equal = radius[0] == radius[1] && radius[1] == radius[2];
    if constexpr (Level >= SIMD_AVX512) {
        if (equal && l.single && (rmax == 2 || source->width <= IMGFX_BLUR_ROW)) {
            if (rmax == 2)
                imgfx_blur5_rows_avx512(source, target, l.m[0]);
            else
                imgfx_blur_rows_avx512(source, target, rmax, l.m[0]);
            if (pre != local) free(pre);
            return true;
        }
    }
    if constexpr (Level >= SIMD_AVX2) {
        if (equal) {
            if (l.single)
                imgfx_blur_rows_avx2<true>(source, target, rmax, c, pre);
            else
                imgfx_blur_rows_avx2<false>(source, target, rmax, c, pre);
            if (pre != local) free(pre);
            return true;
        }
    }
    if (l.single)
        imgfx_blur_rows_sse<true>(source, target, rmax, c, pre);
    else
        imgfx_blur_rows_sse<false>(source, target, rmax, c, pre);
    if (pre != local) free(pre);
    return true;
}
#endif

// The blur of two distinct images of one size: in vector lanes from the SSE2
// level on where the radii allow, the running sums otherwise.
template <int Level>
static void imgfx_blur_rgb_same_size(const IMG *source, IMG *target, const int32_t radius[3]) {
#if SIMD_X86
    if constexpr (Level >= SIMD_SSE2)
        if (imgfx_blur_rgb_lanes<Level>(source, target, radius)) return;
#endif
    imgfx_blur_rgb_rows(source, target, radius);
}

SIMD_CLONES(imgfx_blur_rgb_fast, imgfx_blur_rgb_same_size, void,
            (const IMG *source, IMG *target, const int32_t radius[3]), (source, target, radius))

void imgfx_blur_h_rgb(const IMG *source, IMG *target, int32_t rr, int32_t rg, int32_t rb) {
    if (!imgfx_filter_args(source, target)) return;
    if (rr < 0 || rg < 0 || rb < 0) return;
    const int32_t radius[3] = {rr, rg, rb};
    if (source == target || source->width != target->width || source->height != target->height) {
        imgfx_blur_rgb_plain(source, target, radius);
        return;
    }
    imgfx_blur_rgb_fast_clone()(source, target, radius);
}

// ============================================================================
// Mosaics
// ============================================================================

// A block clipped to the image, in 64 bits so no corner can overflow.
struct ImgfxBlock {
    int64_t x, y, w, h;
};

static ImgfxBlock imgfx_clip_block(const IMG *image, int64_t x, int64_t y, int64_t w, int64_t h) {
    int64_t x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int64_t x1 = x + w > image->width ? image->width : x + w;
    int64_t y1 = y + h > image->height ? image->height : y + h;
    return {x0, y0, x1 > x0 ? x1 - x0 : 0, y1 > y0 ? y1 - y0 : 0};
}

static uint32_t imgfx_average_of(const IMG *image, const ImgfxBlock &b, ImgfxDivider &d) {
    if (b.w < 1 || b.h < 1) return 0;  // nothing inside: no colour to average
    uint64_t red = 0, green = 0, blue = 0;
    // The block is clipped to the image: its rows are read directly. Red and
    // blue are summed side by side in one word, green in another; over at most
    // 256 pixels no channel's sum can carry into the next, so the words are
    // emptied into the totals every 256 pixels of a row.
    for (int64_t j = b.y; j < b.y + b.h; j++) {
        const uint32_t *row = image->pixels + j * image->width + b.x;
        for (int64_t i0 = 0; i0 < b.w; i0 += 256) {
            const int64_t n = b.w - i0 < 256 ? b.w - i0 : 256;
            uint32_t red_blue = 0, green_only = 0;
            for (int64_t i = 0; i < n; i++) {
                red_blue += row[i0 + i] & 0x00FF00FFu;
                green_only += row[i0 + i] & 0x0000FF00u;
            }
            red += red_blue >> 16;
            green += green_only >> 8;
            blue += red_blue & 0xFFFFu;
        }
    }
    // A mosaic passes the same divider for all its blocks: it changes only
    // with the pixel count.
    const uint64_t n = (uint64_t)b.w * (uint64_t)b.h;
    if (d.d != n) d = imgfx_divider_by(n);
    return imgfx_pack(imgfx_divide(red, d), imgfx_divide(green, d), imgfx_divide(blue, d));
}

static uint32_t imgfx_random_of(const IMG *image, const ImgfxBlock &b) {
    uint32_t g1 = (uint32_t)random_next();  // picks the row
    uint32_t g2 = (uint32_t)random_next();  // then the column
    if (b.w < 1 || b.h < 1) return 0;
    return img_get_pixel(image, (int32_t)(b.x + g2 % (uint64_t)b.w), (int32_t)(b.y + g1 % (uint64_t)b.h));
}

static bool imgfx_block_args(const IMG *image, int32_t w, int32_t h) {
    if (image && image->pixels && w >= 1 && h >= 1) return true;
    imgfx_error();
    return false;
}

uint32_t imgfx_block_average(const IMG *image, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!imgfx_block_args(image, w, h)) return 0;
    ImgfxDivider d = {0, 0};
    return imgfx_average_of(image, imgfx_clip_block(image, x, y, w, h), d);
}

uint32_t imgfx_block_random(const IMG *image, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!imgfx_block_args(image, w, h)) return 0;
    return imgfx_random_of(image, imgfx_clip_block(image, x, y, w, h));
}

enum ImgfxMosaic { IMGFX_TOP_LEFT, IMGFX_AVERAGE, IMGFX_RANDOM, IMGFX_CENTRE };

// Visits the grid from (x0, y0) row by row; each block takes its colour from
// its own (still unchanged) pixels and is filled clipped to the image.
static void imgfx_mosaic(IMG *image, int32_t bw, int32_t bh, int64_t x0, int64_t y0, ImgfxMosaic kind) {
    ImgfxDivider divider = {0, 0};
    for (int64_t y = y0; y < image->height; y += bh) {
        for (int64_t x = x0; x < image->width; x += bw) {
            const ImgfxBlock b = imgfx_clip_block(image, x, y, bw, bh);
            uint32_t colour = 0;
            switch (kind) {
            case IMGFX_TOP_LEFT: colour = imgfx_get(image, x, y); break;
            case IMGFX_AVERAGE: colour = imgfx_average_of(image, b, divider); break;
            case IMGFX_RANDOM: colour = imgfx_random_of(image, b); break;
            case IMGFX_CENTRE: {
                int64_t cx = x + bw / 2, cy = y + bh / 2;
                cx = cx < 0 ? 0 : cx >= image->width ? image->width - 1 : cx;
                cy = cy < 0 ? 0 : cy >= image->height ? image->height - 1 : cy;
                colour = imgfx_get(image, cx, cy);
                break;
            }
            }
            if (b.w > 0 && b.h > 0)
                img_fill_rect(image, (int32_t)b.x, (int32_t)b.y, (int32_t)b.w, (int32_t)b.h, colour);
        }
    }
}

// First block edge of the centred grid: an even number of blocks, at least one
// more than fits, centred; between -size and 0.
static int64_t imgfx_centred_origin(int32_t extent, int32_t size) {
    int64_t blocks = ((int64_t)extent / size + 2) & ~(int64_t)1;
    return ((int64_t)extent - blocks * size) / 2;
}

void imgfx_pixelate(IMG *image, int32_t bw, int32_t bh) {
    if (imgfx_block_args(image, bw, bh)) imgfx_mosaic(image, bw, bh, 0, 0, IMGFX_TOP_LEFT);
}

void imgfx_pixelate_average(IMG *image, int32_t bw, int32_t bh) {
    if (imgfx_block_args(image, bw, bh)) imgfx_mosaic(image, bw, bh, 0, 0, IMGFX_AVERAGE);
}

void imgfx_pixelate_random(IMG *image, int32_t bw, int32_t bh) {
    if (imgfx_block_args(image, bw, bh)) imgfx_mosaic(image, bw, bh, 0, 0, IMGFX_RANDOM);
}

void imgfx_pixelate_centred(IMG *image, int32_t bw, int32_t bh) {
    if (!imgfx_block_args(image, bw, bh)) return;
    imgfx_mosaic(image, bw, bh, imgfx_centred_origin(image->width, bw),
                 imgfx_centred_origin(image->height, bh), IMGFX_CENTRE);
}

void imgfx_pixelate_average_centred(IMG *image, int32_t bw, int32_t bh) {
    if (!imgfx_block_args(image, bw, bh)) return;
    imgfx_mosaic(image, bw, bh, imgfx_centred_origin(image->width, bw),
                 imgfx_centred_origin(image->height, bh), IMGFX_AVERAGE);
}

// ============================================================================
// Sprinkle and scrolling
// ============================================================================

void imgfx_sprinkle(IMG *target, const IMG *sprite, int32_t count) {
    if (!imgfx_usable(target) || !imgfx_usable(sprite)) return;
    if (sprite->width < 1 || sprite->height < 1) {  // no pixel to draw from
        imgfx_error();
        return;
    }
    for (int32_t i = 0; i < count; i++) {
        int32_t x = random_rand() % sprite->width;
        int32_t y = random_rand() % sprite->height;
        img_set_pixel(target, wrap_add(sprite->x, x), wrap_add(sprite->y, y), img_get_pixel(sprite, x, y));
    }
}

// Moves n words of a run of `count` by `shift` (> 0: towards the start) and,
// when `clear`, zeroes the vacated end. |shift| >= count vacates everything.
static void imgfx_shift_run(uint32_t *run, int64_t count, int64_t shift, bool clear) {
    if (shift == 0 || count <= 0) return;
    int64_t n = shift < 0 ? -shift : shift;
    if (n >= count) {
        if (clear) memset(run, 0, (size_t)count * sizeof(uint32_t));
        return;
    }
    size_t keep = (size_t)(count - n) * sizeof(uint32_t), gone = (size_t)n * sizeof(uint32_t);
    if (shift > 0) {
        memmove(run, run + n, keep);
        if (clear) memset(run + (count - n), 0, gone);
    } else {
        memmove(run + n, run, keep);
        if (clear) memset(run, 0, gone);
    }
}

static void imgfx_row_move(IMG *image, int32_t y, int32_t n, bool clear) {
    if (!imgfx_usable(image)) return;
    if (y < 0 || y >= image->height || n == 0) return;
    imgfx_shift_run(image->pixels + (size_t)y * (size_t)image->width, image->width, n, clear);
}

static void imgfx_rows_move(IMG *image, int32_t n, bool clear) {
    if (!imgfx_drawable(image)) return;
    for (int32_t y = 0; y < image->height; y++) imgfx_row_move(image, y, n, clear);
}

// The pixel array as one sequence, moved by n rows of width words.
static void imgfx_vertical_move(IMG *image, int32_t n, bool clear) {
    if (!imgfx_usable(image)) return;
    if (image->width <= 0 || image->height <= 0) return;
    const int64_t w = image->width;
    const int64_t rows = n < -(int64_t)image->height ? -(int64_t)image->height
                         : n > image->height          ? image->height
                                                      : n;
    imgfx_shift_run(image->pixels, w * image->height, rows * w, clear);
}

void imgfx_scroll_row(IMG *image, int32_t y, int32_t n) { imgfx_row_move(image, y, n, true); }
void imgfx_scroll_rows(IMG *image, int32_t n) { imgfx_rows_move(image, n, true); }
void imgfx_scroll_vertical(IMG *image, int32_t n) { imgfx_vertical_move(image, n, true); }
void imgfx_smear_row(IMG *image, int32_t y, int32_t n) { imgfx_row_move(image, y, n, false); }
void imgfx_smear_rows(IMG *image, int32_t n) { imgfx_rows_move(image, n, false); }
void imgfx_smear_vertical(IMG *image, int32_t n) { imgfx_vertical_move(image, n, false); }

void imgfx_scroll(IMG *image, int32_t dx, int32_t dy) {
    if (!imgfx_usable(image)) return;
    if (dx != 0) imgfx_scroll_rows(image, dx);
    if (dy != 0) imgfx_scroll_vertical(image, dy);
}

void imgfx_smear(IMG *image, int32_t dx, int32_t dy) {
    if (!imgfx_usable(image)) return;
    if (dx != 0) imgfx_smear_rows(image, dx);
    if (dy != 0) imgfx_smear_vertical(image, dy);
}

void imgfx_scroll_wrap(IMG *image, IMG *scratch, int32_t dx, int32_t dy) {
    if (!imgfx_usable(image) || !imgfx_usable(scratch)) return;
    const int32_t w = image->width, h = image->height;
    if (scratch->width != w || scratch->height != h || w < 1 || h < 1) return;
    // Offsets are taken modulo the size, so any offset wraps as a small one.
    dx = (int32_t)(((int64_t)dx % w + w) % w);
    dy = (int32_t)(((int64_t)dy % h + h) % h);
    if (dx == 0) {
        img_blit_opaque(image, scratch, 0, 0, 0, 0, w, h);
    } else {
        img_blit_opaque(image, scratch, dx, 0, 0, 0, w - dx, h);
        img_blit_opaque(image, scratch, 0, 0, w - dx, 0, dx, h);
    }
    if (dy == 0) {
        img_blit_opaque(scratch, image, 0, 0, 0, 0, w, h);
    } else {
        img_blit_opaque(scratch, image, 0, dy, 0, 0, w, h - dy);
        img_blit_opaque(scratch, image, 0, 0, 0, h - dy, w, dy);
    }
}

int imgfx_check_fit(const IMG *first, const IMG *second, const IMG *third) {
    if (!first || !second || !third || first->width < third->width || first->height < third->height) {
        imgfx_error();
        return 0;
    }
    return 1;
}

// ============================================================================
// Blits and rectangles of this module
// ============================================================================

void imgfx_blit_blend(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                      int32_t dy, int32_t w, int32_t h) {
    if (!imgfx_usable(source) || !imgfx_usable(target)) return;
    img_geom_span c;
    if (!img_geom_clip_blit(source->width, source->height, target->width, target->height, sx, sy,
                            dx, dy, w, h, &c))
        return;
    for (int64_t j = 0; j < c.h; j++) {
        const uint32_t *s = source->pixels + (c.sy + j) * source->width + c.sx;
        uint32_t *t = target->pixels + (c.dy + j) * target->width + c.dx;
        // Every target word is stored back (unchanged where the source is 0),
        // so the loop runs as vectors.
        for (int64_t i = 0; i < c.w; i++)
            t[i] = s[i] != 0 ? ((t[i] >> 1) & 0x7F7F7Fu) + ((s[i] >> 1) & 0x7F7F7Fu) : t[i];
    }
}

void imgfx_draw_blend(const IMG *source, IMG *target) {
    if (!imgfx_usable(source) || !imgfx_usable(target)) return;
    imgfx_blit_blend(source, target, 0, 0, source->x, source->y, source->width, source->height);
}

// True when the rectangle lies wholly inside the image.
static bool imgfx_rect_inside(const IMG *image, int32_t x, int32_t y, int32_t w, int32_t h) {
    return x >= 0 && y >= 0 && w > 0 && h > 0 && (int64_t)x + w <= image->width &&
           (int64_t)y + h <= image->height;
}

void imgfx_xor_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    if (!imgfx_usable(image)) return;
    if (!imgfx_rect_inside(image, x, y, w, h)) {
        imgfx_error();
        return;
    }
    for (int32_t j = y; j < y + h; j++) {
        uint32_t *row = image->pixels + (size_t)j * (size_t)image->width;
        for (int32_t i = x; i < x + w; i++) row[i] ^= colour;
    }
}

void imgfx_multiply(const IMG *a, IMG *b) {
    if (!imgfx_usable(a) || !imgfx_usable(b)) return;
    // The product covers a's pixels; b must hold as many, or it would be overrun.
    if (a->width != b->width || a->height != b->height) {
        imgfx_error();
        return;
    }
    const size_t n = (size_t)a->width * (size_t)a->height;
    for (size_t i = 0; i < n; i++) b->pixels[i] = a->pixels[i] * b->pixels[i];
}

// ============================================================================
// Copies of IMG operations: the arguments IMG would refuse are refused here
// first, through this module's reporter; the work is IMG's.
// ============================================================================

void imgfx_scale(const IMG *source, IMG *target) {
    if (!imgfx_usable(source) || !imgfx_usable(target)) return;
    if (target->width < 0 || target->height < 0) {
        imgfx_error();
        return;
    }
    img_scale(source, target);
}

IMG *imgfx_rotate(const IMG *source, int32_t angle) {
    if (!imgfx_usable(source)) return nullptr;
    return img_rotate(source, angle);
}

void imgfx_sub_colour(IMG *image, uint32_t colour) {
    if (imgfx_usable(image)) img_sub_colour(image, colour);
}

void imgfx_and(const IMG *mask, IMG *target) {
    if (imgfx_usable(mask) && imgfx_usable(target)) img_and(mask, target);
}

void imgfx_invert(IMG *image) {
    if (imgfx_usable(image)) img_invert(image);
}

void imgfx_replace_colour(IMG *image, uint32_t from, uint32_t to) {
    if (imgfx_usable(image)) img_replace_colour(image, from, to);
}

// The wrap copies need the named rows (or columns) inside their images.
static bool imgfx_lines_inside(const IMG *source, const IMG *target, int32_t s, int32_t t, bool rows) {
    if (!imgfx_usable(source) || !imgfx_usable(target)) return false;
    const int32_t s_end = rows ? source->height : source->width;
    const int32_t t_end = rows ? target->height : target->width;
    if (s >= 0 && s < s_end && t >= 0 && t < t_end) return true;
    imgfx_error();
    return false;
}

void imgfx_blit_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                         int32_t offset) {
    if (imgfx_lines_inside(source, target, source_row, target_row, true))
        img_blit_row_wrap(source, target, source_row, target_row, offset);
}

void imgfx_or_row_wrap(const IMG *source, IMG *target, int32_t source_row, int32_t target_row,
                       int32_t offset) {
    if (imgfx_lines_inside(source, target, source_row, target_row, true))
        img_or_row_wrap(source, target, source_row, target_row, offset);
}

void imgfx_blit_column_wrap(const IMG *source, IMG *target, int32_t source_column,
                            int32_t target_column, int32_t offset) {
    if (imgfx_lines_inside(source, target, source_column, target_column, false))
        img_blit_column_wrap(source, target, source_column, target_column, offset);
}

void imgfx_blit_spaced(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                       int32_t dy, int32_t w, int32_t h, int32_t step_x, int32_t step_y) {
    if (imgfx_usable(source) && imgfx_usable(target))
        img_blit_spaced(source, target, sx, sy, dx, dy, w, h, step_x, step_y);
}

void imgfx_copy_row(const IMG *source, IMG *target, int32_t source_row, int32_t target_row) {
    if (imgfx_lines_inside(source, target, source_row, target_row, true))
        img_copy_row(source, target, source_row, target_row);
}

void imgfx_blit_add(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                    int32_t dy, int32_t w, int32_t h) {
    if (imgfx_usable(source) && imgfx_usable(target)) img_blit_add(source, target, sx, sy, dx, dy, w, h);
}

void imgfx_blit_opaque(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                       int32_t dy, int32_t w, int32_t h) {
    if (imgfx_usable(source) && imgfx_usable(target))
        img_blit_opaque(source, target, sx, sy, dx, dy, w, h);
}

void imgfx_blit_add_sat(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t dx,
                        int32_t dy, int32_t w, int32_t h) {
    if (imgfx_usable(source) && imgfx_usable(target))
        img_blit_add_sat(source, target, sx, sy, dx, dy, w, h);
}

void imgfx_fill_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    if (imgfx_usable(image)) img_fill_rect(image, x, y, w, h, colour);
}

void imgfx_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    if (!imgfx_usable(image)) return;
    if (!imgfx_rect_inside(image, x, y, w, h)) {
        imgfx_error();
        return;
    }
    img_rect(image, x, y, w, h, colour);
}

void imgfx_invert_rect(IMG *image, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (imgfx_usable(image)) img_invert_rect(image, x, y, w, h);
}

void imgfx_hline(IMG *image, int32_t y, int32_t x0, int32_t x1, uint32_t colour) {
    if (imgfx_usable(image)) img_hline(image, y, x0, x1, colour);
}

void imgfx_vline(IMG *image, int32_t x, int32_t y0, int32_t y1, uint32_t colour) {
    if (imgfx_usable(image)) img_vline(image, x, y0, y1, colour);
}

int32_t *imgfx_run_lengths(int32_t a, int32_t b) { return img_run_lengths(a, b); }

int32_t *imgfx_run_lengths_mirrored(int32_t a, int32_t b) { return img_run_lengths_mirrored(a, b); }

int32_t *imgfx_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    return img_line_points(x0, y0, x1, y1);
}

int32_t imgfx_find_text(const char *text, const char *pattern) {
    if (!text || !pattern) {
        imgfx_error();
        return 0;
    }
    return img_find_text(text, pattern);
}

// ============================================================================
// Points, spans and lines
// ============================================================================

// The pixel at (x, y) of a usable image, the point known to be inside.
static uint32_t &imgfx_pixel(IMG *image, int64_t x, int64_t y) {
    return image->pixels[(size_t)y * (size_t)image->width + (size_t)x];
}

void imgfx_plot_blend(IMG *image, int32_t x, int32_t y, uint32_t colour) {
    if (!imgfx_usable(image) || !imgfx_inside(image, x, y)) return;
    uint32_t &p = imgfx_pixel(image, x, y);
    p = rgb888_average(p, colour);
}

void imgfx_plot_add(IMG *image, int32_t x, int32_t y, uint32_t colour) {
    if (!imgfx_usable(image) || !imgfx_inside(image, x, y)) return;
    uint32_t &p = imgfx_pixel(image, x, y);
    p = rgb888_add(p, colour);
}

// (p * (256 - alpha) + colour * alpha) / 256 per channel; alpha in 0..256.
static uint32_t imgfx_mix(uint32_t p, uint32_t colour, uint32_t alpha) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= ((imgfx_channel(p, shift) * (256 - alpha) + imgfx_channel(colour, shift) * alpha) >> 8) << shift;
    return out;
}

// A span along one axis: ends ordered and clipped to 0 .. size - 1, the other
// coordinate inside; each pixel mixed with the colour.
static void imgfx_span_alpha(IMG *image, bool horizontal, int32_t at, int32_t a, int32_t b,
                             uint32_t colour, int32_t alpha) {
    if (!imgfx_usable(image)) return;
    const int32_t across = horizontal ? image->height : image->width;
    const int32_t along = horizontal ? image->width : image->height;
    if (at < 0 || at >= across) return;
    if (a > b) {
        int32_t t = a;
        a = b;
        b = t;
    }
    if (a < 0) a = 0;
    if (b > along - 1) b = along - 1;
    // Weights outside 0..256 would mix past a channel; they are held there.
    const uint32_t al = alpha < 0 ? 0 : alpha > 256 ? 256 : (uint32_t)alpha;
    for (int32_t i = a; i <= b; i++) {
        size_t index = horizontal ? (size_t)at * (size_t)image->width + (size_t)i
                                  : (size_t)i * (size_t)image->width + (size_t)at;
        image->pixels[index] = imgfx_mix(image->pixels[index], colour, al);
    }
}

void imgfx_hline_alpha(IMG *image, int32_t y, int32_t x0, int32_t x1, uint32_t colour, int32_t alpha) {
    imgfx_span_alpha(image, true, y, x0, x1, colour, alpha);
}

void imgfx_vline_alpha(IMG *image, int32_t x, int32_t y0, int32_t y1, uint32_t colour, int32_t alpha) {
    imgfx_span_alpha(image, false, x, y0, y1, colour, alpha);
}

void imgfx_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    img_line(image, x0, y0, x1, y1, colour);
}

void imgfx_line_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    if (imgfx_usable(image)) img_line_two_ends(image, x0, y0, x1, y1, colour);
}

// The lines below walk only their points inside the image (found before
// stepping) and change each pixel in place.
void imgfx_line_blend_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                               uint32_t colour) {
    if (!imgfx_drawable(image)) return;
    img_walk_two_ends_inside(x0, y0, x1, y1, image->width, image->height, [&](int64_t x, int64_t y, int64_t) {
        uint32_t &p = imgfx_pixel(image, x, y);
        p = rgb888_average(p, colour);
    });
}

void imgfx_line_add_two_ends(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                             uint32_t colour) {
    if (!imgfx_drawable(image)) return;
    img_walk_two_ends_inside(x0, y0, x1, y1, image->width, image->height, [&](int64_t x, int64_t y, int64_t) {
        uint32_t &p = imgfx_pixel(image, x, y);
        p = rgb888_add(p, colour);
    });
}

// The major length of a line: its number of steps.
static int64_t imgfx_major(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const int64_t ax = (int64_t)x1 - x0, ay = (int64_t)y1 - y0;
    const int64_t a = ax < 0 ? -ax : ax, b = ay < 0 ? -ay : ay;
    return a > b ? a : b;
}

// The growing dither: the counter starts at the major length m and loses the
// step number at every point; a point takes colour1 when the counter falls
// below 1 (and the counter gains m), colour0 otherwise. The counter stays
// above -m, so one wrap is enough. Branch-free (the wrap's pattern is the
// dither's, which a predictor guesses badly), and kept less one so that
// falling below 1 is its sign: each step waits on the one before through
// four short operations.
struct ImgfxDither {
    int64_t e, m;  // e: the counter less one
    uint32_t colour0, flip;  // flip = colour0 ^ colour1
};

// The counter as point k (0 <= k <= m, m < 2^32) finds it: it started at m
// and lost 0, 1, .., k - 1, gaining m each time it fell below 1, so it is
// m - (k (k - 1) / 2 mod m), the product halved first so that it fits 64 bits.
static ImgfxDither imgfx_dither_at(int64_t m, int64_t k, uint32_t colour0, uint32_t colour1) {
    const uint64_t uk = (uint64_t)k;
    const uint64_t lost = (uk & 1) ? uk * ((uk - 1) / 2) : (uk / 2) * (uk - 1);
    return {m - 1 - (lost ? (int64_t)(lost % (uint64_t)m) : 0), m, colour0, colour0 ^ colour1};
}

static inline uint32_t imgfx_dither_next(ImgfxDither &s, int64_t k) {
    const int64_t e = s.e - k;
    const int64_t wrap = e >> 63;  // all ones when the counter fell below 1
    s.e = e + (s.m & wrap);
    return s.colour0 ^ (s.flip & (uint32_t)wrap);
}

void imgfx_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                       uint32_t colour1) {
    if (!imgfx_drawable(image)) return;
    if (x0 == x1 && y0 == y1) {  // one point: the growing dither has not started
        img_set_pixel(image, x0, y0, colour0);
        return;
    }
    const int64_t m = imgfx_major(x0, y0, x1, y1);
    ImgfxDither dither{};
    bool started = false;
    img_walk_line_inside(x0, y0, x1, y1, image->width, image->height, [&](int64_t x, int64_t y, int64_t k) {
        if (!started) dither = imgfx_dither_at(m, k, colour0, colour1);
        started = true;
        imgfx_pixel(image, x, y) = imgfx_dither_next(dither, k);
    });
}

// How the gradient's single point and each point are drawn.
enum ImgfxGradient { IMGFX_GRADIENT_FIRST, IMGFX_GRADIENT_AVERAGE, IMGFX_GRADIENT_ADD };

static void imgfx_gradient(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                           uint32_t colour1, ImgfxGradient kind) {
    if (!imgfx_drawable(image)) return;
    if (x0 == x1 && y0 == y1) {
        const uint32_t colour = kind == IMGFX_GRADIENT_FIRST ? colour0 : rgb888_average(colour0, colour1);
        if (kind == IMGFX_GRADIENT_ADD)
            imgfx_plot_add(image, x0, y0, colour);
        else
            img_set_pixel(image, x0, y0, colour);
        return;
    }
    const int64_t m = imgfx_major(x0, y0, x1, y1);
    // Each channel in 16.16: it starts at colour0's and steps by the
    // difference / m, truncated toward zero, so it never passes colour1's.
    int64_t value[3], step[3];
    for (int c = 0; c < 3; c++) {
        const int shift = 16 - 8 * c;
        value[c] = (int64_t)imgfx_channel(colour0, shift) << 16;
        step[c] = (((int64_t)imgfx_channel(colour1, shift) - (int64_t)imgfx_channel(colour0, shift)) * 65536) / m;
    }
    bool started = false;
    img_walk_line_inside(x0, y0, x1, y1, image->width, image->height, [&](int64_t x, int64_t y, int64_t k) {
        if (!started) {  // the channels as they are after k steps
            for (int c = 0; c < 3; c++) value[c] += k * step[c];
            started = true;
        }
        const uint32_t colour =
            imgfx_pack((uint32_t)(value[0] >> 16), (uint32_t)(value[1] >> 16), (uint32_t)(value[2] >> 16));
        uint32_t &p = imgfx_pixel(image, x, y);
        p = kind == IMGFX_GRADIENT_ADD ? rgb888_add(p, colour) : colour;
        for (int c = 0; c < 3; c++) value[c] += step[c];
    });
}

void imgfx_gradient_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                         uint32_t colour1) {
    imgfx_gradient(image, x0, y0, colour0, x1, y1, colour1, IMGFX_GRADIENT_FIRST);
}

void imgfx_gradient_line_avg(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                             int32_t y1, uint32_t colour1) {
    imgfx_gradient(image, x0, y0, colour0, x1, y1, colour1, IMGFX_GRADIENT_AVERAGE);
}

void imgfx_gradient_line_add(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                             int32_t y1, uint32_t colour1) {
    imgfx_gradient(image, x0, y0, colour0, x1, y1, colour1, IMGFX_GRADIENT_ADD);
}

// Narrows [*lo, *hi] to the offsets o for which the span a + r o .. b + r o
// (a <= b, r one of -1, 0, 1) meets 0 .. size - 1; the range is left empty
// when none does.
static void imgfx_span_meets(int64_t a, int64_t b, int64_t r, int64_t size, int64_t *lo, int64_t *hi) {
    if (r == 0) {
        if (b < 0 || a > size - 1) *hi = *lo - 1;
        return;
    }
    const int64_t first = r > 0 ? -b : a - (size - 1), last = r > 0 ? size - 1 - a : b;
    if (first > *lo) *lo = first;
    if (last < *hi) *hi = last;
}

// One family of parallels: the line at offset o has the ends
// (x0 + rx o + ex, y0 + ry o) and (x1 + rx o + ex, y1 + ry o), each coordinate
// wrapped to 32 bits as the program's coordinates are.
struct ImgfxParallels {
    int64_t rx, ry, ex;
};

static int32_t imgfx_wrap32(int64_t v) { return (int32_t)(uint32_t)(uint64_t)v; }

// What wrapping to 32 bits adds to v.
static int64_t imgfx_wrap_shift(int64_t v) { return (int64_t)imgfx_wrap32(v) - v; }

// Narrows [*lo, *hi], over which no end of the family's lines changes its
// wrap, to the offsets whose line's box meets a w x h image.
static void imgfx_parallels_meet(const ImgfxParallels &f, int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t w,
                                 int64_t h, int64_t *lo, int64_t *hi) {
    const int64_t o = *lo;
    const int64_t ax = x0 + f.ex + imgfx_wrap_shift(x0 + f.rx * o + f.ex);
    const int64_t bx = x1 + f.ex + imgfx_wrap_shift(x1 + f.rx * o + f.ex);
    const int64_t ay = y0 + imgfx_wrap_shift(y0 + f.ry * o), by = y1 + imgfx_wrap_shift(y1 + f.ry * o);
    imgfx_span_meets(ax < bx ? ax : bx, ax < bx ? bx : ax, f.rx, w, lo, hi);
    imgfx_span_meets(ay < by ? ay : by, ay < by ? by : ay, f.ry, h, lo, hi);
}

// The offsets in (lo, hi] at which some end of a family's lines starts or
// stops wrapping (more are harmless), then hi + 1, in order: between two of
// them every end keeps its wrap, so each line is the first one moved along.
static int32_t imgfx_wrap_starts(const ImgfxParallels *f, int32_t families, int64_t x0, int64_t y0, int64_t x1,
                                 int64_t y1, int64_t lo, int64_t hi, int64_t *starts) {
    int32_t n = 0;
    for (int32_t k = 0; k < families; k++) {
        const int64_t ends[4] = {x0 + f[k].ex, x1 + f[k].ex, y0, y1};
        for (int32_t e = 0; e < 4; e++) {
            if ((e < 2 ? f[k].rx : f[k].ry) == 0) continue;
            const int64_t c = ends[e];
            const int64_t at[4] = {(int64_t)INT32_MAX - c + 1, (int64_t)INT32_MIN - c, c - INT32_MAX,
                                   c - INT32_MIN + 1};
            for (int64_t s : at)
                if (s > lo && s <= hi) starts[n++] = s;
        }
    }
    starts[n++] = hi + 1;
    for (int32_t i = 1; i < n; i++)  // a handful of values: insertion sort
        for (int32_t j = i; j > 0 && starts[j - 1] > starts[j]; j--) {
            const int64_t t = starts[j];
            starts[j] = starts[j - 1];
            starts[j - 1] = t;
        }
    return n;
}

// Parallel lines: steep ones side by side, shallow ones stacked, diagonal ones
// as pairs one column apart so no hole opens between neighbours; the
// diagonal band is three quarters as thick. draw(x0, y0, x1, y1) draws one,
// in order of offset (a pair's left line first). Only the lines whose box
// meets a w x h image are drawn (all of them when w and h are negative),
// found for each stretch of offsets over which the ends keep their wrap, so
// a line of any thickness costs what can show.
template <class Draw>
static void imgfx_thick(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t t, int64_t w, int64_t h,
                        Draw draw) {
    const int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0, ay = dy < 0 ? -dy : dy;
    ImgfxParallels f[2];
    int32_t families = 1;
    int64_t lo = -(int64_t)t / 2, hi = ((int64_t)t + 1) / 2 - 1;
    if (ay >= 2 * dx) {
        f[0] = {1, 0, 0};
    } else if (ay >= (dx >> 1)) {
        const int64_t t3 = (3 * (int64_t)t) / 4, v = dy < 1 ? 1 : -1;
        lo = -t3 / 2;
        hi = (t3 + 1) / 2 - 1;
        f[0] = {1, v, 0};
        f[1] = {1, v, 1};
        families = 2;
    } else {
        f[0] = {0, 1, 0};
    }
    auto line = [&](const ImgfxParallels &p, int64_t o) {
        draw(imgfx_wrap32(x0 + p.rx * o + p.ex), imgfx_wrap32(y0 + p.ry * o), imgfx_wrap32(x1 + p.rx * o + p.ex),
             imgfx_wrap32(y1 + p.ry * o));
    };
    if (w < 0) {
        for (int64_t o = lo; o <= hi; o++)
            for (int32_t k = 0; k < families; k++) line(f[k], o);
        return;
    }
    int64_t starts[34];
    const int32_t n = imgfx_wrap_starts(f, families, x0, y0, x1, y1, lo, hi, starts);
    for (int32_t i = 0; i < n; i++) {
        const int64_t from = i == 0 ? lo : starts[i - 1], to = starts[i] - 1;
        int64_t a[2], b[2], first = to + 1, last = from - 1;
        for (int32_t k = 0; k < families; k++) {
            a[k] = from;
            b[k] = to;
            imgfx_parallels_meet(f[k], x0, y0, x1, y1, w, h, &a[k], &b[k]);
            if (a[k] > b[k]) continue;
            if (a[k] < first) first = a[k];
            if (b[k] > last) last = b[k];
        }
        for (int64_t o = first; o <= last; o++)
            for (int32_t k = 0; k < families; k++)
                if (o >= a[k] && o <= b[k]) line(f[k], o);
    }
}

// The image's size for the thick lines' clip, or -1 (draw every line, each
// reporting) when it has no pixel array.
static int64_t imgfx_thick_width(const IMG *image) { return image->pixels ? image->width : -1; }
static int64_t imgfx_thick_height(const IMG *image) { return image->pixels ? image->height : -1; }

// An image with a pixel array but no pixels takes no line at all.
static bool imgfx_thick_empty(const IMG *image) {
    return image->pixels && (image->width == 0 || image->height == 0);
}

void imgfx_thick_line(IMG *image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour,
                      int32_t thickness) {
    if (!image || thickness < 1 || imgfx_thick_empty(image)) return;
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    imgfx_thick(x0, y0, x1, y1, thickness, imgfx_thick_width(image), imgfx_thick_height(image),
                [&](int32_t a, int32_t b, int32_t c, int32_t d) {
        imgfx_line(image, a, b, c, d, colour);
    });
}

// n >= 1 words from `from` to `to`, or n copies of one colour (from = null),
// four at a time where the compiler has vector types: the last four may
// overlap the ones before, which writes the same words again. The runs of a
// thick line are a few words long, too short for a library call to pay, so
// up to 32 words are written without a loop (which the compiler would turn
// into one).
static inline void imgfx_words(uint32_t *to, const uint32_t *from, uint32_t colour, int64_t n) {
#if defined(__GNUC__)
    typedef uint32_t Words4 __attribute__((vector_size(16)));
    if (n >= 4) {
        Words4 v = Words4{} + colour;
        auto four = [&](int64_t i) {
            if (from) std::memcpy(&v, from + i, sizeof v);
            std::memcpy(to + i, &v, sizeof v);
        };
        if (n <= 8) {
            four(0), four(n - 4);
        } else if (n <= 16) {
            four(0), four(4), four(n - 8), four(n - 4);
        } else if (n <= 32) {
            four(0), four(4), four(8), four(12), four(n - 16), four(n - 12), four(n - 8), four(n - 4);
        } else {
            for (int64_t i = 0; i + 4 < n; i += 4) four(i);
            four(n - 4);
        }
        return;
    }
#endif
    for (int64_t i = 0; i < n; i++) to[i] = from ? from[i] : colour;
}

// Thick dither lines whose parallels' ends all stay inside the 32-bit range.
// Every parallel has the same major length, walk and colour sequence, so the
// walk and the dither are stepped once for all of them where the band allows:
// a steep band has one point per row in each parallel, so step k's points of
// all parallels are one row span; a shallow band's are one column span. No
// pixel is drawn twice in either band, so drawing by steps rather than by
// parallels does not show.
static void imgfx_thick_dither_rows(IMG *image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour0,
                                    uint32_t colour1, int64_t lo, int64_t hi) {
    const int64_t w = image->width, h = image->height, spread = hi - lo;
    if (x0 == x1 && y0 == y1) {  // points: the dither has not started
        if (y0 < 0 || y0 >= h) return;
        uint32_t *row = image->pixels + (size_t)y0 * (size_t)w;
        for (int64_t x = x0 + lo < 0 ? 0 : x0 + lo; x <= x0 + hi && x < w; x++) row[x] = colour0;
        return;
    }
    const int64_t m = imgfx_major((int32_t)x0, (int32_t)y0, (int32_t)x1, (int32_t)y1);
    const int64_t dx = x1 - x0, dy = y1 - y0;
    ImgfxDither dither{};
    bool started = false;
    // The walk of the rightmost parallel, in an image widened to the left by
    // the spread: it sees every step whose span meets the image.
    img_walk_inside(x0 + hi, y0, dx < 0 ? -dx : dx, dy < 0 ? -dy : dy, img_walk_sign(dx), img_walk_sign(dy), m,
                    w + spread, h, [&](int64_t xr, int64_t y, int64_t k) {
        if (!started) dither = imgfx_dither_at(m, k, colour0, colour1);
        started = true;
        const uint32_t colour = imgfx_dither_next(dither, k);
        uint32_t *row = image->pixels + (size_t)y * (size_t)w;
        const int64_t a = xr - spread < 0 ? 0 : xr - spread, b = xr < w ? xr : w - 1;
        imgfx_words(row + a, nullptr, colour, b - a + 1);
    });
}

static void imgfx_thick_dither_column_spans(IMG *image, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                                            uint32_t colour0, uint32_t colour1, int64_t lo, int64_t hi) {
    const int64_t w = image->width, h = image->height, spread = hi - lo;
    const int64_t m = imgfx_major((int32_t)x0, (int32_t)y0, (int32_t)x1, (int32_t)y1);
    const int64_t dx = x1 - x0, dy = y1 - y0;
    ImgfxDither dither{};
    bool started = false;
    // The walk of the lowest parallel, in an image heightened by the spread.
    img_walk_inside(x0, y0 + hi, dx < 0 ? -dx : dx, dy < 0 ? -dy : dy, img_walk_sign(dx), img_walk_sign(dy), m, w,
                    h + spread, [&](int64_t x, int64_t yb, int64_t k) {
        if (!started) dither = imgfx_dither_at(m, k, colour0, colour1);
        started = true;
        const uint32_t colour = imgfx_dither_next(dither, k);
        const int64_t a = yb - spread < 0 ? 0 : yb - spread, b = yb < h ? yb : h - 1;
        uint32_t *p = image->pixels + (size_t)a * (size_t)w + (size_t)x;
        for (int64_t y = a; y <= b; y++, p += w) *p = colour;
    });
}

// The longest line whose steps the shallow and diagonal bands keep.
static const int64_t imgfx_kept_steps = 1024;

// A shallow band row by row: its steps are kept (colour and row, one column
// each, in order), and since the rows move one way along the line, one
// row at a time, row Y's points are the steps whose row lies in
// Y - hi .. Y - lo, one run of columns, copied in one go. Where each of the
// line's rows ends among the steps is noted as it is walked, so a run's
// ends are looked up rather than searched. Longer lines store a column span
// per step.
static void imgfx_thick_dither_columns(IMG *image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour0,
                                       uint32_t colour1, int64_t lo, int64_t hi) {
    const int64_t m = imgfx_major((int32_t)x0, (int32_t)y0, (int32_t)x1, (int32_t)y1);
    if (m + 1 > imgfx_kept_steps) {
        imgfx_thick_dither_column_spans(image, x0, y0, x1, y1, colour0, colour1, lo, hi);
        return;
    }
    const int64_t w = image->width, h = image->height, spread = hi - lo, dx = x1 - x0, dy = y1 - y0;
    const int64_t way = dy < 0 ? -1 : 1;  // how the rows move along the line
    uint32_t colours[imgfx_kept_steps];
    // ends[r + 1]: one past the last step on the line's r-th row from its
    // first kept one; ends[0] = 0.
    int64_t ends[imgfx_kept_steps + 1];
    int64_t n = 0, first_x = 0, first_row = 0, r = 0;
    ImgfxDither dither{};
    img_walk_inside(x0, y0 + hi, dx < 0 ? -dx : dx, dy < 0 ? -dy : dy, img_walk_sign(dx), img_walk_sign(dy), m, w,
                    h + spread, [&](int64_t x, int64_t yb, int64_t k) {
        if (n == 0) {
            dither = imgfx_dither_at(m, k, colour0, colour1);
            first_x = x;
            first_row = yb - hi;
        }
        colours[n++] = imgfx_dither_next(dither, k);
        r = (yb - hi - first_row) * way;  // 0 .. n - 1: the rows move by at most one a step
        ends[r + 1] = n;
    });
    if (n == 0) return;
    ends[0] = 0;
    const int64_t last_row = first_row + r * way;
    int64_t top = (way > 0 ? first_row : last_row) + lo, bottom = (way > 0 ? last_row : first_row) + hi;
    if (top < 0) top = 0;
    if (bottom > h - 1) bottom = h - 1;
    for (int64_t y = top; y <= bottom; y++) {
        // The line's rows y - hi .. y - lo, counted from its first (at least
        // one of them is the line's, from top to bottom).
        int64_t from = way > 0 ? y - hi - first_row : first_row - y + lo, to = from + spread;
        if (from < 0) from = 0;
        if (to > r) to = r;
        const int64_t a = ends[from], b = ends[to + 1];
        imgfx_words(image->pixels + (size_t)y * (size_t)w + (size_t)(first_x + a), colours + a, 0, b - a);
    }
}

// The diagonal band's pair of parallels at offset o, (o, v) and (o + 1, v),
// drawn together: step k stores both points of the pair. The pair's points
// meet only where the line steps along x alone (its second point then lies
// on the first's next one), and there the second parallel, drawn last, wins:
// that point is left to the step before.
static void imgfx_thick_dither_pair(IMG *image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour0,
                                    uint32_t colour1, int64_t m) {
    const int64_t w = image->width, dx = x1 - x0, dy = y1 - y0;
    ImgfxDither dither{};
    bool started = false;
    int64_t previous_y = INT64_MIN;
    // The walk of the second parallel, in an image widened by one column to
    // the right: it sees every step with a point of the pair inside.
    img_walk_inside(x0 + 1, y0, dx < 0 ? -dx : dx, dy < 0 ? -dy : dy, img_walk_sign(dx), img_walk_sign(dy), m,
                    w + 1, image->height, [&](int64_t xr, int64_t y, int64_t k) {
        if (!started) dither = imgfx_dither_at(m, k, colour0, colour1);
        started = true;
        const uint32_t colour = imgfx_dither_next(dither, k);
        uint32_t *row = image->pixels + (size_t)y * (size_t)w;
        if (xr < w) row[xr] = colour;
        if (xr > 0 && y != previous_y) row[xr - 1] = colour;
        previous_y = y;
    });
}

// The pairs at offsets lo .. hi (rows moving by v = 1 or -1 per offset), in
// order of offset, each as imgfx_thick_dither_pair draws it, row by row.
// The line's rows move the other way, so image row Y holds the line's rows
// rY + lo .. rY + hi (counted along the line from its first kept step, rY
// for Y), one from each pair: the pair at offset o puts the line's row
// rY + o there, moved right by o. Moved right by its own count instead,
// each row of the line draws just after the one before (x moves one way),
// touching at most its last point: so all the pairs' points, drawn in
// order onto one strip, give every image row's run as a piece of the strip,
// the later pair winning where two meet as it does when they are drawn.
// Only the piece's last point, which the next row of the line may have
// covered in the strip, is stored from its own colour. Lines of up to
// imgfx_kept_steps points are drawn so, from the steps with a point of some
// pair inside (the image widened by the pairs' reach).
static void imgfx_thick_dither_pairs(IMG *image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour0,
                                     uint32_t colour1, int64_t lo, int64_t hi, int64_t v) {
    const int64_t m = imgfx_major((int32_t)x0, (int32_t)y0, (int32_t)x1, (int32_t)y1);
    if (m + 1 > imgfx_kept_steps) {
        for (int64_t o = lo; o <= hi; o++)
            imgfx_thick_dither_pair(image, x0 + o, y0 + v * o, x1 + o, y1 + v * o, colour0, colour1, m);
        return;
    }
    const int64_t w = image->width, h = image->height, dx = x1 - x0, dy = y1 - y0;
    const int64_t vlo = v > 0 ? lo : -hi, vhi = v > 0 ? hi : -lo;
    // The strip: a step at column x on the line's row r puts its pair's two
    // points at x + r and x + r + 1 (less the first step's column). The
    // first point takes the colour of the step before on the same row (the
    // second line, drawn last, left it there), else the step's own.
    uint32_t strip[2 * imgfx_kept_steps], colours[imgfx_kept_steps];
    int64_t at[imgfx_kept_steps], ends[imgfx_kept_steps + 1];  // ends[r + 1]: one past row r's last step
    int64_t n = 0, first_x = 0, first_y = 0, r = -1;
    uint32_t previous = colour0;
    ImgfxDither dither{};
    img_walk_inside(x0 + hi + 1, y0 + vhi, dx < 0 ? -dx : dx, dy < 0 ? -dy : dy, img_walk_sign(dx), img_walk_sign(dy),
                    m, w + (hi - lo) + 1, h + (vhi - vlo), [&](int64_t xv, int64_t yv, int64_t k) {
        const int64_t x = xv - hi - 1, y = yv - vhi;
        if (n == 0) {
            dither = imgfx_dither_at(m, k, colour0, colour1);
            first_x = x;
            first_y = y;
        }
        const uint32_t colour = imgfx_dither_next(dither, k);
        const int64_t row = (first_y - y) * v;  // 0 .. n - 1: the rows move by at most one a step
        const uint32_t pair[2] = {row == r ? previous : colour, colour};
        const int64_t u = x - first_x + row;
        std::memcpy(strip + u, pair, sizeof pair);
        at[n] = u;
        colours[n++] = colour;
        ends[row + 1] = n;
        r = row;
        previous = colour;
    });
    if (n == 0) return;
    ends[0] = 0;
    uint32_t *const pixels = image->pixels;
    for (int64_t ry = -hi; ry <= r - lo; ry++) {  // the image rows some pair reaches
        const int64_t y = first_y - v * ry;
        if ((uint64_t)y >= (uint64_t)h) continue;
        const int64_t from = ry + lo < 0 ? 0 : ry + lo, to = ry + hi > r ? r : ry + hi;
        const int64_t last_step = ends[to + 1] - 1, last = at[last_step] + 1, shift = first_x - ry;
        int64_t a = at[ends[from]], b = last;  // the strip's a .. b - 1, then the last point
        if (a + shift < 0) a = -shift;
        if (b + shift > w) b = w - shift;
        uint32_t *const line = pixels + (size_t)y * (size_t)w;
        if (a < b) imgfx_words(line + (a + shift), strip + a, 0, b - a);
        if (last + shift >= 0 && last + shift < w) line[last + shift] = colours[last_step];
    }
}

static bool imgfx_fits32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Draws the thick dither line (x0 <= x1) through the paths above and returns
// true, or returns false when an offset could wrap a coordinate past 32 bits.
static bool imgfx_thick_dither_stepped(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1,
                                       int32_t y1, uint32_t colour1, int32_t t) {
    const int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0, ay = dy < 0 ? -dy : dy;
    const int64_t ylo = y0 < y1 ? y0 : y1, yhi = y0 < y1 ? y1 : y0;
    if (ay >= 2 * dx || ay < (dx >> 1)) {
        const int64_t lo = -(int64_t)t / 2, hi = ((int64_t)t + 1) / 2 - 1;
        if (ay >= 2 * dx) {
            if (!imgfx_fits32(x0 + lo) || !imgfx_fits32(x1 + hi)) return false;
            imgfx_thick_dither_rows(image, x0, y0, x1, y1, colour0, colour1, lo, hi);
        } else {
            if (!imgfx_fits32(ylo + lo) || !imgfx_fits32(yhi + hi)) return false;
            imgfx_thick_dither_columns(image, x0, y0, x1, y1, colour0, colour1, lo, hi);
        }
        return true;
    }
    const int64_t t3 = (3 * (int64_t)t) / 4;
    int64_t lo = -t3 / 2, hi = (t3 + 1) / 2 - 1;
    const int64_t vlo = dy < 1 ? lo : -hi, vhi = dy < 1 ? hi : -lo;
    if (!imgfx_fits32(x0 + lo) || !imgfx_fits32((int64_t)x1 + hi + 1) || !imgfx_fits32(ylo + vlo) ||
        !imgfx_fits32(yhi + vhi))
        return false;
    imgfx_span_meets(x0, (int64_t)x1 + 1, 1, image->width, &lo, &hi);
    imgfx_span_meets(ylo, yhi, dy < 1 ? 1 : -1, image->height, &lo, &hi);
    if (lo <= hi) imgfx_thick_dither_pairs(image, x0, y0, x1, y1, colour0, colour1, lo, hi, dy < 1 ? 1 : -1);
    return true;
}

void imgfx_thick_dither_line(IMG *image, int32_t x0, int32_t y0, uint32_t colour0, int32_t x1, int32_t y1,
                             uint32_t colour1, int32_t thickness) {
    if (!image || thickness < 1 || imgfx_thick_empty(image)) return;
    if (x0 > x1) {  // the colours go with their ends
        std::swap(x0, x1);
        std::swap(y0, y1);
        std::swap(colour0, colour1);
    }
    if (image->pixels && imgfx_thick_dither_stepped(image, x0, y0, colour0, x1, y1, colour1, thickness)) return;
    imgfx_thick(x0, y0, x1, y1, thickness, imgfx_thick_width(image), imgfx_thick_height(image),
                [&](int32_t a, int32_t b, int32_t c, int32_t d) {
        imgfx_dither_line(image, a, b, colour0, c, d, colour1);
    });
}

void imgfx_circle_sine(IMG *image, int32_t cx, int32_t cy, int32_t r, uint32_t colour) {
    if (!imgfx_usable(image) || !imgfx_inside(image, cx, cy) || r <= 0) {
        if (image && image->pixels) imgfx_error();
        return;
    }
    // Entry i is the sine, entry i + 256 the cosine, in units of 32768.
    for (int32_t i = 0; i < 256; i++) {
        const int64_t a = ((int64_t)sine_table[i] * r) >> 15;
        const int64_t b = ((int64_t)sine_table[i + 256] * r) >> 15;
        const int64_t px[4] = {cx + b - 1, cx - b, cx + b - 1, cx - b};
        const int64_t py[4] = {cy + a, cy + a, cy - a, cy - a};
        for (int n = 0; n < 4; n++)
            if (imgfx_inside(image, px[n], py[n])) img_set_pixel(image, (int32_t)px[n], (int32_t)py[n], colour);
    }
}
