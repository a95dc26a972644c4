// The flash record.
#pragma once

// Prints this module's error message when its debug switch is on.
void flashpix_error(void);
