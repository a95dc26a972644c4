// The demo's music: the instrument bank, synthesised once at start-up into the
// MUSIC record's note list, and the per-frame step that decides, from one
// random style draw per frame and the frame count, when to build a new pattern
// and when to blend the loop towards it. The order of random draws here (the
// noise layers of the bank, the style and pattern draws of every frame) is
// part of what the demo plays and shows.
#include "demo/soundtrack.h"

#include "audio/sample.h"
#include "audio/sound.h"
#include "host/fps.h"
#include "host/random.h"

// The scratch for partials and noise layers. Made anew for every bank (the
// square chords keep the tails of its earlier contents), kept afterwards.
static SAMPLE *demo_scratch = nullptr;

// A new note of n values, zero-filled.
static SAMPLE *demo_note_new(int32_t n) {
    SAMPLE *s = sample_new();
    if (s) sample_set_count(s, n);
    return s;
}

// Adds a noise layer at rate r, decayed `times` times, to s.
static void demo_add_noise(SAMPLE *s, SAMPLE *t, int32_t r, int times) {
    sound_noise(t, r);
    sound_decay_times(t, times);
    sample_add(s, t);
}

// Organ: a sine and its two octaves, the higher notes with quieter partials.
static SAMPLE *demo_organ(SAMPLE *t, int32_t i) {
    int32_t f = sound_note(i);
    SAMPLE *s = demo_note_new(44100);
    sound_sine(s, f);
    sample_shr(s, f >> 9);
    sound_sine(t, 2 * f);
    sample_shr(t, f >> 10);
    sample_add(s, t);
    sound_sine(t, 4 * f);
    sample_shr(t, f >> 11);
    sample_add(s, t);
    sample_shr(s, 2);
    // Past note 46 the peak turns negative: the last organ note is inverted.
    sample_normalize(s, 32767 - 700 * i);
    sound_decay(s);
    return s;
}

// Plucked: a decayed low sine with two sharply decayed noise layers.
static SAMPLE *demo_plucked(SAMPLE *t, int32_t i) {
    int32_t f = sound_note(i - 48);
    SAMPLE *s = demo_note_new(22050);
    sound_sine(s, f);
    sound_decay(s);
    sample_shr(s, f >> 9);
    demo_add_noise(s, t, 8 * f, 6);
    demo_add_noise(s, t, 16 * f, 6);
    sample_shr(s, 2);
    sample_normalize(s, 32767);
    sound_decay(s);
    return s;
}

// Buzz: a doubled square with two noise layers, all decayed five times.
static SAMPLE *demo_buzz(SAMPLE *t, int32_t i) {
    int32_t f = sound_note(i - 24);
    SAMPLE *s = demo_note_new(22050);
    sound_square(s, f);
    sample_add(s, s);
    sound_decay_times(s, 5);
    sample_shr(s, f >> 9);
    demo_add_noise(s, t, 8 * f, 5);
    demo_add_noise(s, t, 16 * f, 5);
    sample_shr(s, 2);
    sample_normalize(s, 32767 - 100 * i);
    sound_decay_times(s, 5);
    return s;
}

// Noise hit: a very high square and two noise layers, a quarter second.
static SAMPLE *demo_hit(SAMPLE *t) {
    SAMPLE *s = demo_note_new(11025);
    sound_square(s, 28160);
    sound_decay_times(s, 5);
    demo_add_noise(s, t, 44100, 5);
    demo_add_noise(s, t, 22050, 5);
    sample_shr(s, 2);
    sample_normalize(s, 8000);
    sound_decay_times(s, 5);
    return s;
}

// Square chord: a square and its two octaves. The scratch's squares leave
// the tail after their last whole period as it was.
static SAMPLE *demo_chord(SAMPLE *t, int32_t f) {
    SAMPLE *s = demo_note_new(44100);
    sound_square(s, f);
    sound_square(t, 2 * f);
    sample_add(s, t);
    sound_square(t, 4 * f);
    sample_add(s, t);
    sample_shr(s, 2);
    sample_normalize(s, 24000);
    sound_decay(s);
    return s;
}

