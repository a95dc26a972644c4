// Line font scroller with depth.
#pragma once

// Prints this module's error message when its debug switch is on.
void lscrlxyz_error(void);
