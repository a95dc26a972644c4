// Straightforward sound generators, instrument bank and music patterns: each
// value goes through sample_get / sample_set, each envelope is a fresh ramp
// from sample_line, each rotation a real one. The fast versions in audio/ and
// demo/ must give exactly these values and the same random draws.
#include "bench/reference_music.h"

#include <cmath>

#include "audio/music.h"
#include "audio/sample.h"
#include "audio/sound.h"
#include "host/int.h"
#include "host/random.h"
#include "vector/list.h"

static SAMPLE *reference_sine_table(void) {
    static SAMPLE *t = nullptr;
    if (t) return t;
    t = sample_new();
    sample_set_count(t, sound_rate);
    const double h = (double)(float)(M_PI / 2.0);
    for (int32_t i = 0; i <= 11025; i++) {
        int32_t v = (int32_t)(std::sin((double)i * h / 11025.0) * 32767.0);
        sample_set(t, i, v);
        sample_set(t, 22050 - i, v);
        sample_set(t, 22050 + i, -v);
        if (44100 - i < sound_rate) sample_set(t, 44100 - i, -v);
    }
    return t;
}

void reference_sound_sine(SAMPLE *s, int32_t f) {
    SAMPLE *table = reference_sine_table();
    int32_t phase = 0;
    int32_t increment = wrap_mul(f, 32768);
    for (int32_t i = 0; i < s->count; i++) {
        sample_set(s, i, sample_get(table, asr(phase, 15)));
        phase = wrap_add(phase, increment);
        if (phase >= sound_second_fixed) phase -= sound_second_fixed;
    }
}

void reference_sound_square(SAMPLE *s, int32_t f) {
    if (f <= 0) return;
    int64_t period = sound_second_fixed / f;
    if (period <= 0) return;
    int64_t periods = ((int64_t)s->count * 32768) / period;
    int64_t pos = 0;
    for (int64_t p = 0; p < periods; p++) {
        int64_t a = pos >> 15;
        int64_t m = (pos + period / 2) >> 15;
        int64_t e = (pos + period) >> 15;
        for (int64_t i = a; i < m; i++) sample_set(s, (int32_t)i, 32767);
        sample_set(s, (int32_t)m, 0);
        int64_t j = m + 1;
        for (; j < e - 1; j++) sample_set(s, (int32_t)j, -32768);
        sample_set(s, (int32_t)j, 0);
        pos += period;
    }
}

void reference_sound_noise(SAMPLE *s, int32_t r) {
    int32_t v = (random_rand() & 0xFFFF) - 32768;
    int64_t k = 22050;
    for (int32_t i = s->count - 1; i >= 0; i--) {
        k -= r;
        if (k < 0) {
            k += sound_rate;
            v = (random_rand() & 0xFFFF) - 32768;
        }
        sample_set(s, i, v);
    }
}

void reference_sound_envelope(SAMPLE *s, int32_t a, int32_t b) {
    int32_t n = s->count;
    if (n < 1) return;
    SAMPLE *e = sample_new();
    sample_set_count(e, n);
    sample_line(e, 0, a, n - 1, b);
    for (int32_t i = 0; i < n; i++) sample_set(s, i, wrap_mul(sample_get(s, i), sample_get(e, i)));
    for (int32_t i = 0; i < n; i++) sample_set(s, i, asr(sample_get(s, i), 15));
    sample_del(&e);
}

void reference_sound_decay(SAMPLE *s) { reference_sound_envelope(s, 32767, 0); }

// ---- Instrument bank ----------------------------------------------------------

static SAMPLE *reference_note(int32_t n) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    return s;
}

static void reference_decays(SAMPLE *s, int times) {
    for (int i = 0; i < times; i++) reference_sound_decay(s);
}

static void reference_noise_layer(SAMPLE *s, SAMPLE *t, int32_t r, int times) {
    reference_sound_noise(t, r);
    reference_decays(t, times);
    sample_add(s, t);
}

static SAMPLE *reference_organ(SAMPLE *t, int32_t i) {
    int32_t f = sound_note(i);
    SAMPLE *s = reference_note(44100);
    reference_sound_sine(s, f);
    sample_shr(s, f >> 9);
    reference_sound_sine(t, 2 * f);
    sample_shr(t, f >> 10);
    sample_add(s, t);
    reference_sound_sine(t, 4 * f);
    sample_shr(t, f >> 11);
    sample_add(s, t);
    sample_shr(s, 2);
    sample_normalize(s, 32767 - 700 * i);
    reference_sound_decay(s);
    return s;
}

