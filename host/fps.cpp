// Frame timer: measures each frame and sleeps the rest of its period.
#include "host/fps.h"

#include "host/module.h"

RIVO_IDENTITY(fps, "FPS     ", "20140328", "Ostrevik", "C       ", "CODE    ");
RIVO_DEBUG_SWITCH(fps, 0);

// FPS has no message: its reporter does nothing at all.
void fps_error(void) {}
