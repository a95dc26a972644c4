// Raster bars: a colour table and a moving position in it.
#include "effects/raster.h"

#include "host/module.h"

RIVO_IDENTITY(raster, "RASTER  ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(raster, 0, "RASTER error\n");
