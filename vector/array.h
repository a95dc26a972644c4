// Growable array of fixed-size elements stored by value.
#pragma once

// Prints this module's error message when its debug switch is on.
void array_error(void);
