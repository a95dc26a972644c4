// Growable array of signed 32-bit values: sounds and tables.
#include "audio/sample.h"

#include "host/module.h"

RIVO_IDENTITY(sample, "SAMPLE  ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sample, 0, "SAMPLE error\n");
