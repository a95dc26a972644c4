// Moving tiled backgrounds.
#include "effects/backmove.h"

#include "host/module.h"

RIVO_IDENTITY(backmove, "BACKMOVE", "20130317", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(backmove, 0, "BACKMOVE error\n");
