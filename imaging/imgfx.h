// Whole-image effects and the IMGFX variants of blits and lines.
#pragma once

// Prints this module's error message when its debug switch is on.
void imgfx_error(void);
