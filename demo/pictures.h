// The demo's built-in pictures as PNM data held in the program (the files
// demo/assets/*.pbm, *.pgm, embedded by the build); decode each with img_from_pnm(data, size).
#pragma once

#include <cstddef>

// "P4", 128 x 64, one comment line: the word RIVO in block letters.
extern const unsigned char demo_logo_pnm[];
extern const size_t demo_logo_pnm_size;

// "P5", 256 x 256, one comment line: 16 x 16 cells, code c at column
// c mod 16, row c / 16; the first row holds sixteen decorative tiles.
extern const unsigned char demo_glyphs_pnm[];
extern const size_t demo_glyphs_pnm_size;

// "P5", 128 x 192 each: the letters R, I, V and O in grey 0xCC with a white
// rim on black.  Pictures 1 to 3 have one comment line, picture 4 none.
extern const unsigned char demo_letter1_pnm[];
extern const size_t demo_letter1_pnm_size;
extern const unsigned char demo_letter2_pnm[];
extern const size_t demo_letter2_pnm_size;
extern const unsigned char demo_letter3_pnm[];
extern const size_t demo_letter3_pnm_size;
extern const unsigned char demo_letter4_pnm[];
extern const size_t demo_letter4_pnm_size;

// The four letter pictures in order, for loops.
extern const unsigned char *const demo_letter_pnm[4];
extern const size_t *const demo_letter_pnm_size[4];
