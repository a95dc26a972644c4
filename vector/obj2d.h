// 2D line object and its brace text format.
#pragma once

// Prints this module's error message when its debug switch is on.
void obj2d_error(void);
