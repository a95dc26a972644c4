// Display: the one window and the upload of a frame image into it.
#pragma once

// Prints this module's error message when its debug switch is on.
void windpy_error(void);
