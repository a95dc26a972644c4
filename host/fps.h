// Frame timer: measures each frame and sleeps the rest of its period.
#pragma once

// Prints this module's error message when its debug switch is on.
void fps_error(void);
