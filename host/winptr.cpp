// Pointer module; carries its framework pieces only.
#include "host/winptr.h"

#include "host/module.h"

RIVO_IDENTITY(winptr, "WINPTR  ", "20140321", "Ostrevik", "WINDOWS ", "CODE    ");
RIVO_REPORTER(winptr, 0, "WINPTR error\n");
