// Sine-line chains.
#pragma once

// Prints this module's error message when its debug switch is on.
void sineline_error(void);
