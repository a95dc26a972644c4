// FILL: a flood fill that paints one ring of pixels per call, so a caller can
// show it growing frame by frame, in a plain colour or from a pattern image.
#pragma once

#include <cstdint>

struct ARRAY;
struct IMG;

struct FILL {
    int32_t left, top;        // region the fill may enter; each step sets 0, 0
    int32_t right, bottom;    // exclusive; each step sets the image's width, height
    uint32_t target_colour;   // the colour replaced; fill_start reads it from the seed
    uint32_t fill_colour;     // painted colour; fill_step_pattern stores each one it paints
    IMG *image;               // filled image, not owned
    IMG *pattern;             // colour source of fill_step_pattern, not owned
    int32_t pattern_x, pattern_y;  // offset into the pattern
    uint8_t state;            // 'f' once fill_start has run
    ARRAY *front;             // points (two int32: x, y) to visit in the next step
    ARRAY *next_front;        // points found during a step
    uint32_t *queued;         // per pixel of the region: 0 never queued, else 1 + its
                              // latest index in the array it went to; owned
    int32_t queued_width, queued_height;  // the region `queued` was made for
};

// Prints this module's error message when its debug switch is on.
void fill_error(void);

// A zeroed record; null after a report when allocation fails.
FILL *fill_new(void);
// Destroys both point arrays and the record (not the images); clears the handle.
void fill_del(FILL **fill);
// No text form: null.
char *fill_to_text(const FILL *fill);
// Always 0.
int fill_compare(const FILL *a, const FILL *b);
// A new empty record.
FILL *fill_dup(const FILL *source);
// Copies nothing.
void fill_copy(const FILL *source, FILL *target);

// Seeds the fill at (x, y): the target colour is the seed pixel (0 outside),
// `colour` the paint; both point arrays are made or emptied, and the queued
// marks cleared (one word per pixel of the image).
void fill_start(FILL *fill, int32_t x, int32_t y, uint32_t colour);
// Paints the current ring; returns the number of points queued for the next
// one (0 when the fill has finished). Each point is queued once, so a fill
// ends after as many steps as its region is deep. A paint colour equal to the
// target changes nothing: the step returns 0 at once.
int32_t fill_step(FILL *fill);
// As fill_step, painting pattern pixel ((x + pattern_x) mod pattern width,
// (y + pattern_y) mod pattern height), the pattern repeating across the image.
int32_t fill_step_pattern(FILL *fill);
// Empties both point arrays.
void fill_reset(FILL *fill);

// min(|a|,|b|) + 1 counts splitting max(|a|,|b|) into runs, the error started
// at half the larger length so the runs are centred; caller frees.
int32_t *fill_run_lengths(int32_t a, int32_t b);
// min(|a|,|b|) counts filled from both ends, error started at half; caller frees.
int32_t *fill_run_lengths_mirrored(int32_t a, int32_t b);
// Count n, then n values x, y, ... of the line's points (as img_line_points); caller frees.
int32_t *fill_line_points(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
