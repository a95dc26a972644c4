// Moving tiled backgrounds.
#pragma once

// Prints this module's error message when its debug switch is on.
void backmove_error(void);
