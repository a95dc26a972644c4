// The shared 15-bit linear congruential generator and its 30-bit join.
#pragma once

// Prints this module's error message when its debug switch is on.
void random_error(void);
