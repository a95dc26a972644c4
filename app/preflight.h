// Everything the command line asks of the machine, checked before a window
// opens or a file is made: the MIDI port, the SoundFont, the sound device;
// and the options that only list what there is.
#pragma once

#include <cstdio>

#include "platform/options.h"

// What preflight returns when the run may go on.
enum { PREFLIGHT_RUN = -1 };

// Hands the sound and MIDI choices to the platform and checks them. Returns
// PREFLIGHT_RUN, or the exit status after printing: 0 after --list-audio or
// --list-midi (to out), 2 with one line on err for a choice that cannot be
// honoured.
int preflight(const RUN_OPTIONS *options, FILE *out, FILE *err);
