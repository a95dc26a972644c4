// Growable array of signed 32-bit values: sounds and tables.
// SAMPLE: `count` values in use out of `capacity`; mono sound at 44100 values
// per second in the 16-bit range, or any plain table of 32-bit words.
// Arithmetic wraps at 32 bits; nothing clips unless it says so.
#pragma once

#include "host/export.h"

#include <cstdint>
#include <cstdio>

// A growable array of signed 32-bit values.
struct SAMPLE {
    int32_t count;     // values in use, 0..capacity
    int32_t capacity;  // values the storage holds
    int32_t *data;     // owned storage; null only before any was given
};

// Prints this module's error message when its debug switch is on.
RIVO_API void sample_error(void);

// New sample: count 0, capacity 32; null on failure.
RIVO_API SAMPLE *sample_new(void);
// Frees the storage and the record and clears the handle.
RIVO_API void sample_del(SAMPLE **s);
// New zeroed storage of exactly cap values (cap >= 1); count clamped to cap.
RIVO_API void sample_reserve(SAMPLE *s, int32_t cap);
// count = n (n >= 0), reserving exactly n first when it does not fit.
RIVO_API void sample_set_count(SAMPLE *s, int32_t n);
// A new sample with the same values (capacity equal to the count); null on failure.
RIVO_API SAMPLE *sample_dup(const SAMPLE *s);
// True when counts and every value are equal (a mismatch is reported).
RIVO_API bool sample_compare(const SAMPLE *a, const SAMPLE *b);
// Every value in use becomes 0.
RIVO_API void sample_clear(SAMPLE *s);

// Value i; 0 when i is outside 0..count-1.
RIVO_API int32_t sample_get(const SAMPLE *s, int32_t i);
// Value i = v; writes outside 0..count-1 are dropped.
RIVO_API void sample_set(SAMPLE *s, int32_t i, int32_t v);
// Appends v, doubling the capacity when full.
RIVO_API void sample_push(SAMPLE *s, int32_t v);
// Inserts v before pos (0..count).
RIVO_API void sample_insert(SAMPLE *s, int32_t v, int32_t pos);
// Removes value pos; returns the new count (0 when rejected).
RIVO_API int32_t sample_remove(SAMPLE *s, int32_t pos);
// First index >= start holding v, or -1.
RIVO_API int32_t sample_find(const SAMPLE *s, int32_t v, int32_t start);
// Copies n values src[from..] to dst[to..]; overlapping moves are safe.
RIVO_API void sample_move(const SAMPLE *src, SAMPLE *dst, int32_t n, int32_t from, int32_t to);

// Whole-sample arithmetic, in place, wrapping at 32 bits.
RIVO_API void sample_mul(SAMPLE *s, int32_t k);
// Truncating division; a zero divisor is reported and changes nothing.
RIVO_API void sample_div(SAMPLE *s, int32_t k);
// Arithmetic shift right by b mod 32; b >= 33 is rejected.
RIVO_API void sample_shr(SAMPLE *s, int32_t b);
// Shift left by b mod 32; b >= 33 is rejected.
RIVO_API void sample_shl(SAMPLE *s, int32_t b);
// a[i] += b[i] over the shorter count; a and b may be the same sample.
RIVO_API void sample_add(SAMPLE *a, const SAMPLE *b);
// a[i] *= b[i] over the shorter count.
RIVO_API void sample_mul_each(SAMPLE *a, const SAMPLE *b);
// a[i] += (b[i] * mul) / div over the shorter count.
RIVO_API void sample_add_scaled(SAMPLE *a, const SAMPLE *b, int32_t mul, int32_t div);
// a[i] += (b[i] * mul) >> 16 over the shorter count.
RIVO_API void sample_add_fixed(SAMPLE *a, const SAMPLE *b, int32_t mul);
// Reverses the order of the values in use.
RIVO_API void sample_reverse(SAMPLE *s);
// The smallest value in use; 0 (reported) for an empty sample.
RIVO_API int32_t sample_min(const SAMPLE *s);
// The largest value in use; 0 (reported) for an empty sample.
RIVO_API int32_t sample_max(const SAMPLE *s);
// Index of the smallest / largest value; the lowest index wins ties.
RIVO_API int32_t sample_argmin(const SAMPLE *s);
// Index of the largest value, the lowest index on ties; see sample_argmin.
RIVO_API int32_t sample_argmax(const SAMPLE *s);
// Scales linearly so that min maps to lo and max to hi.
RIVO_API void sample_fit_range(SAMPLE *s, int32_t lo, int32_t hi);
// Scales so that the largest magnitude becomes peak.
RIVO_API void sample_normalize(SAMPLE *s, int32_t peak);
// Nearest-neighbour change of length to n values.
RIVO_API void sample_resample(SAMPLE *s, int32_t n);
// new[i] = old[(i + k) mod count].
RIVO_API void sample_rotate_left(SAMPLE *s, int32_t k);
// new[(i + k) mod count] = old[i].
RIVO_API void sample_rotate_right(SAMPLE *s, int32_t k);
// Integer ramp from y0 at the lower index to (about) y1 over i0..i1 inclusive.
RIVO_API void sample_line(SAMPLE *s, int32_t i0, int32_t y0, int32_t i1, int32_t y1);

// New sample of n values, value i = the signed byte p[i].
RIVO_API SAMPLE *sample_from_bytes(const int8_t *p, int32_t n);
// Inserts all of src's values into dst before pos.
RIVO_API void sample_insert_sample(SAMPLE *dst, const SAMPLE *src, int32_t pos);
// New sample of s[from..to-1] (clamped to the values in use).
RIVO_API SAMPLE *sample_extract(const SAMPLE *s, int32_t from, int32_t to);
// Positions where a[i] == b[i - off] over the overlap of a and b shifted by off.
RIVO_API int32_t sample_match_count(const SAMPLE *a, const SAMPLE *b, int32_t off);
// Offset with the most matches (smallest on ties); -b.count when none match.
RIVO_API int32_t sample_best_offset(const SAMPLE *a, const SAMPLE *b);

// "SAMPLE { count\n" then one value per line and "}\n"; caller frees.
RIVO_API char *sample_to_text(const SAMPLE *s);
// Lenient reader of the text form; reads no further than the terminating zero.
RIVO_API SAMPLE *sample_from_text(const char *text);
// Headerless values from an open file: width 8 or 16, order 'l' or 'b',
// sign 's' or 'u'; scaled to the 16-bit range.
RIVO_API SAMPLE *sample_read_raw(FILE *file, int32_t width, char order, char sign);
// Writes every value clamped to width 8, 16, 24 or 32 bits, order 'b' or
// little-endian otherwise; returns the number of values written.
RIVO_API int32_t sample_write_raw(const SAMPLE *s, FILE *file, int32_t width, char order);
