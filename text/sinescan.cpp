// Sine scan rows.
#include "text/sinescan.h"

#include "host/module.h"

RIVO_IDENTITY(sinescan, "SINESCAN", "20121201", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sinescan, 0, "SINESCAN error\n");
