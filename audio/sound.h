// Sound synthesis into sample buffers: sines from a one-second period table,
// square waves, held random noise and straight-line envelopes, all at 44100
// values per second in the 16-bit range. Nothing here touches a sound device.
#pragma once

#include <cstdint>

#include "audio/sample.h"

// Prints "SOUND Error.\n" when the debug switch is on.
void sound_error(void);

// Values per second of every sound.
constexpr int32_t sound_rate = 44100;
// One second in 1/32768-value units (44100 << 15): the phase wrap point.
constexpr int32_t sound_second_fixed = 0x56220000;

// Note frequencies in Hz, C1 (index 0) to B8, one semitone per step.
constexpr int32_t sound_note_count = 96;
extern const int32_t sound_note_table[sound_note_count];
// The frequency of note k, k taken modulo 96 (negative k wraps too).
int32_t sound_note(int32_t k);

// Sine of f Hz (amplitude 32766, phase 0 at element 0) over all of s.
void sound_sine(SAMPLE *s, int32_t f);
// Square of f Hz over the whole periods that fit; the tail keeps its values.
void sound_square(SAMPLE *s, int32_t f);
// Random values, each held for about 44100 / r elements, filled from the end.
void sound_noise(SAMPLE *s, int32_t r);
// Multiplies s by a straight ramp from 32767 down to 0, then shifts right 15.
void sound_decay(SAMPLE *s);
// The decay ramp of n values (32767 down to 0), as sound_decay multiplies by;
// kept by the module until several other lengths were asked for. Null when it
// cannot be made.
const int32_t *sound_decay_ramp(int32_t n);
// sound_decay `times` times in a row (each pass truncates on its own).
void sound_decay_times(SAMPLE *s, int times);
// Multiplies s by a straight ramp from 0 up to 32767, then shifts right 15.
void sound_rise(SAMPLE *s);
// Multiplies s by a gain falling from 32768 in whole steps, then shifts right 15.
void sound_fade_out(SAMPLE *s);
// Multiplies s by a gain rising from 0 in whole steps, then shifts right 15.
void sound_fade_in(SAMPLE *s);
// Only the argument check: 1 for a usable sample, 0 (reported) otherwise.
int sound_check(SAMPLE *s);
