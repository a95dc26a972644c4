// Bitmap font cut from a glyph sheet.
#pragma once

// Prints this module's error message when its debug switch is on.
void font_error(void);
