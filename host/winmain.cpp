// Program entry: window class, pending key and the one-message pump.
#include "host/winmain.h"

#include "host/module.h"

RIVO_IDENTITY(winmain, "WINMAIN ", "20150119", "WINDOWS ", "Ostrevik", "CODE    ");
RIVO_DEBUG_SWITCH(winmain, 0);  // WINMAIN has no reporter
