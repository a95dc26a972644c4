// Portable keyboard module; carries its framework pieces only.
#pragma once

// Prints this module's error message when its debug switch is on.
void kbd_error(void);
