// Sound synthesis: writes waveforms and envelopes into SAMPLE buffers whose
// count the caller has set; generators overwrite elements 0..count-1 and never
// change the count. Element writes go through sample_set, so writes past the
// end are dropped. The sine period table (one second, 44100 values) is built
// on first use and kept for the life of the process. Frequencies must stay
// below 21436 Hz and square-wave samples below 65536 values for the results to
// be the intended ones; other inputs give some output but never fail or hang.
#include "audio/sound.h"

#include <cmath>

#include "host/int.h"
#include "host/module.h"
#include "host/random.h"
#include "host/simd.h"

RIVO_IDENTITY(sound, "SOUND   ", "20131129", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sound, 0, "SOUND Error.\n");

// Stored, not computed: a few are not the nearest whole number.
const int32_t sound_note_table[sound_note_count] = {
    32,   34,   36,   39,   41,   44,   46,   49,   52,   55,   58,   62,
    65,   69,   73,   78,   82,   87,   93,   98,   104,  110,  117,  123,
    131,  139,  147,  156,  165,  175,  185,  196,  208,  220,  233,  247,
    262,  277,  294,  311,  330,  349,  370,  392,  415,  440,  466,  494,
    523,  554,  587,  622,  659,  698,  740,  784,  831,  880,  932,  988,
    1046, 1109, 1174, 1244, 1318, 1397, 1480, 1568, 1661, 1760, 1864, 1975,
    2093, 2217, 2349, 2489, 2637, 2793, 2960, 3135, 3322, 3520, 3729, 3951,
    4186, 4434, 4698, 4978, 5274, 5587, 5920, 6272, 6645, 7040, 7458, 7902,
};

// One period of a sine over one second; never freed.
static SAMPLE *sound_table = nullptr;

int32_t sound_note(int32_t k) {
    int32_t i = k % sound_note_count;
    if (i < 0) i += sound_note_count;
    return sound_note_table[i];
}

int sound_check(SAMPLE *s) {
    if (!s) {
        sound_error();
        return 0;
    }
    return 1;
}

// Builds the quarter period and mirrors it: the table's peak is 32766, since
// pi/2 is taken in single precision and the product is truncated.
static int sound_build_table(void) {
    SAMPLE *t = sample_new();
    if (!t) return 0;
    sample_set_count(t, sound_rate);
    if (t->count != sound_rate) {
        sample_del(&t);
        return 0;
    }
    const double h = (double)(float)(M_PI / 2.0);  // 1.5707963705062866
    for (int32_t i = 0; i <= 11025; i++) {
        int32_t v = (int32_t)(std::sin((double)i * h / 11025.0) * 32767.0);
        sample_set(t, i, v);
        sample_set(t, 22050 - i, v);
        sample_set(t, 22050 + i, -v);
        // For i = 0 this index is 44100, one past the end: the write is dropped.
        if (44100 - i < sound_rate) sample_set(t, 44100 - i, -v);
    }
    sound_table = t;
    return 1;
}

// d[i] = table[(i * f) mod 44100] for 0 <= f < 21436, where the phase walk
// of sound_sine never overflows and its index is exactly that. Four index
// chains, each four values apart, so that no value waits for the index of the
// one before. (Gathers were no faster here.)
static void sound_sine_walk(int32_t *d, const int32_t *table, int32_t n, int32_t f) {
    int32_t step = (4 * f) % sound_rate;
    int32_t k0 = 0, k1 = f % sound_rate, k2 = (2 * f) % sound_rate, k3 = (3 * f) % sound_rate;
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        d[i] = table[k0];
        d[i + 1] = table[k1];
        d[i + 2] = table[k2];
        d[i + 3] = table[k3];
        k0 += step, k1 += step, k2 += step, k3 += step;
        k0 -= k0 >= sound_rate ? sound_rate : 0;
        k1 -= k1 >= sound_rate ? sound_rate : 0;
        k2 -= k2 >= sound_rate ? sound_rate : 0;
        k3 -= k3 >= sound_rate ? sound_rate : 0;
    }
    for (; i < n; i++) d[i] = table[((int64_t)i * f) % sound_rate];
}

void sound_sine(SAMPLE *s, int32_t f) {
    if (!sound_check(s)) return;
    if (!sound_table && !sound_build_table()) return;
    int32_t n = s->count;
    if (n < 1 || !s->data) return;
    // The phase counts 1/32768 of a table step, so a whole-number frequency
    // steps the table by exactly f entries per value. Below 21436 Hz the
    // phase never overflows and the table index is the phase >> 15 itself.
    int32_t *d = s->data;
    const int32_t *table = sound_table->data;
    if (f >= 0 && f < 21436) {
        sound_sine_walk(d, table, n, f);
        return;
    }
    int32_t phase = 0;
    int32_t increment = wrap_mul(f, 32768);
    for (int32_t i = 0; i < n; i++) {
        sample_set(s, i, sample_get(sound_table, asr(phase, 15)));
        phase = wrap_add(phase, increment);
        if (phase >= sound_second_fixed) phase -= sound_second_fixed;
    }
}

// Writes v into elements from..to-1 that lie inside 0..n-1.
static void sound_fill(int32_t *d, int64_t n, int64_t from, int64_t to, int32_t v) {
    if (from < 0) from = 0;
    if (to > n) to = n;
    for (int64_t i = from; i < to; i++) d[i] = v;
}

