// Line font scroller with depth.
#include "text/lscrlxyz.h"

#include "host/module.h"

RIVO_IDENTITY(lscrlxyz, "LSCRLXYZ ", "20130903", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(lscrlxyz, 0, "LSCRLXYZ error\n");
