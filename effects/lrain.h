// Line rain.
#pragma once

// Prints this module's error message when its debug switch is on.
void lrain_error(void);
