// Raster bars: a colour table and a moving position in it.
#pragma once

// Prints this module's error message when its debug switch is on.
void raster_error(void);
