// The demo: start-up, frame loop and the seven scenes.
#include "demo/demo.h"

#include "host/module.h"

RIVO_IDENTITY(demo, "RIVO7315", "20150119", "Ostrevik", "C       ", "PROGRAM ");
RIVO_REPORTER(demo, 0, "RIVO7315 Error.\n");

// In progress: the scene loop lands with the demo module.
void demo_main(void) {}
