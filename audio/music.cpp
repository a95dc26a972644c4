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
// Each loop is written once in plain code; the processor-specific copies below
// are the same code compiled for wider vectors, chosen once at run time.

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

// x / d truncated toward zero, through the magnitude.
static inline __attribute__((always_inline)) int32_t music_divide(int32_t x, music_divider dv) {
    uint32_t a = x < 0 ? 0u - (uint32_t)x : (uint32_t)x;
    uint32_t t = (uint32_t)(((uint64_t)a * dv.m) >> 32);
    int32_t q = (int32_t)((t + ((a - t) >> 1)) >> dv.shift);
    return x < 0 ? -q : q;
}

// loop[i] = (loop[i] * (k - 1) + work[i]) / k, all in one pass.
static inline __attribute__((always_inline)) void music_blend_loop(int32_t *loop, const int32_t *work, int32_t n,
                                                                   int32_t k, music_divider dv) {
    for (int32_t i = 0; i < n; i++) loop[i] = music_divide(wrap_add(wrap_mul(loop[i], k - 1), work[i]), dv);
}

// p[i] = ((p[i] + note[i]) * e[i]) >> 15: a copy added, then the decay.
static inline __attribute__((always_inline)) void music_add_decay_loop(int32_t *p, const int32_t *note,
                                                                       const int32_t *e, int32_t n) {
    for (int32_t i = 0; i < n; i++) p[i] = asr(wrap_mul(wrap_add(p[i], note[i]), e[i]), 15);
}

static inline __attribute__((always_inline)) void music_decay_loop(int32_t *p, const int32_t *e, int32_t n) {
    for (int32_t i = 0; i < n; i++) p[i] = asr(wrap_mul(p[i], e[i]), 15);
}

static inline __attribute__((always_inline)) void music_add_loop(int32_t *p, const int32_t *note, int32_t n) {
    for (int32_t i = 0; i < n; i++) p[i] = wrap_add(p[i], note[i]);
}

// out[i] = (in[i] * factor) >> 2: the level of a pattern by its copies.
static inline __attribute__((always_inline)) void music_scale_loop(int32_t *out, const int32_t *in, int32_t n,
                                                                   int32_t factor) {
    for (int32_t i = 0; i < n; i++) out[i] = asr(wrap_mul(in[i], factor), 2);
}

struct music_loops {
    void (*blend)(int32_t *, const int32_t *, int32_t, int32_t, music_divider);
    void (*add_decay)(int32_t *, const int32_t *, const int32_t *, int32_t);
    void (*decay)(int32_t *, const int32_t *, int32_t);
    void (*add)(int32_t *, const int32_t *, int32_t);
    void (*scale)(int32_t *, const int32_t *, int32_t, int32_t);
};

