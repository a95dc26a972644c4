// Text cursors for the bitmap font.
#pragma once

// Prints this module's error message when its debug switch is on.
void cursor_error(void);
void cursorx_error(void);
