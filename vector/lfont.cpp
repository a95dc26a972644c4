// Line font made of 2D line objects.
#include "vector/lfont.h"

#include "host/module.h"

RIVO_IDENTITY(lfont, "LFONT   ", "20120729", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lfont, 0, "LFONT Error.\n");