#define MUSIC_LOOPS(name, target)                                                                               \
    target static void name##_blend(int32_t *l, const int32_t *w, int32_t n, int32_t k, music_divider dv) {    \
        music_blend_loop(l, w, n, k, dv);                                                                       \
    }                                                                                                           \
    target static void name##_add_decay(int32_t *p, const int32_t *a, const int32_t *e, int32_t n) {           \
        music_add_decay_loop(p, a, e, n);                                                                       \
    }                                                                                                           \
    target static void name##_decay(int32_t *p, const int32_t *e, int32_t n) { music_decay_loop(p, e, n); }    \
    target static void name##_add(int32_t *p, const int32_t *a, int32_t n) { music_add_loop(p, a, n); }        \
    target static void name##_scale(int32_t *o, const int32_t *i, int32_t n, int32_t f) {                      \
        music_scale_loop(o, i, n, f);                                                                           \
    }                                                                                                           \
    static const music_loops name = {name##_blend, name##_add_decay, name##_decay, name##_add, name##_scale};

MUSIC_LOOPS(music_plain, )
MUSIC_LOOPS(music_avx2, __attribute__((target("avx2"))))
MUSIC_LOOPS(music_avx512, __attribute__((target("avx512f,avx512vl,avx512bw,avx512dq,prefer-vector-width=512"))))

static const music_loops *music_chosen = nullptr;

static const music_loops *music_loops_now(void) {
    if (!music_chosen) {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
            __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
            music_chosen = &music_avx512;
        else if (__builtin_cpu_supports("avx2"))
            music_chosen = &music_avx2;
        else
            music_chosen = &music_plain;
    }
    return music_chosen;
}

void music_set_paths(int which) {
    music_chosen = nullptr;
    if (which == 1) music_chosen = &music_plain;
    if (which == 2 && __builtin_cpu_supports("avx2")) music_chosen = &music_avx2;
}

// ---- Blend --------------------------------------------------------------------------

void music_blend(MUSIC *m, int32_t k) {
    if (!m || !m->loop || !m->work || k < 2) return;
    SAMPLE *loop = m->loop;
    SAMPLE *work = m->work;
    if (!loop->data || !work->data) return;
    // Past the work's end the loop only decays towards silence.
    int32_t shared = loop->count < work->count ? loop->count : work->count;
    music_divider dv = music_divider_for((uint32_t)k);
    const music_loops *v = music_loops_now();
    v->blend(loop->data, work->data, shared, k, dv);
    for (int32_t i = shared; i < loop->count; i++) loop->data[i] = music_divide(wrap_mul(loop->data[i], k - 1), dv);
}

// ---- Patterns -----------------------------------------------------------------------

enum music_kind { music_even, music_decayed, music_odd };

// The pattern is built in a ring: `base` is where the ring's value 0 lies in
// the buffer, so a rotation to the right is base -= turn, and only the
// final copy into `work` moves values.
struct music_ring {
    int32_t *p;
    int32_t length;
    int32_t base;
};

// Calls f(buffer pointer, first ring index, count) for the ring values
// from..to-1 (0 <= from <= to <= length), in at most two pieces.
template <typename F>
static void music_ring_span(const music_ring &r, int32_t from, int32_t to, F f) {
    while (from < to) {
        int32_t at = (int32_t)(((int64_t)r.base + from) % r.length);
        int32_t n = r.length - at < to - from ? r.length - at : to - from;
        f(r.p + at, from, n);
        from += n;
    }
}

// The scratch ring, kept between patterns.
static int32_t *music_scratch = nullptr;
static int32_t music_scratch_length = 0;

static int32_t *music_scratch_of(int32_t length) {
    if (music_scratch_length != length) {
        std::free(music_scratch);
        music_scratch = (int32_t *)std::calloc((size_t)length, sizeof(int32_t));
        music_scratch_length = music_scratch ? length : 0;
    }
    if (music_scratch) std::memset(music_scratch, 0, (size_t)length * sizeof(int32_t));
    return music_scratch;
}

// Stamps `copies` copies of the note, turning the ring right by `turn` after
// each (and decaying the whole ring after each add in the decayed kind), then
// writes the ring at level factor / 4, turned right by `offset`, into out.
static void music_stamp(int32_t *out, int32_t length, const SAMPLE *note, int32_t copies, int32_t turn,
                        bool decayed, int32_t factor, int32_t offset) {
    const music_loops *v = music_loops_now();
    music_ring r{music_scratch_of(length), length, 0};
    const int32_t *e = decayed ? sound_decay_ramp(length) : nullptr;
    if (!r.p || (decayed && !e)) return;
    int32_t size = note->data ? (note->count < length ? note->count : length) : 0;
    const int32_t *a = note->data;
    // Values at ring index `reach` and beyond are still 0, and the decay
    // keeps a 0 a 0: the decay passes stop there.
    int64_t reach = 0;
    for (int32_t c = 0; c < copies; c++) {
        if (decayed) {
            reach = reach > size ? reach : size;
            if (reach > length) reach = length;
            music_ring_span(r, 0, size, [&](int32_t *p, int32_t from, int32_t n) { v->add_decay(p, a + from, e + from, n); });
            music_ring_span(r, size, (int32_t)reach, [&](int32_t *p, int32_t from, int32_t n) { v->decay(p, e + from, n); });
            reach += turn;
        } else {
            music_ring_span(r, 0, size, [&](int32_t *p, int32_t from, int32_t n) { v->add(p, a + from, n); });
        }
        r.base = (int32_t)(((int64_t)r.base - turn % length + length) % length);
    }
    // out[i] = ring value (i - offset) mod length.
    r.base = (int32_t)(((int64_t)r.base - offset % length + length) % length);
    music_ring_span(r, 0, length, [&](int32_t *p, int32_t from, int32_t n) { v->scale(out + from, p, n, factor); });
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
