// The demo: start-up, frame loop and the seven scenes.
#pragma once

// Prints this module's error message when its debug switch is on.
void demo_error(void);
