// The operation streams of the record fuzz targets: each input is read as a
// run of operations, one byte choosing the operation and its arguments
// following. An argument is one byte choosing a 32-bit extreme or a small
// value, or four raw bytes. Sizes the library would honour are kept small so
// that a run stays fast; sizes it must refuse pass through unchanged.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

struct fuzz_stream {
    const uint8_t *p;
    size_t n;
};

// Most operations one input runs.
static const int fuzz_max_ops = 200;

static inline uint8_t fuzz_byte(fuzz_stream *s) {
    if (!s->n) return 0;
    s->n--;
    return *s->p++;
}

static const int32_t fuzz_extremes[] = {
    INT32_MIN, INT32_MIN + 1, -65536,        -2,       -1, 0, 1, 2, 3, 4, 5, 7, 8, 16, 64, 255,
    256,       65536,         INT32_MAX - 1, INT32_MAX};

static inline int32_t fuzz_int(fuzz_stream *s) {
    uint8_t k = fuzz_byte(s);
    if (k < 0x60) return fuzz_extremes[k % (sizeof fuzz_extremes / sizeof fuzz_extremes[0])];
    if (k < 0xE0) return (int32_t)(k - 0x60) - 16;
    uint32_t v = 0;
    for (int i = 0; i < 4; i++) v = v << 8 | fuzz_byte(s);
    return (int32_t)v;
}

// v when it is at most `limit` or above `honoured` (so refused), else a value
// at most `limit` taken from it.
static inline int32_t fuzz_bound(int32_t v, int32_t limit, int32_t honoured) {
    return v > limit && v <= honoured ? v % (limit + 1) : v;
}

// Dies (so that libFuzzer keeps the input) when a record's invariant fails.
static inline void fuzz_check(bool ok) {
    if (!ok) abort();
}
