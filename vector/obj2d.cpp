// 2D line object and its brace text format.
#include "vector/obj2d.h"

#include "host/module.h"

RIVO_IDENTITY(obj2d, "OBJ2D   ", "20140827", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(obj2d, 0, "OBJ2D error\n");
