// Music loop generator: MUSIC owns a bank of note SAMPLEs, a three-second
// loop that the player repeats and a scratch sample for patterns. A pattern is
// one note from the bank stamped at evenly spaced places around the loop and
// shifted by a random offset; music_blend moves the loop a fraction of the way
// towards it, so the music changes smoothly. Nothing clips: overlapping copies
// can leave the 16-bit range, and the player keeps the low 16 bits.
#include "audio/music.h"

#include <cstdlib>
#include <cstring>

#include "audio/sound.h"
#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "host/simd.h"

RIVO_IDENTITY(music, "MUSIC   ", "Ostrevik", "20140515", "C       ", "CODE    ");
RIVO_REPORTER(music, 0, "MUSIC ERROR\n");

MUSIC *music_new(void) {
    MUSIC *m = (MUSIC *)std::calloc(1, sizeof(MUSIC));
    if (!m) return nullptr;
    m->period = 300;
    m->loop = sample_new();
    if (m->loop) sample_set_count(m->loop, music_loop_length);
    m->notes = list_new();
    m->work = nullptr;
    // A loop or note list that could not be had leaves no music at all.
    if (!m->loop || m->loop->count != music_loop_length || !m->notes) {
        music_del(&m);
        return nullptr;
    }
    return m;
}

void music_del(MUSIC **m) {
    if (!m || !*m) {
        music_error();
        return;
    }
    MUSIC *r = *m;
    if (r->loop) sample_del(&r->loop);
    if (r->notes) {
        while (r->notes->count > 0) {
            SAMPLE *note = (SAMPLE *)list_pop(r->notes);
            if (note) sample_del(&note);
        }
        list_del(&r->notes);
    }
    if (r->work) sample_del(&r->work);
    std::free(r);
    *m = nullptr;
}

void music_add_note(MUSIC *m, SAMPLE *note) {
    if (!m || !note || !m->notes) return;
    list_push(m->notes, note);
}

// ---- Value loops ------------------------------------------------------------------
// Each loop is written once in plain code and compiled for every level (the
// blend's wider levels by hand); the copies for the level in use run.

// Exact truncating division of a magnitude n < 2^32 by d >= 2 without a
// divide: t = high half of n * m, q = (t + ((n - t) >> 1)) >> shift, with
// l = ceil(log2 d), m = 2^32 * (2^l - d) / d + 1 and shift = l - 1.
struct music_divider {
    uint32_t m;
    int shift;
};

static music_divider music_divider_for(uint32_t d) {
    int l = 0;
    while (((uint64_t)1 << l) < d) l++;
    uint64_t m = ((uint64_t)1 << 32) * (((uint64_t)1 << l) - d) / d + 1;
    return {(uint32_t)m, l - 1};
}

// x / d truncated toward zero, through the magnitude (INT32_MIN's is 2^31).
static inline __attribute__((always_inline)) int32_t music_divide(int32_t x, music_divider dv) {
    uint32_t sign = (uint32_t)(x >> 31);
    uint32_t a = ((uint32_t)x ^ sign) - sign;
    uint32_t t = (uint32_t)(((uint64_t)a * dv.m) >> 32);
    uint32_t q = (t + ((a - t) >> 1)) >> dv.shift;
    return (int32_t)((q ^ sign) - sign);
}

// loop[i] = (loop[i] * (k - 1) + work[i]) / k, all in one pass.
static inline __attribute__((always_inline)) void music_blend_loop(int32_t *loop, const int32_t *work, int32_t n,
                                                                   int32_t k, music_divider dv) {
    for (int32_t i = 0; i < n; i++) loop[i] = music_divide(wrap_add(wrap_mul(loop[i], k - 1), work[i]), dv);
}

#if SIMD_X86
// The blend eight values at a time: the high halves of the 32 x 32-bit
// products come from the even and the odd lanes in two multiplies. Returns
// how many values it took.
SIMD_FOR_AVX2 static inline int32_t music_blend_avx2(int32_t *loop, const int32_t *work, int32_t n, int32_t k,
                                                     music_divider dv) {
    const __m256i km1 = _mm256_set1_epi32(k - 1), m = _mm256_set1_epi32((int32_t)dv.m);
    const __m128i shift = _mm_cvtsi32_si128(dv.shift);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i x = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_loadu_si256((const __m256i *)(loop + i)), km1),
                                     _mm256_loadu_si256((const __m256i *)(work + i)));
        __m256i a = _mm256_abs_epi32(x);
        __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(a, m), 32);
        __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(a, 32), m);
        __m256i t = _mm256_blend_epi32(even, odd, 0xAA);
        __m256i q = _mm256_srl_epi32(_mm256_add_epi32(t, _mm256_srli_epi32(_mm256_sub_epi32(a, t), 1)), shift);
        _mm256_storeu_si256((__m256i *)(loop + i), _mm256_sign_epi32(q, x));
    }
    return i;
}

