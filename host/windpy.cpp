// Display: the one window and the upload of a frame image into it.
#include "host/windpy.h"

#include "host/module.h"

RIVO_IDENTITY(windpy, "WINDPY  ", "20140414", "WINDOWS ", "Ostrevik", "CODE    ");
RIVO_REPORTER(windpy, 0, "WINDPY error\n");
