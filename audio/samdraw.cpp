// Waveform drawing.
#include "audio/samdraw.h"

#include "host/module.h"

RIVO_IDENTITY(samdraw, "SAMDRAW ", "20131111", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(samdraw, 0, "SAMDRAW error.\n");
