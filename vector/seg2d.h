// Integer 2D segment and the shared sine table.
#pragma once

// Prints this module's error message when its debug switch is on.
void seg2d_error(void);
