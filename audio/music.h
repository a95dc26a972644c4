// Music loop generator: a bank of note SAMPLEs and a three-second loop that
// is blended, frame by frame, towards randomly built note patterns.
#pragma once

#include <cstdint>

#include "audio/sample.h"
#include "vector/list.h"

struct MUSIC {
    int32_t period;  // frames per musical period (300; the demo sets 256)
    SAMPLE *loop;    // what is played: 132300 values; owned
    LIST *notes;     // the note bank: SAMPLEs owned by the record once added
    SAMPLE *work;    // scratch in which a pattern is built; owned, made on first use
};

// Values in the loop: three seconds at 44100 per second.
constexpr int32_t music_loop_length = 132300;

// Prints "MUSIC ERROR\n" when the debug switch is on.
void music_error(void);

// New record: period 300, a silent loop of 132300 values, an empty bank.
MUSIC *music_new(void);
// Destroys the loop, every note, the bank list and the scratch; clears the handle.
void music_del(MUSIC **m);
// Appends a note to the bank; the record owns it from then on.
void music_add_note(MUSIC *m, SAMPLE *note);
// loop = (loop * (k - 1) + work) / k per value, for k >= 2.
void music_blend(MUSIC *m, int32_t k);
// Pattern in `work`: one random note placed 1, 2, 4 or 8 times, evenly spaced.
void music_pattern_even(MUSIC *m);
// As the even pattern, with the decay envelope over the whole pattern after each copy.
void music_pattern_decayed(MUSIC *m);
// One random note placed 5, 1, 3 or 7 times at the even places but the first.
void music_pattern_odd(MUSIC *m);
