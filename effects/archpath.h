// Sprites moving on arch paths.
#pragma once

// Prints this module's error message when its debug switch is on.
void archpath_error(void);
