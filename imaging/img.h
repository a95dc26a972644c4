// The 32-bit image record and everything drawn into it.
#pragma once

// Prints this module's error message when its debug switch is on.
void img_error(void);
