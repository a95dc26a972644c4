// Words zooming in the line font.
#include "text/wordzoom.h"

#include "host/module.h"

RIVO_IDENTITY(wordzoom, "WORDZOOM", "20130321", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(wordzoom, 0, "WORDZOOM error\n");
