// A replica of the shared generator's recurrence for tests and benchmarks: it
// steps apart from the program's own, so that a test can check the draw
// order against an independent copy and a benchmark can look for seeds.
#pragma once

#include <cstdint>

struct Lcg {
    uint32_t state;
    // A 15-bit draw, as random_rand.
    int32_t next() {
        state = state * 214013u + 2531011u;
        return (int32_t)((state >> 16) & 0x7FFF);
    }
    // A 30-bit draw, as random_next: the first draw in the high bits.
    int32_t next30() {
        int32_t hi = next();
        return (hi << 15) | next();
    }
};
