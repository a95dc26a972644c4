// Line font scroller.
#include "text/lscroll.h"

#include "host/module.h"

RIVO_IDENTITY(lscroll, "LSCROLL ", "20120731", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lscroll, 0, "LSCROLL error\n");
