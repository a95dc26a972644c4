// Text cursors for the bitmap font.
#include "text/cursor.h"

#include "host/module.h"

RIVO_IDENTITY(cursor, "CURSOR  ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(cursor, 0, "CURSOR Error.\n");

// CURSORX lives with CURSOR: its own four unpadded fields and a reporter
// whose switch is a constant 0, so it never prints.
RIVO_IDENTITY(cursorx, "CURSORX", "20090805", "OVK", "C");
RIVO_REPORTER(cursorx, 0, "CURSORX Error.\n");
