// WINDPY: the display. Module state: the current display record and the frame
// bytes (w * h * 3: blue, green, red per pixel, bottom row first, rows
// unpadded; a valid bottom-up bitmap only when 3 * w is a multiple of 4,
// which the demo's 256 meets). The window itself belongs to the host
// backend, which is handed the image's own words. Limits: one display; sizes
// whose byte count overflows behave as a failed allocation.
#include "host/windpy.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "host/module.h"
#include "host/simd.h"
#include "imaging/img.h"

RIVO_IDENTITY(windpy, "WINDPY  ", "20140414", "WINDOWS ", "Ostrevik", "CODE    ");
RIVO_REPORTER(windpy, 0, "WINDPY error\n");

static WINDPY *windpy_current;
static uint8_t *windpy_bytes;    // the frame last converted, on a cache line
static size_t windpy_size;       // its byte count

static void windpy_free_bytes(void) {
    free(windpy_bytes);
    windpy_bytes = nullptr;
    windpy_size = 0;
}

WINDPY *windpy_new(void) {
    windpy_free_bytes();
    WINDPY *display = (WINDPY *)calloc(1, sizeof(WINDPY));
    if (!display) {
        windpy_error();
        return nullptr;
    }
    windpy_current = display;
    windpy_open(display, 256, 256);
    return display;
}

void windpy_open(WINDPY *display, int32_t width, int32_t height) {
    if (!display || width < 0 || height < 0) {
        windpy_error();
        return;
    }
    display->width = width;
    display->height = height;
    // The backend creates the window the first time and later moves and
    // resizes it; either way the client area becomes width x height, centred.
    if (!backend_open(width, height)) {
        windpy_error();
        return;
    }
    windpy_free_bytes();
    // 3 * w * h in 64 bits; beyond what a 32-bit size can address it fails.
    uint64_t n = (uint64_t)width * (uint64_t)height * 3u;
    if (n > 0x7FFFFFFFu) {
        windpy_error();
        return;
    }
    // Each frame on a cache line, so that the conversion's rows of a
    // 256-pixel frame (768 bytes, 12 lines) are stored in whole lines.
    const size_t stride = ((size_t)n + 63) & ~(size_t)63;
    windpy_bytes = (uint8_t *)aligned_alloc(64, stride ? stride : 64);
    if (!windpy_bytes) {
        windpy_error();
        return;
    }
    memset(windpy_bytes, 0, stride);
    windpy_size = (size_t)n;
}

// Four pixels at a time: the low three bytes of each little-endian word are
// already blue, green, red, so four words pack into three with shifts.
static inline void windpy_pack4(const uint32_t *p, uint8_t *out) {
    uint32_t w0 = (p[0] & 0xFFFFFFu) | (p[1] << 24);
    uint32_t w1 = ((p[1] >> 8) & 0xFFFFu) | (p[2] << 16);
    uint32_t w2 = ((p[2] >> 16) & 0xFFu) | (p[3] << 8);
    memcpy(out, &w0, 4);
    memcpy(out + 4, &w1, 4);
    memcpy(out + 8, &w2, 4);
}

// One row: n pixels into 3 * n bytes, portable.
static void windpy_row_plain(const uint32_t *src, uint8_t *dst, int32_t n) {
    int32_t x = 0;
    for (; x + 4 <= n; x += 4) windpy_pack4(src + x, dst + (size_t)x * 3);
    for (; x < n; x++) {
        uint32_t p = src[x];
        dst[x * 3] = (uint8_t)p;
        dst[x * 3 + 1] = (uint8_t)(p >> 8);
        dst[x * 3 + 2] = (uint8_t)(p >> 16);
    }
}

#if SIMD_X86

// The kernels below convert the row's first pixels and return how many they
// took; windpy_row_plain does the rest.

