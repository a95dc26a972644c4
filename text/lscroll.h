// Line font scroller.
#pragma once

// Prints this module's error message when its debug switch is on.
void lscroll_error(void);
