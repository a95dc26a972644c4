// Helix.
#pragma once

// Prints this module's error message when its debug switch is on.
void helix_error(void);
