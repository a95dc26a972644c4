// Growable list of handles it does not own.
#include "vector/list.h"

#include "host/module.h"

RIVO_IDENTITY(list, "LIST    ", "20131014", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(list, 1, "LIST error\n");
