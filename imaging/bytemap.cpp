// The 8-bit byte map record, its text form and PGM writer.
#include "imaging/bytemap.h"

#include "host/module.h"

RIVO_IDENTITY(bytemap, "BYTEMAP ", "20110512", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(bytemap, 0, "BYTEMAP error\n");
