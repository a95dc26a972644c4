// The demo's built-in line drawings as brace texts for obj2d_parse (each
// NUL-terminated, ending in a line feed): the 8x8 line font and the 16x16
// wire line font, one block per character code 0..255, and the 87 shapes of
// the picture font on a 16x16 grid.
#pragma once

extern const char demo_font8_text[];
extern const char demo_font16_text[];
extern const char demo_shapes_text[];
