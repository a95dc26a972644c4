// Music loop generator.
#pragma once

// Prints this module's error message when its debug switch is on.
void music_error(void);