// GCC 12's AVX-512 headers start some results from an undefined vector and
// warn about it; nothing reads those lanes.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
SIMD_FOR_AVX512 static inline int32_t music_blend_avx512(int32_t *loop, const int32_t *work, int32_t n, int32_t k,
                                                         music_divider dv) {
    const __m512i km1 = _mm512_set1_epi32(k - 1), m = _mm512_set1_epi32((int32_t)dv.m);
    const __m128i shift = _mm_cvtsi32_si128(dv.shift);
    const __m512i zero = _mm512_setzero_si512();
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m512i x = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_loadu_si512(loop + i), km1),
                                     _mm512_loadu_si512(work + i));
        __m512i a = _mm512_abs_epi32(x);
        __m512i even = _mm512_srli_epi64(_mm512_mul_epu32(a, m), 32);
        __m512i odd = _mm512_mul_epu32(_mm512_srli_epi64(a, 32), m);
        __m512i t = _mm512_mask_blend_epi32(0xAAAA, even, odd);
        __m512i q = _mm512_srl_epi32(_mm512_add_epi32(t, _mm512_srli_epi32(_mm512_sub_epi32(a, t), 1)), shift);
        q = _mm512_mask_sub_epi32(q, _mm512_cmplt_epi32_mask(x, zero), zero, q);
        _mm512_storeu_si512(loop + i, q);
    }
    return i;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

template <int Level>
static void music_blend_values(int32_t *loop, const int32_t *work, int32_t n, int32_t k, music_divider dv) {
    int32_t i = 0;
#if SIMD_X86
    if constexpr (Level >= SIMD_AVX512)
        i = music_blend_avx512(loop, work, n, k, dv);
    else if constexpr (Level >= SIMD_AVX2)
        i = music_blend_avx2(loop, work, n, k, dv);
#endif
    music_blend_loop(loop + i, work + i, n - i, k, dv);
}

// p[i] = ((p[i] + note[i]) * e[i]) >> 15: a copy added, then the decay.
template <int Level>
static void music_add_decay_values(int32_t *p, const int32_t *note, const int32_t *e, int32_t n) {
    for (int32_t i = 0; i < n; i++) p[i] = asr(wrap_mul(wrap_add(p[i], note[i]), e[i]), 15);
}

template <int Level>
static void music_decay_values(int32_t *p, const int32_t *e, int32_t n) {
    for (int32_t i = 0; i < n; i++) p[i] = asr(wrap_mul(p[i], e[i]), 15);
}

template <int Level>
static void music_add_values(int32_t *p, const int32_t *note, int32_t n) {
    for (int32_t i = 0; i < n; i++) p[i] = wrap_add(p[i], note[i]);
}

// out[i] = (in[i] * factor) >> 2: the level of a pattern by its copies.
template <int Level>
static void music_scale_values(int32_t *out, const int32_t *in, int32_t n, int32_t factor) {
    for (int32_t i = 0; i < n; i++) out[i] = asr(wrap_mul(in[i], factor), 2);
}

SIMD_CLONES(music_blend_run, music_blend_values, void,
            (int32_t *loop, const int32_t *work, int32_t n, int32_t k, music_divider dv), (loop, work, n, k, dv))
SIMD_CLONES(music_add_decay_run, music_add_decay_values, void,
            (int32_t *p, const int32_t *note, const int32_t *e, int32_t n), (p, note, e, n))
SIMD_CLONES(music_decay_run, music_decay_values, void, (int32_t *p, const int32_t *e, int32_t n), (p, e, n))
SIMD_CLONES(music_add_run, music_add_values, void, (int32_t *p, const int32_t *note, int32_t n), (p, note, n))
SIMD_CLONES(music_scale_run, music_scale_values, void, (int32_t *out, const int32_t *in, int32_t n, int32_t factor),
            (out, in, n, factor))

// ---- Blend --------------------------------------------------------------------------

void music_blend(MUSIC *m, int32_t k) {
    if (!m || !m->loop || !m->work || k < 2) return;
    SAMPLE *loop = m->loop;
    SAMPLE *work = m->work;
    if (!loop->data || !work->data) return;
    // Past the work's end the loop only decays towards silence.
    int32_t shared = loop->count < work->count ? loop->count : work->count;
    music_divider dv = music_divider_for((uint32_t)k);
    music_blend_run_clone()(loop->data, work->data, shared, k, dv);
    for (int32_t i = shared; i < loop->count; i++) loop->data[i] = music_divide(wrap_mul(loop->data[i], k - 1), dv);
}

// ---- Patterns -----------------------------------------------------------------------

enum music_kind { music_even, music_decayed, music_odd };

// Values of the pattern built at a time, in the first-level cache.
static const int32_t music_block = 4096;
// Most copies a pattern places (8 for the even kinds, 7 for the odd one).
static const int32_t music_most_copies = 8;

