// Line rain.
#include "effects/lrain.h"

#include "host/module.h"

RIVO_IDENTITY(lrain, "LRAIN  ", "20130725", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lrain, 0, "LRAIN error\n");
