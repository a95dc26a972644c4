// Waveform drawing.
#pragma once

// Prints this module's error message when its debug switch is on.
void samdraw_error(void);
