// Integer 2D point with a colour.
#pragma once

// Prints this module's error message when its debug switch is on.
void vec2d_error(void);
