// Colour word helpers and span painters.
#pragma once

// Prints this module's error message when its debug switch is on.
void rgb888_error(void);
