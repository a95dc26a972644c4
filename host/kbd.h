// Portable keyboard module; carries its framework pieces only.
#pragma once

#include "host/export.h"

// Prints this module's error message when its debug switch is on.
RIVO_API void kbd_error(void);
