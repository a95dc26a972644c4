// Bitmap text scroller.
#pragma once

// Prints this module's error message when its debug switch is on.
void scroll_error(void);
