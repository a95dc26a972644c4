// Integer 2D segment and the shared sine table.
#include "vector/seg2d.h"

#include "host/module.h"

RIVO_IDENTITY(seg2d, "SEG2D   ", "20140806", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(seg2d, 0, "SEG2D error\n");
