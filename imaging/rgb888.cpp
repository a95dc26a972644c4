// Colour word helpers and span painters.
#include "imaging/rgb888.h"

#include "host/module.h"

RIVO_IDENTITY(rgb888, "RGB888  ", "20121129", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(rgb888, 0, "RGB888 error\n");
