// The shared 15-bit linear congruential generator and its 30-bit join.
#include "host/random.h"

#include "host/module.h"

RIVO_IDENTITY(random, "RANDOM  ", "20140418", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(random, 0, "RANDOM error\n");
