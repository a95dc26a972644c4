// Portable keyboard module; carries its framework pieces only.
#include "host/kbd.h"

#include "host/module.h"

RIVO_IDENTITY(kbd, "KBD     ", "20130117", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(kbd, 0, "KBD error\n");
