// Music loop generator: MUSIC owns a bank of note SAMPLEs, a three-second
// loop that the player repeats and a scratch sample for patterns. A pattern is
// one note from the bank stamped at evenly spaced places around the loop and
// shifted by a random offset; music_blend moves the loop a fraction of the way
// towards it, so the music changes smoothly. Nothing clips: overlapping copies
// can leave the 16-bit range, and the player keeps the low 16 bits.
#include "audio/music.h"

#include <cstdlib>

#include "audio/sound.h"
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

void music_blend(MUSIC *m, int32_t k) {
    if (!m || !m->loop || !m->work || k < 2) return;
    sample_mul(m->loop, k - 1);
    sample_add(m->loop, m->work);
    sample_div(m->loop, k);
}

enum music_kind { music_even, music_decayed, music_odd };

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
    sample_clear(work);

    int32_t index = random_rand() % count;
    int32_t b1 = random_rand() & 1;
    int32_t b2 = random_rand() & 1;
    int32_t b3 = random_rand() & 1;
    int32_t b4 = random_rand() & 1;
    int32_t density = random_rand() & 3;
    int32_t offset = b1 * (length >> 1) + b2 * (length >> 2) + b3 * (length >> 3) + b4 * (length >> 4);

    SAMPLE *note = (SAMPLE *)list_get(m->notes, index);
    if (!note) return;

    // n copies at n + 1 places leave the first place (0) empty in the odd
    // kind; the even kinds fill all n places.
    int32_t copies = 1 << density;
    int32_t places = copies;
    if (kind == music_odd) {
        copies = copies - 1;
        if (copies == 0) copies = 5;
        places = copies + 1;
    }
    for (int32_t i = 0; i < copies; i++) {
        sample_add(work, note);
        if (kind == music_decayed) sound_decay(work);
        sample_rotate_right(work, length / places);
    }
    // Fewer copies play louder: 1 at full level, 2 at 3/4, 4 at 1/2, 8 at 1/4.
    sample_mul(work, 4 - density);
    sample_shr(work, 2);
    sample_rotate_right(work, offset);
}

void music_pattern_even(MUSIC *m) { music_pattern(m, music_even); }

void music_pattern_decayed(MUSIC *m) { music_pattern(m, music_decayed); }

void music_pattern_odd(MUSIC *m) { music_pattern(m, music_odd); }
