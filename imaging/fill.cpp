// Flood fill that grows one ring per call.
#include "imaging/fill.h"

#include "host/module.h"

RIVO_IDENTITY(fill, "FILL    ", "20140828", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(fill, 0, "FILL error\n");
