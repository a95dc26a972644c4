// Helix.
#include "effects/helix.h"

#include "host/module.h"

RIVO_IDENTITY(helix, "HELIX   ", "20121123", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(helix, 0, "HELIX error\n");
