// FLASHPIX: the flash record, seven zeroed words with the usual lifecycle and
// no behaviour of its own.
#pragma once

#include "host/export.h"

#include <cstdint>

// The flash record: a flash of pixels, kept for its fields.
struct FLASHPIX {
    uint32_t words[7];  // all 0; no operation reads or writes them
};

// Prints this module's error message when its debug switch is on.
RIVO_API void flashpix_error(void);

// A new zeroed record; null after a report when allocation fails.
RIVO_API FLASHPIX *flashpix_new(void);
// Frees the record and clears the caller's handle.
RIVO_API void flashpix_del(FLASHPIX **flash);
// The record has no text form: always null (a null record is reported).
RIVO_API char *flashpix_to_text(const FLASHPIX *flash);
// Always 0: the record has no content to compare (null records are reported).
RIVO_API int flashpix_compare(const FLASHPIX *a, const FLASHPIX *b);
// A new zeroed record (the source has no content to carry over).
RIVO_API FLASHPIX *flashpix_dup(const FLASHPIX *source);
// Copies nothing; null records are reported.
RIVO_API void flashpix_copy(const FLASHPIX *source, FLASHPIX *target);
// Advance and draw the flash: they only check the record.
RIVO_API void flashpix_update(FLASHPIX *flash);
// Draws nothing: only checks the record (a null one is reported).
RIVO_API void flashpix_draw(FLASHPIX *flash);
