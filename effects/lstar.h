// Star layers.
#pragma once

// Prints this module's error message when its debug switch is on.
void lstar_error(void);
