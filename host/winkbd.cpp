// Keyboard record: turns the pending key into a character.
#include "host/winkbd.h"

#include "host/module.h"

RIVO_IDENTITY(winkbd, "WINKBD  ", "20140328", "Ostrevik", "WINDOWS ", "CODE    ");
RIVO_REPORTER(winkbd, 0, "WINKBD error\n");
