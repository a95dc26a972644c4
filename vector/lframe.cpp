// Line frame.
#include "vector/lframe.h"

#include "host/module.h"

RIVO_IDENTITY(lframe, "LFRAME  ", "20120922", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lframe, 0, "LFRAME error\n");
