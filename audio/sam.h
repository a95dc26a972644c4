// Sample files: WAV and SAM.
#pragma once

// Prints this module's error message when its debug switch is on.
void sam_error(void);
