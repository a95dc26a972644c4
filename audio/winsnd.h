// Sound playback of a looping WAV image.
#pragma once

// Prints this module's error message when its debug switch is on.
void winsnd_error(void);
