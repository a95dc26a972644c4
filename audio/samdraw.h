// SAMDRAW: draws a SAM's waveform into an IMG, one vertical span per image
// column from the middle row, and marks the sample's peaks.
#pragma once

#include "host/export.h"

#include <cstdint>

struct IMG;
struct SAM;

// A waveform drawer: which sample file, into which image, in which colours.
struct SAMDRAW {
    SAM *sam;             // the sample file drawn; not owned
    IMG *target;          // the image drawn into; not owned
    uint32_t background;  // 0x808080
    uint32_t wave;        // 0xFFFFFF
    uint32_t marker;      // 0x000000
    int32_t first;        // first index drawn
    int32_t last;         // last index drawn
};

// Prints this module's error message when its debug switch is on.
RIVO_API void samdraw_error(void);

// A record with the default colours; null after a report when it cannot be
// allocated.
RIVO_API SAMDRAW *samdraw_new(void);
// Frees the record (not the sample file or the image) and clears the handle.
RIVO_API void samdraw_del(SAMDRAW **d);

// Clears the target to `background`, then per column x a span in `wave` from
// the middle row by value * (height / 2) >> 15, for the indices first..last
// (clamped to the sample, in order) at a 16.16 step of count / width.
RIVO_API void samdraw_draw(SAMDRAW *d);
// As samdraw_draw, each value the mean of itself and its two neighbours
// (outside the sample 0).
RIVO_API void samdraw_draw_smooth(SAMDRAW *d);
// Without clearing: spans in `marker` at the columns of the largest and the
// smallest value (column width * index / count).
RIVO_API void samdraw_draw_peaks(SAMDRAW *d);

// The empty record operations: no text form (null), equal when both are
// present, copying does nothing.
RIVO_API char *samdraw_to_text(const SAMDRAW *d);
// 1 when both records are present; 0 after a report otherwise.
RIVO_API int samdraw_compare(const SAMDRAW *a, const SAMDRAW *b);
// Copies nothing (a null record is reported).
RIVO_API void samdraw_copy(const SAMDRAW *source, SAMDRAW *target);