static SAMPLE *reference_plucked(SAMPLE *t, int32_t i) {
    int32_t f = sound_note(i - 48);
    SAMPLE *s = reference_note(22050);
    reference_sound_sine(s, f);
    reference_sound_decay(s);
    sample_shr(s, f >> 9);
    reference_noise_layer(s, t, 8 * f, 6);
    reference_noise_layer(s, t, 16 * f, 6);
    sample_shr(s, 2);
    sample_normalize(s, 32767);
    reference_sound_decay(s);
    return s;
}

static SAMPLE *reference_buzz(SAMPLE *t, int32_t i) {
    int32_t f = sound_note(i - 24);
    SAMPLE *s = reference_note(22050);
    reference_sound_square(s, f);
    sample_add(s, s);
    reference_decays(s, 5);
    sample_shr(s, f >> 9);
    reference_noise_layer(s, t, 8 * f, 5);
    reference_noise_layer(s, t, 16 * f, 5);
    sample_shr(s, 2);
    sample_normalize(s, 32767 - 100 * i);
    reference_decays(s, 5);
    return s;
}

static SAMPLE *reference_hit(SAMPLE *t) {
    SAMPLE *s = reference_note(11025);
    reference_sound_square(s, 28160);
    reference_decays(s, 5);
    reference_noise_layer(s, t, 44100, 5);
    reference_noise_layer(s, t, 22050, 5);
    sample_shr(s, 2);
    sample_normalize(s, 8000);
    reference_decays(s, 5);
    return s;
}

static SAMPLE *reference_chord(SAMPLE *t, int32_t f) {
    SAMPLE *s = reference_note(44100);
    reference_sound_square(s, f);
    reference_sound_square(t, 2 * f);
    sample_add(s, t);
    reference_sound_square(t, 4 * f);
    sample_add(s, t);
    sample_shr(s, 2);
    sample_normalize(s, 24000);
    reference_sound_decay(s);
    return s;
}

MUSIC *reference_build_instruments(void) {
    MUSIC *music = music_new();
    music->period = 256;
    static SAMPLE *scratch = nullptr;
    if (scratch) sample_del(&scratch);
    scratch = sample_new();
    SAMPLE *t = scratch;
    sample_set_count(t, 44100);
    for (int32_t i = 0; i < 48; i++) music_add_note(music, reference_organ(t, i));
    sample_set_count(t, 22050);
    for (int32_t i = 48; i < 60; i++) music_add_note(music, reference_plucked(t, i));
    for (int32_t i = 60; i < 72; i++) music_add_note(music, reference_buzz(t, i));
    sample_set_count(t, 11025);
    for (int32_t i = 72; i < 84; i++) music_add_note(music, reference_hit(t));
    sample_set_count(t, 44100);
    for (int32_t i = 84; i < 96; i++) music_add_note(music, reference_chord(t, sound_note(i - 72)));
    return music;
}

// ---- Music loop -------------------------------------------------------------

void reference_music_blend(MUSIC *m, int32_t k) {
    if (!m || !m->loop || !m->work || k < 2) return;
    sample_mul(m->loop, k - 1);
    sample_add(m->loop, m->work);
    sample_div(m->loop, k);
}

enum reference_kind { reference_even, reference_decayed, reference_odd };

static void reference_pattern(MUSIC *m, reference_kind kind) {
    if (!m || !m->loop || !m->notes || m->notes->count < 1) return;
    int32_t length = m->loop->count;
    if (length < 1) return;
    if (m->work && m->work->count != length) sample_del(&m->work);
    if (!m->work) {
        m->work = sample_new();
        sample_set_count(m->work, length);
    }
    SAMPLE *work = m->work;
    sample_clear(work);
    int32_t index = random_rand() % m->notes->count;
    int32_t b1 = random_rand() & 1;
    int32_t b2 = random_rand() & 1;
    int32_t b3 = random_rand() & 1;
    int32_t b4 = random_rand() & 1;
    int32_t density = random_rand() & 3;
    int32_t offset = b1 * (length >> 1) + b2 * (length >> 2) + b3 * (length >> 3) + b4 * (length >> 4);
    SAMPLE *note = (SAMPLE *)list_get(m->notes, index);
    if (!note) return;
    int32_t copies = 1 << density;
    int32_t places = copies;
    if (kind == reference_odd) {
        copies = copies - 1 == 0 ? 5 : copies - 1;
        places = copies + 1;
    }
    for (int32_t i = 0; i < copies; i++) {
        sample_add(work, note);
        if (kind == reference_decayed) reference_sound_decay(work);
        sample_rotate_right(work, length / places);
    }
    sample_mul(work, 4 - density);
    sample_shr(work, 2);
    sample_rotate_right(work, offset);
}

void reference_music_pattern_even(MUSIC *m) { reference_pattern(m, reference_even); }
void reference_music_pattern_decayed(MUSIC *m) { reference_pattern(m, reference_decayed); }
void reference_music_pattern_odd(MUSIC *m) { reference_pattern(m, reference_odd); }