MUSIC *demo_build_instruments(void) {
    MUSIC *music = music_new();
    if (!music) return nullptr;
    music->period = 256;
    if (demo_scratch) sample_del(&demo_scratch);
    demo_scratch = sample_new();
    SAMPLE *t = demo_scratch;
    sample_set_count(t, 44100);
    for (int32_t i = 0; i < 48; i++) music_add_note(music, demo_organ(t, i));
    sample_set_count(t, 22050);
    for (int32_t i = 48; i < 60; i++) music_add_note(music, demo_plucked(t, i));
    for (int32_t i = 60; i < 72; i++) music_add_note(music, demo_buzz(t, i));
    sample_set_count(t, 11025);
    for (int32_t i = 72; i < 84; i++) music_add_note(music, demo_hit(t));
    // Back to one second: values 11025 on are what the longer notes left.
    sample_set_count(t, 44100);
    for (int32_t i = 84; i < 96; i++) music_add_note(music, demo_chord(t, sound_note(i - 72)));
    return music;
}

// Draws of sound_noise over n values at rate r: one before the loop and one
// each time its counter, started at half a second and lowered by r a value,
// falls below zero and is raised by a second. With r at most a second (the
// bank's rates are 8 and 16 times its notes, at most 7904, and the hits'
// 22050 and 44100) the counter stays in 0..44099 after each value, so after
// n values it has been raised ceil((n r - 22050) / 44100) times.
static uint64_t demo_noise_draws(int64_t n, int64_t r) {
    int64_t over = n * r - 22050;
    return 1 + (uint64_t)(over > 0 ? (over + sound_rate - 1) / sound_rate : 0);
}

uint64_t demo_bank_draws(void) {
    uint64_t draws = 0;
    // Plucked notes, then buzz notes: two layers of 22050 values at 8 f and 16 f.
    for (int32_t i = 48; i < 60; i++)
        draws += demo_noise_draws(22050, 8 * (int64_t)sound_note(i - 48)) +
                 demo_noise_draws(22050, 16 * (int64_t)sound_note(i - 48));
    for (int32_t i = 60; i < 72; i++)
        draws += demo_noise_draws(22050, 8 * (int64_t)sound_note(i - 24)) +
                 demo_noise_draws(22050, 16 * (int64_t)sound_note(i - 24));
    // Noise hits: layers of 11025 values at 44100 and 22050.
    draws += 12 * (demo_noise_draws(11025, 44100) + demo_noise_draws(11025, 22050));
    return draws;
}

// Style 0: a new even pattern every 64 frames, a 1/127 blend every frame.
static void demo_music_style0(MUSIC *music, int32_t frames) {
    if ((frames & 63) == 0) music_pattern_even(music);
    music_blend(music, 127);
}

// Style 1: at each period an even or a decayed pattern, else a blend every 8 frames.
static void demo_music_style1(MUSIC *music, int32_t frames, int32_t period) {
    if (frames % period != 0) {
        if (frames % 8 == 0) music_blend(music, period / 2);
    } else if (random_next() & 1) {
        music_pattern_even(music);
    } else {
        music_pattern_decayed(music);
    }
}

// Style 2: at each period an odd pattern, else a blend every 8 frames.
static void demo_music_style2(MUSIC *music, int32_t frames, int32_t period) {
    if (frames % period == 0) {
        // This draw chose among patterns once; its value no longer matters,
        // but the draw itself is kept for the random sequence.
        (void)(random_next() % 3);
        music_pattern_odd(music);
    } else if (frames % 8 == 0) {
        music_blend(music, period / 2);
    }
}

void demo_music_step(MUSIC *music, WINSND *player, const FPS *fps, int muted) {
    int32_t style = random_next() % 3;
    if (muted) return;
    int32_t frames = fps ? fps->frames : 0;
    if (music) {
        // A period below 1 has no multiples: styles 1 and 2 then do nothing.
        int32_t period = music->period;
        if (style == 0) demo_music_style0(music, frames);
        else if (style == 1 && period >= 1) demo_music_style1(music, frames, period);
        else if (style == 2 && period >= 1) demo_music_style2(music, frames, period);
    }
    if (!player) return;
    // A null loop would sit at the head of the queue for ever: never queue one.
    // Without a queue, winsnd_feed makes one and the next frame queues.
    if (music && music->loop && player->queue && player->queue->count < 4)
        list_push(player->queue, music->loop);
    winsnd_feed(player);
}
