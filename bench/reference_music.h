// Straightforward versions of the sound generators, the instrument bank and
// the music loop's blend and patterns, written element by element through
// sample_get / sample_set and the whole-sample SAMPLE operations. Tests prove
// the fast versions bit-identical to these; benchmarks measure both.
#pragma once

#include <cstdint>

struct SAMPLE;
struct MUSIC;

void reference_sound_sine(SAMPLE *s, int32_t f);
void reference_sound_square(SAMPLE *s, int32_t f);
void reference_sound_noise(SAMPLE *s, int32_t r);
// The ramp from a to b made by sample_line, multiplied in, shifted right 15.
void reference_sound_envelope(SAMPLE *s, int32_t a, int32_t b);
void reference_sound_decay(SAMPLE *s);

// The 96-note bank built note by note from the generators above.
MUSIC *reference_build_instruments(void);

// loop = (loop * (k - 1) + work) / k through sample_mul, sample_add, sample_div.
void reference_music_blend(MUSIC *m, int32_t k);
// The three pattern kinds through sample_add, sound_decay and sample_rotate_right.
void reference_music_pattern_even(MUSIC *m);
void reference_music_pattern_decayed(MUSIC *m);
void reference_music_pattern_odd(MUSIC *m);
