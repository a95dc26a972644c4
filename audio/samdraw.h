// SAMDRAW: draws a SAM's waveform into an IMG, one vertical span per image
// column from the middle row, and marks the sample's peaks.
#pragma once

#include <cstdint>

struct IMG;
struct SAM;

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
void samdraw_error(void);

// A record with the default colours; null after a report when it cannot be
// allocated.
SAMDRAW *samdraw_new(void);
void samdraw_del(SAMDRAW **d);

// Clears the target to `background`, then per column x a span in `wave` from
// the middle row by value * (height / 2) >> 15, for the indices first..last
// (clamped to the sample, in order) at a 16.16 step of count / width.
void samdraw_draw(SAMDRAW *d);
// As samdraw_draw, each value the mean of itself and its two neighbours
// (outside the sample 0).
void samdraw_draw_smooth(SAMDRAW *d);
// Without clearing: spans in `marker` at the columns of the largest and the
// smallest value (column width * index / count).
void samdraw_draw_peaks(SAMDRAW *d);

// The empty record operations: no text form (null), equal when both are
// present, copying does nothing.
char *samdraw_to_text(const SAMDRAW *d);
int samdraw_compare(const SAMDRAW *a, const SAMDRAW *b);
void samdraw_copy(const SAMDRAW *source, SAMDRAW *target);
