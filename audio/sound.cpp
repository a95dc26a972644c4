// Sound synthesis into sample buffers.
#include "audio/sound.h"

#include "host/module.h"

RIVO_IDENTITY(sound, "SOUND   ", "20131129", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(sound, 0, "SOUND Error.\n");
