// Keyboard record: turns the pending key into a character.
#pragma once

// Prints this module's error message when its debug switch is on.
void winkbd_error(void);
