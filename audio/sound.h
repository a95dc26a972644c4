// Sound synthesis into sample buffers.
#pragma once

// Prints this module's error message when its debug switch is on.
void sound_error(void);
