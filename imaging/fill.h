// Flood fill that grows one ring per call.
#pragma once

// Prints this module's error message when its debug switch is on.
void fill_error(void);
