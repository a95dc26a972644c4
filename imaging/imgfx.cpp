// Whole-image effects and the IMGFX variants of blits and lines.
#include "imaging/imgfx.h"

#include "host/module.h"

RIVO_IDENTITY(imgfx, "IMGFX   ", "20140814", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(imgfx, 0, "IMGFX error\n");
