// Line frame.
#pragma once

// Prints this module's error message when its debug switch is on.
void lframe_error(void);
