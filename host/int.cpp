// Integer helpers module; its reporter always prints.
#include "host/int.h"

#include "host/module.h"

RIVO_IDENTITY(int, "INT     ", "20130903", "Ostrevik", "C       ", "CODE    ");

// INT has no debug switch: its reporter always prints.
void int_error(void) { std::printf("%s", "INT: ERROR.\n"); }
