// Bitmap text scroller.
#include "text/scroll.h"

#include "host/module.h"

RIVO_IDENTITY(scroll, "SCROLL  ", "20110513", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(scroll, 0, "SCROLL error\n");
