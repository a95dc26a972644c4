// The 8-bit byte map record, its text form and PGM writer.
#pragma once

// Prints this module's error message when its debug switch is on.
void bytemap_error(void);
