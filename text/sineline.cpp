// Sine-line chains.
#include "text/sineline.h"

#include "host/module.h"

RIVO_IDENTITY(sineline, "SINELINE", "20130321", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sineline, 0, "SINELINE error\n");
