// Pointer module; carries its framework pieces only.
#pragma once

// Prints this module's error message when its debug switch is on.
void winptr_error(void);