// Byte shuffles: each 16-byte load of four pixels drops its four top bytes,
// and four such 12-byte pieces are joined into three 16-byte stores.
SIMD_FOR_SSE2 static int32_t windpy_row_ssse3(const uint32_t *src, uint8_t *dst, int32_t n) {
    const __m128i pick = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int32_t x = 0;
    for (; x + 16 <= n; x += 16) {
        __m128i a = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(src + x)), pick);
        __m128i b = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(src + x + 4)), pick);
        __m128i c = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(src + x + 8)), pick);
        __m128i d = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i *)(src + x + 12)), pick);
        uint8_t *o = dst + (size_t)x * 3;
        _mm_storeu_si128((__m128i *)o, _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128((__m128i *)(o + 16), _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128((__m128i *)(o + 32), _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    return x;
}

// Eight pixels a store: the bytes of each 128-bit half are packed to its
// front, the two 12-byte pieces joined, and a 32-byte store written whose
// last 8 bytes the next store overwrites; so it runs while 11 pixels remain.
SIMD_FOR_AVX2 static int32_t windpy_row_avx2(const uint32_t *src, uint8_t *dst, int32_t n) {
    const __m256i pick = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6,
                                          8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    int32_t x = 0;
    for (; x + 11 <= n; x += 8) {
        const __m256i v = _mm256_shuffle_epi8(_mm256_loadu_si256((const __m256i *)(src + x)), pick);
        _mm256_storeu_si256((__m256i *)(dst + (size_t)x * 3), _mm256_permutevar8x32_epi32(v, join));
    }
    _mm256_zeroupper();
    return x;
}

// Sixty-four pixels into three full 64-byte stores: each load's pixels are
// packed to the front of its 128-bit lanes (12 useful dwords of 16), and
// two-source dword permutes join the useful dwords of neighbouring loads.
// The first k pixels go the narrower ways, k chosen so that the stores after
// them start on a cache line (3k = -dst mod 64, and 43 = 1/3 mod 64): a
// store split across two lines costs about a third more here.
SIMD_FOR_AVX512 static int32_t windpy_row_avx512(const uint32_t *src, uint8_t *dst, int32_t n) {
    const int32_t k = (int32_t)((0 - (uintptr_t)dst) * 43u & 63u);
    if (k >= n) return 0;
    const int32_t head = windpy_row_avx2(src, dst, k);
    windpy_row_plain(src + head, dst + (size_t)head * 3, k - head);
    src += k;
    dst += (size_t)k * 3;
    n -= k;
    const __m512i pick =
        _mm512_maskz_broadcast_i32x4((__mmask16)0xFFFF, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    // Useful dwords of a packed load: 0 1 2, 4 5 6, 8 9 10, 12 13 14; 16 + i is the second source's dword i.
    const __m512i first = _mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 16, 17, 18, 20);
    const __m512i second = _mm512_setr_epi32(5, 6, 8, 9, 10, 12, 13, 14, 16, 17, 18, 20, 21, 22, 24, 25);
    const __m512i third = _mm512_setr_epi32(10, 12, 13, 14, 16, 17, 18, 20, 21, 22, 24, 25, 26, 28, 29, 30);
    int32_t x = 0;
    for (; x + 64 <= n; x += 64) {
        const __m512i a = _mm512_shuffle_epi8(_mm512_loadu_si512(src + x), pick);
        const __m512i b = _mm512_shuffle_epi8(_mm512_loadu_si512(src + x + 16), pick);
        const __m512i c = _mm512_shuffle_epi8(_mm512_loadu_si512(src + x + 32), pick);
        const __m512i d = _mm512_shuffle_epi8(_mm512_loadu_si512(src + x + 48), pick);
        uint8_t *o = dst + (size_t)x * 3;
        _mm512_store_si512(o, _mm512_permutex2var_epi32(a, first, b));
        _mm512_store_si512(o + 64, _mm512_permutex2var_epi32(b, second, c));
        _mm512_store_si512(o + 128, _mm512_permutex2var_epi32(c, third, d));
    }
    return k + x;
}
#endif

// One row at a level: the widest kernel first, each narrower one taking
// what the wider left, the plain loop the last few pixels.
template <int Level>
static void windpy_row(const uint32_t *src, uint8_t *dst, int32_t n) {
    int32_t x = 0;
#if SIMD_X86
    if constexpr (Level >= SIMD_AVX512) x = windpy_row_avx512(src, dst, n);
    if constexpr (Level >= SIMD_AVX2)
        x += windpy_row_avx2(src + x, dst + (size_t)x * 3, n - x);
    else if constexpr (Level >= SIMD_SSE2)
        x = windpy_row_ssse3(src, dst, n);
#endif
    windpy_row_plain(src + x, dst + (size_t)x * 3, n - x);
}

SIMD_CLONES(windpy_row_fast, windpy_row, void, (const uint32_t *src, uint8_t *dst, int32_t n), (src, dst, n))

void windpy_convert(const uint32_t *pixels, int32_t w, int32_t h, uint8_t *bytes) {
    if (!pixels || !bytes || w < 1 || h < 1) return;
    size_t row = (size_t)w * 3;
    const auto convert_row = windpy_row_fast_clone();
    // Image row y lands in stored row h - 1 - y.
    for (int32_t y = 0; y < h; y++)
        convert_row(pixels + (size_t)y * (size_t)w, bytes + (size_t)(h - 1 - y) * row, w);
}

void windpy_present(WINDPY *display, const IMG *image) {
    if (!display || !image || !image->pixels || !windpy_bytes || image->width != display->width ||
        image->height != display->height ||
        (size_t)image->width * (size_t)image->height * 3 != windpy_size) {
        windpy_error();
        return;
    }
    windpy_convert(image->pixels, image->width, image->height, windpy_bytes);
    // Upload and show the image's words; no time stamp and no wait: pacing belongs to FPS.
    backend_show(image->pixels, image->width, image->height);
}

void windpy_del(WINDPY **display) {
    if (!display || !*display || *display != windpy_current) {
        windpy_error();
        return;
    }
    // The frame bytes go with the display; the window stays until the process ends.
    windpy_free_bytes();
    free(*display);
    *display = nullptr;
    windpy_current = nullptr;
}

const uint8_t *windpy_frame_bytes(void) { return windpy_bytes; }
