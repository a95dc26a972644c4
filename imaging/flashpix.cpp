// The flash record.
#include "imaging/flashpix.h"

#include "host/module.h"

RIVO_IDENTITY(flashpix, "FLASHPIX", "20140426", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(flashpix, 0, "FLASHPIX error\n");
