// Growable array of signed 32-bit values: sounds and tables.
#pragma once

// Prints this module's error message when its debug switch is on.
void sample_error(void);
