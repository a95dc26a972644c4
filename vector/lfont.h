// Line font made of 2D line objects.
#pragma once

// Prints this module's error message when its debug switch is on.
void lfont_error(void);
