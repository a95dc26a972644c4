// Star layers.
#include "effects/lstar.h"

#include "host/module.h"

RIVO_IDENTITY(lstar, "LSTAR   ", "20131125", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lstar, 0, "LSTAR error\n");
