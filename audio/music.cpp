// Music loop generator.
#include "audio/music.h"

#include "host/module.h"

RIVO_IDENTITY(music, "MUSIC   ", "Ostrevik", "20140515", "C       ", "CODE    ");
RIVO_REPORTER(music, 0, "MUSIC ERROR\n");
