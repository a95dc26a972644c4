// Integer 2D point with a colour.
#include "vector/vec2d.h"

#include "host/module.h"

RIVO_IDENTITY(vec2d, "VEC2D   ", "20140726", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(vec2d, 1, "VEC2D error\n");
