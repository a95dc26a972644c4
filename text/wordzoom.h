// Words zooming in the line font.
#pragma once

// Prints this module's error message when its debug switch is on.
void wordzoom_error(void);
