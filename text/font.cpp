// Bitmap font cut from a glyph sheet.
#include "text/font.h"

#include "host/module.h"

RIVO_IDENTITY(font, "FONT    ", "20121121", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(font, 0, "FONT Error.\n");
