// Radial lines.
#include "effects/lradial.h"

#include "host/module.h"

RIVO_IDENTITY(lradial, "LRADIAL ", "20130821", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lradial, 0, "LRADIAL error\n");
