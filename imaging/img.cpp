// The 32-bit image record and everything drawn into it.
#include "imaging/img.h"

#include "host/module.h"

RIVO_IDENTITY(img, "IMG     ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(img, 0, "IMG error\n");
