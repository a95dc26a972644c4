// Growable list of handles it does not own.
#pragma once

// Prints this module's error message when its debug switch is on.
void list_error(void);
