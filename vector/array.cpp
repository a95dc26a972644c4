// Growable array of fixed-size elements stored by value.
#include "vector/array.h"

#include "host/module.h"

RIVO_IDENTITY(array, "ARRAY   ", "20150119", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(array, 0, "ARRAY error\n");
