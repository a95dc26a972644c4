// Sample files: WAV and SAM.
#include "audio/sam.h"

#include "host/module.h"

RIVO_IDENTITY(sam, "SAM     ", "20131111", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sam, 0, "SAM error.\n");
