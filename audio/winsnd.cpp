// Sound playback of a looping WAV image.
#include "audio/winsnd.h"

#include "host/module.h"

RIVO_IDENTITY(winsnd, "WINSND  ", "20140823", "Ostrevik", "WINDOWS ", "CODE    ");
RIVO_REPORTER(winsnd, 0, "WINSND error\n");
