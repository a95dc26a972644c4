// The demo: start-up, frame loop and the seven scenes.
#pragma once

// Prints "RIVO7315 Error.\n" when the debug switch is on.
void demo_error(void);

// Runs the demo: start-up, then the scene loop, which never returns.
void demo_main(void);
