// Radial lines.
#pragma once

// Prints this module's error message when its debug switch is on.
void lradial_error(void);