void sound_square(SAMPLE *s, int32_t f) {
    if (!sound_check(s)) return;
    if (f <= 0 || !s->data) return;
    // The period in 1/32768-value units keeps the fraction of a value, so the
    // edges fall on the nearest element below the true edge.
    int64_t period = sound_second_fixed / f;
    if (period <= 0) return;
    int64_t n = s->count;
    int32_t *d = s->data;
    int64_t periods = (n * 32768) / period;
    int64_t pos = 0;
    for (int64_t p = 0; p < periods; p++) {
        int64_t a = pos >> 15;
        int64_t m = (pos + period / 2) >> 15;
        int64_t e = (pos + period) >> 15;
        sound_fill(d, n, a, m, 32767);
        sound_fill(d, n, m, m + 1, 0);
        // The negative run stops one short of the next edge, which gets a 0.
        sound_fill(d, n, m + 1, e - 1, -32768);
        int64_t j = m + 1 > e - 1 ? m + 1 : e - 1;
        sound_fill(d, n, j, j + 1, 0);
        pos += period;
    }
}

// A 16-bit value from the 15-bit generator: always in -32768..-1.
static int32_t sound_noise_value(void) { return (random_rand() & 0xFFFF) - 32768; }

void sound_noise(SAMPLE *s, int32_t r) {
    if (!sound_check(s)) return;
    // One draw before the loop, then one per change, highest index first:
    // the demo's notes depend on this exact order of draws.
    int32_t v = sound_noise_value();
    int64_t k = 22050;
    int32_t *d = s->data;
    for (int32_t i = d ? s->count - 1 : -1; i >= 0; i--) {
        k -= r;
        if (k < 0) {
            k += sound_rate;
            v = sound_noise_value();
        }
        d[i] = v;
    }
}

// A ramp of sample_line from a to b over n values. Ramps are kept once made:
// the demo uses a few lengths again and again, and making one is a serial
// walk while applying it is a plain vector loop.
struct sound_ramp {
    int32_t n, a, b;
    SAMPLE *values;
};
static sound_ramp sound_ramps[8];
static int32_t sound_ramp_next = 0;

static const int32_t *sound_ramp_of(int32_t n, int32_t a, int32_t b) {
    for (sound_ramp &r : sound_ramps)
        if (r.values && r.n == n && r.a == a && r.b == b) return r.values->data;
    sound_ramp &r = sound_ramps[sound_ramp_next];
    if (r.values) sample_del(&r.values);
    r.values = sample_new();
    if (!r.values) return nullptr;
    sample_set_count(r.values, n);
    if (r.values->count != n) {
        sample_del(&r.values);
        return nullptr;
    }
    sample_line(r.values, 0, a, n - 1, b);
    r.n = n;
    r.a = a;
    r.b = b;
    sound_ramp_next = (sound_ramp_next + 1) % 8;
    return r.values->data;
}

// d[i] = (d[i] * e[i]) >> 15, `times` times over, a block at a time so that
// the repeats work in the first-level cache; compiled for every level.
template <int Level>
static void sound_envelope_values(int32_t *d, const int32_t *e, int32_t n, int times) {
    const int32_t block = 2048;
    for (int32_t start = 0; start < n; start += block) {
        int32_t end = start + block < n ? start + block : n;
        for (int t = 0; t < times; t++)
            for (int32_t i = start; i < end; i++) d[i] = asr(wrap_mul(d[i], e[i]), 15);
    }
}

SIMD_CLONES(sound_envelope_run, sound_envelope_values, void, (int32_t *d, const int32_t *e, int32_t n, int times),
            (d, e, n, times))

// Multiplies s by the ramp from a to b over its whole length, then >> 15,
// `times` times in a row.
static void sound_envelope(SAMPLE *s, int32_t a, int32_t b, int times) {
    if (!sound_check(s)) return;
    int32_t n = s->count;
    if (n < 1 || !s->data) return;
    const int32_t *e = sound_ramp_of(n, a, b);
    if (e) sound_envelope_run_clone()(s->data, e, n, times);
}

void sound_decay(SAMPLE *s) { sound_envelope(s, 32767, 0, 1); }

const int32_t *sound_decay_ramp(int32_t n) { return n >= 1 ? sound_ramp_of(n, 32767, 0) : nullptr; }

void sound_decay_times(SAMPLE *s, int times) { sound_envelope(s, 32767, 0, times); }

void sound_rise(SAMPLE *s) { sound_envelope(s, 0, 32767, 1); }

// The gain moves by whole units only when the accumulator passes 32767, so
// over the sample it changes by about 32768 in all.
static void sound_fade(SAMPLE *s, int32_t gain, int32_t direction) {
    if (!sound_check(s)) return;
    int32_t n = s->count;
    if (n < 1) return;
    int32_t step = 0x40000000 / n;
    int32_t acc = 0;
    for (int32_t i = 0; i < n; i++) {
        sample_set(s, i, asr(wrap_mul(sample_get(s, i), gain), 15));
        acc += step;
        if (acc >= 32768) {
            gain += direction * (acc >> 15);
            acc &= 0x7FFF;
        }
    }
}

void sound_fade_out(SAMPLE *s) { sound_fade(s, 32768, -1); }

void sound_fade_in(SAMPLE *s) { sound_fade(s, 0, 1); }
