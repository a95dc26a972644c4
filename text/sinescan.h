// Sine scan rows.
#pragma once

// Prints this module's error message when its debug switch is on.
void sinescan_error(void);
