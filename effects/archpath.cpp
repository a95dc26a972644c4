// Sprites moving on arch paths.
#include "effects/archpath.h"

#include "host/module.h"

RIVO_IDENTITY(archpath, "ARCHPATH", "20131015", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(archpath, 0, "ARCHPATH error\n");