// Calls f(block offset, first value index, count) for the outputs p0..p1-1
// whose value index v = (p - base) mod length lies below limit, in at most
// two pieces (v wraps from length - 1 to 0 once at most).
template <typename F>
static void music_block_pieces(int32_t p0, int32_t p1, int64_t base, int32_t length, int32_t limit, F f) {
    int64_t v = ((int64_t)p0 - base) % length;
    if (v < 0) v += length;
    int32_t p = p0;
    while (p < p1) {
        int32_t n = (int32_t)(length - v < p1 - p ? length - v : p1 - p);
        if (v < limit) f(p - p0, (int32_t)v, (int32_t)(limit - v < n ? limit - v : n));
        p += n;
        v = 0;
    }
}

// Writes a whole pattern into out: `copies` copies of the note, the ring
// turned right by `turn` after each (and in the decayed kind the whole ring
// decayed after each add, before the turn), then the level factor / 4 and a
// last turn right by `offset`. Value v of copy c thus lands at output
// (v + (copies - c) * turn + offset) mod length, and since every output is
// worked out on its own, the pattern is built a block of outputs at a time:
// each block takes every copy's steps in order in the cache, then is scaled
// out. The decay keeps a 0 a 0, so copy c's decay stops at `reach[c]`, past
// which the ring is still silent.
static void music_stamp(int32_t *out, int32_t length, const SAMPLE *note, int32_t copies, int32_t turn,
                        bool decayed, int32_t factor, int32_t offset) {
    const auto add_decay = music_add_decay_run_clone();
    const auto decay = music_decay_run_clone();
    const auto add = music_add_run_clone();
    const int32_t *e = decayed ? sound_decay_ramp(length) : nullptr;
    if (decayed && !e) return;
    if (copies > music_most_copies) copies = music_most_copies;
    int32_t size = note->data ? (note->count < length ? note->count : length) : 0;
    const int32_t *a = note->data;
    int64_t base[music_most_copies];
    int32_t limit[music_most_copies];
    int64_t reach = 0;
    for (int32_t c = 0; c < copies; c++) {
        base[c] = ((int64_t)(copies - c) * (turn % length) + offset) % length;
        reach = reach > size ? reach : size;
        if (reach > length) reach = length;
        limit[c] = decayed ? (int32_t)reach : size;
        reach += turn;
    }
    int32_t block[music_block];
    for (int32_t p0 = 0; p0 < length; p0 += music_block) {
        int32_t p1 = length - p0 < music_block ? length : p0 + music_block;
        std::memset(block, 0, sizeof block);
        for (int32_t c = 0; c < copies; c++) {
            music_block_pieces(p0, p1, base[c], length, limit[c], [&](int32_t at, int32_t from, int32_t n) {
                int32_t added = size - from < n ? (size - from > 0 ? size - from : 0) : n;
                if (decayed) {
                    if (added > 0) add_decay(block + at, a + from, e + from, added);
                    if (n > added) decay(block + at + added, e + from + added, n - added);
                } else if (added > 0) {
                    add(block + at, a + from, added);
                }
            });
        }
        music_scale_run_clone()(out + p0, block, p1 - p0, factor);
    }
}

// Builds one pattern of the given kind in `work`. The draws (note index, four
// offset bits, density) come in a fixed order: the music depends on it.
static void music_pattern(MUSIC *m, music_kind kind) {
    if (!m || !m->loop || !m->notes) return;
    int32_t count = m->notes->count;
    // The note index is taken modulo the bank size: an empty bank has none.
    if (count < 1) return;
    int32_t length = m->loop->count;
    if (length < 1) return;
    if (m->work && m->work->count != length) sample_del(&m->work);
    if (!m->work) {
        m->work = sample_new();
        if (!m->work) return;
        sample_set_count(m->work, length);
        if (m->work->count != length) {
            sample_del(&m->work);
            return;
        }
    }
    SAMPLE *work = m->work;

    int32_t index = random_rand() % count;
    int32_t b1 = random_rand() & 1;
    int32_t b2 = random_rand() & 1;
    int32_t b3 = random_rand() & 1;
    int32_t b4 = random_rand() & 1;
    int32_t density = random_rand() & 3;
    int32_t offset = b1 * (length >> 1) + b2 * (length >> 2) + b3 * (length >> 3) + b4 * (length >> 4);

    SAMPLE *note = (SAMPLE *)list_get(m->notes, index);
    if (!note) {
        sample_clear(work);
        return;
    }
    // n copies at n + 1 places leave the first place (0) empty in the odd
    // kind; the even kinds fill all n places.
    int32_t copies = 1 << density;
    int32_t places = copies;
    if (kind == music_odd) {
        copies = copies - 1;
        if (copies == 0) copies = 5;
        places = copies + 1;
    }
    // Fewer copies play louder: 1 at full level, 2 at 3/4, 4 at 1/2, 8 at 1/4.
    music_stamp(work->data, length, note, copies, length / places, kind == music_decayed, 4 - density, offset);
}

void music_pattern_even(MUSIC *m) { music_pattern(m, music_even); }

void music_pattern_decayed(MUSIC *m) { music_pattern(m, music_decayed); }

void music_pattern_odd(MUSIC *m) { music_pattern(m, music_odd); }
